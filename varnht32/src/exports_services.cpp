// The exports of the protocol services: connections and the actions queued on
// them, containers, streams, node status and identification, the server
// entity's reports and Tovra replies.

#include <atomic>
#include <cstring>
#include <string>
#include <string_view>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/actions.h"
#include "varnht32/src/associations.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/client.h"
#include "varnht32/src/handles.h"
#include "varnht32/src/identifiers.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/knsock.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/remote_time.h"
#include "varnht32/src/remote_time_actions.h"
#include "varnht32/src/server_entity.h"
#include "varnht32/src/service_settings.h"
#include "varnht32/src/streams.h"
#include "varnht32/src/value_items.h"

using namespace vnh;

namespace {

constexpr std::uint8_t kTovraReply = 29;

void SetStatus(std::int32_t* status, std::int32_t value) {
  if (status != nullptr) *status = value;
}

// The action handle argument: its value on entry is the new action's user
// value; on return it holds the action's handle, or 0 when nothing was queued.
std::uint32_t TakeUserValue(VNHHandle* action) {
  if (action == nullptr) return 0;
  std::uint32_t user_value = *action;
  *action = 0;
  return user_value;
}

std::int32_t ResolveConnection(const VNHHandle* connection, std::uint32_t* assoc) {
  return ResolveHandle(SharedHeap(), connection != nullptr ? *connection : 0, kTypeAssociation, assoc);
}

// A node address on a channel: a node number of 1 to 127 on a card, or on the
// TCP/IP channel what its session takes for one. -30 illegal, -483 out of range.
std::int32_t ParseNodeAddress(std::uint32_t channel, std::string_view text, std::uint32_t* address) {
  if (Channel(channel)->kind == kChannelTcpIp) {
    return ParseTcpIpNodeAddress(channel, text, address) ? 1 : -30;
  }
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return -30;
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  if (text.size() > 9 || text.find_first_not_of("0123456789") != std::string_view::npos) return -30;
  std::uint32_t n = 0;
  for (char c : text) n = n * 10 + static_cast<std::uint32_t>(c - '0');
  if (n < 1 || n >= kCardNodeLimit) return -483;
  *address = n;
  return 1;
}

// The element of a node address on a channel: 1, or -4 when none can be had.
std::int32_t ElementAt(std::uint32_t channel, std::uint32_t address, std::uint32_t* element) {
  *element = NodeElement(channel, address);
  return *element != 0 ? 1 : -4;
}

// The element of a node named on a channel: 1 or the failure status.
std::int32_t NodeOnChannel(std::uint32_t channel, const VNHIdentifier* node, std::uint32_t* element) {
  std::uint32_t address = 0;
  std::int32_t status = ParseNodeAddress(channel, IdentifierText(node), &address);
  return status == 1 ? ElementAt(channel, address, element) : status;
}

// The same for a channel named too.
std::int32_t NodeOf(const VNHIdentifier* channel_name, const VNHIdentifier* node,
                    std::uint32_t* channel, std::uint32_t* element) {
  std::int32_t status = 0;
  *channel = FindChannel(channel_name, &status);
  return *channel != 0 ? NodeOnChannel(*channel, node, element) : status;
}

// Every export that queues an action on a connection: the lock, the
// connection's handle and state, an action record, the action's own fields.
// `gate` may refuse before anything else is looked at.
template <class Fill, class Gate>
std::int32_t QueueGated(const VNHHandle* connection, std::uint32_t kind, VNHHandle* action,
                        std::int32_t* status, Gate gate, Fill fill) {
  InterfaceLock lock(status);
  std::uint32_t user_value = TakeUserValue(action);
  if (!lock.held()) return lock.failure();
  std::uint32_t assoc = 0;
  std::int32_t result = gate();
  if (result == 1) result = ResolveConnection(connection, &assoc);
  if (result == 1) result = QueueingStatus(assoc);
  std::uint32_t a = 0;
  if (result == 1) a = NewAction(CurrentClient(), user_value, kind, &result);
  if (result == 1) result = fill(assoc, ActionOf(a));
  if (result != 1) {
    FreeAction(a);
    SetStatus(status, result);
    return lock.Unlock();
  }
  QueueAction(assoc, a);
  if (action != nullptr) *action = MakeHandle(SharedHeap(), a);
  SetStatus(status, 1);
  return lock.Unlock();
}

template <class Fill>
std::int32_t QueueOnConnection(const VNHHandle* connection, std::uint32_t kind, VNHHandle* action,
                               std::int32_t* status, Fill fill) {
  return QueueGated(connection, kind, action, status, [] { return 1; }, fill);
}

// A read or write: the remote and the local name go with the action.
std::int32_t QueueNamed(const VNHHandle* connection, std::uint32_t kind, const VNHIdentifier* remote,
                        const VNHIdentifier* local, VNHHandle* action, std::int32_t* status) {
  return QueueOnConnection(connection, kind, action, status, [&](std::uint32_t, Action* a) {
    StoreIdentifier(a->area1, remote);
    StoreIdentifier(a->area2, local);
    return 1;
  });
}

// A stream step: the stream's handle stands for its connection. A handle that
// names no live stream gives the status of no connection.
std::int32_t QueueStreamStep(const VNHHandle* stream, std::uint32_t step, VNHHandle* action,
                             std::int32_t* status) {
  InterfaceLock lock(status);
  std::uint32_t user_value = TakeUserValue(action);
  if (!lock.held()) return lock.failure();
  std::uint32_t record = 0;
  VNHHandle handle = stream != nullptr ? *stream : 0;
  std::int32_t result = ResolveHandle(SharedHeap(), handle, kTypeStream, &record) == 1 ? 1 : -2;
  std::uint32_t assoc = result == 1 ? ElementAssociation(StreamOf(record)->element) : 0;
  if (result == 1 && assoc == 0) result = -2;
  if (result == 1) result = QueueingStatus(assoc);
  std::uint32_t a = 0;
  if (result == 1) a = NewAction(CurrentClient(), user_value, kActionStream, &result);
  if (result != 1) {
    SetStatus(status, result);
    return lock.Unlock();
  }
  ActionOf(a)->parameter = step;
  ActionOf(a)->area2.stream = handle;
  QueueAction(assoc, a);
  if (action != nullptr) *action = MakeHandle(SharedHeap(), a);
  SetStatus(status, 1);
  return lock.Unlock();
}

template <class Apply>
std::int32_t ServerOnly(std::int32_t* status, Apply apply) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  SetStatus(status, Shared().server_client == CurrentClient() ? apply() : -18);
  return lock.Unlock();
}

std::int32_t AllocateItem(VNHVariableValue* container, const std::uint32_t* slot,
                          std::uint32_t value_type, std::int32_t* status) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  SetStatus(status, AllocateItemInContainer(container, slot != nullptr ? *slot : 0, value_type));
  return lock.Unlock();
}

bool NodeStatusBusy() {
  Heap heap = SharedHeap();
  if (Shared().services.node_status_action != 0) return true;
  for (std::uint32_t a = heap.First(AssociationOf(GlobalAssociation())->queued); a != 0;
       a = heap.SuccElem(a)) {
    if (ActionOf(a)->kind == kActionNodeStatus) return true;
  }
  return false;
}

// A global action (node status, identify) for a node of a channel: `target`
// names the node (0: all nodes) or says why there is none.
template <class Target>
std::int32_t QueueGlobal(std::uint32_t kind, const VNHIdentifier* channel, VNHHandle* action,
                         std::int32_t* status, Target target) {
  InterfaceLock lock(status);
  std::uint32_t user_value = TakeUserValue(action);
  if (!lock.held()) return lock.failure();
  std::int32_t result = 0;
  std::uint32_t c = FindChannel(channel, &result);
  std::uint32_t element = 0;
  if (c != 0) result = target(c, &element);
  std::uint32_t a = result == 1 ? NewAction(CurrentClient(), user_value, kind, &result) : 0;
  if (a != 0) {
    ActionOf(a)->area1.target = NodeTarget{c, element};
    QueueAction(GlobalAssociation(), a);
    if (action != nullptr) *action = MakeHandle(SharedHeap(), a);
  }
  SetStatus(status, result);
  return lock.Unlock();
}

}  // namespace

extern "C" {

VNH_API std::int32_t VNH_CALL VNHAllocateStringInVV(VNHVariableValue* container,
                                                     const std::uint32_t* slot,
                                                     std::int32_t* status) {
  return AllocateItem(container, slot, VNH_VALUE_STRING, status);
}

VNH_API std::int32_t VNH_CALL VNHAllocateBitStringInVV(VNHVariableValue* container,
                                                        const std::uint32_t* slot,
                                                        std::int32_t* status) {
  return AllocateItem(container, slot, VNH_VALUE_BIT_STRING, status);
}

VNH_API std::int32_t VNH_CALL VNHAllocateArrayInVV(VNHVariableValue* container,
                                                    const std::uint32_t* slot,
                                                    std::int32_t* status) {
  return AllocateItem(container, slot, VNH_VALUE_ARRAY, status);
}

VNH_API std::int32_t VNH_CALL VNHDefineConnection(const VNHIdentifier* channel,
                                                   const VNHIdentifier* node, VNHHandle* connection,
                                                   std::int32_t* status) {
  InterfaceLock lock(status);
  if (connection != nullptr) *connection = 0;
  if (!lock.held()) return lock.failure();
  std::uint32_t c = 0;
  std::uint32_t element = 0;
  std::int32_t result = NodeOf(channel, node, &c, &element);
  std::uint32_t assoc = result == 1 ? DefineAssociation(element, &result) : 0;
  if (result == 1 && connection != nullptr) *connection = MakeHandle(SharedHeap(), assoc);
  SetStatus(status, result);
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHConnectionStatus(const VNHHandle* connection) {
  // Takes no mutex: a caller polls it in a loop while another thread may
  // hold the library. The words it reads are single aligned words.
  if (CurrentClient() == 0) return -2;
  std::uint32_t assoc = 0;
  std::int32_t check = ResolveConnection(connection, &assoc);
  if (check != 1) return check;
  Association* a = AssociationOf(assoc);
  std::uint32_t state = std::atomic_ref<std::uint32_t>(a->state).load(std::memory_order_relaxed);
  std::int32_t last = std::atomic_ref<std::int32_t>(a->last_status).load(std::memory_order_relaxed);
  return state == kAssocUp ? 1 : last;
}

VNH_API std::int32_t VNH_CALL VNHReleaseConnection(VNHHandle* connection, std::int32_t* status) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  std::uint32_t assoc = 0;
  std::int32_t result = ResolveConnection(connection, &assoc);
  if (result == 1) {
    ReleaseAssociation(assoc);
    *connection = 0;
  }
  SetStatus(status, result);
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHReadNamedVariable(const VNHHandle* connection,
                                                    const VNHIdentifier* remote,
                                                    const VNHIdentifier* local, const std::uint32_t*,
                                                    VNHHandle* action, std::int32_t* status) {
  return QueueNamed(connection, kActionRead, remote, local, action, status);
}

VNH_API std::int32_t VNH_CALL VNHWriteNamedVariable(const VNHHandle* connection,
                                                     const VNHIdentifier* remote,
                                                     const VNHIdentifier* local, const std::uint32_t*,
                                                     VNHHandle* action, std::int32_t* status) {
  return QueueNamed(connection, kActionWrite, remote, local, action, status);
}

VNH_API std::int32_t VNH_CALL VNHSubscribeVarReport(const VNHHandle* connection,
                                                     const VNHIdentifier* remote_report,
                                                     const VNHIdentifier* local,
                                                     const std::uint32_t* on, VNHHandle* action,
                                                     std::int32_t* status) {
  return QueueOnConnection(connection, kActionSubscribe, action, status,
                           [&](std::uint32_t, Action* a) {
                             StoreIdentifier(a->area1, remote_report);
                             StoreIdentifier(a->area2, local);
                             a->subscribe = (on != nullptr && *on != 0) ? 1 : 0;
                             return 1;
                           });
}

VNH_API std::int32_t VNH_CALL VNHSendTovraTransparentMessage(const VNHHandle* connection,
                                                              const VNHTovraMessage* message,
                                                              VNHHandle* action,
                                                              std::int32_t* status) {
  return QueueOnConnection(connection, kActionTovra, action, status, [&](std::uint32_t, Action* a) {
    if (message == nullptr) return -38;
    a->area1.message = *message;
    return 1;
  });
}

VNH_API std::int32_t VNH_CALL VNHSetRemoteTime(const VNHHandle* connection, VNHHandle* action,
                                                std::int32_t* status) {
  return QueueGated(connection, kActionSetTime, action, status, RemoteTimeSendStatus,
                    [](std::uint32_t, Action*) { return 1; });
}

VNH_API std::int32_t VNH_CALL VNHAsynchronousStatus(VNHHandle* connection, VNHHandle* action) {
  InterfaceLock lock(nullptr);
  if (!lock.held()) return lock.failure();
  std::int32_t result = CollectActionStatus(connection, action);
  lock.Unlock();
  return result;
}

VNH_API std::int32_t VNH_CALL VNHNodeStatusRequest(const VNHIdentifier* channel,
                                                    const VNHIdentifier* node, VNHHandle* action,
                                                    std::int32_t* status) {
  return QueueGlobal(kActionNodeStatus, channel, action, status,
                     [&](std::uint32_t c, std::uint32_t* element) {
                       std::int32_t result = 1;
                       if (!IdentifierText(node).empty()) result = NodeOnChannel(c, node, element);
                       return result == 1 && NodeStatusBusy() ? -16 : result;
                     });
}

VNH_API std::int32_t VNH_CALL VNHIdentifyRemsys(const VNHIdentifier* channel,
                                                 const VNHIdentifier* node, VNHHandle* action,
                                                 std::int32_t* status) {
  return QueueGlobal(kActionIdentify, channel, action, status,
                     [&](std::uint32_t c, std::uint32_t* element) {
                       std::uint32_t address = 0;
                       std::int32_t result = ParseNodeAddress(c, IdentifierText(node), &address);
                       // Nobody to ask: no address, or the broadcast node.
                       if (IdentifierText(node).empty() || result == -483 ||
                           (result == 1 && address <= kBroadcastNode)) {
                         return -38;
                       }
                       return result == 1 ? ElementAt(c, address, element) : result;
                     });
}

VNH_API std::int32_t VNH_CALL VNHDefineVarGlobalReport(const VNHIdentifier* name,
                                                        std::int32_t* status) {
  return ServerOnly(status, [&]() {
    std::int32_t result = DefineGlobalReport(name);
    ReleaseAllItems(nullptr);
    return result;
  });
}

VNH_API std::int32_t VNH_CALL VNHSendVarReport(const VNHIdentifier* name, std::int32_t* status) {
  return ServerOnly(status, [&]() { return SendVarReport(name); });
}

VNH_API std::int32_t VNH_CALL VNHStreamRequest(const VNHHandle* connection,
                                                const std::uint32_t* user_value,
                                                const VNHIdentifier* name, VNHHandle* stream,
                                                VNHHandle* action, std::int32_t* status) {
  if (stream != nullptr) *stream = 0;
  std::uint32_t opened = 0;
  std::int32_t result = QueueOnConnection(
      connection, kActionStream, action, status, [&](std::uint32_t assoc, Action* a) {
        std::int32_t made = 1;
        opened = NewStream(AssociationOf(assoc)->element,
                           user_value != nullptr ? *user_value : 0, &made);
        if (opened == 0) return made;
        a->parameter = kStepOpen;
        StoreIdentifier(a->area1, name);
        a->area2.stream = MakeHandle(SharedHeap(), opened);
        if (stream != nullptr) *stream = a->area2.stream;
        return 1;
      });
  return result;
}

VNH_API std::int32_t VNH_CALL VNHStreamSendData(const VNHHandle* stream, VNHHandle* action,
                                                 std::int32_t* status) {
  return QueueStreamStep(stream, kStepSend, action, status);
}

VNH_API std::int32_t VNH_CALL VNHStreamRestart(const VNHHandle* stream, VNHHandle* action,
                                                std::int32_t* status) {
  return QueueStreamStep(stream, kStepRestart, action, status);
}

VNH_API std::int32_t VNH_CALL VNHStreamClose(const VNHHandle* stream, VNHHandle* action,
                                              std::int32_t* status) {
  return QueueStreamStep(stream, kStepClose, action, status);
}

VNH_API std::int32_t VNH_CALL VNHSendTovraTransparentReply(const VNHReplyHandle* reply,
                                                            const VNHTovraData* message,
                                                            std::int32_t* status) {
  // A reply handle is checked before the lock: it is the caller's own memory.
  if (reply == nullptr || std::memcmp(reply->tag, "AAAA", sizeof reply->tag) != 0) {
    SetStatus(status, -428);
    return -428;
  }
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  std::int32_t result = 1;
  if (message == nullptr || message->message == nullptr || message->length == 0 ||
      message->message[0] != kTovraReply) {
    result = -38;
  } else if (SharedHeap().CheckHandle(reply->origin, kTypeNodeData) != 1) {
    result = -428;
  } else {
    result = SendTovraReply(reply->origin, message);
  }
  SetStatus(status, result);
  return lock.Unlock();
}

}  // extern "C"
