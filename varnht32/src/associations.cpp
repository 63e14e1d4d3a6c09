#include "varnht32/src/associations.h"

#include <initializer_list>

#include "varnht32/src/actions.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/client.h"
#include "varnht32/src/client_services.h"
#include "varnht32/src/communication.h"
#include "varnht32/src/handles.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/service_settings.h"
#include "varnht32/src/streams.h"
#include "varnht32/src/trace.h"
#include "varnht32/src/value_items.h"
#include "varnht32/src/variables.h"

namespace vnh {

namespace {

constexpr std::int32_t kLost = -421;
constexpr std::int32_t kRefused = -480;
constexpr std::int32_t kPending = -400;
constexpr std::int32_t kTimeout = -490;

ServiceState& State() { return Shared().services; }

// Set while an action waits in its owner's event queue: collecting its status
// then must not free it under the event.
constexpr std::uint8_t kModeEventQueued = 0x80;

std::uint32_t Lists(const Association* a, int i) {
  switch (i) {
    case 0: return a->queued_first;
    case 1: return a->queued;
    case 2: return a->done;
    default: return a->in_progress;
  }
}

bool NewLists(Association* a) {
  Heap heap = SharedHeap();
  for (std::uint32_t* head : {&a->queued_first, &a->queued, &a->done, &a->in_progress}) {
    if (heap.BlockType(*head) == kTypeListHead) {
      heap.ActivateListHead(*head);
      continue;
    }
    *head = heap.NewListHead();
    if (*head == 0) return false;
  }
  return true;
}

std::uint32_t NewAssociationRecord(std::uint32_t element) {
  Heap heap = SharedHeap();
  std::uint32_t assoc = PoolGet(heap, State().association_pool);
  if (assoc == 0) return 0;
  Association* a = AssociationOf(assoc);
  // A record back from the pool keeps its four (empty) list heads.
  Association kept = *a;
  *a = Association{};
  a->queued_first = kept.queued_first;
  a->queued = kept.queued;
  a->done = kept.done;
  a->in_progress = kept.in_progress;
  if (!NewLists(a)) {
    PoolPut(heap, State().association_pool, &assoc);
    return 0;
  }
  a->element = element;
  a->state = kAssocIdle;
  a->stamp = Now();
  return assoc;
}

void SetLastStatus(Association* a, std::int32_t status) {
  if (status == kLost && a->last_status != kLost) ++a->lost_count;
  a->last_status = status;
}

bool OwnerHasAsyncCallback(std::uint32_t owner) {
  return owner != 0 && SharedHeap().CheckHandle(owner, kTypeClient) == 1 &&
         Client(owner)->async_action_callback != 0;
}

// Hands a finished action to its owner's event queue; false when it could not.
bool QueueToOwner(std::uint32_t action) {
  Action* a = ActionOf(action);
  if (!QueueClientEvent(a->owner, action)) return false;
  a->mode = kModeEventQueued;
  return true;
}

// What an action's end does beyond its status: a stream step gives up its
// stream, the library's own identify clears its node's mark and, when it
// failed, takes the node down, a node status request frees the request slot.
void EndSideEffects(std::uint32_t action, std::int32_t status) {
  Action* a = ActionOf(action);
  switch (a->kind) {
    case kActionStream:
      StreamActionEnded(action, status);
      break;
    case kActionIdentify:
      if (a->internal != 0 && a->area1.target.element != 0) {
        std::uint32_t element = a->area1.target.element;
        Node(element)->flags &= ~kNodeIdentifyPending;
        if (status != 1) SetNodeDown(element);
      }
      break;
    case kActionNodeStatus:
      if (State().node_status_action == action) {
        State().node_status_action = 0;
        State().node_status_channel = 0;
      }
      break;
    default:
      break;
  }
}

// Entering state 0 or 1: every action of the four lists goes. One with a user
// value whose owner has an async callback hears of it; the others are freed.
void AbortLists(std::uint32_t assoc) {
  Heap heap = SharedHeap();
  Association* a = AssociationOf(assoc);
  std::int32_t status = a->last_status == kRefused ? kRefused : kLost;
  for (int i = 0; i < 4; ++i) {
    while (std::uint32_t action = heap.First(Lists(a, i))) {
      heap.Takeout(action);
      Action* act = ActionOf(action);
      EndSideEffects(action, status);
      act->status = status;
      bool report = act->internal == 0 && act->user_value != 0 && OwnerHasAsyncCallback(act->owner);
      if (!report || !QueueToOwner(action)) FreeAction(action);
    }
  }
}

void TimeOut(std::uint32_t assoc, std::uint32_t action) { CompleteAction(assoc, action, kTimeout); }

bool TimedOut(const Action* a) {
  return a->timed != 0 && ElapsedMs(a->started, Now()) > AnswerTimeOutMs();
}

// May the polling client start this action? Only its owner may, except the
// library's own actions, which belong to no client.
bool MayStart(const Action* a, bool global) {
  return global || a->internal != 0 || a->owner == CurrentClient();
}

void Outcome(std::uint32_t assoc, std::uint32_t action, std::int32_t status, bool finished) {
  Heap heap = SharedHeap();
  if (status == 1 && !finished) {
    heap.Into(action, AssociationOf(assoc)->in_progress);
  } else if (status == kPending && !finished) {
    // Stays where it is and goes again at the next poll.
  } else {
    CompleteAction(assoc, action, status);
  }
}

std::int32_t PollActionQueue(std::uint32_t assoc) {
  Heap heap = SharedHeap();
  Association* a = AssociationOf(assoc);
  if (std::uint32_t running = heap.First(a->in_progress)) {
    if (TimedOut(ActionOf(running))) TimeOut(assoc, running);
    return 1;  // one action at a time per association
  }
  std::uint32_t next = heap.First(a->queued_first);
  if (next == 0) next = heap.First(a->queued);
  if (next == 0 || !MayStart(ActionOf(next), false)) return 1;
  ActionOf(next)->started = Now();
  bool finished = false;
  std::int32_t status = StartAction(assoc, next, &finished);
  Outcome(assoc, next, status, finished);
  return status;
}

std::int32_t PollOne(std::uint32_t assoc) {
  Association* a = AssociationOf(assoc);
  switch (a->state) {
    case kAssocDown: {
      if (a->connect_now == 0 && ElapsedMs(a->stamp, Now()) < ReconnTimeOutMs()) return 1;
      std::int32_t status = 1;
      std::uint32_t connect = NewAction(CurrentClient(), 0, kActionConnect, &status);
      if (connect == 0) return 1;  // tried again at the next poll
      ActionOf(connect)->timed = 0;
      ActionOf(connect)->internal = 1;
      SharedHeap().Into(connect, a->queued_first);
      SetAssociationState(assoc, kAssocConnecting);
      return PollActionQueue(assoc);
    }
    case kAssocConnecting:
    case kAssocUp:
      return PollActionQueue(assoc);
    case kAssocRequestSent:
      if (ElapsedMs(a->stamp, Now()) >= ReconnTimeOutMs()) MarkConnectionLost(assoc);
      return 1;
    default:
      return 1;
  }
}

void PollGlobalQueue() {
  Heap heap = SharedHeap();
  std::uint32_t global = GlobalAssociation();
  Association* g = AssociationOf(global);
  std::uint32_t running = heap.First(g->in_progress);
  while (running != 0) {
    std::uint32_t next = heap.SuccElem(running);
    if (ActionOf(running)->mode == kModeAnswered) {
      CompleteAction(global, running, 1);
    } else if (TimedOut(ActionOf(running))) {
      TimeOut(global, running);
    }
    running = next;
  }
  std::uint32_t next = heap.First(g->queued);
  if (next == 0) return;
  ActionOf(next)->started = Now();
  bool finished = false;
  std::int32_t status = StartGlobalAction(next, &finished);
  Outcome(global, next, status, finished);
}

bool InAssociationList(std::uint32_t assoc) {
  Heap heap = SharedHeap();
  if (heap.CheckHandle(assoc, kTypeAssociation) != 1) return false;
  for (std::uint32_t x = heap.First(State().association_list); x != 0; x = heap.SuccElem(x)) {
    if (x == assoc) return true;
  }
  return false;
}

}  // namespace

Association* AssociationOf(std::uint32_t association) {
  return SharedHeap().Data<Association>(association);
}

void SetUpAssociations() {
  ServiceState& s = State();
  Heap heap = SharedHeap();
  PoolSetUp(heap, s.association_pool, 0, 1, kTypeAssociation);
  s.association_list = heap.NewListHead();
  s.global_association = NewAssociationRecord(0);
  s.walk_resume = 0;
  s.node_status_channel = 0;
  s.node_status_action = 0;
}

std::uint32_t GlobalAssociation() { return State().global_association; }

std::uint32_t DefineAssociation(std::uint32_t element, std::int32_t* status) {
  Heap heap = SharedHeap();
  NodeData* n = Node(element);
  std::uint32_t assoc = n->association;
  if (heap.CheckHandle(assoc, kTypeAssociation) != 1) {
    assoc = NewAssociationRecord(element);
    if (assoc == 0) {
      *status = -4;
      return 0;
    }
    n->association = assoc;
    heap.Into(assoc, State().association_list);
  }
  Association* a = AssociationOf(assoc);
  ++a->references;
  if (a->state == kAssocIdle) {
    // A refused connection defined anew starts over.
    a->last_status = 0;
    SetAssociationState(assoc, kAssocDown);
  }
  ChannelPeerDefined(element);
  *status = 1;
  return assoc;
}

void ReleaseAssociation(std::uint32_t assoc) {
  Heap heap = SharedHeap();
  if (heap.CheckHandle(assoc, kTypeAssociation) != 1 || assoc == GlobalAssociation()) return;
  Association* a = AssociationOf(assoc);
  if (a->references > 1) {
    --a->references;
    return;
  }
  std::uint32_t element = a->element;
  if (Node(element)->association == assoc) Node(element)->association = 0;
  AbortLists(assoc);
  if (State().walk_resume == assoc) State().walk_resume = 0;
  heap.Takeout(assoc);
  for (int i = 0; i < 4; ++i) heap.DeactivateListHead(Lists(a, i));
  PoolPut(heap, State().association_pool, &assoc);
  ChannelPeerReleased(element);
}

std::int32_t ConnectionStatus(std::uint32_t assoc) {
  const Association* a = AssociationOf(assoc);
  if (a->state == kAssocUp) return 1;
  return a->last_status;
}

std::int32_t QueueingStatus(std::uint32_t assoc) {
  const Association* a = AssociationOf(assoc);
  if (a->state == kAssocUp) return 1;
  if (a->state == kAssocIdle) return a->last_status == kRefused ? kRefused : kLost;
  if (a->last_status == kLost) return kLost;
  return 1;
}

void SetAssociationState(std::uint32_t assoc, std::uint32_t state) {
  Association* a = AssociationOf(assoc);
  std::uint32_t previous = a->state;
  a->state = state;
  a->connect_now = 0;
  if (state == kAssocIdle || state == kAssocDown) {
    AbortLists(assoc);
    a->stamp = Now();
    // So that the first attempt of a new association, or of one whose node
    // came back, goes out at once.
    if (previous == kAssocIdle || previous == kAssocDown) {
      a->stamp = AddMilliSeconds(a->stamp, -ReconnTimeOutMs());
      a->connect_now = 1;
    }
  } else if (state == kAssocConnecting) {
    a->stamp = Now();
  }
}

void MarkConnectionLost(std::uint32_t assoc) {
  SetLastStatus(AssociationOf(assoc), kLost);
  SetAssociationState(assoc, kAssocDown);
}

void QueueAction(std::uint32_t assoc, std::uint32_t action) {
  std::uint32_t kind = ActionOf(action)->kind;
  if (kind == kActionIdentify || kind == kActionNodeStatus) assoc = GlobalAssociation();
  SharedHeap().Into(action, AssociationOf(assoc)->queued);
}

// A set-remote-time action that succeeded goes on to its second phase before
// anything is reported. Otherwise the status is kept and the action leaves
// its list: the library's own actions are freed, the owner's async callback
// hears of the others, and without a callback they wait in the done list.
void CompleteAction(std::uint32_t assoc, std::uint32_t action, std::int32_t status) {
  Heap heap = SharedHeap();
  Action* a = ActionOf(action);
  Association* as = AssociationOf(assoc);
  if (a->kind == kActionSetTime && status == 1) {
    a->kind = kActionSetTimeSecond;
    heap.IntoAsFirst(action, as->queued);
    return;
  }
  heap.Takeout(action);
  EndSideEffects(action, status);
  a->status = status;
  if (a->internal != 0) {
    FreeAction(action);
    return;
  }
  if (OwnerHasAsyncCallback(a->owner)) {
    if (!QueueToOwner(action)) FreeAction(action);
    return;
  }
  heap.Into(action, as->done);
}

std::uint32_t FindAction(std::uint32_t assoc, std::uint32_t kind) {
  if (assoc == 0) {
    Trace("Kelmnet:VNHBeginVarCon. VNHAssocDesc not found");
    return 0;
  }
  Heap heap = SharedHeap();
  const Association* a = AssociationOf(assoc);
  for (std::uint32_t x = heap.First(a->in_progress); x != 0; x = heap.SuccElem(x)) {
    const Action* act = ActionOf(x);
    if (act->kind == kind && MayStart(act, false)) return x;
  }
  if (a->last_status != kLost && kind != kActionConnect) {
    Trace("Kelmnet:VNHBeginVarCon. Action not found %3d", static_cast<int>(kind));
  }
  return 0;
}

std::uint32_t ElementAssociation(std::uint32_t element) {
  if (element == 0) return 0;
  std::uint32_t assoc = Node(element)->association;
  return SharedHeap().CheckHandle(assoc, kTypeAssociation) == 1 ? assoc : 0;
}

std::uint32_t OwnInProgress(std::uint32_t assoc, std::uint32_t kind) {
  if (assoc == 0) return 0;
  Heap heap = SharedHeap();
  for (std::uint32_t x = heap.First(AssociationOf(assoc)->in_progress); x != 0;
       x = heap.SuccElem(x)) {
    const Action* act = ActionOf(x);
    // An answer that reaches a client whose action went meanwhile must not
    // be taken for another client's action.
    if (act->kind == kind && MayStart(act, false)) return x;
  }
  return 0;
}

std::int32_t CollectActionStatus(std::uint32_t* connection_handle, std::uint32_t* action_handle) {
  Heap heap = SharedHeap();
  std::uint32_t assoc = 0;
  if (connection_handle != nullptr &&
      ResolveHandle(heap, *connection_handle, kTypeAssociation, &assoc) == 1) {
    std::int32_t last = AssociationOf(assoc)->last_status;
    // The aborted lists took the action with them.
    if (AssociationOf(assoc)->state != kAssocUp && (last == kLost || last == kRefused)) {
      if (action_handle != nullptr) *action_handle = 0;
      return last;
    }
  }
  std::uint32_t action = 0;
  std::int32_t check =
      ResolveHandle(heap, action_handle != nullptr ? *action_handle : 0, kTypeAction, &action);
  if (check != 1) return check;
  Action* a = ActionOf(action);
  if (a->status == 0) return 0;
  std::int32_t result = a->status;
  *action_handle = 0;
  if (a->mode != kModeEventQueued) FreeAction(action);
  return result;
}

void DispatchActionEvent(std::uint32_t action) {
  Heap heap = SharedHeap();
  if (heap.CheckHandle(action, kTypeAction) != 1) return;
  Action* a = ActionOf(action);
  VNHAsyncActionCallBack callback = CurrentThread().callbacks.async_action;
  if (a->user_value != 0 && callback != nullptr) {
    std::uint32_t user_value = a->user_value;
    VNHActionResult result{a->status, MakeHandle(heap, action)};
    callback(&user_value, &result);
  }
  FreeAction(action);
}

void PollAssociations(bool owner) {
  Heap heap = SharedHeap();
  ServiceState& s = State();
  std::int64_t count = heap.CountList(s.association_list);
  std::uint32_t at = InAssociationList(s.walk_resume) ? s.walk_resume : heap.First(s.association_list);
  s.walk_resume = 0;
  for (std::int64_t i = 0; i < count && at != 0; ++i) {
    std::uint32_t next = heap.SuccElem(at);
    if (next == 0) next = heap.First(s.association_list);
    if (PollOne(at) == kPending) {
      s.walk_resume = at;
      break;
    }
    at = next;
  }
  if (owner) PollGlobalQueue();
  // Values that a started action read through a callback are copied out by now.
  ReleaseAllItems(nullptr);
}

void CancelClientActions(std::uint32_t client) {
  Heap heap = SharedHeap();
  ServiceState& s = State();
  auto cancel = [&](std::uint32_t assoc) {
    const Association* a = AssociationOf(assoc);
    for (int i = 0; i < 4; ++i) {
      std::uint32_t x = heap.First(Lists(a, i));
      while (x != 0) {
        std::uint32_t next = heap.SuccElem(x);
        Action* act = ActionOf(x);
        // The library's own actions (the connect action) belong to no client.
        if (act->owner == client && act->internal == 0) {
          heap.Takeout(x);
          EndSideEffects(x, kLost);
          FreeAction(x);
        }
        x = next;
      }
    }
  };
  for (std::uint32_t a = heap.First(s.association_list); a != 0; a = heap.SuccElem(a)) cancel(a);
  cancel(GlobalAssociation());
  FreeClientStreams(client);
}

void AssociationNodeDown(std::uint32_t element) {
  std::uint32_t assoc = ElementAssociation(element);
  if (assoc != 0 && AssociationOf(assoc)->state != kAssocIdle) MarkConnectionLost(assoc);
  ForgetNames(element, false);
  DropFromServerReports(element);
  CloseStreamsOfNode(element);
}

void AssociationNodeUp(std::uint32_t element) {
  std::uint32_t assoc = ElementAssociation(element);
  if (assoc == 0) return;
  Association* a = AssociationOf(assoc);
  if (a->last_status != kLost || a->state == kAssocIdle) return;
  a->state = kAssocDown;  // so that entering it again moves the stamp back
  SetAssociationState(assoc, kAssocDown);
}

bool QueueInternalIdentify(std::uint32_t element) {
  std::int32_t status = 1;
  std::uint32_t action = NewAction(CurrentClient(), 0, kActionIdentify, &status);
  if (action == 0) return false;
  Action* a = ActionOf(action);
  a->internal = 1;
  a->area1.target = NodeTarget{Node(element)->channel, element};
  QueueAction(GlobalAssociation(), action);
  return true;
}

void NodeStatusAnswered(std::uint32_t channel) {
  ServiceState& s = State();
  if (s.node_status_channel != channel || s.node_status_action == 0) return;
  std::uint32_t action = s.node_status_action;
  Action* a = ActionOf(action);
  std::uint32_t requester = a->owner;
  std::uint32_t wanted = a->area1.target.element;
  Heap heap = SharedHeap();
  auto answer = [&](std::uint32_t element) {
    std::uint16_t word = (Node(element)->flags & kNodeUp) != 0 ? kNodeEventUp : kNodeEventDown;
    QueueClientEvent(requester, element, word);
  };
  if (wanted != 0) {
    answer(wanted);
  } else {
    for (std::uint32_t e = heap.First(Channel(channel)->node_list); e != 0; e = heap.SuccElem(e)) {
      if ((Node(e)->flags & kNodeUp) != 0 && !IsBroadcastElement(e) && !IsOwnNodeElement(e)) {
        answer(e);
      }
    }
  }
  a->mode = kModeAnswered;
  s.node_status_channel = 0;
}

bool NodeStatusEventsHeld(std::uint32_t client, std::uint32_t element) {
  const ServiceState& s = State();
  if (s.node_status_action == 0 || s.node_status_channel != Node(element)->channel) return false;
  return ActionOf(s.node_status_action)->owner == client;
}

}  // namespace vnh
