#pragma once
// The 33-byte frames that an adapter card exchanges on the bus: [0] the node
// (destination when sent, source when received), [1] the length byte, [2] the
// function code in bits 0 to 4 with the frame type in bits 5 to 7, then up to
// 30 data bytes. A message of up to 31 bytes travels whole; a longer one is
// cut into a first fragment (the code and 30 bytes), middle fragments of 30
// bytes and a last fragment with the rest.

#include <cstdint>

namespace vnh {

constexpr std::uint32_t kFrameBytes = 33;
constexpr std::uint32_t kFrameDataBytes = 30;
constexpr std::uint32_t kWholeMessageMax = 31;

enum FrameType : std::uint8_t {
  kFrameWhole = 0x00,
  kFrameFirst = 0x20,
  kFrameMiddleEven = 0x40,
  kFrameMiddleOdd = 0x60,
  kFrameLast = 0x80,
};
constexpr std::uint8_t kFrameTypeMask = 0xE0;

using Frame = std::uint8_t[kFrameBytes];

// Frames a message of `length` bytes (1 to 1024) takes.
std::uint32_t FrameCount(std::uint32_t length);
// Fragment `index` (0 first) of a message to `node`; `index` must be below
// FrameCount(length).
void BuildFrame(const std::uint8_t* message, std::uint32_t length, std::uint32_t index,
                std::uint8_t node, Frame& frame);
// The frame type of a middle fragment by its number.
constexpr std::uint8_t MiddleFrameType(std::uint32_t index) {
  return (index % 2) != 0 ? kFrameMiddleOdd : kFrameMiddleEven;
}

struct FrameView {
  std::uint8_t node;
  std::uint8_t type;  // one of FrameType
  std::uint8_t code;
  const std::uint8_t* data;  // the bytes after the function code
  std::uint32_t data_length;
};
// False for a frame whose type or length byte breaks the layout.
bool DecodeFrame(const Frame& frame, FrameView* view);

}  // namespace vnh
