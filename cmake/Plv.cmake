# Small helpers shared by every module's CMakeLists.txt.

# plv_add_test(<name> SOURCES <files...> [LIBS <targets...>] [UI])
# One GoogleTest executable whose cases are registered with CTest. UI tests
# run on Qt's offscreen platform with no inherited desktop theme.
function(plv_add_test name)
  cmake_parse_arguments(ARG "UI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set(main plv_test_main)
  if(ARG_UI)
    set(main plv_test_main_ui)
  endif()
  # Tests of windows run under the window layer's own main, which also makes
  # the application object.
  if("plv::platform_ui_testing" IN_LIST ARG_LIBS)
    set(main)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${main})
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60)
endfunction()

# The shared test mains (see plv_test_main.cpp): plain, and for UI tests.
function(plv_define_test_mains)
  foreach(kind IN ITEMS plain ui)
    set(lib plv_test_main)
    if(kind STREQUAL "ui")
      set(lib plv_test_main_ui)
    endif()
    add_library(${lib} STATIC ${PROJECT_SOURCE_DIR}/cmake/plv_test_main.cpp)
    target_link_libraries(${lib} PUBLIC GTest::gtest)
    target_compile_definitions(${lib} PRIVATE PLV_TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    if(kind STREQUAL "ui")
      target_compile_definitions(${lib} PRIVATE PLV_UI_TEST)
    endif()
  endforeach()
endfunction()

# plv_add_fuzz_target(<name> SOURCE <entry.cpp> CORPUS <dir> [LIBS <targets...>])
# <entry.cpp> defines LLVMFuzzerTestOneInput. With PLV_FUZZ (clang) it becomes
# a libFuzzer binary with address and undefined-behaviour sanitizers; in every
# build it is also linked with a replay driver and every file of the corpus is
# run through it as a CTest test, so inputs that once crashed stay fixed.
function(plv_add_fuzz_target name)
  cmake_parse_arguments(ARG "" "SOURCE;CORPUS" "LIBS" ${ARGN})
  add_executable(${name}_replay ${ARG_SOURCE} ${PLV_FUZZ_REPLAY_MAIN})
  target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS})
  add_test(NAME ${name}_corpus_replay COMMAND ${name}_replay ${ARG_CORPUS})
  if(PLV_FUZZ)
    add_executable(${name} ${ARG_SOURCE})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -g)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    add_dependencies(fuzz_targets ${name})
    set_property(GLOBAL APPEND PROPERTY PLV_FUZZ_TARGETS "${name}\t$<TARGET_FILE:${name}>\t${ARG_CORPUS}")
  endif()
endfunction()

# The campaign script (scripts/fuzz) finds every fuzz target and its corpus in
# <build>/fuzz_targets.txt: name, program and corpus folder, tab-separated.
function(plv_write_fuzz_target_list)
  get_property(targets GLOBAL PROPERTY PLV_FUZZ_TARGETS)
  list(JOIN targets "\n" lines)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzz_targets.txt CONTENT "${lines}\n")
endfunction()

set(PLV_FUZZ_REPLAY_MAIN ${CMAKE_CURRENT_LIST_DIR}/fuzz_replay_main.cpp CACHE INTERNAL "")
if(PLV_FUZZ)
  # Everything a fuzz target links must carry the same sanitizer instrumentation.
  add_compile_options(-fsanitize=address,undefined -fsanitize=fuzzer-no-link -g
                      -fsanitize-coverage-ignorelist=${CMAKE_CURRENT_LIST_DIR}/fuzz_coverage_ignore.txt)
  # Without a build type nothing would be optimised, and a target runs a
  # tenth as fast; -O1 keeps the sanitizers' stack traces exact. Assertions
  # stay on.
  if(NOT CMAKE_BUILD_TYPE)
    add_compile_options(-O1)
  endif()
  add_link_options(-fsanitize=address,undefined)
  # `cmake --build <dir> --target fuzz_targets` builds the fuzz programs alone.
  add_custom_target(fuzz_targets)
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL plv_write_fuzz_target_list)
endif()

# plv_add_test_dir(<prefix> <dir> [LIBS <targets...>] [UI])
# Every <dir>/<stem>_test.cpp becomes the test program <prefix>_<stem>_test.
function(plv_add_test_dir prefix dir)
  cmake_parse_arguments(ARG "UI" "" "LIBS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*_test.cpp)
  set(ui)
  if(ARG_UI)
    set(ui UI)
  endif()
  foreach(test IN LISTS tests)
    get_filename_component(stem ${test} NAME_WE)
    plv_add_test(${prefix}_${stem} SOURCES ${test} LIBS ${ARG_LIBS} ${ui})
  endforeach()
endfunction()

# plv_add_fuzz_dir(<prefix> <dir> [LIBS <targets...>])
# Every <dir>/<name>_fuzz.cpp becomes the fuzz target <prefix>_<name>_fuzz whose
# corpus is <dir>/corpus/<name>/ (see plv_add_fuzz_target); a target without
# one stops the configuration.
function(plv_add_fuzz_dir prefix dir)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB entries CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*_fuzz.cpp)
  foreach(entry IN LISTS entries)
    get_filename_component(stem ${entry} NAME_WE)
    string(REGEX REPLACE "_fuzz$" "" name ${stem})
    set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/corpus/${name})
    if(NOT IS_DIRECTORY ${corpus})
      message(FATAL_ERROR "Fuzz target ${dir}/${stem}.cpp has no corpus folder ${dir}/corpus/${name}")
    endif()
    plv_add_fuzz_target(${prefix}_${stem}
      SOURCE ${entry}
      CORPUS ${corpus}
      LIBS ${ARG_LIBS})
  endforeach()
endfunction()

# plv_embed_files(<target> <symbol> <files...>)
# Carries the files' bytes inside <target>: defines the function
# std::span<const EmbeddedFile> <symbol>() (platform/base/embedded_file.h),
# one entry per file in the order given, named by its bare file name. The
# source is made again whenever one of the files changes.
function(plv_embed_files target symbol)
  set(files)
  foreach(file IN LISTS ARGN)
    get_filename_component(path ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND files ${path})
  endforeach()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/embedded/${symbol}.cpp)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DSYMBOL=${symbol} "-DFILES=${files}" -DOUTPUT=${output}
            -P ${PROJECT_SOURCE_DIR}/cmake/embed_files.cmake
    DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/embed_files.cmake
    COMMENT "Embedding ${symbol}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
  target_link_libraries(${target} PRIVATE plv::platform_base)
endfunction()

# Tests that lay texts out or draw them in the program's panel fonts, which
# tools/fntconv makes at build time: they are told where the fonts are and
# built after them (the font target is defined later in the tree, hence the
# one deferred call that makes every such test depend on it).
function(plv_use_panel_fonts)
  foreach(test ${ARGN})
    target_compile_definitions(${test} PRIVATE
      PLV_FONT_DIR="${CMAKE_BINARY_DIR}/data/font" PLV_PROGRAM_FONT="${CMAKE_BINARY_DIR}/data/Plintvlr.fon")
  endforeach()
  get_property(tests GLOBAL PROPERTY PLV_PANEL_FONT_TESTS)
  if(NOT tests)
    cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL plv_panel_fonts_first)
  endif()
  set_property(GLOBAL APPEND PROPERTY PLV_PANEL_FONT_TESTS ${ARGN})
endfunction()

function(plv_panel_fonts_first)
  get_property(tests GLOBAL PROPERTY PLV_PANEL_FONT_TESTS)
  if(TARGET plv_panel_fonts AND tests)
    foreach(test ${tests})
      add_dependencies(${test} plv_panel_fonts)
    endforeach()
  endif()
endfunction()
