#pragma once
// The library's own string table: the texts of its settings dialog and of the
// messages that dialog shows.

#include <cstdint>

namespace vnh {

enum LibraryStringId : std::uint32_t {
  kStrUnknownError = 1,
  kStrValueOutOfRange = 2,
  kStrConfigurationError = 3,
  kStrInvalidValue = 5,
  kStrChannel = 6,
  kStrNone = 7,
  kStrUnableToWriteSettings = 8,
};

// The text of `id`; empty for an id the table does not hold.
const char* LibraryString(std::uint32_t id);

}  // namespace vnh
