// Messages from a node, through the whole of the services: on the simulated
// channel every message sent to a node comes back as that node's, so each
// input record arrives as if node <node> had sent it, and the library's own
// server and client take what they are given, with a connection, a read, a
// subscription and an open stream waiting for answers. Input: records of
// [node][length][bytes]; node 0 moves the clock on by the length in ms.
// One library instance serves every input (see fuzz_library.h for how to
// reproduce a finding that needs the inputs before it).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "varnht32/fuzz/fuzz_library.h"
#include "varnht32/include/varnht32.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/message_dispatch.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/node_data.h"

namespace {

VNHHandle g_connection = 0;
VNHHandle g_stream = 0;

void VNH_CALL Read(const VNHIdentifier* name, VNHVariableValue* c, std::int32_t* status) {
  c->pair[0].type = 0;
  c->pair[0].value.word = 1;
  std::uint32_t slot = 1;
  switch (name->length > 0 ? name->text[0] : 0) {
    case 'S':
      VNHAllocateStringInVV(c, &slot, status);
      if (*status == 1) c->pair[1].value.string->length = 300;  // longer than the item
      return;
    case 'A':
      VNHAllocateArrayInVV(c, &slot, status);
      if (*status == 1) c->pair[1].value.array->count = 1000;  // more than it holds
      return;
    case 'B':
      VNHAllocateBitStringInVV(c, &slot, status);
      if (*status == 1) c->pair[1].value.bits->count = 5000;
      return;
    case 'X':
      c->pair[0].value.word = 7;  // not one value
      *status = 1;
      return;
    default:
      c->pair[1].type = VNH_VALUE_INTEGER;
      c->pair[1].value.integer = 70000;
      *status = 1;
  }
}

void VNH_CALL Write(const VNHIdentifier*, VNHVariableValue*, std::int32_t* status) { *status = 1; }

void VNH_CALL Open(const VNHIdentifier*, VNHHandle*, std::uint32_t*, std::int32_t* status) { *status = 1; }

void VNH_CALL Data(std::uint32_t*, std::uint32_t* length, std::uint8_t* data, std::int32_t* status) {
  if (*length > 0) data[*length - 1] ^= 1;  // every byte it says it has is there
  *status = 1;
}

void VNH_CALL Reply(void* reply, VNHTovraData* received, std::int32_t* status) {
  if (received->length > 0 && received->message[0] == 28) {
    std::uint8_t bytes[] = {29, 1};
    VNHTovraData out{2, bytes};
    VNHSendTovraTransparentReply(static_cast<const VNHReplyHandle*>(reply), &out, status);
  }
}

void Configure() { vnh_fuzz::SetSetting("VarnholtnetSimulate3", 1, 1); }

bool Idle() {
  vnh::MutexLock lock;
  return vnh::FreeTransmitBuffers() == vnh::kTransmitBuffers &&
         vnh::FreeReceiveBuffers() == vnh::kReceiveBuffers;
}

// Something waits for answers at every input.
void Ask() {
  std::int32_t status = 0;
  if (VNHConnectionStatus(&g_connection) != 1) {
    VNHIdentifier channel{1, "1"};
    VNHIdentifier node{1, "9"};
    if (g_connection == 0) VNHDefineConnection(&channel, &node, &g_connection, &status);
    vnh_fuzz::PollUntil(Idle, 100);
    return;
  }
  VNHIdentifier name{5, "TEMP1"};
  VNHIdentifier local{5, "LOCAL"};
  VNHHandle action = 1;
  VNHReadNamedVariable(&g_connection, &name, &local, nullptr, &action, &status);
  std::uint32_t on = 1;
  VNHIdentifier report{5, "REPRT"};
  action = 2;
  VNHSubscribeVarReport(&g_connection, &report, &local, &on, &action, &status);
  if (VNHStreamSendData(&g_stream, &action, &status) == 1 && status == -2) {
    VNHIdentifier stream{5, "STREM"};
    std::uint32_t user = 3;
    action = 3;
    VNHStreamRequest(&g_connection, &user, &stream, &g_stream, &action, &status);
  }
}

void Arrive(std::uint8_t node, const std::uint8_t* bytes, std::size_t length) {
  vnh::MutexLock lock;
  std::uint32_t channel = vnh::SharedHeap().First(vnh::Shared().channel_list);
  std::uint32_t element = channel != 0 ? vnh::NodeElement(channel, node) : 0;
  std::uint32_t buffer = element != 0 ? vnh::TakeTransmitBuffer() : 0;
  if (buffer == 0) return;
  vnh::MessageBuffer* b = vnh::Buffer(buffer);
  std::memcpy(b->message, bytes, length);
  b->length = static_cast<std::uint32_t>(length);
  vnh::SendMessage(element, buffer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool started = [] {
    if (!vnh_fuzz::StartLibrary(Configure)) return false;
    vnh::UseServiceMessageHandler();
    std::int32_t status = 0;
    VNHSetVariableCallBacks(Read, Write, &status);
    VNHSetStreamCallBacks(Open, Data, Data, nullptr, &status);
    VNHSetTovraCallBacks(nullptr, Reply, &status);
    return true;
  }();
  if (!started) std::abort();
  Ask();
  std::size_t at = 0;
  while (at + 3 <= size) {
    std::uint8_t node = data[at];
    std::size_t length = data[at + 1] | (data[at + 2] << 8);
    at += 3;
    if (length > size - at) length = size - at;
    if (node == 0) {
      vnh_fuzz::AdvanceClock(static_cast<std::uint32_t>(length));
    } else if (length <= vnh::kMessageMax) {
      Arrive(node, data + at, length);
      at += length;
    }
    vnh_fuzz::PollUntil(Idle, 50);
  }
  vnh_fuzz::PollUntil(Idle, 1000);
  // Whatever came, the buffers all come back.
  if (!Idle()) std::abort();
  return 0;
}
