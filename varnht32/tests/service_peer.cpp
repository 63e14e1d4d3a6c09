#include "varnht32/tests/service_peer.h"

#include <cstring>
#include <string>

#include "varnht32/src/clock.h"
#include "varnht32/src/knsock.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/wall_clock.h"
#include "varnht32/tests/link_support.h"

namespace vnh_test {

namespace {

PeerBoard* g_board = nullptr;
int g_side = 0;
VNHHandle g_connection = 0;
VNHHandle g_last_action = 0;

PeerState& Me() { return g_board->side[g_side]; }
PeerArguments& Args() { return g_board->args[g_side]; }

VNHIdentifier Id(const char* text) {
  VNHIdentifier id{};
  id.length = static_cast<std::uint32_t>(std::strlen(text));
  std::memcpy(id.text, text, id.length);
  return id;
}

std::string Text(const VNHIdentifier* id) { return std::string(id->text, id->length); }

const char* ChannelName() {
  switch (g_board->transport) {
    case Transport::kUdp: return "5";
    case Transport::kCard: return g_side == 0 ? "1" : "2";
    default: return "1";
  }
}

const char* OtherNode() {
  switch (g_board->transport) {
    case Transport::kUdp: return g_side == 0 ? "127.0.0.3" : "127.0.0.2";
    case Transport::kCard: return g_side == 0 ? "3" : "2";
    default: return "9";
  }
}

PeerVariable* VariableFor(const std::string& name, bool make) {
  PeerState& s = Me();
  for (PeerVariable& v : s.variables) {
    if (v.kind != 0 && name == v.name) return &v;
  }
  if (!make || name.size() >= sizeof s.variables[0].name) return nullptr;
  for (PeerVariable& v : s.variables) {
    if (v.kind == 0) {
      std::memset(&v, 0, sizeof v);
      std::memcpy(v.name, name.data(), name.size());
      return &v;
    }
  }
  return nullptr;
}

void VNH_CALL ReadVariable(const VNHIdentifier* name, VNHVariableValue* c, std::int32_t* status) {
  PeerVariable* v = VariableFor(Text(name), false);
  if (v == nullptr && Me().any_name != 0 && name->length > 0 && name->text[0] != '%') {
    c->pair[0].type = 0;
    c->pair[0].value.word = 1;
    c->pair[1].type = VNH_VALUE_INTEGER;
    c->pair[1].value.integer = 0;
    *status = 1;
    return;
  }
  if (v == nullptr) {
    *status = -428;
    return;
  }
  c->pair[0].type = 0;
  c->pair[0].value.word = 1;
  VNHValuePair& p = c->pair[1];
  std::uint32_t slot = 1;
  std::int32_t st = 1;
  switch (v->kind) {
    case VNH_VALUE_BOOLEAN:
      p.type = v->kind;
      p.value.boolean = static_cast<std::uint8_t>(v->integer);
      break;
    case VNH_VALUE_INTEGER:
      p.type = v->kind;
      p.value.integer = v->integer;
      break;
    case VNH_VALUE_REAL:
      p.type = v->kind;
      p.value.real = v->real;
      break;
    case VNH_VALUE_STRING:
      VNHAllocateStringInVV(c, &slot, &st);
      if (st != 1) break;
      p.value.string->length = v->length;
      std::memcpy(p.value.string->text, v->text, v->length);
      break;
    case VNH_VALUE_ARRAY:
      VNHAllocateArrayInVV(c, &slot, &st);
      if (st != 1) break;
      p.value.array->type = VNH_VALUE_INTEGER;
      p.value.array->start = 0;
      p.value.array->count = v->count;
      for (std::uint32_t i = 0; i < v->count; ++i) p.value.array->element[i].integer = v->element[i];
      break;
    default:
      st = -5;
      break;
  }
  *status = st;
}

void VNH_CALL WriteVariable(const VNHIdentifier* name, VNHVariableValue* c, std::int32_t* status) {
  PeerVariable* v = VariableFor(Text(name), true);
  if (v == nullptr || c->pair[0].value.word != 1) {
    *status = -6;
    return;
  }
  const VNHValuePair& p = c->pair[1];
  v->kind = p.type;
  switch (p.type) {
    case VNH_VALUE_BOOLEAN: v->integer = p.value.boolean; break;
    case VNH_VALUE_INTEGER: v->integer = p.value.integer; break;
    case VNH_VALUE_REAL: v->real = p.value.real; break;
    case VNH_VALUE_STRING:
      v->length = p.value.string->length;
      std::memcpy(v->text, p.value.string->text, v->length);
      break;
    case VNH_VALUE_ARRAY:
      v->count = p.value.array->count < 8 ? p.value.array->count : 8;
      for (std::uint32_t i = 0; i < v->count; ++i) v->element[i] = p.value.array->element[i].integer;
      break;
    default:
      *status = -5;
      return;
  }
  ++Me().writes;
  *status = 1;
}

void VNH_CALL Completed(std::uint32_t* user_value, const VNHActionResult* result) {
  PeerState& s = Me();
  if (*user_value == kSendUserValue) {
    s.sending = 0;
    if (result->status != 1) s.send_error = result->status;
  }
  s.result[*user_value % kResults] = result->status;
}

void VNH_CALL NodeStatus(const VNHIdentifier*, const VNHIdentifier* node, const std::uint32_t* up) {
  PeerState& s = Me();
  std::string text = Text(node);
  std::snprintf(s.last_node, sizeof s.last_node, "%s", text.c_str());
  if (*up != 0) {
    ++s.node_up;
  } else {
    ++s.node_down;
  }
}

void VNH_CALL Identified(const VNHIdentifier*, const VNHIdentifier*, const VNHIdentifier* identity,
                         const std::uint32_t* option, const std::uint32_t* restart,
                         const std::uint32_t* software) {
  PeerState& s = Me();
  std::snprintf(s.identity, sizeof s.identity, "%.5s", identity->text);
  s.option = *option;
  s.restart = *restart;
  s.software = *software;
  ++s.identified;
}

void VNH_CALL TovraMessage(VNHTovraMessage* message, VNHTovraData* transmit, std::int32_t*) {
  std::memcpy(transmit->message, message->message, message->length);
  transmit->length = message->length;
}

// Both sides of a Tovra exchange: a message that arrives (28) is answered with
// its bytes reversed behind the reply code; a reply (29) is kept.
void VNH_CALL TovraReply(void* handle, VNHTovraData* received, std::int32_t* status) {
  PeerState& s = Me();
  if (received->length > 0 && received->message[0] == 28) {
    std::uint8_t reply[64] = {29};
    std::uint32_t n = received->length < sizeof reply ? received->length : sizeof reply;
    for (std::uint32_t i = 1; i < n; ++i) reply[i] = received->message[n - i];
    VNHTovraData out{n, reply};
    std::int32_t st = 0;
    VNHSendTovraTransparentReply(static_cast<const VNHReplyHandle*>(handle), &out, &st);
    s.tovra_served_status = st;
    ++s.tovra_served;
    return;
  }
  s.tovra_reply_length = received->length < sizeof s.tovra_reply ? received->length : sizeof s.tovra_reply;
  std::memcpy(s.tovra_reply, received->message, s.tovra_reply_length);
  ++s.tovra_replies;
  *status = 1;
}

void VNH_CALL StreamOpen(const VNHIdentifier*, VNHHandle* stream, std::uint32_t* user_value,
                         std::int32_t* status) {
  PeerState& s = Me();
  if (s.refuse_open != 0) {
    *status = -490;
    return;
  }
  s.accepted = *stream;
  *user_value = 900;
  ++s.opened;
  *status = 1;
}

void VNH_CALL StreamReceived(std::uint32_t*, std::uint32_t* length, std::uint8_t* data,
                             std::int32_t* status) {
  PeerState& s = Me();
  std::uint64_t at = s.received;
  for (std::uint32_t i = 0; i < *length; ++i) {
    if (data[i] != StreamByte(1 - g_side, at + i)) ++s.mismatches;
  }
  s.received += *length;
  if (*length > s.largest_block) s.largest_block = *length;
  if (s.hold.exchange(0) != 0) *length = 0;
  *status = 1;
}

void VNH_CALL StreamSend(std::uint32_t*, std::uint32_t* length, std::uint8_t* buffer,
                         std::int32_t* status) {
  PeerState& s = Me();
  std::uint64_t left = s.to_send - s.sent;
  std::uint32_t n = left < *length ? static_cast<std::uint32_t>(left) : *length;
  std::uint32_t offered = s.over_offer != 0 ? n + 50 : n;
  for (std::uint32_t i = 0; i < offered; ++i) buffer[i] = StreamByte(g_side, s.sent + i);
  s.sent += n;
  *length = offered;
  *status = 1;
}

void VNH_CALL StreamClosed(std::uint32_t*, std::int32_t* status) {
  ++Me().closed;
  *status = 1;
}

std::int32_t SetUp(bool server) {
  if (InitVarnholtnet() != 1) return -1000;
  bool set = true;
  std::string card = std::to_string(g_side + 1);
  switch (g_board->transport) {
    case Transport::kUdp:
      set = SetBoolSetting("EnableKelmnetTCPIP", true);
      break;
    case Transport::kCard:
      set = SetBoolSetting(("EnableKelmnet" + card).c_str(), true) &&
            SetIntSetting(("Kelmnet" + card + "NodeAddress").c_str(), 2 + g_side);
      break;
    case Transport::kSimulated:
      set = SetBoolSetting("VarnholtnetSimulate3", true);
      break;
  }
  if (!set) return -1001;
  std::int32_t status = 0;
  if (!server) VNHDisableServerEntity();
  std::uint32_t on = 1;
  VNHSetVariableCallBacks(ReadVariable, WriteVariable, &status);
  if (Me().no_async == 0) VNHSetAsyncActionCallBack(Completed, &status);
  VNHSetNodeStatusCallBack(NodeStatus, &on, &status);
  VNHSetIdentifyCallBack(Identified, &status);
  VNHSetTovraCallBacks(TovraMessage, TovraReply, &status);
  VNHSetStreamCallBacks(StreamOpen, StreamReceived, StreamSend, StreamClosed, &status);
  VNHInitCommunication(&status);
  return status;
}

VNHHandle* StreamAt(std::int32_t index) {
  static VNHHandle accepted = 0;
  if (index < 0) {
    accepted = Me().accepted;
    return &accepted;
  }
  return &Me().streams[index % kStreamHandles];
}

// Queues the next send step of the stream being fed, when one is due.
void DriveStream() {
  PeerState& s = Me();
  if (s.sending != 0 || s.sent >= s.to_send || s.send_error != 0) return;
  VNHHandle* stream = StreamAt(s.send_on);
  VNHHandle action = kSendUserValue;
  std::int32_t status = 0;
  s.sending = 1;
  VNHStreamSendData(stream, &action, &status);
  if (status != 1) {
    s.sending = 0;
    s.send_error = status;
    return;
  }
  ++s.send_steps;
}

std::int32_t Pump() {
  for (int i = 0; i < 20; ++i) {
    VNHPollCommunication();
    DriveStream();
  }
  vnh::MutexLock lock;
  vnh::TimeStamp due{};
  Me().next_due = vnh::NextSessionDue(&due) ? static_cast<std::uint32_t>(vnh::TotalMs(due)) : 0;
  return 1;
}

// The PC's calendar clock as the board says; a setting is kept there.
class BoardClock : public vnh::WallClock {
 public:
  vnh::LocalDate Now() override { return vnh::LocalDate{Me().wall_days, Me().wall_ms}; }
  bool Set(vnh::LocalDate local, std::string*) override {
    Me().set_days = local.days;
    Me().set_ms = local.ms;
    ++Me().clock_sets;
    return true;
  }
};

std::int32_t UseBoardClock(std::int32_t mode) {
  static BoardClock clock;
  vnh::SetWallClock(&clock);
  return SetIntSetting("SetRemoteTimeEnable", mode) ? 1 : -1;
}

// Runs a queuing export with the action handle preset to the user value.
template <class Queue>
std::int32_t Queued(Queue queue) {
  VNHHandle action = Args().user;
  std::int32_t status = 0;
  queue(&action, &status);
  g_last_action = action;
  return status;
}

}  // namespace

PeerArguments PeerArgs(const char* remote, const char* local, std::uint32_t user,
                       std::uint32_t flag) {
  PeerArguments a{};
  std::snprintf(a.remote, sizeof a.remote, "%s", remote);
  std::snprintf(a.local, sizeof a.local, "%s", local);
  a.user = user;
  a.flag = flag;
  return a;
}

std::uint8_t StreamByte(int side, std::uint64_t at) {
  return static_cast<std::uint8_t>((at * 7 + (at >> 8) + static_cast<std::uint64_t>(side) * 101) & 0xFF);
}

void BecomePeer(PeerBoard* board, int side) {
  g_board = board;
  g_side = side;
}

std::int32_t PeerStep(std::int32_t command) {
  PeerArguments& a = Args();
  VNHIdentifier remote = Id(a.remote);
  VNHIdentifier local = Id(a.local);
  VNHIdentifier channel = Id(ChannelName());
  VNHIdentifier node = Id(OtherNode());
  std::int32_t status = 0;
  switch (command) {
    case kPeerSetUp: return SetUp(true);
    case kPeerSetUpNoServer: return SetUp(false);
    case kPeerPump: return Pump();
    case kPeerDefine:
      VNHDefineConnection(&channel, &node, &g_connection, &status);
      return status;
    case kPeerConnectionStatus: return VNHConnectionStatus(&g_connection);
    case kPeerRelease:
      VNHReleaseConnection(&g_connection, &status);
      return status;
    case kPeerRead:
      return Queued([&](VNHHandle* h, std::int32_t* st) {
        VNHReadNamedVariable(&g_connection, &remote, &local, nullptr, h, st);
      });
    case kPeerWrite:
      return Queued([&](VNHHandle* h, std::int32_t* st) {
        VNHWriteNamedVariable(&g_connection, &remote, &local, nullptr, h, st);
      });
    case kPeerSubscribe:
      return Queued([&](VNHHandle* h, std::int32_t* st) {
        VNHSubscribeVarReport(&g_connection, &remote, &local, &a.flag, h, st);
      });
    case kPeerTovra:
      return Queued([&](VNHHandle* h, std::int32_t* st) {
        VNHTovraMessage m{};
        m.length = a.length;
        std::memcpy(m.message, a.bytes, a.length < sizeof m.message ? a.length : sizeof m.message);
        VNHSendTovraTransparentMessage(&g_connection, &m, h, st);
      });
    case kPeerIdentify:
      return Queued([&](VNHHandle* h, std::int32_t* st) { VNHIdentifyRemsys(&channel, &node, h, st); });
    case kPeerNodeStatus:
      return Queued([&](VNHHandle* h, std::int32_t* st) {
        VNHIdentifier all{};
        VNHNodeStatusRequest(&channel, a.flag != 0 ? &node : &all, h, st);
      });
    case kPeerDefineReport:
      VNHDefineVarGlobalReport(&remote, &status);
      return status;
    case kPeerSendReport:
      VNHSendVarReport(&remote, &status);
      return status;
    case kPeerOpenStream:
      return Queued([&](VNHHandle* h, std::int32_t* st) {
        std::uint32_t user = 77;
        VNHStreamRequest(&g_connection, &user, &remote, StreamAt(a.index), h, st);
      });
    case kPeerStreamSend:
      return Queued([&](VNHHandle* h, std::int32_t* st) { VNHStreamSendData(StreamAt(a.index), h, st); });
    case kPeerStreamRestart:
      return Queued([&](VNHHandle* h, std::int32_t* st) { VNHStreamRestart(StreamAt(a.index), h, st); });
    case kPeerStreamClose:
      return Queued([&](VNHHandle* h, std::int32_t* st) { VNHStreamClose(StreamAt(a.index), h, st); });
    case kPeerConfigIdentity:
      VNHConfigIdentity(&remote, &a.flag, &status);
      return status;
    case kPeerCloseCommunication:
      return VNHCloseCommunication();
    case kPeerTestClock: return UseBoardClock(static_cast<std::int32_t>(a.flag));
    case kPeerSetRemoteTime:
      return Queued([&](VNHHandle* h, std::int32_t* st) { VNHSetRemoteTime(&g_connection, h, st); });
    case kPeerAsyncStatus: {
      VNHHandle handle = g_last_action;
      return VNHAsynchronousStatus(a.flag != 0 ? &g_connection : nullptr, &handle);
    }
    default:
      return -12345;
  }
}

PeerVariable* FindVariable(PeerState& s, const char* name) {
  for (PeerVariable& v : s.variables) {
    if (v.kind != 0 && std::strcmp(v.name, name) == 0) return &v;
  }
  return nullptr;
}

namespace {

PeerVariable* Slot(PeerState& s, const char* name) {
  PeerVariable* v = FindVariable(s, name);
  if (v != nullptr) return v;
  for (PeerVariable& free : s.variables) {
    if (free.kind == 0) {
      std::memset(&free, 0, sizeof free);
      std::snprintf(free.name, sizeof free.name, "%s", name);
      return &free;
    }
  }
  return nullptr;
}

}  // namespace

void SetInteger(PeerState& s, const char* name, std::int32_t value) {
  PeerVariable* v = Slot(s, name);
  v->kind = VNH_VALUE_INTEGER;
  v->integer = value;
}

void SetText(PeerState& s, const char* name, const char* text) {
  PeerVariable* v = Slot(s, name);
  v->kind = VNH_VALUE_STRING;
  v->length = static_cast<std::uint32_t>(std::strlen(text));
  std::memcpy(v->text, text, v->length);
}

void SetArray(PeerState& s, const char* name, std::initializer_list<std::int32_t> values) {
  PeerVariable* v = Slot(s, name);
  v->kind = VNH_VALUE_ARRAY;
  v->count = 0;
  for (std::int32_t x : values) v->element[v->count++] = x;
}

}  // namespace vnh_test
