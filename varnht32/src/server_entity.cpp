#include "varnht32/src/server_entity.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "varnht32/src/channels.h"
#include "varnht32/src/client.h"
#include "varnht32/src/client_services.h"
#include "varnht32/src/communication.h"
#include "varnht32/src/identifiers.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/remote_time_actions.h"
#include "varnht32/src/service_settings.h"
#include "varnht32/src/trace.h"
#include "varnht32/src/value_items.h"
#include "varnht32/src/variables.h"

namespace vnh {

namespace {

constexpr std::uint32_t kLastServerAddress = 0xFFFF;  // never handed out
constexpr std::uint32_t kRegisterBitLimit = 2048;     // %X addresses below this
constexpr std::uint32_t kFixedBitLimit = 16384;

ServiceState& State() { return Shared().services; }

VNHIdentifier NameRecord(std::string_view text) {
  VNHIdentifier id{};
  SetIdentifierText(&id, text);
  return id;
}

// The value of a local variable through the server client's read callback:
// exactly one value, else the callback's failure or -6.
std::int32_t ReadVariable(const VNHIdentifier& name, PlainValue* value) {
  VNHVariableCallBack callback = CurrentThread().callbacks.variable_read;
  if (callback == nullptr) return -461;
  VNHVariableValue container;
  ClearContainer(&container);
  std::int32_t status = 1;
  callback(&name, &container, &status);
  if (status != 1) return status;
  return ReadContainerValue(container, value);
}

std::int32_t WriteVariable(const VNHIdentifier& name, const PlainValue& value) {
  VNHVariableCallBack callback = CurrentThread().callbacks.variable_write;
  if (callback == nullptr) return -461;
  VNHVariableValue container;
  std::int32_t status = WriteContainerValue(&container, value);
  if (status != 1) return status;
  status = 1;
  callback(&name, &container, &status);
  return status;
}

std::string_view EntryName(const VariableEntry* e) { return std::string_view(e->name, kNameLength); }

// The register form of an address below the server variables: "%X" with the
// octal bit address for bits and bytes, "%R" with the register for words.
std::int32_t RegisterName(std::uint8_t type_byte, std::uint16_t address, VNHIdentifier* name) {
  char text[16];
  std::uint8_t element = ElementOf(type_byte);
  if ((element == kElementBit || element == kElementByte) && address < kRegisterBitLimit) {
    std::snprintf(text, sizeof text, "%%X%o", static_cast<unsigned>(address) * 8);
  } else if (element == kElementWord && address < kFirstServerAddress) {
    std::snprintf(text, sizeof text, "%%R%u", static_cast<unsigned>(address) / 2);
  } else {
    return -428;
  }
  *name = NameRecord(text);
  return 1;
}

// The local name a request's address stands for.
std::int32_t NameOfAddress(std::uint8_t type_byte, std::uint16_t address, VNHIdentifier* name) {
  if (address < kFirstServerAddress) return RegisterName(type_byte, address, name);
  std::uint32_t entry = FindEntryByAddress(State().server_variables, address);
  if (entry == 0) return -428;
  *name = NameRecord(EntryName(Entry(entry)));
  return 1;
}

// The server variable of a name, made when the name is new. Its type follows
// the value the callback gave.
std::int32_t DeclareVariable(const char (&name)[kNameLength], const PlainValue& value,
                             std::uint32_t* out) {
  std::uint8_t type = 0;
  std::uint8_t length = 0;
  std::uint8_t start = 0;
  std::uint8_t count = 0;
  std::int32_t status = ServerTypeOf(value, ServerIntType(), &type, &length, &start, &count);
  if (status != 1) return status;
  ServiceState& s = State();
  std::uint32_t entry = FindEntryByName(s.server_variables, name);
  if (entry == 0) {
    if (s.next_server_address >= kLastServerAddress) {
      Trace("Kelmnet:NameRequest. Too many names requested by clients");
      return -38;
    }
    if (s.server_variable_count >= kMaxServerVariables) {
      Trace("Kelmnet:NameRequest. Too many server variables, %.5s refused", name);
      return -4;
    }
    entry = NewEntry();
    if (entry == 0) {
      Trace("Kelmnet:NameRequest. Heap allocation error");
      return -4;
    }
    VariableEntry* e = Entry(entry);
    std::memcpy(e->name, name, kNameLength);
    e->address = static_cast<std::uint16_t>(s.next_server_address++);
    SharedHeap().Into(entry, s.server_variables);
    ++s.server_variable_count;
  }
  VariableEntry* e = Entry(entry);
  e->type_byte = type;
  e->length = length;
  e->start = start;
  e->count = count;
  *out = entry;
  return 1;
}

struct FixedForm {
  char letter;
  std::uint32_t number;
};

// A letter I, O, B (bit address, a multiple of 8 below 16384) or R, W
// (register, twice of which lies below 6144) with four hexadecimal digits.
bool ParseFixedForm(const char (&name)[kNameLength], FixedForm* f) {
  f->letter = name[0];
  std::uint32_t n = 0;
  for (std::uint32_t i = 1; i < kNameLength; ++i) {
    char c = name[i];
    std::uint32_t d = 0;
    if (c >= '0' && c <= '9') {
      d = static_cast<std::uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      d = static_cast<std::uint32_t>(c - 'A' + 10);
    } else if (c >= 'a' && c <= 'f') {
      d = static_cast<std::uint32_t>(c - 'a' + 10);
    } else {
      return false;
    }
    n = n * 16 + d;
  }
  f->number = n;
  switch (f->letter) {
    case 'I':
    case 'O':
    case 'B': return n % 8 == 0 && n < kFixedBitLimit;
    case 'R':
    case 'W': return n * 2 < kFirstServerAddress;
    default: return false;
  }
}

std::int32_t SendNameAnswer(std::uint32_t element, std::int32_t status, const char* name,
                            std::uint8_t flags, std::uint8_t type, std::uint16_t address,
                            std::uint8_t length) {
  return SendKelmnetMessage(element, [&](MessageWriter& w) {
    w.Byte(kCodeNameAnswer).Byte(ResultOfStatus(status));
    if (status == 1) w.Name(name).Byte(flags).Byte(type).Word(address).Byte(length);
    return 1;
  });
}

std::int32_t SendStatusAnswer(std::uint32_t element, std::int32_t status, std::uint8_t code) {
  return SendKelmnetMessage(element, [&](MessageWriter& w) {
    w.Byte(kCodeStatusAnswer).Byte(ResultOfStatus(status)).Byte(code);
    return 1;
  });
}

}  // namespace

void SetUpServerEntity() {
  ServiceState& s = State();
  s.next_server_address = kFirstServerAddress;
  s.report_trigger = NewEntry();
  s.report_trigger_queued = 0;
}

void HandleConnectRequest(std::uint32_t element, const KelmnetMessage&) {
  const Identity& id = NodeIdentity();
  SendKelmnetMessage(element, [&](MessageWriter& w) {
    w.Byte(kCodeIdentity).Byte(0).Name(id.name).Byte(id.restart).Byte(id.option);
    w.Word(id.software & 0xFFFF);
    return 1;
  });
}

void HandleNameRequest(std::uint32_t element, const KelmnetMessage& m) {
  PlainValue value;
  std::int32_t status = ReadVariable(NameRecord(std::string_view(m.name, kNameLength)), &value);
  if (status == 1) {
    std::uint32_t entry = 0;
    status = DeclareVariable(m.name, value, &entry);
    if (status == 1) {
      const VariableEntry* e = Entry(entry);
      SendNameAnswer(element, 1, e->name, e->variable_flags, e->type_byte, e->address, e->length);
      return;
    }
    SendNameAnswer(element, status, nullptr, 0, 0, 0, 0);
    return;
  }
  FixedForm f{};
  if (!ParseFixedForm(m.name, &f)) {
    SendNameAnswer(element, status, nullptr, 0, 0, 0, 0);
    return;
  }
  bool bits = f.letter == 'I' || f.letter == 'O' || f.letter == 'B';
  char text[16];
  if (bits) {
    std::snprintf(text, sizeof text, "%%X%o", static_cast<unsigned>(f.number));
  } else {
    std::snprintf(text, sizeof text, "%%R%u", static_cast<unsigned>(f.number));
  }
  status = ReadVariable(NameRecord(text), &value);
  if (status != 1) {
    SendNameAnswer(element, status, nullptr, 0, 0, 0, 0);
    return;
  }
  std::uint8_t type = 0;
  std::uint8_t count = 0;
  std::uint16_t address = static_cast<std::uint16_t>(bits ? f.number / 8 : f.number * 2);
  switch (f.letter) {
    case 'I': type = kTypeStructured | kElementBit; count = 1; break;
    case 'O': type = kElementByte; break;
    case 'B': type = kTypeStructured | kElementByte; count = 255; break;
    case 'R': type = kElementWord; break;
    default: type = kTypeStructured | kElementWord; count = 255; break;
  }
  SendNameAnswer(element, 1, m.name, 0, type, address, count);
}

void HandleReadRequest(std::uint32_t element, const KelmnetMessage& m) {
  VNHIdentifier name{};
  std::int32_t status = NameOfAddress(m.type_byte, m.address, &name);
  PlainValue value;
  if (status == 1) status = ReadVariable(name, &value);
  if (status == 1) status = SendValueMessage(element, kCodeReadAnswer, m.type_byte, m.address, value);
  // Without a transmit buffer nothing goes; the node asks again.
  if (status != 1 && status != -400) SendStatusAnswer(element, status, kCodeReadRequest);
}

void HandleWriteRequest(std::uint32_t element, const KelmnetMessage& m) {
  VNHIdentifier name{};
  std::int32_t status = NameOfAddress(m.type_byte, m.address, &name);
  PlainValue value;
  if (status == 1) {
    status = DecodeValue(m.type_byte, m.value, m.value_length, DecodeForm::kByName, SignedRegs(), &value);
  }
  if (status == 1) status = WriteVariable(name, value);
  if (m.code == kCodeWriteRequest) SendStatusAnswer(element, status, kCodeWriteRequest);
}

void HandleSubscribeRequest(std::uint32_t element, const KelmnetMessage& m) {
  std::int32_t status = 1;
  std::uint32_t entry = 0;
  if (m.address < kFirstServerAddress) {
    status = -470;
  } else {
    entry = FindEntryByAddress(State().server_variables, m.address);
    if (entry == 0) {
      status = -428;
    } else if ((Entry(entry)->flags & kEntryIsReport) == 0) {
      status = -470;
    }
  }
  if (status == 1) {
    if (m.flag != 0) {
      if (!AddSubscriber(entry, element, nullptr)) status = -4;
    } else {
      RemoveSubscriber(entry, element);
    }
  }
  SendStatusAnswer(element, status, kCodeSubscribeRequest);
}

void HandleTovraMessage(std::uint32_t element, const KelmnetMessage& m) {
  VNHTovraReplyCallBack callback = CurrentThread().callbacks.tovra_reply;
  if (callback == nullptr) return;
  VNHReplyHandle reply{8, {'A', 'A', 'A', 'A'}, element};
  VNHTovraData received{m.data_length, const_cast<std::uint8_t*>(m.data)};
  std::int32_t status = 1;
  callback(&reply, &received, &status);
}

void HandleNamedWrite(std::uint32_t, const KelmnetMessage& m) {
  ReceiveNamedWrite(m.type_byte, std::string_view(m.name, kNameLength), m.value, m.value_length);
}

std::int32_t DefineGlobalReport(const VNHIdentifier* name) {
  char five[kNameLength];
  if (!FiveCharacterName(IdentifierText(name), five)) return -428;
  PlainValue value;
  std::int32_t status = ReadVariable(NameRecord(std::string_view(five, kNameLength)), &value);
  if (status != 1) return status;
  std::uint32_t entry = 0;
  status = DeclareVariable(five, value, &entry);
  if (status != 1) return status;
  Entry(entry)->variable_flags |= kVariableIsReport;
  Entry(entry)->flags |= kEntryIsReport;
  return 1;
}

std::int32_t SendVarReport(const VNHIdentifier* name) {
  char five[kNameLength];
  if (!FiveCharacterName(IdentifierText(name), five)) return -461;
  ServiceState& s = State();
  std::uint32_t entry = FindEntryByName(s.server_variables, five);
  if (entry == 0 || (Entry(entry)->flags & kEntryIsReport) == 0) return -461;
  Entry(entry)->flags |= kEntryReportDue;
  if (s.report_trigger_queued == 0 && s.report_trigger != 0 &&
      QueueClientEvent(Shared().server_client, s.report_trigger)) {
    s.report_trigger_queued = 1;
  }
  return 1;
}

bool IsReportTrigger(std::uint32_t object) { return object != 0 && object == State().report_trigger; }

void DispatchReportTrigger() {
  ServiceState& s = State();
  s.report_trigger_queued = 0;
  Heap heap = SharedHeap();
  for (std::uint32_t entry = heap.First(s.server_variables); entry != 0; entry = heap.SuccElem(entry)) {
    VariableEntry* e = Entry(entry);
    if ((e->flags & kEntryReportDue) == 0) continue;
    e->flags &= ~kEntryReportDue;
    if ((e->flags & kEntryIsReport) == 0 || (e->flags & kEntryHasSubscribers) == 0) continue;
    PlainValue value;
    if (ReadVariable(NameRecord(EntryName(e)), &value) != 1) {
      Trace("Kelmnet:KNAutoServer. Report error");
      continue;
    }
    for (std::uint32_t l = heap.First(e->subscribers); l != 0; l = heap.SuccElem(l)) {
      if (SendValueMessage(ReportLinkOf(l)->element, kCodeVariableReport, e->type_byte, e->address, value) != 1) {
        break;
      }
    }
    ReleaseAllItems(nullptr);
  }
}

bool DropServerVariables() {
  ServiceState& s = State();
  Heap heap = SharedHeap();
  bool had = !heap.Last(s.server_variables);
  while (std::uint32_t entry = heap.First(s.server_variables)) FreeEntry(entry);
  s.server_variable_count = 0;
  s.next_server_address = kFirstServerAddress;
  return had;
}

std::int32_t SendTovraReply(std::uint32_t element, const VNHTovraData* message) {
  if (message->length == 0 || message->length > kMessageMax) return -38;
  return SendKelmnetMessage(element, [&](MessageWriter& w) {
    w.Bytes(message->message, message->length);
    return 1;
  });
}

}  // namespace vnh
