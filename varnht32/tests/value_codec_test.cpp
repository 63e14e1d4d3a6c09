// The value codec against byte vectors written out from the layout: every
// type byte both ways, the range limits, and values from the network whose
// lengths do not add up.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "varnht32/src/value_codec.h"

namespace {

using vnh::PlainValue;
using Bytes = std::vector<std::uint8_t>;

PlainValue Boolean(std::uint8_t v) {
  PlainValue p;
  p.kind = VNH_VALUE_BOOLEAN;
  p.boolean = v;
  return p;
}

PlainValue Integer(std::int32_t v) {
  PlainValue p;
  p.kind = VNH_VALUE_INTEGER;
  p.integer = v;
  return p;
}

PlainValue Real(float v) {
  PlainValue p;
  p.kind = VNH_VALUE_REAL;
  p.real = v;
  return p;
}

PlainValue Text(const std::string& s) {
  PlainValue p;
  p.kind = VNH_VALUE_STRING;
  p.length = static_cast<std::uint32_t>(s.size());
  std::memcpy(p.text, s.data(), s.size() < sizeof p.text ? s.size() : sizeof p.text);
  return p;
}

PlainValue Bits(std::uint32_t first, std::uint32_t count, Bytes bytes) {
  PlainValue p;
  p.kind = VNH_VALUE_BIT_STRING;
  p.first = first;
  p.count = count;
  std::memcpy(p.bits, bytes.data(), bytes.size());
  return p;
}

PlainValue Array(std::uint32_t type, std::uint32_t start, std::vector<std::int32_t> ints,
                 std::vector<float> reals = {}) {
  PlainValue p;
  p.kind = VNH_VALUE_ARRAY;
  p.element_type = type;
  p.first = start;
  if (type == VNH_VALUE_REAL) {
    p.count = static_cast<std::uint32_t>(reals.size());
    for (std::size_t i = 0; i < reals.size(); ++i) p.element[i].real = reals[i];
  } else {
    p.count = static_cast<std::uint32_t>(ints.size());
    for (std::size_t i = 0; i < ints.size(); ++i) {
      if (type == VNH_VALUE_BOOLEAN) {
        p.element[i].boolean = static_cast<std::uint32_t>(ints[i]);
      } else {
        p.element[i].integer = ints[i];
      }
    }
  }
  return p;
}

bool Same(const PlainValue& a, const PlainValue& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case VNH_VALUE_BOOLEAN: return a.boolean == b.boolean;
    case VNH_VALUE_INTEGER: return a.integer == b.integer;
    case VNH_VALUE_REAL: return a.real == b.real;
    case VNH_VALUE_STRING: return a.length == b.length && std::memcmp(a.text, b.text, a.length) == 0;
    case VNH_VALUE_BIT_STRING:
      return a.first == b.first && a.count == b.count &&
             std::memcmp(a.bits, b.bits, vnh::BitBytes(a.count)) == 0;
    case VNH_VALUE_ARRAY:
      return a.element_type == b.element_type && a.first == b.first && a.count == b.count &&
             std::memcmp(a.element, b.element, a.count * sizeof a.element[0]) == 0;
    default: return false;
  }
}

Bytes Encode(std::uint8_t type, const PlainValue& v, bool signed_regs, std::int32_t* status) {
  std::uint8_t out[1100];
  std::uint32_t used = 0;
  *status = vnh::EncodeValue(type, v, signed_regs, out, sizeof out, &used);
  return Bytes(out, out + used);
}

TEST(ValueCodecTest, EveryTypeByteRoundTripsThroughItsBytes) {
  struct Case {
    std::uint8_t type;
    PlainValue value;
    Bytes bytes;
  };
  const Case cases[] = {
      {0x00, Boolean(1), {0x01}},
      {0x01, Boolean(0), {0x00}},
      {0x02, Integer(200), {0xC8}},
      {0x03, Integer(0x1234), {0x34, 0x12}},
      {0x23, Integer(65535), {0xFF, 0xFF}},  // bit 5 set: still a single value
      {0x04, Integer(-2), {0xFE, 0xFF, 0xFF, 0xFF}},
      {0x05, Integer(-2), {0xFE, 0xFF}},
      {0x06, Real(1.5f), {0x00, 0x00, 0xC0, 0x3F}},
      {0x08, Text("AB"), {0x02, 'A', 'B'}},
      {0x08, Text(""), {0x00}},
      {0x40, Bits(3, 10, {0xAB, 0x03}), {0x03, 0x0A, 0xAB, 0x03}},
      {0x41, Array(VNH_VALUE_BOOLEAN, 1, {1, 0, 1}), {0x01, 0x03, 0x01, 0x00, 0x01}},
      {0x42, Array(VNH_VALUE_INTEGER, 0, {7, 255}), {0x00, 0x02, 0x07, 0xFF}},
      {0x43, Array(VNH_VALUE_INTEGER, 2, {1, 0xFFFF}), {0x02, 0x02, 0x01, 0x00, 0xFF, 0xFF}},
      {0x44, Array(VNH_VALUE_INTEGER, 0, {-1}), {0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}},
      {0x45, Array(VNH_VALUE_INTEGER, 0, {-1, 2}), {0x00, 0x02, 0xFF, 0xFF, 0x02, 0x00}},
      {0x46, Array(VNH_VALUE_REAL, 0, {}, {-2.0f}), {0x00, 0x01, 0x00, 0x00, 0x00, 0xC0}},
  };
  for (const Case& c : cases) {
    std::int32_t status = 0;
    EXPECT_EQ(Encode(c.type, c.value, false, &status), c.bytes) << "type " << int(c.type);
    EXPECT_EQ(status, 1) << "type " << int(c.type);
    PlainValue back;
    ASSERT_EQ(vnh::DecodeValue(c.type, c.bytes.data(), static_cast<std::uint32_t>(c.bytes.size()),
                               vnh::DecodeForm::kByName, false, &back),
              1)
        << "type " << int(c.type);
    EXPECT_TRUE(Same(back, c.value)) << "type " << int(c.type);
  }
}

TEST(ValueCodecTest, NumbersOutsideTheirTypeAndValuesOfTheWrongKindAreRefused) {
  struct Case {
    std::uint8_t type;
    PlainValue value;
    bool signed_regs;
    std::int32_t status;
  };
  const Case cases[] = {
      {0x03, Integer(65536), false, -38},
      {0x03, Integer(-1), false, -38},
      {0x03, Integer(-1), true, 1},
      {0x03, Integer(-32769), true, -38},
      {0x02, Integer(256), false, -38},
      {0x02, Integer(-1), false, -38},
      {0x05, Integer(32768), false, -38},
      {0x43, Array(VNH_VALUE_INTEGER, 0, {1, 70000}), false, -38},
      {0x01, Integer(1), false, -5},
      {0x03, Real(1.0f), false, -5},
      {0x06, Integer(1), false, -5},
      {0x08, Integer(1), false, -5},
      {0x41, Array(VNH_VALUE_INTEGER, 0, {1}), false, -5},
      {0x40, Array(VNH_VALUE_BOOLEAN, 0, {1}), false, -5},
      {0x42, Bits(4, 8, {0xFF}), false, -38},  // a byte array needs whole bytes
      {0x60, Integer(1), false, -5},
      {0x07, Integer(1), false, -5},
      {0x48, Text("A"), false, -5},  // no structured strings
  };
  for (const Case& c : cases) {
    std::int32_t status = 0;
    Bytes out = Encode(c.type, c.value, c.signed_regs, &status);
    EXPECT_EQ(status, c.status) << "type " << int(c.type);
    if (c.status != 1) {
      EXPECT_TRUE(out.empty());
    }
  }
  std::int32_t status = 0;
  EXPECT_EQ(Encode(0x03, Integer(-1), true, &status), (Bytes{0xFF, 0xFF}));
  // A bit string whose first bit and length are whole bytes is a byte array.
  EXPECT_EQ(Encode(0x42, Bits(16, 16, {0x12, 0x34}), false, &status), (Bytes{2, 2, 0x12, 0x34}));
}

TEST(ValueCodecTest, AStringOfMoreThan255CharactersGoesOutCutTo255) {
  PlainValue v = Text(std::string(256, 'x'));
  std::int32_t status = 0;
  Bytes out = Encode(0x08, v, false, &status);
  ASSERT_EQ(status, 1);
  ASSERT_EQ(out.size(), 256u);
  EXPECT_EQ(out[0], 255);
  EXPECT_EQ(out[255], 'x');
}

TEST(ValueCodecTest, ValuesWhoseBytesDoNotAddUpAreRefused) {
  struct Case {
    std::uint8_t type;
    Bytes bytes;
    std::int32_t status;
  };
  const Case cases[] = {
      {0x03, {0x01, 0x02, 0x03}, -6},
      {0x03, {0x01}, -6},
      {0x04, {}, -6},
      {0x08, {0x05, 'a', 'b', 'c'}, -6},
      {0x08, {0x01, 'a', 'b'}, -6},
      {0x08, {}, -6},
      {0x40, {0x00}, -6},
      {0x40, {0x00, 0x09, 0xFF}, -6},  // nine bits take two bytes
      {0x43, {0x00, 0x02, 0x01, 0x00}, -6},
      {0x44, {0x00, 0xFF}, -6},  // 255 elements promised, none there
      {0x46, {0x00, 0x01, 0x00, 0x00, 0x00}, -6},
      {0x60, {0x00}, -5},
      {0x4F, {0x00, 0x00}, -5},
      {0x1F, {0x00}, -5},
  };
  for (const Case& c : cases) {
    PlainValue v;
    EXPECT_EQ(vnh::DecodeValue(c.type, c.bytes.data(), static_cast<std::uint32_t>(c.bytes.size()),
                               vnh::DecodeForm::kByName, false, &v),
              c.status)
        << "type " << int(c.type) << ", " << c.bytes.size() << " bytes";
  }
}

TEST(ValueCodecTest, AnswersToRegisterReadsComeBackAsBitStringsAndWords) {
  PlainValue v;
  const Bytes byte{0x5A};
  ASSERT_EQ(vnh::DecodeValue(0x02, byte.data(), 1, vnh::DecodeForm::kByRegister, false, &v), 1);
  EXPECT_TRUE(Same(v, Bits(0, 8, {0x5A})));
  const Bytes word{0xFF, 0xFF};
  ASSERT_EQ(vnh::DecodeValue(0x03, word.data(), 2, vnh::DecodeForm::kByRegister, false, &v), 1);
  EXPECT_TRUE(Same(v, Integer(65535)));
  ASSERT_EQ(vnh::DecodeValue(0x03, word.data(), 2, vnh::DecodeForm::kByRegister, true, &v), 1);
  EXPECT_TRUE(Same(v, Integer(-1)));
  const Bytes bytes{0x01, 0x02, 0xAA, 0xBB};
  ASSERT_EQ(vnh::DecodeValue(0x42, bytes.data(), 4, vnh::DecodeForm::kByRegister, false, &v), 1);
  EXPECT_TRUE(Same(v, Bits(8, 16, {0xAA, 0xBB})));
  const Bytes bits{0x03, 0x0A, 0xAB, 0x03};
  ASSERT_EQ(vnh::DecodeValue(0x40, bits.data(), 4, vnh::DecodeForm::kByRegister, false, &v), 1);
  EXPECT_TRUE(Same(v, Bits(3, 10, {0xAB, 0x03})));
  const Bytes words{0x00, 0x01, 0xFE, 0xFF};
  ASSERT_EQ(vnh::DecodeValue(0x43, words.data(), 4, vnh::DecodeForm::kByRegister, true, &v), 1);
  EXPECT_TRUE(Same(v, Array(VNH_VALUE_INTEGER, 0, {-2})));
  const Bytes real{0, 0, 0, 0};
  EXPECT_EQ(vnh::DecodeValue(0x06, real.data(), 4, vnh::DecodeForm::kByRegister, false, &v), -5);
}

TEST(ValueCodecTest, TheServerTypesAValueByItsKind) {
  std::uint8_t type = 0;
  std::uint8_t length = 0;
  std::uint8_t start = 0;
  std::uint8_t count = 0;
  struct Case {
    PlainValue value;
    std::uint8_t type, length, start, count;
  };
  const Case cases[] = {
      {Boolean(1), 0x01, 0, 0, 0},
      {Integer(5), 0x03, 0, 0, 0},  // the server's integer type, here 3
      {Real(1.0f), 0x06, 0, 0, 0},
      {Text("hello"), 0x08, 5, 0, 0},
      {Bits(2, 12, {}), 0x40, 12, 2, 12},
      {Array(VNH_VALUE_INTEGER, 1, {1, 2, 3}), 0x43, 3, 1, 3},
      {Array(VNH_VALUE_REAL, 0, {}, {1.0f}), 0x46, 1, 0, 1},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(vnh::ServerTypeOf(c.value, 3, &type, &length, &start, &count), 1);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(length, c.length);
    EXPECT_EQ(start, c.start);
    EXPECT_EQ(count, c.count);
  }
}

}  // namespace
