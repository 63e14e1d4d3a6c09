#include "varnht32/src/communication.h"

#include "varnht32/src/associations.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/client.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/process_identity.h"
#include "varnht32/src/trace.h"

namespace vnh {

namespace {

bool InThisProcess(std::uint32_t client) { return Client(client)->process_id == ThisProcess().pid; }

// The first client in the client list that is communicating and, when asked,
// offers a server entity and may be the server.
std::uint32_t FirstCommunicating(bool server_only) {
  Heap heap = SharedHeap();
  for (std::uint32_t c = heap.First(Shared().client_list); c != 0; c = heap.SuccElem(c)) {
    const ClientRecord* r = Client(c);
    if (r->state != kClientCommunicating) continue;
    if (server_only && (r->offers_server_entity == 0 || !ClientMayBeServer(c))) continue;
    return c;
  }
  return 0;
}

// The handover event reached the new owner: it drives the channels from now on.
void BecomeOwner(std::uint32_t client) {
  ClientRecord* r = Client(client);
  if (Shared().communication_owner != client || r->owns_communication != 0) return;
  r->owns_communication = 1;
  TakeOverChannels();
}

}  // namespace

EventQueue ClientEventQueue(std::uint32_t client) {
  const ClientRecord* r = Client(client);
  return EventQueue(SharedHeap(), Shared().event_pool, r->immediate_events, r->timed_events);
}

bool QueueClientEvent(std::uint32_t client, std::uint32_t object, std::uint16_t word) {
  return ClientEventQueue(client).Queue(object, word);
}

bool QueueClientEventDelayed(std::uint32_t client, std::int32_t delay_ms, std::uint32_t object,
                             std::uint16_t word) {
  return ClientEventQueue(client).QueueDelayed(Now(), delay_ms, object, word);
}

void DropQueuedObject(std::uint32_t object, void*) {
  // A trace text belongs to nobody but the queue; everything else queued is
  // owned elsewhere and stays where it is.
  switch (SharedHeap().BlockType(object)) {
    case kTypeStringItem:
      DropTraceText(object);
      break;
    case kTypeMessageBuffer:
      // A received message that its client will never handle: without this
      // the buffer would be lost to the link layers for good.
      FreeMessageBuffer(object);
      break;
    default:
      break;
  }
}

std::int32_t StartCommunication(std::uint32_t client) {
  SharedState& s = Shared();
  ClientRecord* r = Client(client);
  if (r->state == kClientCommunicating) {
    // Counting a client twice would keep the count above 0 for good.
    return (r->offers_server_entity != 0 && s.server_client != client) ? 2 : 1;
  }
  std::int32_t status = 1;
  bool identity_changed = false;
  std::uint32_t identity_before = 0;
  if (s.communication_count++ == 0) {
    s.communication_owner = client;
    r->owns_communication = 1;
    OpenChannels();
    identity_changed = true;
  } else {
    identity_before = NodeIdentityHolder();
  }
  if (r->offers_server_entity != 0) {
    if (s.server_client == 0 && ClientMayBeServer(client)) {
      s.server_client = client;
    } else {
      status = 2;
    }
  }
  if (identity_changed || NodeIdentityHolder() != identity_before) AnnounceNodeIdentity();
  r->state = kClientCommunicating;
  return status;
}

void EndCommunication(std::uint32_t client) {
  SharedState& s = Shared();
  ClientRecord* r = Client(client);
  if (r->state != kClientCommunicating) return;
  CancelClientActions(client);
  r->state = kClientEnded;
  if (s.server_client == client) s.server_client = FirstCommunicating(true);
  if (s.communication_owner != client) {
    if (s.communication_count > 0) --s.communication_count;
    return;
  }
  // The device handles and the socket are this process's; a dead owner's went
  // with its process.
  if (r->owns_communication != 0 && InThisProcess(client)) LetGoOfChannels();
  r->owns_communication = 0;
  std::uint32_t next = s.server_client != 0 ? s.server_client : FirstCommunicating(false);
  s.communication_owner = next;
  if (next != 0) QueueClientEventDelayed(next, kHandoverDelayMs, next);
  if (s.communication_count > 0) --s.communication_count;
}

void DispatchEvents(std::uint32_t client) {
  Heap heap = SharedHeap();
  EventQueue queue = ClientEventQueue(client);
  for (int i = 0; i < kEventsPerPoll; ++i) {
    std::uint32_t object = 0;
    std::uint16_t word = 0;
    if (!queue.Next(Now(), &object, &word)) break;
    switch (heap.BlockType(object)) {
      case kTypeClient:
        BecomeOwner(client);
        break;
      case kTypeStringItem:
        DispatchTraceText(object);
        break;
      case kTypeMessageBuffer:
        DispatchMessage(object);
        break;
      case kTypeNodeData:
        DispatchNodeEvent(object, word);
        break;
      default:
        Trace("DispatchProcessEventQueue: unknown event");
        break;
    }
  }
}

void PollCommunication(std::uint32_t client) {
  SharedState& s = Shared();
  // An owner that was killed outside the lock left no trace on the mutex;
  // without this the machine's fieldbus would wait for it for ever.
  if (s.communication_owner != 0 && s.communication_owner != client &&
      !InThisProcess(s.communication_owner) && !ProcessAlive(ClientProcess(s.communication_owner))) {
    ReleaseClientsOfDeadProcesses();
  }
  ClientRecord* r = Client(client);
  if (r->owns_communication != 0) PollChannels();
  DispatchEvents(client);
  s.polling = 1;
  PollAssociations(r->owns_communication != 0);
  s.polling = 0;
  if (r->owns_communication != 0) PollChannelsTransmit();
}

}  // namespace vnh
