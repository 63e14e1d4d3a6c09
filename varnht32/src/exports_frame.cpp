// The exports of the library frame: attach and detach, start and end of the
// library and of communication, the poll engine, the callback setters, the
// client's identity, channel enumeration and the time functions.

#include <cstdio>
#include <cstring>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/client.h"
#include "varnht32/src/clock.h"
#include "varnht32/src/communication.h"
#include "varnht32/src/identifiers.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/module_setup.h"
#include "varnht32/src/node_data.h"

using namespace vnh;

namespace {

constexpr std::int32_t kVersion = 0x20A;

enum AttachReason : std::uint32_t {
  kProcessDetach = 0,
  kProcessAttach = 1,
  kThreadAttach = 2,
  kThreadDetach = 3,
};

void SetStatus(std::int32_t* status, std::int32_t value) {
  if (status != nullptr) *status = value;
}

// The callback setters take no mutex: they touch only the calling thread's own
// record and storage.
template <class Apply>
std::int32_t SetCallBacks(std::int32_t* status, Apply apply) {
  std::uint32_t client = CurrentClient();
  if (client == 0) {
    SetStatus(status, -2);
    return -2;
  }
  Shared().current_time = Now();
  apply(CurrentThread().callbacks, *Client(client));
  SetStatus(status, 1);
  return 1;
}

template <class F>
void Store(F& slot, std::uint32_t& marker, F callback) {
  if (callback == nullptr) return;
  slot = callback;
  marker = 1;
}

std::int32_t ApplyIdentity(const VNHIdentifier* name, const std::uint32_t* option,
                           bool restart) {
  Identity& id = Client(CurrentClient())->identity;
  Identity changed = id;
  if (!SetIdentityName(changed, IdentifierText(name))) return -30;
  if (option != nullptr) changed.option = static_cast<std::uint8_t>(*option);
  if (restart) {
    bool renamed = std::memcmp(changed.name, id.name, sizeof id.name) != 0;
    ++changed.restart;
    id = changed;
    if (renamed) AnnounceNodeIdentity();
  } else {
    id = changed;
  }
  return 1;
}

}  // namespace

extern "C" {

VNH_API std::int32_t VNH_CALL DllMain(void*, std::uint32_t reason, void*) {
  switch (reason) {
    case kProcessAttach:
    case kThreadAttach:
      AttachThread();
      break;
    case kThreadDetach:
      DetachThread();
      break;
    case kProcessDetach:
      DetachProcess();
      break;
    default:
      break;
  }
  return 1;
}

VNH_API std::int32_t VNH_CALL InitVarnholtnet(void) {
  if (!AttachThread()) return -2;
  ThreadSlot& thread = CurrentThread();
  if (thread.client != 0) return 1;  // one client record per thread
  MutexLock lock;
  if (!lock.held()) return -2;
  SharedState& s = Shared();
  if (s.init_count++ == 0) {
    SetUpModules();
  } else {
    ReleaseClientsOfDeadProcesses();
  }
  std::uint32_t client = CreateClient();
  // Without a record every later call of this thread fails; the caller must
  // hear so now rather than from the next call.
  if (client == 0) return -4;
  thread.client = client;
  thread.callbacks = ClientCallbacks{};
  s.current_time = Now();
  return 1;
}

VNH_API std::int32_t VNH_CALL CloseVarnholtnet(void) {
  InterfaceLock lock(nullptr);
  if (!lock.held()) return lock.failure();
  ThreadSlot& thread = CurrentThread();
  ReleaseClient(thread.client);
  thread.client = 0;
  thread.callbacks = ClientCallbacks{};
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHInitCommunication(std::int32_t* status) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  SetStatus(status, StartCommunication(CurrentClient()));
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHPollCommunication(void) {
  InterfaceLock lock(nullptr);
  if (!lock.held()) return lock.failure();
  PollCommunication(CurrentClient());
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHCloseCommunication(void) {
  InterfaceLock lock(nullptr);
  if (!lock.held()) return lock.failure();
  EndCommunication(CurrentClient());
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHDisableServerEntity(void) {
  InterfaceLock lock(nullptr);
  if (!lock.held()) return lock.failure();
  Client(CurrentClient())->offers_server_entity = 0;
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHSetAsyncActionCallBack(VNHAsyncActionCallBack completion,
                                                         std::int32_t* status) {
  return SetCallBacks(status, [&](ClientCallbacks& cb, ClientRecord& r) {
    Store(cb.async_action, r.async_action_callback, completion);
  });
}

VNH_API std::int32_t VNH_CALL VNHSetVariableCallBacks(VNHVariableCallBack read,
                                                       VNHVariableCallBack write,
                                                       std::int32_t* status) {
  return SetCallBacks(status, [&](ClientCallbacks& cb, ClientRecord& r) {
    Store(cb.variable_read, r.variable_read_callback, read);
    Store(cb.variable_write, r.variable_write_callback, write);
  });
}

VNH_API std::int32_t VNH_CALL VNHSetNodeStatusCallBack(VNHNodeStatusCallBack callback,
                                                        const std::uint32_t* flag,
                                                        std::int32_t* status) {
  return SetCallBacks(status, [&](ClientCallbacks& cb, ClientRecord& r) {
    Store(cb.node_status, r.node_status_callback, callback);
    r.node_status_wanted = (flag != nullptr && *flag != 0) ? 1 : 0;
  });
}

VNH_API std::int32_t VNH_CALL VNHSetStreamCallBacks(VNHStreamOpenCallBack open_request,
                                                     VNHStreamDataCallBack data_received,
                                                     VNHStreamDataCallBack data_to_send,
                                                     VNHStreamClosedCallBack closed,
                                                     std::int32_t* status) {
  return SetCallBacks(status, [&](ClientCallbacks& cb, ClientRecord& r) {
    Store(cb.stream_open, r.stream_callbacks[0], open_request);
    Store(cb.stream_received, r.stream_callbacks[1], data_received);
    Store(cb.stream_send, r.stream_callbacks[2], data_to_send);
    Store(cb.stream_closed, r.stream_callbacks[3], closed);
  });
}

VNH_API std::int32_t VNH_CALL VNHSetTovraCallBacks(VNHTovraMessageCallBack message,
                                                    VNHTovraReplyCallBack reply,
                                                    std::int32_t* status) {
  return SetCallBacks(status, [&](ClientCallbacks& cb, ClientRecord& r) {
    Store(cb.tovra_message, r.tovra_message_callback, message);
    Store(cb.tovra_reply, r.tovra_reply_callback, reply);
  });
}

VNH_API std::int32_t VNH_CALL VNHSetIdentifyCallBack(VNHIdentifyCallBack callback,
                                                      std::int32_t* status) {
  return SetCallBacks(status, [&](ClientCallbacks& cb, ClientRecord& r) {
    Store(cb.identify, r.identify_callback, callback);
  });
}

VNH_API std::int32_t VNH_CALL VNHSetResourceCallBack(std::int32_t* status) {
  SetStatus(status, -485);
  return 1;
}

VNH_API std::int32_t VNH_CALL VNHResourceControlRequest(void) { return 1; }

VNH_API std::int32_t VNH_CALL VNHConfigIdentity(const VNHIdentifier* name,
                                                 const std::uint32_t* option,
                                                 std::int32_t* status) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  SetStatus(status, ApplyIdentity(name, option, false));
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHModuleRestart(const VNHIdentifier* name,
                                                const std::uint32_t* option,
                                                std::int32_t* status) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  SetStatus(status, ApplyIdentity(name, option, true));
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHLegalIdentifier(const VNHIdentifier* identifier,
                                                  std::uint32_t* kind) {
  if (identifier == nullptr) return 0;
  return IsLegalIdentifier(IdentifierText(identifier), kind) ? 1 : 0;
}

VNH_API std::int32_t VNH_CALL VNHEnumChannel(VNHHandle* cursor, VNHIdentifier* channel) {
  // A caller loops while this returns nonzero, so a failed lock ends its walk.
  InterfaceLock lock(nullptr);
  if (!lock.held() || cursor == nullptr) return 0;
  Heap heap = SharedHeap();
  std::uint32_t next = 0;
  if (*cursor == 0) {
    next = heap.First(Shared().channel_list);
  } else if (heap.CheckHandle(*cursor, kTypeChannel) == 1) {
    next = heap.SuccElem(*cursor);
  }
  *cursor = next;
  if (next == 0) return 0;
  char text[8];
  std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(Channel(next)->number));
  SetIdentifierText(channel, text);
  return 1;
}

VNH_API std::int32_t VNH_CALL VNHGetKelmnetInfo(const VNHIdentifier* channel,
                                                 std::uint32_t* card_memory,
                                                 VNHIdentifier* own_address,
                                                 VNHIdentifier* version) {
  InterfaceLock lock(nullptr);
  if (!lock.held()) return 0;
  std::int32_t status = 0;
  std::uint32_t c = FindChannel(channel, &status);
  if (c == 0) return 0;
  const ChannelRecord* r = Channel(c);
  bool tcpip = r->kind == kChannelTcpIp;
  if (card_memory != nullptr) *card_memory = tcpip ? 0 : r->card_memory;
  char text[20];
  std::uint32_t a = r->own_address;
  if (tcpip) {
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", a >> 24, (a >> 16) & 0xFF, (a >> 8) & 0xFF,
                  a & 0xFF);
  } else {
    std::snprintf(text, sizeof text, "%u", a);
  }
  SetIdentifierText(own_address, text);
  SetIdentifierText(version, std::string_view(r->version, sizeof r->version));
  return 1;
}

VNH_API std::int32_t VNH_CALL VNHGetCurrentOrigin(VNHIdentifier* channel, VNHIdentifier* address) {
  // Takes no mutex: it is called from a client's callback, while the
  // dispatch of the message on the same thread holds it.
  if (CurrentClient() == 0) return 0;
  std::uint32_t origin = Shared().current_origin;
  if (SharedHeap().CheckHandle(origin, kTypeNodeData) != 1) return 0;
  SetIdentifierText(channel, ChannelText(Node(origin)->channel));
  SetIdentifierText(address, NodeAddressText(origin));
  return 1;
}

VNH_API std::int32_t VNH_CALL VNHVersion(void) { return kVersion; }

VNH_API void VNH_CALL GetDuration(VNHTimeStamp* stamp) {
  // Before the process attaches, tick wraps are counted by the process alone.
  TimeStamp now = Now();
  if (stamp != nullptr) {
    stamp->days = now.days;
    stamp->milliseconds = now.ms;
  }
}

VNH_API std::int32_t VNH_CALL DifferenceMilliSeconds(std::uint32_t days1, std::uint32_t ms1,
                                                      std::uint32_t days2, std::uint32_t ms2) {
  return DifferenceMs(TimeStamp{days1, ms1}, TimeStamp{days2, ms2});
}

VNH_API std::int32_t VNH_CALL ElapsedMilliSeconds(std::uint32_t days, std::uint32_t ms) {
  return ElapsedMs(TimeStamp{days, ms}, Now());
}

}  // extern "C"
