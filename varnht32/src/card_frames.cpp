#include "varnht32/src/card_frames.h"

#include <cstring>

namespace vnh {

namespace {

constexpr std::uint8_t kCodeMask = 0x1F;
constexpr std::uint32_t kFirstFragmentBytes = 1 + kFrameDataBytes;  // the code and 30 bytes

}  // namespace

std::uint32_t FrameCount(std::uint32_t length) {
  if (length <= kWholeMessageMax) return 1;
  return (length - (kWholeMessageMax + 1)) / kFrameDataBytes + 2;
}

void BuildFrame(const std::uint8_t* message, std::uint32_t length, std::uint32_t index,
                std::uint8_t node, Frame& frame) {
  std::memset(frame, 0, kFrameBytes);
  frame[0] = node;
  std::uint8_t code = message[0] & kCodeMask;
  std::uint32_t count = FrameCount(length);
  if (count == 1) {
    frame[1] = static_cast<std::uint8_t>(length);
    frame[2] = code | kFrameWhole;
    std::memcpy(frame + 3, message + 1, length - 1);
    return;
  }
  std::uint32_t from = index == 0 ? 1 : kFirstFragmentBytes + (index - 1) * kFrameDataBytes;
  std::uint32_t n = length - from < kFrameDataBytes ? length - from : kFrameDataBytes;
  std::uint8_t type = MiddleFrameType(index);
  if (index == 0) type = kFrameFirst;
  if (index + 1 == count) type = kFrameLast;
  frame[1] = static_cast<std::uint8_t>(n + 1);
  frame[2] = code | type;
  std::memcpy(frame + 3, message + from, n);
}

bool DecodeFrame(const Frame& frame, FrameView* view) {
  std::uint8_t length = frame[1];
  std::uint8_t type = frame[2] & kFrameTypeMask;
  switch (type) {
    case kFrameWhole:
      if (length < 1 || length > kWholeMessageMax) return false;
      break;
    case kFrameFirst:
    case kFrameMiddleEven:
    case kFrameMiddleOdd:
      if (length != kFrameDataBytes + 1) return false;
      break;
    case kFrameLast:
      if (length < 2 || length > kFrameDataBytes + 1) return false;
      break;
    default:
      return false;
  }
  view->node = frame[0];
  view->type = type;
  view->code = frame[2] & kCodeMask;
  view->data = frame + 3;
  view->data_length = static_cast<std::uint32_t>(length) - 1;
  return true;
}

}  // namespace vnh
