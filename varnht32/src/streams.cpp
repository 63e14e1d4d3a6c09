#include "varnht32/src/streams.h"

#include <cstring>
#include <string_view>

#include "varnht32/src/actions.h"
#include "varnht32/src/associations.h"
#include "varnht32/src/client.h"
#include "varnht32/src/client_services.h"
#include "varnht32/src/communication.h"
#include "varnht32/src/handles.h"
#include "varnht32/src/identifiers.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/trace.h"

namespace vnh {

namespace {

constexpr std::int32_t kPending = -400;
constexpr std::int32_t kTimeout = -490;

ServiceState& State() { return Shared().services; }

// The stream of a handle kept in an action; 0 once it was freed.
std::uint32_t ActionStream(const Action* a) {
  std::uint32_t stream = 0;
  ResolveHandle(SharedHeap(), a->area2.stream, kTypeStream, &stream);
  return stream;
}

// The stream that number `number` names for a message from `element`: a
// peer can only reach its own streams.
std::uint32_t StreamFor(std::uint8_t number, std::uint32_t element) {
  if (number >= kStreamSlots) return 0;
  std::uint32_t stream = State().stream_slot[number];
  if (stream == 0 || StreamOf(stream)->element != element) return 0;
  return stream;
}

std::int32_t SendStream(std::uint32_t element, std::initializer_list<std::uint8_t> bytes) {
  return SendKelmnetMessage(element, [&](MessageWriter& w) {
    w.Byte(kCodeStream);
    for (std::uint8_t b : bytes) w.Byte(b);
    return 1;
  });
}

void SendError(std::uint32_t element, std::uint8_t sub_type, std::uint8_t number,
               std::int32_t status) {
  SendStream(element, {kStreamError, sub_type, number, ResultOfStatus(status)});
}

// The in-progress stream action of the node that the calling client owns and
// that works on `stream` (any stream when 0).
std::uint32_t WaitingStep(std::uint32_t element, std::uint32_t stream) {
  std::uint32_t assoc = ElementAssociation(element);
  std::uint32_t action = OwnInProgress(assoc, kActionStream);
  if (action == 0) return 0;
  if (stream != 0 && ActionStream(ActionOf(action)) != stream) return 0;
  return action;
}

void CompleteStep(std::uint32_t element, std::uint32_t action, std::int32_t status) {
  CompleteAction(ElementAssociation(element), action, status);
}

// The closed callback of the stream's owner, then the record goes.
void Closed(std::uint32_t stream) {
  StreamRecord* r = StreamOf(stream);
  r->state = kStreamClosing;
  VNHStreamClosedCallBack callback = CurrentThread().callbacks.stream_closed;
  if (callback != nullptr) {
    std::uint32_t user_value = r->user_value;
    std::int32_t status = 1;
    callback(&user_value, &status);
  }
  FreeStream(stream);
}

void Deliver(std::uint32_t stream, const KelmnetMessage& m) {
  StreamRecord* r = StreamOf(stream);
  std::uint32_t length = m.data_length;
  if (length > 0) {
    VNHStreamDataCallBack callback = CurrentThread().callbacks.stream_received;
    std::uint8_t data[kStreamDataMax];
    std::memcpy(data, m.data, length);
    std::uint32_t user_value = r->user_value;
    std::int32_t status = 1;
    if (callback != nullptr) callback(&user_value, &length, data, &status);
    // A client that took nothing holds the peer back until it restarts.
    r->own_credit = length > 0 ? kCreditOpen : 0;
  }
  SendStream(r->element, {kStreamDataAnswer, r->remote_number, r->own_credit});
}

void OpenRequest(std::uint32_t element, const KelmnetMessage& m) {
  std::int32_t status = 1;
  std::uint32_t stream = NewStream(element, 0, &status);
  if (stream == 0) {
    SendError(element, kStreamOpenRequest, m.stream, status);
    return;
  }
  std::uint32_t assoc = DefineAssociation(element, &status);
  if (assoc == 0) {
    FreeStream(stream);
    SendError(element, kStreamOpenRequest, m.stream, status);
    return;
  }
  StreamRecord* r = StreamOf(stream);
  r->flags = kStreamOpenedByRemote;
  // The peer reached us, so its connection is up.
  SetAssociationState(assoc, kAssocUp);
  AssociationOf(assoc)->last_status = 1;
  VNHStreamOpenCallBack callback = CurrentThread().callbacks.stream_open;
  VNHIdentifier name{};
  SetIdentifierText(&name, std::string_view(m.name, kNameLength));
  VNHHandle handle = MakeHandle(SharedHeap(), stream);
  std::uint32_t user_value = 0;
  status = callback != nullptr ? 1 : -461;
  if (callback != nullptr) callback(&name, &handle, &user_value, &status);
  if (status != 1) {
    FreeStream(stream);
    SendError(element, kStreamOpenRequest, m.stream, status);
    return;
  }
  r->state = kStreamOpen;
  r->remote_number = m.stream;
  r->own_credit = kCreditOpen;
  r->peer_credit = m.credit;
  r->user_value = user_value;
  SendStream(element, {kStreamOpenAnswer, m.stream, r->own_number, kCreditOpen});
}

void OpenAnswer(std::uint32_t element, const KelmnetMessage& m) {
  std::uint32_t action = WaitingStep(element, 0);
  if (action == 0 || ActionOf(action)->parameter != kStepOpen) return;
  std::uint32_t mine = ActionStream(ActionOf(action));
  std::uint32_t stream = StreamFor(m.stream, element);
  if (stream == 0 || stream != mine) {
    CompleteStep(element, action, -37);
    if (mine != 0) FreeStream(mine);
    return;
  }
  StreamRecord* r = StreamOf(stream);
  r->state = kStreamOpen;
  r->remote_number = m.other_stream;
  r->peer_credit = m.credit;
  CompleteStep(element, action, 1);
}

void Data(std::uint32_t element, const KelmnetMessage& m) {
  std::uint32_t stream = StreamFor(m.stream, element);
  if (stream == 0 || StreamOf(stream)->owner != CurrentClient()) {
    SendError(element, m.sub_type, m.stream, kTimeout);
    return;
  }
  if (m.sub_type == kStreamDataWithCredit) {
    StreamOf(stream)->peer_credit = m.credit;
    if (std::uint32_t action = WaitingStep(element, stream)) CompleteStep(element, action, 1);
  }
  Deliver(stream, m);
}

void DataAnswer(std::uint32_t element, const KelmnetMessage& m) {
  std::uint32_t stream = StreamFor(m.stream, element);
  if (stream == 0) return;
  StreamOf(stream)->peer_credit = m.credit;
  std::uint32_t action = WaitingStep(element, stream);
  if (action == 0) return;
  std::uint32_t step = ActionOf(action)->parameter;
  if (step == kStepSend || step == kStepRestart) CompleteStep(element, action, 1);
}

void Restart(std::uint32_t element, const KelmnetMessage& m) {
  std::uint32_t stream = StreamFor(m.stream, element);
  if (stream == 0) {
    SendError(element, m.sub_type, m.stream, kTimeout);
    return;
  }
  StreamRecord* r = StreamOf(stream);
  r->peer_credit = m.credit;
  SendStream(element, {kStreamDataAnswer, r->remote_number, r->own_credit});
}

void Close(std::uint32_t element, const KelmnetMessage& m) {
  std::uint32_t stream = StreamFor(m.stream, element);
  if (stream == 0 || StreamOf(stream)->owner != CurrentClient()) {
    SendError(element, m.sub_type, m.stream, kTimeout);
    return;
  }
  std::uint8_t remote = StreamOf(stream)->remote_number;
  // A close step of our own waiting for this stream is answered by the close.
  if (std::uint32_t action = WaitingStep(element, stream)) CompleteStep(element, action, 1);
  stream = StreamFor(m.stream, element);
  if (stream != 0) Closed(stream);
  SendStream(element, {kStreamCloseAnswer, remote});
}

void CloseAnswer(std::uint32_t element, const KelmnetMessage& m) {
  std::uint32_t stream = StreamFor(m.stream, element);
  if (stream == 0) return;
  std::uint32_t action = WaitingStep(element, stream);
  if (action == 0 || ActionOf(action)->parameter != kStepClose) return;
  FreeStream(stream);
  CompleteStep(element, action, 1);
}

void Error(std::uint32_t element, const KelmnetMessage& m) {
  std::uint32_t action = WaitingStep(element, 0);
  if (action == 0) return;
  std::uint32_t stream = ActionStream(ActionOf(action));
  CompleteStep(element, action, StatusOfResult(m.result));
  bool gone = m.failed_sub_type == kStreamOpenRequest || m.failed_sub_type == kStreamClose;
  if (gone && stream != 0) FreeStream(stream);
}

std::int32_t StepOpen(std::uint32_t element, Action* a, std::uint32_t stream) {
  char name[kNameLength];
  std::string_view text = IdentifierText(&a->area1.identifier);
  if (text.empty() || text.size() > kNameLength) return -428;
  std::memset(name, ' ', kNameLength);
  std::memcpy(name, text.data(), text.size());
  if (IsBroadcastElement(element)) return -470;
  const StreamRecord* r = StreamOf(stream);
  return SendKelmnetMessage(element, [&](MessageWriter& w) {
    w.Byte(kCodeStream).Byte(kStreamOpenRequest).Byte(r->own_number).Byte(kCreditOpen).Name(name);
    return 1;
  });
}

std::int32_t StepSend(std::uint32_t element, std::uint32_t stream) {
  StreamRecord* r = StreamOf(stream);
  if (r->peer_credit == 0) return kPending;  // until a credit comes
  std::uint32_t buffer = TakeTransmitBuffer();
  if (buffer == 0) return kPending;
  MessageBuffer* b = Buffer(buffer);
  constexpr std::uint32_t kDataAt = 4;
  VNHStreamDataCallBack callback = CurrentThread().callbacks.stream_send;
  std::uint32_t length = r->peer_credit;
  std::uint32_t user_value = r->user_value;
  std::int32_t status = callback != nullptr ? 1 : -461;
  if (callback != nullptr) callback(&user_value, &length, b->message + kDataAt, &status);
  if (status != 1) {
    FreeMessageBuffer(buffer);
    return status;
  }
  // Never more than the peer said it takes.
  if (length > r->peer_credit) length = r->peer_credit;
  b->message[0] = kCodeStream;
  b->message[1] = kStreamData;
  b->message[2] = r->remote_number;
  b->message[3] = static_cast<std::uint8_t>(length);
  b->length = kDataAt + length;
  SendMessage(element, buffer);
  return 1;
}

}  // namespace

StreamRecord* StreamOf(std::uint32_t stream) { return SharedHeap().Data<StreamRecord>(stream); }

void SetUpStreams() {
  ServiceState& s = State();
  Heap heap = SharedHeap();
  PoolSetUp(heap, s.stream_pool, 0, 1, kTypeStream);
  std::memset(s.stream_slot, 0, sizeof s.stream_slot);
  s.last_stream_slot = kStreamSlots - 1;
}

std::uint32_t NewStream(std::uint32_t element, std::uint32_t user_value, std::int32_t* status) {
  ServiceState& s = State();
  int slot = -1;
  for (int i = 1; i <= kStreamSlots; ++i) {
    int candidate = static_cast<int>((s.last_stream_slot + static_cast<std::uint32_t>(i)) % kStreamSlots);
    if (s.stream_slot[candidate] == 0) {
      slot = candidate;
      break;
    }
  }
  Heap heap = SharedHeap();
  std::uint32_t stream = slot >= 0 ? PoolGet(heap, s.stream_pool) : 0;
  if (stream == 0) {
    if (slot >= 0) Trace("Kelmnet:CreateKNStream failed");
    *status = -4;
    return 0;
  }
  StreamRecord* r = StreamOf(stream);
  std::memset(r, 0, sizeof *r);
  r->own_number = static_cast<std::uint8_t>(slot);
  r->state = kStreamOpening;
  r->own_credit = kCreditOpen;
  r->peer_credit = 0;
  r->element = element;
  r->user_value = user_value;
  r->owner = CurrentClient();
  s.stream_slot[slot] = stream;
  s.last_stream_slot = static_cast<std::uint32_t>(slot);
  *status = 1;
  return stream;
}

void FreeStream(std::uint32_t stream) {
  Heap heap = SharedHeap();
  if (heap.CheckHandle(stream, kTypeStream) != 1) return;
  StreamRecord* r = StreamOf(stream);
  ServiceState& s = State();
  if (r->own_number < kStreamSlots && s.stream_slot[r->own_number] == stream) {
    s.stream_slot[r->own_number] = 0;
  }
  if ((r->flags & kStreamOpenedByRemote) != 0 && r->element != 0) {
    ReleaseAssociation(ElementAssociation(r->element));
  }
  PoolPut(heap, s.stream_pool, &stream);
}

std::uint32_t StreamOwner(std::uint8_t number) {
  if (number >= kStreamSlots) return 0;
  std::uint32_t stream = State().stream_slot[number];
  return stream != 0 ? StreamOf(stream)->owner : 0;
}

std::int32_t StartStreamStep(std::uint32_t assoc, std::uint32_t action, bool* finished) {
  Action* a = ActionOf(action);
  std::uint32_t stream = ActionStream(a);
  std::uint32_t element = AssociationOf(assoc)->element;
  if (stream == 0) {
    *finished = true;
    return -2;  // the stream went meanwhile
  }
  a->mode = kModeAnswer;
  switch (a->parameter) {
    case kStepOpen:
      return StepOpen(element, a, stream);
    case kStepSend:
      return StepSend(element, stream);
    case kStepRestart: {
      StreamRecord* r = StreamOf(stream);
      r->own_credit = kCreditOpen;
      return SendStream(element, {kStreamRestart, r->remote_number, kCreditOpen});
    }
    case kStepClose: {
      StreamRecord* r = StreamOf(stream);
      r->state = kStreamClosing;
      return SendStream(element, {kStreamClose, r->remote_number});
    }
    default:
      *finished = true;
      return -470;
  }
}

void StreamActionEnded(std::uint32_t action, std::int32_t status) {
  if (status == 1) return;
  const Action* a = ActionOf(action);
  std::uint32_t stream = ActionStream(a);
  if (stream == 0) return;
  bool lost = status == kTimeout || status == -421 || status == -480;
  if (a->parameter == kStepOpen || lost) FreeStream(stream);
}

void HandleStreamMessage(std::uint32_t element, const KelmnetMessage& m, std::int32_t decoded) {
  if (element == 0 || IsBroadcastElement(element)) return;
  if (decoded == -470) {
    SendError(element, m.sub_type, m.stream, -470);
    return;
  }
  if (decoded != 1) return;
  switch (m.sub_type) {
    case kStreamOpenRequest: OpenRequest(element, m); break;
    case kStreamOpenAnswer: OpenAnswer(element, m); break;
    case kStreamData:
    case kStreamDataWithCredit: Data(element, m); break;
    case kStreamDataAnswer: DataAnswer(element, m); break;
    case kStreamRestart: Restart(element, m); break;
    case kStreamClose: Close(element, m); break;
    case kStreamCloseAnswer: CloseAnswer(element, m); break;
    case kStreamError: Error(element, m); break;
    default: break;
  }
}

void CloseStreamsOfNode(std::uint32_t element) {
  ServiceState& s = State();
  for (std::uint32_t& slot : s.stream_slot) {
    std::uint32_t stream = slot;
    if (stream == 0 || StreamOf(stream)->element != element) continue;
    StreamRecord* r = StreamOf(stream);
    if (r->state == kStreamClosing && r->owner != CurrentClient()) continue;  // told already
    // The closed callback runs on the owner's thread.
    if (r->owner == CurrentClient()) {
      Closed(stream);
    } else {
      r->state = kStreamClosing;
      if (!QueueClientEvent(r->owner, stream)) FreeStream(stream);
    }
  }
}

void DispatchStreamEvent(std::uint32_t stream) {
  if (SharedHeap().CheckHandle(stream, kTypeStream) != 1) return;
  Closed(stream);
}

void FreeClientStreams(std::uint32_t client) {
  ServiceState& s = State();
  for (std::uint32_t& slot : s.stream_slot) {
    std::uint32_t stream = slot;
    if (stream == 0 || StreamOf(stream)->owner != client) continue;
    const StreamRecord* r = StreamOf(stream);
    // The peer would otherwise keep its end for ever.
    if (r->state == kStreamOpen) SendStream(r->element, {kStreamClose, r->remote_number});
    FreeStream(stream);
  }
}

}  // namespace vnh
