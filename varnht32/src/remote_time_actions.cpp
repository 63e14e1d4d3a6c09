#include "varnht32/src/remote_time_actions.h"

#include "varnht32/src/actions.h"
#include "varnht32/src/associations.h"
#include "varnht32/src/card_channel.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/client_services.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/remote_time.h"
#include "varnht32/src/system_variables.h"
#include "varnht32/src/value_codec.h"

namespace vnh {

namespace {

constexpr std::uint8_t kXTimeType = kTypeStructured | kElementByte;  // 'B'
constexpr std::uint8_t kXTErrType = kElementLong;
// A TCP/IP channel has no card whose forwarding delay wants correcting.
constexpr std::int32_t kTcpIpTimeCorrection = 0;

std::int32_t SendNamedWrite(std::uint32_t element, const char* name, std::uint8_t type,
                            const PlainValue& value) {
  return SendKelmnetMessage(element, [&](MessageWriter& w) {
    w.Byte(kCodeNamedWrite).Byte(type).Name(name);
    std::uint32_t room = 0;
    std::uint8_t* tail = w.Tail(&room);
    std::uint32_t used = 0;
    std::int32_t status = EncodeValue(type, value, false, tail, room, &used);
    w.Commit(used);
    return status;
  });
}

PlainValue XTimeValue() {
  XTime x = CurrentXTime();
  PlainValue v;
  v.kind = VNH_VALUE_ARRAY;
  v.element_type = VNH_VALUE_INTEGER;
  v.first = 0;
  v.count = kXTimeBytes;
  for (std::size_t i = 0; i < kXTimeBytes; ++i) v.element[i].integer = x[i];
  return v;
}

}  // namespace

std::int32_t StartSetRemoteTime(std::uint32_t assoc, std::uint32_t action, bool* finished) {
  std::uint32_t element = AssociationOf(assoc)->element;
  std::uint32_t channel = Node(element)->channel;
  bool card = Channel(channel)->kind == kChannelCard;
  // Without a transmit buffer now the step goes again at the next poll; the
  // card is triggered only when the write can follow it.
  if (FreeTransmitBuffers() == 0) return -400;
  *finished = true;
  if (ActionOf(action)->kind == kActionSetTime) {
    if (card) CardTimeSyncTrigger(channel);
    return SendNamedWrite(element, kXTimeName, kXTimeType, XTimeValue());
  }
  PlainValue correction;
  correction.kind = VNH_VALUE_INTEGER;
  correction.integer = card ? kCardTimeCorrection : kTcpIpTimeCorrection;
  return SendNamedWrite(element, kXTErrName, kXTErrType, correction);
}

void ReceiveNamedWrite(std::uint8_t type_byte, std::string_view, const std::uint8_t* value,
                       std::uint32_t length) {
  // Only while remote nodes may set this PC's clock; the write is never answered.
  if (RemoteTimeMode() != kRemoteTimeSetsThisClock) return;
  PlainValue v;
  if (DecodeValue(type_byte, value, length, DecodeForm::kByName, false, &v) != 1) return;
  if (v.kind == VNH_VALUE_ARRAY && v.element_type == VNH_VALUE_INTEGER) {
    std::uint8_t bytes[kArrayMax];
    for (std::uint32_t i = 0; i < v.count; ++i) bytes[i] = static_cast<std::uint8_t>(v.element[i].integer);
    ReceiveRemoteTime(std::span<const std::uint8_t>(bytes, v.count));
  } else if (v.kind == VNH_VALUE_INTEGER) {
    ReceiveTimeCorrection(v.integer);
  }
}

}  // namespace vnh
