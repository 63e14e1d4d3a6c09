#pragma once
// Variable values on the wire. Every value travels behind a type byte: bits 5
// and 6 say whether it is a single value (0x00 or 0x20) or a structured one
// (0x40: start and count bytes, then the elements; 0x60 is illegal), bits 0 to
// 4 give the element type. The codec works on plain values in memory and never
// on the shared heap, so that a value from the network is checked completely
// before anything of the library sees it.

#include <cstdint>

#include "varnht32/include/varnht32.h"

namespace vnh {

constexpr std::uint8_t kTypeFormMask = 0x60;
constexpr std::uint8_t kTypeStructured = 0x40;
constexpr std::uint8_t kTypeElementMask = 0x1F;

enum ElementType : std::uint8_t {
  kElementBit = 0,
  kElementBoolean = 1,
  kElementByte = 2,
  kElementWord = 3,
  kElementLong = 4,
  kElementSignedWord = 5,
  kElementReal = 6,
  kElementString = 8,
};

constexpr std::uint32_t kStringMax = 255;
constexpr std::uint32_t kBitStringBytes = 256;
constexpr std::uint32_t kArrayMax = 255;

inline bool IsStructured(std::uint8_t type_byte) {
  return (type_byte & kTypeFormMask) == kTypeStructured;
}
inline std::uint8_t ElementOf(std::uint8_t type_byte) { return type_byte & kTypeElementMask; }
// 1 for a type byte that names a value, -5 for 0x60 or an unknown element type.
std::int32_t CheckTypeByte(std::uint8_t type_byte);

// A value as the library holds it between a container and the wire.
struct PlainValue {
  std::uint32_t kind = 0;  // VNH_VALUE_*
  std::uint8_t boolean = 0;
  std::int32_t integer = 0;
  float real = 0.0f;
  std::uint32_t length = 0;  // string
  char text[256] = {};
  std::uint32_t first = 0;   // bit string: first bit; array: start
  std::uint32_t count = 0;   // bit string: bits; array: elements
  std::uint32_t element_type = 0;  // array: VNH_VALUE_BOOLEAN, _INTEGER or _REAL
  std::uint8_t bits[kBitStringBytes] = {};
  VNHArrayElement element[kArrayMax] = {};
};

// How a received value is to be read: as the type byte says, or as the
// answer to a read by register form, where bytes and words come back as bit
// strings and 16-bit integers.
enum class DecodeForm { kByName, kByRegister };

// Bytes of the bit-string part of a structured bit value of `count` bits.
std::uint32_t BitBytes(std::uint32_t count);

// Writes the value part for `type_byte` (structured: start, count, elements).
// 1; -5 when the value's kind does not fit the type; -38 when a number or a
// start or count is out of range; -6 when `capacity` is too small.
std::int32_t EncodeValue(std::uint8_t type_byte, const PlainValue& value, bool signed_regs,
                         std::uint8_t* out, std::uint32_t capacity, std::uint32_t* used);
// Reads the value part of `length` bytes. 1; -5 for a type that cannot be
// read (in this form); -6 when the bytes the type uses differ from `length`.
std::int32_t DecodeValue(std::uint8_t type_byte, const std::uint8_t* bytes, std::uint32_t length,
                         DecodeForm form, bool signed_regs, PlainValue* out);

// The type byte a server gives a value of this kind (and, for structured
// values, the start and count): 1 boolean, `int_type` integer, 6 real, 8
// string, 0x40 bit string, 0x40 plus the element type for an array. -5 for a
// value of no known kind.
std::int32_t ServerTypeOf(const PlainValue& value, std::uint8_t int_type, std::uint8_t* type_byte,
                          std::uint8_t* length, std::uint8_t* start, std::uint8_t* count);

}  // namespace vnh
