// Exports whose work needs the message layer, the transports or the settings
// dialog. Until those exist they take the lock, check their arguments and
// handles as they always will, and refuse with the status that fits: no
// handle can name a connection, action or stream yet, and no record of those
// kinds can be had (-4).

#include <cstring>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/client.h"
#include "varnht32/src/identifiers.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/remote_time.h"

using namespace vnh;

namespace {

constexpr std::uint32_t kSlotFirst = 1;
constexpr std::uint32_t kSlotLast = 10;
constexpr std::uint8_t kTovraReply = 29;

void SetStatus(std::int32_t* status, std::int32_t value) {
  if (status != nullptr) *status = value;
}

void ClearHandle(VNHHandle* handle) {
  if (handle != nullptr) *handle = 0;
}

std::int32_t CheckConnection(const VNHHandle* connection) {
  return SharedHeap().CheckHandle(connection != nullptr ? *connection : 0, kTypeAssociation);
}

// A queuing export: the action handle is 0 unless something was queued.
std::int32_t RefuseAction(const VNHHandle* connection, VNHHandle* action, std::int32_t* status) {
  InterfaceLock lock(status);
  ClearHandle(action);
  if (!lock.held()) return lock.failure();
  std::int32_t check = CheckConnection(connection);
  SetStatus(status, check == 1 ? -4 : check);
  return lock.Unlock();
}

std::int32_t RefuseStreamStep(const VNHHandle* stream, VNHHandle* action, std::int32_t* status) {
  InterfaceLock lock(status);
  ClearHandle(action);
  if (!lock.held()) return lock.failure();
  // A handle that names no stream gives the status of no association.
  std::int32_t check = SharedHeap().CheckHandle(stream != nullptr ? *stream : 0, kTypeStream);
  SetStatus(status, check == 1 ? -4 : -2);
  return lock.Unlock();
}

std::int32_t RefuseOnChannel(const VNHIdentifier* channel, VNHHandle* out, std::int32_t* status) {
  InterfaceLock lock(status);
  ClearHandle(out);
  if (!lock.held()) return lock.failure();
  std::int32_t found = 0;
  FindChannel(channel, &found);
  SetStatus(status, found == 1 ? -4 : found);
  return lock.Unlock();
}

std::int32_t RefuseItem(VNHVariableValue* container, const std::uint32_t* slot,
                        std::int32_t* status) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  if (slot == nullptr || *slot < kSlotFirst || *slot > kSlotLast) {
    SetStatus(status, -37);
  } else if (container == nullptr) {
    SetStatus(status, -2);
  } else {
    container->pair[*slot] = VNHValuePair{0, 0};
    SetStatus(status, -4);
  }
  return lock.Unlock();
}

bool IsServerClient() { return Shared().server_client == CurrentClient(); }

}  // namespace

extern "C" {

VNH_API std::int32_t VNH_CALL VNHAllocateStringInVV(VNHVariableValue* container,
                                                     const std::uint32_t* slot,
                                                     std::int32_t* status) {
  return RefuseItem(container, slot, status);
}

VNH_API std::int32_t VNH_CALL VNHAllocateBitStringInVV(VNHVariableValue* container,
                                                        const std::uint32_t* slot,
                                                        std::int32_t* status) {
  return RefuseItem(container, slot, status);
}

VNH_API std::int32_t VNH_CALL VNHAllocateArrayInVV(VNHVariableValue* container,
                                                    const std::uint32_t* slot,
                                                    std::int32_t* status) {
  return RefuseItem(container, slot, status);
}

VNH_API std::int32_t VNH_CALL VNHDefineConnection(const VNHIdentifier* channel,
                                                   const VNHIdentifier*, VNHHandle* connection,
                                                   std::int32_t* status) {
  return RefuseOnChannel(channel, connection, status);
}

VNH_API std::int32_t VNH_CALL VNHConnectionStatus(const VNHHandle* connection) {
  if (CurrentClient() == 0) return -2;
  if (CheckConnection(connection) != 1) return -3;
  return 0;
}

VNH_API std::int32_t VNH_CALL VNHReleaseConnection(VNHHandle* connection, std::int32_t* status) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  SetStatus(status, CheckConnection(connection));
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHReadNamedVariable(const VNHHandle* connection,
                                                    const VNHIdentifier*, const VNHIdentifier*,
                                                    const std::uint32_t*, VNHHandle* action,
                                                    std::int32_t* status) {
  return RefuseAction(connection, action, status);
}

VNH_API std::int32_t VNH_CALL VNHWriteNamedVariable(const VNHHandle* connection,
                                                     const VNHIdentifier*, const VNHIdentifier*,
                                                     const std::uint32_t*, VNHHandle* action,
                                                     std::int32_t* status) {
  return RefuseAction(connection, action, status);
}

VNH_API std::int32_t VNH_CALL VNHAsynchronousStatus(VNHHandle*, VNHHandle* action) {
  InterfaceLock lock(nullptr);
  if (!lock.held()) return lock.failure();
  std::int32_t result = SharedHeap().CheckHandle(action != nullptr ? *action : 0, kTypeAction);
  lock.Unlock();
  return result;
}

VNH_API std::int32_t VNH_CALL VNHSetRemoteTime(const VNHHandle* connection, VNHHandle* action,
                                                std::int32_t* status) {
  InterfaceLock lock(status);
  ClearHandle(action);
  if (!lock.held()) return lock.failure();
  std::int32_t allowed = RemoteTimeSendStatus();
  std::int32_t check = CheckConnection(connection);
  SetStatus(status, allowed != 1 ? allowed : (check == 1 ? -4 : check));
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHDefineVarGlobalReport(const VNHIdentifier*,
                                                        std::int32_t* status) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  SetStatus(status, IsServerClient() ? -4 : -18);
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHSendVarReport(const VNHIdentifier*, std::int32_t* status) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  SetStatus(status, IsServerClient() ? -461 : -18);
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHSubscribeVarReport(const VNHHandle* connection,
                                                     const VNHIdentifier*, const VNHIdentifier*,
                                                     const std::uint32_t*, VNHHandle* action,
                                                     std::int32_t* status) {
  return RefuseAction(connection, action, status);
}

VNH_API std::int32_t VNH_CALL VNHNodeStatusRequest(const VNHIdentifier* channel,
                                                    const VNHIdentifier*, VNHHandle* action,
                                                    std::int32_t* status) {
  return RefuseOnChannel(channel, action, status);
}

VNH_API std::int32_t VNH_CALL VNHStreamRequest(const VNHHandle* connection, const std::uint32_t*,
                                                const VNHIdentifier*, VNHHandle* stream,
                                                VNHHandle* action, std::int32_t* status) {
  ClearHandle(stream);
  return RefuseAction(connection, action, status);
}

VNH_API std::int32_t VNH_CALL VNHStreamSendData(const VNHHandle* stream, VNHHandle* action,
                                                 std::int32_t* status) {
  return RefuseStreamStep(stream, action, status);
}

VNH_API std::int32_t VNH_CALL VNHStreamRestart(const VNHHandle* stream, VNHHandle* action,
                                                std::int32_t* status) {
  return RefuseStreamStep(stream, action, status);
}

VNH_API std::int32_t VNH_CALL VNHStreamClose(const VNHHandle* stream, VNHHandle* action,
                                              std::int32_t* status) {
  return RefuseStreamStep(stream, action, status);
}

VNH_API std::int32_t VNH_CALL VNHSendTovraTransparentReply(const VNHReplyHandle* reply,
                                                            const VNHTovraData* message,
                                                            std::int32_t* status) {
  if (reply == nullptr || std::memcmp(reply->tag, "AAAA", sizeof reply->tag) != 0) {
    SetStatus(status, -428);
    return -428;
  }
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  if (message == nullptr || message->message == nullptr || message->length == 0 ||
      message->message[0] != kTovraReply) {
    SetStatus(status, -38);
  } else if (SharedHeap().CheckHandle(reply->origin, kTypeNodeData) != 1) {
    SetStatus(status, -428);
  } else {
    SetStatus(status, -400);
  }
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHSendTovraTransparentMessage(const VNHHandle* connection,
                                                              const VNHTovraMessage*,
                                                              VNHHandle* action,
                                                              std::int32_t* status) {
  return RefuseAction(connection, action, status);
}

VNH_API std::int32_t VNH_CALL VNHIdentifyRemsys(const VNHIdentifier* channel,
                                                 const VNHIdentifier* node, VNHHandle* action,
                                                 std::int32_t* status) {
  InterfaceLock lock(status);
  ClearHandle(action);
  if (!lock.held()) return lock.failure();
  std::int32_t found = 0;
  FindChannel(channel, &found);
  if (found == 1 && IdentifierText(node).empty()) found = -38;
  SetStatus(status, found == 1 ? -4 : found);
  return lock.Unlock();
}

}  // extern "C"
