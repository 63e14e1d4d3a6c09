#pragma once
// A panel database image for the tests, as the configuration program writes
// one: the length at 0, the mark 0x53 at 8, record bytes after the 128-byte
// header (a pattern that shows a byte out of place).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/base/little_endian.h"

inline std::vector<std::uint8_t> PanelImage(std::size_t size) {
  std::vector<std::uint8_t> image(size);
  for (std::size_t i = 0; i < size; ++i) image[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  PutLe32(image.data(), static_cast<std::uint32_t>(size));
  image[8] = 0x53;
  return image;
}
