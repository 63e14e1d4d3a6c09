#include "varnht32/src/kelmnet_messages.h"

#include <cstring>

#include "platform/base/little_endian.h"
#include "varnht32/src/value_codec.h"

namespace vnh {

namespace {

constexpr std::int32_t kMalformed = -6;
constexpr std::int32_t kUnknownSubType = -470;

void TakeName(const std::uint8_t* p, char (&name)[kNameLength]) { std::memcpy(name, p, kNameLength); }

void TakeValue(const std::uint8_t* bytes, std::uint32_t length, std::uint32_t at, KelmnetMessage* m) {
  m->value = bytes + at;
  m->value_length = length - at;
}

std::int32_t DecodeStream(const std::uint8_t* b, std::uint32_t length, KelmnetMessage* m) {
  if (length < 2) return kMalformed;
  m->sub_type = b[1];
  if (length >= 3) m->stream = b[2];
  switch (m->sub_type) {
    case kStreamOpenRequest:
      if (length != 9) return kMalformed;
      m->credit = b[3];
      TakeName(b + 4, m->name);
      return 1;
    case kStreamOpenAnswer:
      if (length != 5) return kMalformed;
      m->other_stream = b[3];
      m->credit = b[4];
      return 1;
    case kStreamData:
      // The length byte must say what the message holds.
      if (length < 4 || b[3] + 4u != length) return kMalformed;
      m->data = b + 4;
      m->data_length = b[3];
      return 1;
    case kStreamDataWithCredit:
      if (length < 5 || b[4] + 5u != length) return kMalformed;
      m->credit = b[3];
      m->data = b + 5;
      m->data_length = b[4];
      return 1;
    case kStreamDataAnswer:
    case kStreamRestart:
      if (length != 4) return kMalformed;
      m->credit = b[3];
      return 1;
    case kStreamClose:
    case kStreamCloseAnswer:
      return length == 3 ? 1 : kMalformed;
    case kStreamError:
      if (length != 5) return kMalformed;
      m->failed_sub_type = b[2];
      m->stream = b[3];
      m->result = b[4];
      return 1;
    default:
      return kUnknownSubType;
  }
}

}  // namespace

std::int32_t StatusOfResult(std::uint8_t result) {
  switch (result) {
    case 0: return 1;
    case 3: return -38;
    case 5:
    case 17:
    case 21: return -470;
    case 6: return -428;
    case 7: return -5;
    case 8: return -462;
    case 18: return -483;
    default: return -490;
  }
}

std::uint8_t ResultOfStatus(std::int32_t status) {
  switch (status) {
    case 1: return 0;
    case -5:
    case -6:
    case -453:
    case -463: return 7;
    case -28:
    case -428:
    case -461: return 18;
    case -38: return 3;
    case -460:
    case -462: return 8;
    case -470: return 5;
    case -490: return 17;
    default: return 1;
  }
}

std::int32_t DecodeMessage(const std::uint8_t* b, std::uint32_t length, KelmnetMessage* m) {
  *m = KelmnetMessage{};
  if (b == nullptr || length == 0) return kMalformed;
  m->code = b[0] & kFunctionCodeMask;
  switch (m->code) {
    case kCodeConnectRequest:
      if (length != 2) return kMalformed;
      m->flag = b[1];
      return 1;
    case kCodeNameRequest:
      if (length != 6) return kMalformed;
      TakeName(b + 1, m->name);
      return 1;
    case kCodeIdentity:
      if (length < 2) return kMalformed;
      m->result = b[1];
      if (m->result != 0) return length == 2 ? 1 : kMalformed;
      if (length != 11) return kMalformed;
      TakeName(b + 2, m->name);
      m->restart = b[7];
      m->option = b[8];
      m->software = GetLe16(b + 9);
      return 1;
    case kCodeNameAnswer:
      if (length < 2) return kMalformed;
      m->result = b[1];
      if (m->result != 0) return length == 2 ? 1 : kMalformed;
      if (length != 12) return kMalformed;
      TakeName(b + 2, m->name);
      m->variable_flags = b[7];
      m->type_byte = b[8];
      m->address = GetLe16(b + 9);
      m->length_or_count = b[11];
      return 1;
    case kCodeVariableReport:
    case kCodeWriteRequest:
    case kCodeWriteUnanswered:
    case kCodeReadAnswer:
      if (length < 4) return kMalformed;
      m->type_byte = b[1];
      m->address = GetLe16(b + 2);
      TakeValue(b, length, 4, m);
      return 1;
    case kCodeReadRequest:
      if (length < 4) return kMalformed;
      m->type_byte = b[1];
      m->address = GetLe16(b + 2);
      if (!IsStructured(m->type_byte)) return length == 4 ? 1 : kMalformed;
      if (length != 6) return kMalformed;
      m->start = b[4];
      m->count = b[5];
      return 1;
    case kCodeSubscribeRequest:
      if (length < 5) return kMalformed;
      m->flag = b[1];
      m->type_byte = b[2];
      m->address = GetLe16(b + 3);
      if (!IsStructured(m->type_byte)) return length == 5 ? 1 : kMalformed;
      if (length != 7) return kMalformed;
      m->start = b[5];
      m->count = b[6];
      return 1;
    case kCodeStatusAnswer:
      if (length != 3) return kMalformed;
      m->result = b[1];
      m->answered_code = b[2];
      return 1;
    case kCodeNamedWrite:
      if (length < 7) return kMalformed;
      m->type_byte = b[1];
      TakeName(b + 2, m->name);
      TakeValue(b, length, 7, m);
      return 1;
    case kCodeStream:
      return DecodeStream(b, length, m);
    case kCodeTovraMessage:
    case kCodeTovraReply:
      m->data = b;
      m->data_length = length;
      return 1;
    default:
      return 0;
  }
}

MessageWriter& MessageWriter::Byte(std::uint32_t v) {
  if (used_ < capacity_) {
    bytes_[used_++] = static_cast<std::uint8_t>(v);
  } else {
    ok_ = false;
  }
  return *this;
}

MessageWriter& MessageWriter::Word(std::uint32_t v) {
  Byte(v & 0xFF);
  return Byte((v >> 8) & 0xFF);
}

MessageWriter& MessageWriter::Bytes(const void* p, std::uint32_t n) {
  if (capacity_ - used_ < n) {
    ok_ = false;
    n = capacity_ - used_;
  }
  std::memcpy(bytes_ + used_, p, n);
  used_ += n;
  return *this;
}

MessageWriter& MessageWriter::Name(const char* name) { return Bytes(name, kNameLength); }

std::uint8_t* MessageWriter::Tail(std::uint32_t* room) {
  *room = capacity_ - used_;
  return bytes_ + used_;
}

}  // namespace vnh
