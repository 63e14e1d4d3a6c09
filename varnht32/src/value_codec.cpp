#include "varnht32/src/value_codec.h"

#include <cstring>

#include "platform/base/little_endian.h"

namespace vnh {

namespace {

constexpr std::int32_t kWrongType = -5;
constexpr std::int32_t kLengthMismatch = -6;
constexpr std::int32_t kOutOfRange = -38;

// Appends bytes while there is room; remembers when there was not.
class Writer {
 public:
  Writer(std::uint8_t* out, std::uint32_t capacity) : out_(out), capacity_(capacity) {}
  void Byte(std::uint32_t v) {
    if (Room(1)) out_[used_++] = static_cast<std::uint8_t>(v);
  }
  void Word(std::uint32_t v) {
    if (Room(2)) PutLe16(out_ + used_, static_cast<std::uint16_t>(v)), used_ += 2;
  }
  void Long(std::uint32_t v) {
    if (Room(4)) PutLe32(out_ + used_, v), used_ += 4;
  }
  void Bytes(const void* p, std::uint32_t n) {
    if (Room(n)) std::memcpy(out_ + used_, p, n), used_ += n;
  }
  bool full() const { return full_; }
  std::uint32_t used() const { return used_; }

 private:
  bool Room(std::uint32_t n) {
    if (capacity_ - used_ < n) full_ = true;
    return !full_;
  }
  std::uint8_t* out_;
  std::uint32_t capacity_;
  std::uint32_t used_ = 0;
  bool full_ = false;
};

std::uint32_t RealBits(float f) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

float RealOf(std::uint32_t bits) {
  float f = 0.0f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// The range an integer must lie in for an element type.
bool IntegerFits(std::uint8_t element, std::int32_t v, bool signed_regs) {
  switch (element) {
    case kElementByte: return v >= 0 && v <= 255;
    case kElementWord: return v >= (signed_regs ? -32768 : 0) && v <= 65535;
    case kElementSignedWord: return v >= -32768 && v <= 32767;
    case kElementLong: return true;
    default: return false;
  }
}

std::uint32_t IntegerWidth(std::uint8_t element) {
  switch (element) {
    case kElementByte: return 1;
    case kElementWord:
    case kElementSignedWord: return 2;
    default: return 4;
  }
}

void PutInteger(Writer& w, std::uint8_t element, std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  switch (IntegerWidth(element)) {
    case 1: w.Byte(u); break;
    case 2: w.Word(u); break;
    default: w.Long(u); break;
  }
}

std::int32_t GetInteger(std::uint8_t element, const std::uint8_t* p, bool signed_word) {
  switch (element) {
    case kElementByte: return p[0];
    case kElementWord: return signed_word ? static_cast<std::int16_t>(GetLe16(p)) : GetLe16(p);
    case kElementSignedWord: return static_cast<std::int16_t>(GetLe16(p));
    default: return GetLeS32(p);
  }
}

std::int32_t EncodeSingle(std::uint8_t element, const PlainValue& v, bool signed_regs, Writer& w) {
  switch (element) {
    case kElementBit:
    case kElementBoolean:
      if (v.kind != VNH_VALUE_BOOLEAN) return kWrongType;
      w.Byte(v.boolean != 0 ? 1 : 0);
      return 1;
    case kElementByte:
    case kElementWord:
    case kElementLong:
    case kElementSignedWord:
      if (v.kind != VNH_VALUE_INTEGER) return kWrongType;
      if (!IntegerFits(element, v.integer, signed_regs)) return kOutOfRange;
      PutInteger(w, element, v.integer);
      return 1;
    case kElementReal:
      if (v.kind != VNH_VALUE_REAL) return kWrongType;
      w.Long(RealBits(v.real));
      return 1;
    case kElementString: {
      if (v.kind != VNH_VALUE_STRING) return kWrongType;
      // A longer string goes out cut to what its length byte can say.
      std::uint32_t n = v.length < kStringMax ? v.length : kStringMax;
      w.Byte(n);
      w.Bytes(v.text, n);
      return 1;
    }
    default:
      return kWrongType;
  }
}

bool ArrayOf(const PlainValue& v, std::uint32_t element_type) {
  return v.kind == VNH_VALUE_ARRAY && v.element_type == element_type;
}

std::int32_t EncodeStructured(std::uint8_t element, const PlainValue& v, bool signed_regs,
                              Writer& w) {
  // A byte array may also come from a bit string that starts and ends on a byte.
  if (element == kElementByte && v.kind == VNH_VALUE_BIT_STRING) {
    if (v.first % 8 != 0 || v.count % 8 != 0) return kOutOfRange;
    std::uint32_t start = v.first / 8;
    std::uint32_t count = v.count / 8;
    if (start > 255 || count > 255 || count > kBitStringBytes) return kOutOfRange;
    w.Byte(start);
    w.Byte(count);
    w.Bytes(v.bits, count);
    return 1;
  }
  if (element == kElementBit) {
    if (v.kind != VNH_VALUE_BIT_STRING) return kWrongType;
    if (v.first > 255 || v.count > 255) return kOutOfRange;
    w.Byte(v.first);
    w.Byte(v.count);
    w.Bytes(v.bits, BitBytes(v.count));
    return 1;
  }
  std::uint32_t wanted = 0;
  switch (element) {
    case kElementBoolean: wanted = VNH_VALUE_BOOLEAN; break;
    case kElementByte:
    case kElementWord:
    case kElementLong:
    case kElementSignedWord: wanted = VNH_VALUE_INTEGER; break;
    case kElementReal: wanted = VNH_VALUE_REAL; break;
    default: return kWrongType;
  }
  if (!ArrayOf(v, wanted)) return kWrongType;
  if (v.first > 255 || v.count > kArrayMax) return kOutOfRange;
  for (std::uint32_t i = 0; i < v.count; ++i) {
    if (wanted == VNH_VALUE_INTEGER && !IntegerFits(element, v.element[i].integer, signed_regs)) {
      return kOutOfRange;
    }
  }
  w.Byte(v.first);
  w.Byte(v.count);
  for (std::uint32_t i = 0; i < v.count; ++i) {
    const VNHArrayElement& e = v.element[i];
    if (wanted == VNH_VALUE_BOOLEAN) {
      w.Byte(e.boolean != 0 ? 1 : 0);
    } else if (wanted == VNH_VALUE_REAL) {
      w.Long(RealBits(e.real));
    } else {
      PutInteger(w, element, e.integer);
    }
  }
  return 1;
}

void SetBitString(PlainValue* out, std::uint32_t first, std::uint32_t count,
                  const std::uint8_t* bytes, std::uint32_t n) {
  out->kind = VNH_VALUE_BIT_STRING;
  out->first = first;
  out->count = count;
  std::memcpy(out->bits, bytes, n);
}

// Elements of `width` bytes each; `width` 0 means the bytes of a bit string.
std::int32_t DecodeArray(std::uint8_t element, std::uint32_t element_type, bool signed_word,
                         std::uint32_t start, std::uint32_t count, const std::uint8_t* p,
                         PlainValue* out) {
  out->kind = VNH_VALUE_ARRAY;
  out->element_type = element_type;
  out->first = start;
  out->count = count;
  std::uint32_t width = element_type == VNH_VALUE_INTEGER ? IntegerWidth(element)
                        : element_type == VNH_VALUE_REAL  ? 4
                                                          : 1;
  for (std::uint32_t i = 0; i < count; ++i, p += width) {
    VNHArrayElement& e = out->element[i];
    if (element_type == VNH_VALUE_BOOLEAN) {
      e.boolean = p[0] != 0 ? 1 : 0;
    } else if (element_type == VNH_VALUE_REAL) {
      e.real = RealOf(GetLe32(p));
    } else {
      e.integer = GetInteger(element, p, signed_word);
    }
  }
  return 1;
}

std::int32_t DecodeSingle(std::uint8_t element, const std::uint8_t* p, std::uint32_t length,
                          DecodeForm form, bool signed_regs, PlainValue* out) {
  auto need = [length](std::uint32_t n) { return length == n; };
  if (form == DecodeForm::kByRegister) {
    if (element == kElementByte) {
      if (!need(1)) return kLengthMismatch;
      SetBitString(out, 0, 8, p, 1);
      return 1;
    }
    if (element == kElementWord) {
      if (!need(2)) return kLengthMismatch;
      out->kind = VNH_VALUE_INTEGER;
      out->integer = GetInteger(kElementWord, p, signed_regs);
      return 1;
    }
    return kWrongType;
  }
  switch (element) {
    case kElementBit:
    case kElementBoolean:
      if (!need(1)) return kLengthMismatch;
      out->kind = VNH_VALUE_BOOLEAN;
      out->boolean = p[0] != 0 ? 1 : 0;
      return 1;
    case kElementByte:
    case kElementWord:
    case kElementLong:
    case kElementSignedWord:
      if (!need(IntegerWidth(element))) return kLengthMismatch;
      out->kind = VNH_VALUE_INTEGER;
      out->integer = GetInteger(element, p, false);
      return 1;
    case kElementReal:
      if (!need(4)) return kLengthMismatch;
      out->kind = VNH_VALUE_REAL;
      out->real = RealOf(GetLe32(p));
      return 1;
    case kElementString:
      if (length < 1 || !need(1u + p[0])) return kLengthMismatch;
      out->kind = VNH_VALUE_STRING;
      out->length = p[0];
      std::memcpy(out->text, p + 1, p[0]);
      out->text[p[0]] = '\0';
      return 1;
    default:
      return kWrongType;
  }
}

std::int32_t DecodeStructured(std::uint8_t element, const std::uint8_t* p, std::uint32_t length,
                              DecodeForm form, bool signed_regs, PlainValue* out) {
  if (length < 2) return kLengthMismatch;
  std::uint32_t start = p[0];
  std::uint32_t count = p[1];
  const std::uint8_t* data = p + 2;
  std::uint32_t n = length - 2;
  if (form == DecodeForm::kByRegister) {
    switch (element) {
      case kElementBit:
        if (n != BitBytes(count)) return kLengthMismatch;
        SetBitString(out, start, count, data, n);
        return 1;
      case kElementByte:
        if (n != count) return kLengthMismatch;
        SetBitString(out, start * 8, count * 8, data, n);
        return 1;
      case kElementWord:
        if (n != count * 2) return kLengthMismatch;
        return DecodeArray(kElementWord, VNH_VALUE_INTEGER, signed_regs, start, count, data, out);
      default:
        return kWrongType;
    }
  }
  switch (element) {
    case kElementBit:
      if (n != BitBytes(count)) return kLengthMismatch;
      SetBitString(out, start, count, data, n);
      return 1;
    case kElementBoolean:
      if (n != count) return kLengthMismatch;
      return DecodeArray(element, VNH_VALUE_BOOLEAN, false, start, count, data, out);
    case kElementByte:
    case kElementWord:
    case kElementLong:
    case kElementSignedWord:
      if (n != count * IntegerWidth(element)) return kLengthMismatch;
      return DecodeArray(element, VNH_VALUE_INTEGER, false, start, count, data, out);
    case kElementReal:
      if (n != count * 4) return kLengthMismatch;
      return DecodeArray(element, VNH_VALUE_REAL, false, start, count, data, out);
    default:
      return kWrongType;
  }
}

}  // namespace

std::int32_t CheckTypeByte(std::uint8_t type_byte) {
  if ((type_byte & kTypeFormMask) == kTypeFormMask) return kWrongType;
  std::uint8_t element = ElementOf(type_byte);
  if (IsStructured(type_byte)) return element <= kElementReal ? 1 : kWrongType;
  return (element <= kElementReal || element == kElementString) ? 1 : kWrongType;
}

std::uint32_t BitBytes(std::uint32_t count) { return count == 0 ? 0 : (count - 1) / 8 + 1; }

std::int32_t EncodeValue(std::uint8_t type_byte, const PlainValue& value, bool signed_regs,
                         std::uint8_t* out, std::uint32_t capacity, std::uint32_t* used) {
  *used = 0;
  if (CheckTypeByte(type_byte) != 1) return kWrongType;
  Writer w(out, capacity);
  std::uint8_t element = ElementOf(type_byte);
  std::int32_t status = IsStructured(type_byte) ? EncodeStructured(element, value, signed_regs, w)
                                                : EncodeSingle(element, value, signed_regs, w);
  if (status != 1) return status;
  if (w.full()) return kLengthMismatch;
  *used = w.used();
  return 1;
}

std::int32_t DecodeValue(std::uint8_t type_byte, const std::uint8_t* bytes, std::uint32_t length,
                         DecodeForm form, bool signed_regs, PlainValue* out) {
  *out = PlainValue{};
  if (CheckTypeByte(type_byte) != 1) return kWrongType;
  std::uint8_t element = ElementOf(type_byte);
  return IsStructured(type_byte) ? DecodeStructured(element, bytes, length, form, signed_regs, out)
                                 : DecodeSingle(element, bytes, length, form, signed_regs, out);
}

std::int32_t ServerTypeOf(const PlainValue& value, std::uint8_t int_type, std::uint8_t* type_byte,
                          std::uint8_t* length, std::uint8_t* start, std::uint8_t* count) {
  *length = 0;
  *start = 0;
  *count = 0;
  switch (value.kind) {
    case VNH_VALUE_BOOLEAN: *type_byte = kElementBoolean; return 1;
    case VNH_VALUE_INTEGER: *type_byte = int_type; return 1;
    case VNH_VALUE_REAL: *type_byte = kElementReal; return 1;
    case VNH_VALUE_STRING:
      *type_byte = kElementString;
      *length = static_cast<std::uint8_t>(value.length < kStringMax ? value.length : kStringMax);
      return 1;
    case VNH_VALUE_BIT_STRING:
    case VNH_VALUE_ARRAY: {
      if (value.first > 255 || value.count > 255) return kOutOfRange;
      std::uint8_t element = kElementBit;
      if (value.kind == VNH_VALUE_ARRAY) {
        switch (value.element_type) {
          case VNH_VALUE_BOOLEAN: element = kElementBoolean; break;
          case VNH_VALUE_INTEGER: element = int_type; break;
          case VNH_VALUE_REAL: element = kElementReal; break;
          default: return kWrongType;
        }
      }
      *type_byte = static_cast<std::uint8_t>(kTypeStructured | element);
      *start = static_cast<std::uint8_t>(value.first);
      *count = static_cast<std::uint8_t>(value.count);
      *length = *count;
      return 1;
    }
    default:
      return kWrongType;
  }
}

}  // namespace vnh
