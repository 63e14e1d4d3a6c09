// Card frames and driver records, checked against bytes written out from
// their layouts.

#include "varnht32/src/card_frames.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "varnht32/src/card_channel.h"
#include "varnht32/src/card_driver.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Message(std::uint32_t length) {
  Bytes m(length);
  std::iota(m.begin(), m.end(), 0);
  m[0] = 0x1F;  // function code 31
  return m;
}

Bytes Frame(const Bytes& message, std::uint32_t index, std::uint8_t node = 9) {
  vnh::Frame f;
  vnh::BuildFrame(message.data(), static_cast<std::uint32_t>(message.size()), index, node, f);
  return Bytes(f, f + vnh::kFrameBytes);
}

TEST(CardFramesTest, FrameCounts) {
  struct Case {
    std::uint32_t length;
    std::uint32_t frames;
  } cases[] = {{1, 1}, {31, 1}, {32, 2}, {61, 2}, {62, 3}, {91, 3}, {92, 4}, {1024, 35}};
  for (const Case& c : cases) EXPECT_EQ(vnh::FrameCount(c.length), c.frames) << c.length;
}

TEST(CardFramesTest, WholeFirstMiddleAndLastFrames) {
  Bytes whole = Frame(Message(3), 0);
  EXPECT_EQ(whole, (Bytes{9, 3, 0x1F, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                          0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  // 32 bytes: a first fragment with the code and bytes 1 to 30, a last one with byte 31.
  Bytes m32 = Message(32);
  Bytes first = Frame(m32, 0);
  EXPECT_EQ(first[0], 9);
  EXPECT_EQ(first[1], 31);
  EXPECT_EQ(first[2], 0x20 | 0x1F);
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(first[2 + i], i) << i;
  Bytes last = Frame(m32, 1);
  EXPECT_EQ(Bytes(last.begin(), last.begin() + 5), (Bytes{9, 2, 0x80 | 0x1F, 31, 0}));
  // 92 bytes: first, middle 1 (odd: 0x60), middle 2 (even: 0x40), last with 1 byte.
  Bytes m92 = Message(92);
  EXPECT_EQ(Frame(m92, 1)[2], 0x60 | 0x1F);
  EXPECT_EQ(Frame(m92, 1)[3], 31);
  EXPECT_EQ(Frame(m92, 2)[2], 0x40 | 0x1F);
  EXPECT_EQ(Frame(m92, 2)[3], 61);
  EXPECT_EQ(Frame(m92, 3)[1], 2);
  EXPECT_EQ(Frame(m92, 3)[3], 91);
}

TEST(CardFramesTest, FramesThatBreakTheLayoutAreRefused) {
  struct Case {
    std::uint8_t length;
    std::uint8_t type_and_code;
    bool valid;
    std::uint32_t data;
  } cases[] = {
      {1, 0x05, true, 0},    {31, 0x05, true, 30},  {0, 0x05, false, 0},  {32, 0x05, false, 0},
      {31, 0x25, true, 30},  {30, 0x25, false, 0},  {31, 0x45, true, 30}, {31, 0x65, true, 30},
      {2, 0x85, true, 1},    {31, 0x85, true, 30},  {1, 0x85, false, 0},  {32, 0x85, false, 0},
      {5, 0xA5, false, 0},   {5, 0xC5, false, 0},   {5, 0xE5, false, 0},  {255, 0x05, false, 0},
  };
  for (const Case& c : cases) {
    vnh::Frame f{};
    f[0] = 7;
    f[1] = c.length;
    f[2] = c.type_and_code;
    vnh::FrameView v{};
    ASSERT_EQ(vnh::DecodeFrame(f, &v), c.valid) << int(c.length) << " " << int(c.type_and_code);
    if (!c.valid) continue;
    EXPECT_EQ(v.node, 7);
    EXPECT_EQ(v.code, 5);
    EXPECT_EQ(v.data_length, c.data);
  }
}

TEST(CardFramesTest, DriverRecordLayout) {
  vnh::DriverRecord r;
  r.result = 2;
  r.index = 0x01020304;
  r.data[0] = 0xAA;
  r.data[32] = 0xBB;
  r.code = 22;
  vnh::DriverBytes bytes;
  vnh::EncodeDriverRecord(r, bytes);
  Bytes expect(44, 0);
  expect[0] = 2;
  expect[4] = 4;
  expect[5] = 3;
  expect[6] = 2;
  expect[7] = 1;
  expect[8] = 0xAA;
  expect[40] = 0xBB;
  expect[43] = 22;
  EXPECT_EQ(Bytes(bytes, bytes + 44), expect);
  vnh::DriverRecord back = vnh::DecodeDriverRecord(bytes);
  EXPECT_EQ(back.index, 0x01020304u);
  EXPECT_EQ(back.code, 22);
}

TEST(CardFramesTest, VersionAnswerBecomesTheVersionText) {
  const std::uint8_t answer[8] = {1, 3, 8, 9, 0, 4, 0, 1};
  char text[12];
  vnh::FormatCardVersion(answer, text);
  EXPECT_EQ(std::string(text, 12), "1.3 89-04-01");
  const std::uint8_t ascii[8] = {'2', '0', '9', '9', '1', '2', '3', '1'};
  vnh::FormatCardVersion(ascii, text);
  EXPECT_EQ(std::string(text, 12), "2.0 99-12-31");
}

}  // namespace
