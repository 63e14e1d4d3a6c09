#pragma once
// Associations: the connection to one node, shared by every client that
// defines a connection to it, with the state machine that keeps it up and the
// four lists of its actions. One more association belongs to no node and
// holds the node status and identify requests. Runs under the library mutex.

#include <cstdint>

#include "varnht32/src/clock.h"

namespace vnh {

enum AssociationState : std::uint32_t {
  kAssocIdle = 0,        // no connection defined yet, or refused
  kAssocDown = 1,        // waiting before a connect attempt
  kAssocConnecting = 2,  // connect action queued
  kAssocRequestSent = 3, // waiting for the node's identity
  kAssocUp = 4,
};

// Lives in the shared heap (type 22, 48 bytes).
struct Association {
  std::uint32_t element;
  std::uint32_t references;
  std::uint32_t lost_count;
  std::uint32_t state;
  std::int32_t last_status;  // 0 until the first connect completes
  // The next connect attempt goes at once rather than a reconnect time after
  // the stamp: moving the stamp back cannot say so while the tick count is
  // still below the reconnect time.
  std::uint32_t connect_now;
  TimeStamp stamp;
  std::uint32_t queued_first;  // list heads
  std::uint32_t queued;
  std::uint32_t done;
  std::uint32_t in_progress;
};
static_assert(sizeof(Association) == 48);

Association* AssociationOf(std::uint32_t association);
void SetUpAssociations();
std::uint32_t GlobalAssociation();

// The element's association, or a new one; its reference count goes up. 0
// with status -4 when no record is left.
std::uint32_t DefineAssociation(std::uint32_t element, std::int32_t* status);
void ReleaseAssociation(std::uint32_t association);

// What VNHConnectionStatus says: 1 up, the last status when the connection
// was lost (-421) or refused (-480), 0 while the first connect runs.
std::int32_t ConnectionStatus(std::uint32_t association);
// Whether an action may be queued now: 1, or the connection's status.
std::int32_t QueueingStatus(std::uint32_t association);

void SetAssociationState(std::uint32_t association, std::uint32_t state);
// The connection is lost (-421, counted) and waits to reconnect (state 1).
void MarkConnectionLost(std::uint32_t association);

// Appends the action to the association's queued list (node status and
// identify actions to the global association's).
void QueueAction(std::uint32_t association, std::uint32_t action);
// The action is done with `status`; see the comment at the definition.
void CompleteAction(std::uint32_t association, std::uint32_t action, std::int32_t status);
// The first in-progress action of `kind` on the association, 0 when none; a
// missing one is traced as the protocol's handlers expect.
std::uint32_t FindAction(std::uint32_t association, std::uint32_t kind);
// The association of the node of `element`; 0 when the node has none.
std::uint32_t ElementAssociation(std::uint32_t element);
// The in-progress action of `kind` on the association that the calling
// client owns; 0 when none.
std::uint32_t OwnInProgress(std::uint32_t association, std::uint32_t kind);

// VNHAsynchronousStatus: 0 while the action runs, else its final status (the
// action is freed and the handle cleared).
std::int32_t CollectActionStatus(std::uint32_t* connection_handle, std::uint32_t* action_handle);
// Event dispatch of a completed action on its owner's thread.
void DispatchActionEvent(std::uint32_t action);

// Runs the connection state machine over every association and, for the
// communication owner, the global action queue.
void PollAssociations(bool owner);
// Frees every action of the client from the lists of every association.
void CancelClientActions(std::uint32_t client);

// What a node's status change does to its association: down, the connection
// is lost and its names are forgotten; up after a loss, it reconnects at once.
void AssociationNodeDown(std::uint32_t element);
void AssociationNodeUp(std::uint32_t element);
// Queues the library's own identify action for a node that a card's node table
// no longer shows; its time-out takes the node down. False when nothing could
// be queued (the caller then takes the node down at once).
bool QueueInternalIdentify(std::uint32_t element);

// Node status requests: the request of `channel` has its answer (the node
// table was applied, or the session's wait ended). The requester gets its
// events now; the action completes at the owner's next poll of the queue.
void NodeStatusAnswered(std::uint32_t channel);
// While a client's node status request runs on the element's channel, its
// own node-status events are held back: it gets the answer's events instead.
bool NodeStatusEventsHeld(std::uint32_t client, std::uint32_t element);

}  // namespace vnh
