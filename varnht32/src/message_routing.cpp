#include "varnht32/src/message_routing.h"

#include <cstdio>
#include <string>

#include "varnht32/src/communication.h"
#include "varnht32/src/kelmnet_messages.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_channel.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/trace.h"

namespace vnh {

namespace {

constexpr std::uint32_t kBytesPerTraceLine = 20;

const MessageOwnerLookup* g_lookup = nullptr;
MessageHandler g_handler = nullptr;

// The stream number that a stream message names: the receiver's number at
// [2], except in an error message, which carries it at [3].
bool StreamNumberOf(const MessageBuffer* b, std::uint8_t* number) {
  // Byte 1 of a shorter message is what the buffer held before it.
  if (b->length < 2) return false;
  std::uint32_t at = b->message[1] == kStreamError ? 3 : 2;
  if (b->length <= at) return false;
  *number = b->message[at];
  return true;
}

std::uint32_t StreamOwner(const MessageBuffer* b) {
  std::uint8_t number = 0;
  if (g_lookup == nullptr || g_lookup->stream_owner == nullptr || !StreamNumberOf(b, &number)) {
    return 0;
  }
  return g_lookup->stream_owner(number);
}

std::uint32_t ActionOwner(std::uint32_t element) {
  if (g_lookup == nullptr || g_lookup->action_owner == nullptr) return 0;
  return g_lookup->action_owner(element);
}

}  // namespace

bool IsServerFunctionCode(std::uint8_t code) {
  switch (code) {
    case 1: case 2: case 8: case 9: case 10: case 12: case 14: case 15: case 28:
      return true;
    default:
      return false;
  }
}

void SetMessageOwnerLookup(const MessageOwnerLookup* lookup) { g_lookup = lookup; }

void SetMessageHandler(MessageHandler handler) { g_handler = handler; }

void TraceMessage(const char* caption, std::uint32_t element, const std::uint8_t* bytes,
                  std::uint32_t length) {
  bool hex = HexOutput();
  std::uint32_t channel_number = element != 0 ? Channel(Node(element)->channel)->number : 0;
  std::string node = element != 0 ? NodeAddressText(element) : std::string();
  char line[kTraceTextMax + 1];
  int used = hex ? std::snprintf(line, sizeof line, "%-20s%3d %-15s %02lX :", caption,
                                 static_cast<int>(channel_number), node.c_str(),
                                 static_cast<unsigned long>(length))
                 : std::snprintf(line, sizeof line, "%-20s%3d %-15s %3ld : ", caption,
                                 static_cast<int>(channel_number), node.c_str(),
                                 static_cast<long>(length));
  std::uint32_t on_line = 0;
  for (std::uint32_t i = 0; i < length; ++i) {
    if (on_line == kBytesPerTraceLine) {
      Trace("%s", line);
      used = 0;
      on_line = 0;
    }
    char* at = line + used;
    std::size_t room = sizeof line - static_cast<std::size_t>(used);
    used += hex ? std::snprintf(at, room, "  %02X", static_cast<unsigned>(bytes[i]))
                : std::snprintf(at, room, "%4ld", static_cast<long>(bytes[i]));
    ++on_line;
  }
  Trace("%s", line);
}

void SendMessage(std::uint32_t element, std::uint32_t buffer) {
  MessageBuffer* b = Buffer(buffer);
  b->element = element;
  std::uint32_t channel = Node(element)->channel;
  LinkChannel* l = Link(channel);
  bool drop = l->common.kind == kChannelCard && l->common.state == kChannelUp && l->alone != 0;
  if (TraceMessages()) {
    TraceMessage(drop ? "KNSendMessage*:" : "KNSendMessage:", element, b->message, b->length);
  }
  if (drop) {
    FreeMessageBuffer(buffer);
    return;
  }
  SharedHeap().Into(buffer, l->common.send_list);
}

std::uint32_t ReceivingClient(std::uint32_t buffer) {
  const SharedState& s = Shared();
  const MessageBuffer* b = Buffer(buffer);
  std::uint32_t polling = CurrentClient();
  if (b->length == 0) return polling;
  std::uint8_t code = b->message[0] & kFunctionCodeMask;
  if (code == kCodeConnectRequest) return s.communication_owner;
  if (IsServerFunctionCode(code)) return s.server_client;
  if (code == kCodeStream) {
    if (b->length >= 2 && b->message[1] == kStreamOpenRequest) return s.server_client;
    std::uint32_t owner = StreamOwner(b);
    return owner != 0 ? owner : polling;
  }
  std::uint32_t owner = ActionOwner(b->element);
  return owner != 0 ? owner : polling;
}

void ReceiveMessage(std::uint32_t buffer) {
  MessageBuffer* b = Buffer(buffer);
  if (TraceMessages()) TraceMessage("KNReceiveMessage:", b->element, b->message, b->length);
  std::uint32_t client = ReceivingClient(buffer);
  if (client == 0 || !QueueClientEvent(client, buffer)) FreeMessageBuffer(buffer);
}

void DispatchMessage(std::uint32_t buffer) {
  SharedState& s = Shared();
  MessageBuffer* b = Buffer(buffer);
  s.current_origin = b->element;
  if (g_handler != nullptr) g_handler(buffer);
  if (b->element != 0 && (Node(b->element)->flags & (kNodeUp | kNodeIdentifyPending)) == 0) {
    SetNodeUp(b->element);
  }
  FreeMessageBuffer(buffer);
  s.current_origin = 0;
}

}  // namespace vnh
