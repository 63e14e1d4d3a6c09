#include "varnht32/src/client_services.h"

#include <cstring>
#include <string_view>

#include "varnht32/src/actions.h"
#include "varnht32/src/associations.h"
#include "varnht32/src/card_channel.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/communication.h"
#include "varnht32/src/identifiers.h"
#include "varnht32/src/knsock.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/remote_time_actions.h"
#include "varnht32/src/service_settings.h"
#include "varnht32/src/streams.h"
#include "varnht32/src/trace.h"
#include "varnht32/src/value_items.h"
#include "varnht32/src/variables.h"

namespace vnh {

namespace {

constexpr std::int32_t kPending = -400;
constexpr std::int32_t kLost = -421;
constexpr std::uint8_t kCanSubscribe = 4;        // software code: takes subscribe requests
constexpr std::uint8_t kSubscribesByConnect = 2;  // software code: report flag of connect requests
constexpr std::uint8_t kUnknownRestart = 255;

Action* A(std::uint32_t action) { return ActionOf(action); }
std::uint32_t AssocElement(std::uint32_t assoc) { return AssociationOf(assoc)->element; }

std::int32_t CallVariable(VNHVariableCallBack callback, const VNHIdentifier* name,
                          VNHVariableValue* container) {
  if (callback == nullptr) return -461;
  std::int32_t status = 1;
  callback(name, container, &status);
  return status;
}

// The local value of `name`, through the client's read-local-variable callback.
std::int32_t ReadLocal(const VNHIdentifier* name, PlainValue* value) {
  VNHVariableValue container;
  ClearContainer(&container);
  std::int32_t status = CallVariable(CurrentThread().callbacks.variable_read, name, &container);
  if (status != 1) return status;
  return ReadContainerValue(container, value);
}

// Hands a value to the client's write-local-variable callback.
std::int32_t WriteLocal(const VNHIdentifier* name, const PlainValue& value) {
  VNHVariableValue container;
  std::int32_t status = WriteContainerValue(&container, value);
  if (status != 1) return status;
  return CallVariable(CurrentThread().callbacks.variable_write, name, &container);
}

// Does a value of the client fit a structured type, so that it can say the
// start and count of a request? A byte array may also be a bit string.
bool KindFits(std::uint8_t type_byte, const PlainValue& v) {
  std::uint8_t element = ElementOf(type_byte);
  if (!IsStructured(type_byte)) return true;
  switch (element) {
    case kElementBit: return v.kind == VNH_VALUE_BIT_STRING;
    case kElementBoolean: return v.kind == VNH_VALUE_ARRAY && v.element_type == VNH_VALUE_BOOLEAN;
    case kElementByte:
      if (v.kind == VNH_VALUE_BIT_STRING) return true;
      [[fallthrough]];
    case kElementWord:
    case kElementLong:
    case kElementSignedWord:
      return v.kind == VNH_VALUE_ARRAY && v.element_type == VNH_VALUE_INTEGER;
    case kElementReal: return v.kind == VNH_VALUE_ARRAY && v.element_type == VNH_VALUE_REAL;
    default: return false;
  }
}

// Start and count of a structured request from the local value.
void StartAndCount(std::uint8_t type_byte, const PlainValue& v, std::uint8_t* start,
                   std::uint8_t* count) {
  std::uint32_t s = v.first;
  std::uint32_t c = v.count;
  if (ElementOf(type_byte) == kElementByte && v.kind == VNH_VALUE_BIT_STRING) {
    s /= 8;
    c /= 8;
  }
  *start = static_cast<std::uint8_t>(s > 255 ? 255 : s);
  *count = static_cast<std::uint8_t>(c > 255 ? 255 : c);
}

// Where a register form reads or writes, for the local value it goes with.
std::int32_t RegisterRequest(const RegisterForm& f, const PlainValue& local, std::uint8_t* type,
                             std::uint16_t* address, PlainValue* sent) {
  *sent = local;
  if (f.bits) {
    if (local.kind != VNH_VALUE_BIT_STRING) return -5;
    if (f.number / 8 > 0xFFFF) return -428;
    *address = static_cast<std::uint16_t>(f.number / 8);
    if (local.count == 1) {
      *type = kTypeStructured | kElementBit;
      sent->first = f.number % 8;
      return 1;
    }
    if (f.number % 8 != 0 || local.first % 8 != 0 || local.count % 8 != 0) return -428;
    *type = kTypeStructured | kElementByte;
    return 1;
  }
  if (f.number * 2 > 0xFFFF) return -428;
  *address = static_cast<std::uint16_t>(f.number * 2);
  if (local.kind == VNH_VALUE_INTEGER) {
    *type = kElementWord;
    return 1;
  }
  if (local.kind == VNH_VALUE_ARRAY && local.element_type == VNH_VALUE_INTEGER) {
    *type = kTypeStructured | kElementWord;
    return 1;
  }
  return -5;
}

std::int32_t SendNameRequest(std::uint32_t element, const char (&name)[kNameLength]) {
  return SendKelmnetMessage(element, [&](MessageWriter& w) {
    w.Byte(kCodeNameRequest).Name(name);
    return 1;
  });
}

std::int32_t SendReadRequest(std::uint32_t element, std::uint8_t type, std::uint16_t address,
                             std::uint8_t start, std::uint8_t count) {
  return SendKelmnetMessage(element, [&](MessageWriter& w) {
    w.Byte(kCodeReadRequest).Byte(type).Word(address);
    if (IsStructured(type)) w.Byte(start).Byte(count);
    return 1;
  });
}

// Reads an entry the node has resolved. A structured variable asks the local
// value for the start and count it wants.
std::int32_t ReadByEntry(std::uint32_t element, std::uint32_t action, std::uint32_t entry) {
  const VariableEntry* e = Entry(entry);
  std::uint8_t start = 0;
  std::uint8_t count = 0;
  if (IsStructured(e->type_byte)) {
    PlainValue local;
    std::int32_t status = ReadLocal(&A(action)->area2.identifier, &local);
    if (status != 1) return status;
    if (!KindFits(e->type_byte, local)) return -5;
    StartAndCount(e->type_byte, local, &start, &count);
  }
  A(action)->mode = kModeAnswer;
  A(action)->parameter = e->address;
  return SendReadRequest(element, e->type_byte, e->address, start, count);
}

std::int32_t WriteByEntry(std::uint32_t element, std::uint32_t action, std::uint32_t entry) {
  PlainValue value;
  std::int32_t status = ReadLocal(&A(action)->area2.identifier, &value);
  if (status != 1) return status;
  const VariableEntry* e = Entry(entry);
  A(action)->mode = kModeAnswer;
  A(action)->parameter = e->address;
  return SendValueMessage(element, kCodeWriteRequest, e->type_byte, e->address, value);
}

void ApplySubscription(std::uint32_t element, std::uint32_t action, std::uint32_t entry) {
  if (A(action)->subscribe != 0) {
    AddSubscriber(entry, element, &A(action)->area2.identifier);
  } else {
    RemoveSubscriber(entry, element);
  }
}

std::uint32_t SubscribedEntry(std::uint32_t element, std::uint32_t action) {
  char name[kNameLength];
  if (!FiveCharacterName(IdentifierText(&A(action)->area1.identifier), name)) return 0;
  return FindEntryByName(Node(element)->name_list, name);
}

std::int32_t SubscribeByEntry(std::uint32_t element, std::uint32_t action, std::uint32_t entry,
                              bool* finished) {
  const VariableEntry* e = Entry(entry);
  if ((e->variable_flags & kVariableIsReport) == 0) return -470;
  NodeData* n = Node(element);
  Action* a = A(action);
  if ((n->software & kCanSubscribe) != 0) {
    std::uint8_t start = 0;
    std::uint8_t count = 0;
    if (IsStructured(e->type_byte)) {
      PlainValue local;
      std::int32_t status = ReadLocal(&a->area2.identifier, &local);
      if (status != 1) return status;
      StartAndCount(e->type_byte, local, &start, &count);
    }
    a->mode = kModeAnswer;
    a->parameter = e->address;
    std::uint8_t flag = a->subscribe;
    return SendKelmnetMessage(element, [&](MessageWriter& w) {
      w.Byte(kCodeSubscribeRequest).Byte(flag).Byte(e->type_byte).Word(e->address);
      if (IsStructured(e->type_byte)) w.Byte(start).Byte(count);
      return 1;
    });
  }
  if ((n->software & kSubscribesByConnect) != 0) {
    std::uint32_t before = n->flags;
    if (a->subscribe != 0) {
      n->flags |= kNodeReportByConnect;
    } else {
      n->flags &= ~kNodeReportByConnect;
    }
    if (n->flags == before) {
      ApplySubscription(element, action, entry);
      *finished = true;
      return 1;
    }
    a->mode = kModeConnect;
    return SendConnectRequest(element);
  }
  return -462;
}

// A read or write of a plain name: by the entry the node resolved, else a
// name request first.
template <class ByEntry>
std::int32_t ByName(std::uint32_t element, std::uint32_t action, std::string_view text,
                    ByEntry by_entry) {
  char name[kNameLength];
  std::memcpy(name, text.data(), kNameLength);
  std::uint32_t entry = FindEntryByName(Node(element)->name_list, name);
  if (entry != 0) return by_entry(element, action, entry);
  A(action)->mode = kModeName;
  return SendNameRequest(element, name);
}

// A read or write by register form: the local value (whose kind says what the
// form reads) and the type and address of the request.
struct RegisterTarget {
  std::uint8_t type = 0;
  std::uint16_t address = 0;
  PlainValue sent;
};

std::int32_t TargetOf(std::uint32_t action, std::string_view text, RegisterTarget* t) {
  Action* a = A(action);
  RegisterForm f{};
  ParseRegisterForm(text.data(), static_cast<std::uint32_t>(text.size()), &f);
  PlainValue local;
  std::int32_t status = ReadLocal(&a->area2.identifier, &local);
  if (status != 1) return status;
  status = RegisterRequest(f, local, &t->type, &t->address, &t->sent);
  if (status != 1) return status;
  a->mode = kModeRegister;
  a->parameter = t->address;
  return 1;
}

std::int32_t StartRead(std::uint32_t assoc, std::uint32_t action) {
  std::uint32_t element = AssocElement(assoc);
  std::string_view text = IdentifierText(&A(action)->area1.identifier);
  std::uint32_t kind = 0;
  if (!IsLegalIdentifier(text, &kind)) return -428;
  if (kind == 1) return ByName(element, action, text, ReadByEntry);
  RegisterTarget t;
  std::int32_t status = TargetOf(action, text, &t);
  if (status != 1) return status;
  std::uint8_t start = 0;
  std::uint8_t count = 0;
  if (IsStructured(t.type)) StartAndCount(t.type, t.sent, &start, &count);
  return SendReadRequest(element, t.type, t.address, start, count);
}

std::int32_t StartWrite(std::uint32_t assoc, std::uint32_t action, bool* finished) {
  std::uint32_t element = AssocElement(assoc);
  std::string_view text = IdentifierText(&A(action)->area1.identifier);
  std::uint32_t kind = 0;
  if (!IsLegalIdentifier(text, &kind)) return -428;
  bool broadcast = IsBroadcastElement(element);
  if (kind == 1) return broadcast ? -470 : ByName(element, action, text, WriteByEntry);
  RegisterTarget t;
  std::int32_t status = TargetOf(action, text, &t);
  if (status != 1) return status;
  // Nobody answers a write to every node: it is done once it is sent.
  if (broadcast) *finished = true;
  return SendValueMessage(element, broadcast ? kCodeWriteUnanswered : kCodeWriteRequest, t.type,
                          t.address, t.sent);
}

std::int32_t StartSubscribe(std::uint32_t assoc, std::uint32_t action, bool* finished) {
  std::uint32_t element = AssocElement(assoc);
  char name[kNameLength];
  if (!FiveCharacterName(IdentifierText(&A(action)->area1.identifier), name)) return -428;
  if (IsBroadcastElement(element)) return -470;
  std::uint32_t entry = FindEntryByName(Node(element)->name_list, name);
  if (entry != 0) return SubscribeByEntry(element, action, entry, finished);
  A(action)->mode = kModeName;
  return SendNameRequest(element, name);
}

std::int32_t StartConnect(std::uint32_t assoc) {
  std::uint32_t element = AssocElement(assoc);
  Association* a = AssociationOf(assoc);
  if (IsBroadcastElement(element)) {
    NodeData* n = Node(element);
    std::memcpy(n->identity, "Broad", kNameLength);
    n->restart = 0;
    n->option = 0;
    n->software = 0;
    n->flags |= kNodeUp;
    SetAssociationState(assoc, kAssocUp);
    a->last_status = 1;
    return 1;
  }
  std::int32_t status = SendConnectRequest(element);
  // A connect request that could not go yet is tried again at the next poll:
  // waiting for the answer to a request never sent would cost a whole
  // reconnect time-out.
  if (status == 1) SetAssociationState(assoc, kAssocRequestSent);
  return status;
}

std::int32_t StartTovra(std::uint32_t assoc, std::uint32_t action) {
  std::uint32_t buffer = TakeTransmitBuffer();
  if (buffer == 0) return kPending;
  MessageBuffer* b = Buffer(buffer);
  VNHTovraData transmit{0, b->message};
  VNHTovraMessageCallBack callback = CurrentThread().callbacks.tovra_message;
  std::int32_t status = callback != nullptr ? 1 : -28;
  if (callback != nullptr) callback(&A(action)->area1.message, &transmit, &status);
  if (status == 1 && (transmit.length == 0 || transmit.length > kMessageMax)) status = -38;
  if (status == 1 && transmit.message != b->message) {
    // The client handed over bytes of its own rather than filling ours.
    if (transmit.message == nullptr) {
      status = -38;
    } else {
      std::memmove(b->message, transmit.message, transmit.length);
    }
  }
  if (status == 1 && b->message[0] != kCodeTovraMessage) status = -38;
  if (status != 1) {
    FreeMessageBuffer(buffer);
    return status;
  }
  b->length = transmit.length;
  A(action)->mode = kModeAnswer;
  SendMessage(AssocElement(assoc), buffer);
  return 1;
}

std::int32_t StartIdentify(std::uint32_t action, bool* finished) {
  Action* a = A(action);
  std::uint32_t element = a->area1.target.element;
  const NodeData* n = Node(element);
  bool known = (n->flags & kNodeUp) != 0 && (n->flags & kNodeIdentifyPending) == 0;
  if (known && a->internal == 0) {
    QueueClientEvent(a->owner, element, kNodeEventIdentify);
    *finished = true;
    return 1;
  }
  if (known) {
    *finished = true;
    return 1;
  }
  a->mode = kModeConnect;
  return SendConnectRequest(element);
}

void NodeStatusDone(std::uint32_t channel) { NodeStatusAnswered(channel); }

std::int32_t StartNodeStatus(std::uint32_t action) {
  ServiceState& s = Shared().services;
  if (s.node_status_action != 0) return -16;
  Action* a = A(action);
  std::uint32_t channel = a->area1.target.channel;
  if (Channel(channel)->kind == kChannelCard) {
    std::int32_t status = RequestCardNodeStatus(channel);
    if (status != 1) return status;
  }
  s.node_status_channel = channel;
  s.node_status_action = action;
  switch (Channel(channel)->kind) {
    case kChannelTcpIp:
      UdpNodeStatus(a->area1.target.element, NodeStatusDone);
      break;
    case kChannelSimulated:
      // The simulated channel knows at once all it will ever know.
      NodeStatusAnswered(channel);
      break;
    default:
      break;
  }
  return 1;
}

// After a name answer or an identity, an action in progress goes on: still
// waiting (1), done, or, without a transmit buffer now, back to the front of
// the queue so that the next poll starts it again (its name is known by now).
void GoOn(std::uint32_t assoc, std::uint32_t action, std::int32_t status, bool finished) {
  if (status == 1 && !finished) return;
  if (status == kPending && !finished) {
    SharedHeap().IntoAsFirst(action, AssociationOf(assoc)->queued_first);
    return;
  }
  CompleteAction(assoc, action, status);
}

std::uint32_t ActionForAnswer(std::uint32_t element, std::uint32_t kind) {
  return FindAction(ElementAssociation(element), kind);
}

}  // namespace

std::int32_t FinishMessage(std::uint32_t element, std::uint32_t buffer, const MessageWriter& w,
                           std::int32_t status) {
  if (status == 1 && !w.ok()) status = -6;
  if (status != 1 || element == 0) {
    FreeMessageBuffer(buffer);
    return status == 1 ? -2 : status;
  }
  Buffer(buffer)->length = w.length();
  SendMessage(element, buffer);
  return 1;
}

bool ParseRegisterForm(const char* text, std::uint32_t length, RegisterForm* form) {
  std::string_view t(text, length);
  std::uint32_t kind = 1;
  if (!IsLegalIdentifier(t, &kind) || kind != 0) return false;
  form->bits = t[1] == 'X';
  std::uint32_t base = form->bits ? 8 : 10;
  std::uint32_t n = 0;
  for (char c : t.substr(2)) n = n * base + static_cast<std::uint32_t>(c - '0');
  form->number = n;
  return true;
}

std::int32_t SendValueMessage(std::uint32_t element, std::uint8_t code, std::uint8_t type,
                              std::uint16_t address, const PlainValue& value) {
  return SendKelmnetMessage(element, [&](MessageWriter& w) {
    w.Byte(code).Byte(type).Word(address);
    std::uint32_t room = 0;
    std::uint8_t* tail = w.Tail(&room);
    std::uint32_t used = 0;
    std::int32_t status = EncodeValue(type, value, SignedRegs(), tail, room, &used);
    w.Commit(used);
    return status;
  });
}

std::int32_t SendConnectRequest(std::uint32_t element) {
  std::uint8_t flag = (Node(element)->flags & kNodeReportByConnect) != 0 ? 1 : 0;
  return SendKelmnetMessage(element, [&](MessageWriter& w) {
    w.Byte(kCodeConnectRequest).Byte(flag);
    return 1;
  });
}

std::int32_t StartAction(std::uint32_t assoc, std::uint32_t action, bool* finished) {
  *finished = false;
  switch (A(action)->kind) {
    case kActionRead: return StartRead(assoc, action);
    case kActionWrite: return StartWrite(assoc, action, finished);
    case kActionSubscribe: return StartSubscribe(assoc, action, finished);
    case kActionConnect: {
      std::int32_t status = StartConnect(assoc);
      *finished = status == 1 && AssociationOf(assoc)->state == kAssocUp;
      return status;
    }
    case kActionSetTime:
    case kActionSetTimeSecond: return StartSetRemoteTime(assoc, action, finished);
    case kActionTovra: return StartTovra(assoc, action);
    case kActionStream: return StartStreamStep(assoc, action, finished);
    default:
      Trace("VNHPollActionQueue: unexpected action type");
      *finished = true;
      return -470;
  }
}

std::int32_t StartGlobalAction(std::uint32_t action, bool* finished) {
  *finished = false;
  switch (A(action)->kind) {
    case kActionIdentify: return StartIdentify(action, finished);
    case kActionNodeStatus: return StartNodeStatus(action);
    default:
      Trace("VNHPollGlobalActionQueue: unexpected action type");
      *finished = true;
      return -470;
  }
}

void HandleIdentity(std::uint32_t element, const KelmnetMessage& m) {
  NodeData* n = Node(element);
  std::uint32_t assoc = ElementAssociation(element);
  if (m.result == 0) {
    bool known = n->restart != kUnknownRestart;
    bool same = std::memcmp(n->identity, m.name, kNameLength) == 0 && n->restart == m.restart;
    if (known && !same) {
      // The node has restarted: what we knew of it is gone.
      ForgetNames(element, true);
      DropFromServerReports(element);
      CloseStreamsOfNode(element);
    }
    std::memcpy(n->identity, m.name, kNameLength);
    n->restart = m.restart;
    n->option = m.option;
    n->software = m.software;
    n->flags &= ~kNodeIdentifyPending;
    SetNodeUp(element);
  } else if (m.result == kResultNewIdentity) {
    if ((n->flags & kNodeUp) != 0 && !IsOwnNodeElement(element)) {
      // Only a connection that is up has anything to lose. A peer session
      // announces the node on its first contact, that is while our connect
      // request is on its way: the identity answer follows, and calling the
      // connection lost meanwhile would fail a caller waiting for it.
      if (assoc != 0 && AssociationOf(assoc)->state == kAssocUp) MarkConnectionLost(assoc);
      ForgetNames(element, false);
    }
  }
  std::int32_t status = StatusOfResult(m.result);
  // Every identify request for this node hears the answer.
  Heap heap = SharedHeap();
  std::uint32_t global = GlobalAssociation();
  std::uint32_t x = heap.First(AssociationOf(global)->in_progress);
  while (x != 0) {
    std::uint32_t next = heap.SuccElem(x);
    Action* a = A(x);
    if (a->kind == kActionIdentify && a->area1.target.element == element) {
      if (m.result == 0 && a->internal == 0) QueueClientEvent(a->owner, element, kNodeEventIdentify);
      CompleteAction(global, x, status);
    }
    x = next;
  }
  if (assoc == 0) return;
  if (std::uint32_t connect = FindAction(assoc, kActionConnect)) CompleteAction(assoc, connect, 1);
  Association* a = AssociationOf(assoc);
  if (m.result == 0) {
    if (a->state != kAssocIdle) {
      SetAssociationState(assoc, kAssocUp);
      a->last_status = 1;
    }
    // A subscription by connect is in force once the node has answered.
    if (std::uint32_t sub = OwnInProgress(assoc, kActionSubscribe)) {
      if (A(sub)->mode == kModeConnect) {
        if (std::uint32_t entry = SubscribedEntry(element, sub)) ApplySubscription(element, sub, entry);
        CompleteAction(assoc, sub, 1);
      }
    }
  } else if (m.result != kResultNewIdentity) {
    a->last_status = -480;
    SetAssociationState(assoc, kAssocIdle);
  }
}

void HandleNameAnswer(std::uint32_t element, const KelmnetMessage& m) {
  std::uint32_t assoc = ElementAssociation(element);
  std::uint32_t action = 0;
  for (std::uint32_t kind : {kActionRead, kActionWrite, kActionSubscribe}) {
    if (action == 0) action = OwnInProgress(assoc, kind);
  }
  if (action != 0 && A(action)->mode != kModeName) action = 0;
  if (action == 0) {
    if (assoc == 0 || AssociationOf(assoc)->last_status != kLost) {
      Trace("Kelmnet:NameHandler. Could not find name request action");
    }
    return;
  }
  if (m.result != 0) {
    CompleteAction(assoc, action, StatusOfResult(m.result));
    return;
  }
  std::uint32_t list = Node(element)->name_list;
  std::uint32_t entry = FindEntryByName(list, m.name);
  if (entry == 0) {
    entry = NewEntry();
    if (entry == 0) {
      CompleteAction(assoc, action, -4);
      return;
    }
    SharedHeap().Into(entry, list);
  }
  VariableEntry* e = Entry(entry);
  std::memcpy(e->name, m.name, kNameLength);
  e->variable_flags = m.variable_flags;
  e->type_byte = m.type_byte;
  e->address = m.address;
  e->length = m.length_or_count;
  e->count = m.length_or_count;
  if ((m.variable_flags & kVariableIsReport) != 0) e->flags |= kEntryIsReport;
  bool finished = false;
  std::int32_t status = 1;
  switch (A(action)->kind) {
    case kActionRead: status = ReadByEntry(element, action, entry); break;
    case kActionWrite: status = WriteByEntry(element, action, entry); break;
    case kActionSubscribe: status = SubscribeByEntry(element, action, entry, &finished); break;
    default:
      Trace("Kelmnet:NameHandler. Could not find right action");
      return;
  }
  GoOn(assoc, action, status, finished);
}

void HandleReadAnswer(std::uint32_t element, const KelmnetMessage& m) {
  std::uint32_t assoc = ElementAssociation(element);
  std::uint32_t action = ActionForAnswer(element, kActionRead);
  if (action == 0) return;
  Action* a = A(action);
  if (a->mode == kModeName) return;
  if (m.address != a->parameter) {
    Trace("VNHRead offset mismatch: %s %u", NodeAddressText(element).c_str(),
          static_cast<unsigned>(m.address));
    return;
  }
  PlainValue value;
  DecodeForm form = a->mode == kModeRegister ? DecodeForm::kByRegister : DecodeForm::kByName;
  std::int32_t status = DecodeValue(m.type_byte, m.value, m.value_length, form, SignedRegs(), &value);
  if (status == 1) status = WriteLocal(&a->area2.identifier, value);
  CompleteAction(assoc, action, status);
}

void HandleStatusAnswer(std::uint32_t element, const KelmnetMessage& m) {
  std::uint32_t kind = 0;
  switch (m.answered_code) {
    case kCodeWriteRequest: kind = kActionWrite; break;
    case kCodeReadRequest: kind = kActionRead; break;
    case kCodeSubscribeRequest: kind = kActionSubscribe; break;
    case kCodeTovraMessage: kind = kActionTovra; break;
    default: return;
  }
  std::uint32_t assoc = ElementAssociation(element);
  std::uint32_t action = ActionForAnswer(element, kind);
  if (action == 0 || A(action)->mode == kModeName) return;
  std::int32_t status = StatusOfResult(m.result);
  if (kind == kActionSubscribe && status == 1) {
    if (std::uint32_t entry = SubscribedEntry(element, action)) ApplySubscription(element, action, entry);
  }
  CompleteAction(assoc, action, status);
}

void HandleVariableReport(std::uint32_t element, const KelmnetMessage& m) {
  std::uint32_t entry = FindEntryByAddress(Node(element)->name_list, m.address);
  if (entry == 0 || (Entry(entry)->flags & kEntryHasSubscribers) == 0) return;
  const VNHIdentifier* local = FirstSubscriberName(entry);
  if (local == nullptr) return;
  PlainValue value;
  if (DecodeValue(m.type_byte, m.value, m.value_length, DecodeForm::kByName, SignedRegs(), &value) != 1) {
    return;
  }
  VNHIdentifier name = *local;
  WriteLocal(&name, value);
}

void HandleTovraReply(std::uint32_t element, const KelmnetMessage& m) {
  std::uint32_t assoc = ElementAssociation(element);
  std::uint32_t action = ActionForAnswer(element, kActionTovra);
  if (action == 0) return;
  VNHTovraReplyCallBack callback = CurrentThread().callbacks.tovra_reply;
  VNHTovraData received{m.data_length, const_cast<std::uint8_t*>(m.data)};
  std::int32_t status = callback != nullptr ? 1 : -28;
  if (callback != nullptr) callback(&A(action)->area1.message, &received, &status);
  CompleteAction(assoc, action, status);
}

}  // namespace vnh
