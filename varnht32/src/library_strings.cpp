#include "varnht32/src/library_strings.h"

namespace vnh {

namespace {

struct Entry {
  std::uint32_t id;
  const char* text;
};

constexpr Entry kStrings[] = {
    {kStrUnknownError, "unknown error"},
    {kStrValueOutOfRange, "value out of range"},
    {kStrConfigurationError, "Configuration Error"},
    {kStrInvalidValue, "invalid value"},
    {kStrChannel, "Channel "},
    {kStrNone, "<none>"},
    {kStrUnableToWriteSettings, "Unable to write configuration file 'openfb.inf' !"},
};

}  // namespace

const char* LibraryString(std::uint32_t id) {
  for (const Entry& e : kStrings) {
    if (e.id == id) return e.text;
  }
  return "";
}

}  // namespace vnh
