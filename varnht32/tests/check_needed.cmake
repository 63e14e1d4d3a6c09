# The library itself needs no window system: none of its needed libraries is
# Qt's (the settings dialog's window library is loaded only when it is shown).
execute_process(COMMAND ${READELF} -d ${LIBRARY} OUTPUT_VARIABLE out RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "readelf failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*" needed "${out}")
foreach(line IN LISTS needed)
  if(line MATCHES "Qt|libGL|libX11|xcb")
    message(FATAL_ERROR "the library needs a window system: ${line}")
  endif()
endforeach()
message(STATUS "needed: ${needed}")
