// The message decoder against messages written out from their layouts: what a
// well-formed message of each code yields, and the lengths that do not fit.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "varnht32/src/kelmnet_messages.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using vnh::KelmnetMessage;

// Decodes a copy that outlives the call, since the message points into it.
std::int32_t Decode(const Bytes& b, KelmnetMessage* m) {
  static Bytes kept;
  kept = b;
  return vnh::DecodeMessage(kept.data(), static_cast<std::uint32_t>(kept.size()), m);
}

std::string Name(const char (&n)[5]) { return std::string(n, 5); }

TEST(KelmnetMessagesTest, WellFormedMessagesYieldTheirFields) {
  KelmnetMessage m;
  ASSERT_EQ(Decode({0, 1}, &m), 1);
  EXPECT_EQ(m.code, 0);
  EXPECT_EQ(m.flag, 1);

  ASSERT_EQ(Decode({2, 'T', 'E', 'M', 'P', '1'}, &m), 1);
  EXPECT_EQ(Name(m.name), "TEMP1");

  ASSERT_EQ(Decode({3, 0, 'N', 'O', 'D', 'E', '1', 7, 0x21, 0x14, 0x01}, &m), 1);
  EXPECT_EQ(Name(m.name), "NODE1");
  EXPECT_EQ(m.restart, 7);
  EXPECT_EQ(m.option, 0x21);
  EXPECT_EQ(m.software, 0x114);
  ASSERT_EQ(Decode({3, 20}, &m), 1);
  EXPECT_EQ(m.result, 20);

  ASSERT_EQ(Decode({5, 0, 'P', 'R', 'E', 'S', 'S', 0x80, 0x43, 0x00, 0x18, 10}, &m), 1);
  EXPECT_EQ(Name(m.name), "PRESS");
  EXPECT_EQ(m.variable_flags, 0x80);
  EXPECT_EQ(m.type_byte, 0x43);
  EXPECT_EQ(m.address, 0x1800);
  EXPECT_EQ(m.length_or_count, 10);
  ASSERT_EQ(Decode({5, 6}, &m), 1);
  EXPECT_EQ(m.result, 6);

  ASSERT_EQ(Decode({11, 0x03, 0x20, 0x00, 0x34, 0x12}, &m), 1);
  EXPECT_EQ(m.address, 0x20);
  ASSERT_EQ(m.value_length, 2u);
  EXPECT_EQ(m.value[0], 0x34);

  ASSERT_EQ(Decode({10, 0x43, 0x00, 0x18, 2, 5}, &m), 1);
  EXPECT_EQ(m.start, 2);
  EXPECT_EQ(m.count, 5);
  ASSERT_EQ(Decode({12, 1, 0x03, 0x00, 0x18}, &m), 1);
  EXPECT_EQ(m.flag, 1);
  EXPECT_EQ(m.address, 0x1800);
  ASSERT_EQ(Decode({17, 3, 8}, &m), 1);
  EXPECT_EQ(m.result, 3);
  EXPECT_EQ(m.answered_code, 8);
  ASSERT_EQ(Decode({18, 0x04, 'X', 'T', 'E', 'R', 'R', 1, 2, 3, 4}, &m), 1);
  EXPECT_EQ(Name(m.name), "XTERR");
  EXPECT_EQ(m.value_length, 4u);
  ASSERT_EQ(Decode({28}, &m), 1);
  EXPECT_EQ(m.data_length, 1u);
  // The function code is the low five bits.
  ASSERT_EQ(Decode({0xE0 | 17, 0, 12}, &m), 1);
  EXPECT_EQ(m.code, 17);
}

TEST(KelmnetMessagesTest, StreamMessagesYieldTheirNumbersCreditsAndData) {
  KelmnetMessage m;
  ASSERT_EQ(Decode({22, 0, 4, 255, 'S', 'T', 'R', 'E', 'M'}, &m), 1);
  EXPECT_EQ(m.stream, 4);
  EXPECT_EQ(m.credit, 255);
  EXPECT_EQ(Name(m.name), "STREM");
  ASSERT_EQ(Decode({22, 1, 4, 9, 200}, &m), 1);
  EXPECT_EQ(m.stream, 4);
  EXPECT_EQ(m.other_stream, 9);
  EXPECT_EQ(m.credit, 200);
  ASSERT_EQ(Decode({22, 2, 9, 3, 'a', 'b', 'c'}, &m), 1);
  EXPECT_EQ(m.data_length, 3u);
  EXPECT_EQ(m.data[2], 'c');
  ASSERT_EQ(Decode({22, 8, 9, 17, 2, 'x', 'y'}, &m), 1);
  EXPECT_EQ(m.credit, 17);
  EXPECT_EQ(m.data_length, 2u);
  ASSERT_EQ(Decode({22, 3, 9, 0}, &m), 1);
  EXPECT_EQ(m.credit, 0);
  ASSERT_EQ(Decode({22, 7, 5, 2, 17}, &m), 1);
  EXPECT_EQ(m.failed_sub_type, 5);
  EXPECT_EQ(m.stream, 2);
  EXPECT_EQ(m.result, 17);
}

TEST(KelmnetMessagesTest, LengthsThatDoNotFitTheirCodeAreRefused) {
  const Bytes refused[] = {
      {},
      {0},
      {0, 1, 2},
      {2, 'A', 'B', 'C', 'D'},
      {3, 0},                      // a good identity carries the identity
      {3, 20, 0},                  // a refusal carries nothing more
      {3, 0, 'N', 'O', 'D', 'E', '1', 7, 0x21, 0x14},
      {5, 0, 'P', 'R', 'E', 'S', 'S', 0x80, 0x43, 0x00, 0x18},
      {7, 3, 0},
      {10, 0x43, 0x00, 0x18},      // structured without start and count
      {10, 0x03, 0x00, 0x18, 1, 2},
      {12, 1, 0x43, 0x00, 0x18},
      {17, 0},
      {17, 0, 8, 0},
      {18, 4, 'X', 'T', 'E', 'R'},
      {22},
      {22, 0, 4, 255, 'S', 'T', 'R', 'E'},
      {22, 1, 4, 9},
      {22, 2, 9, 4, 'a', 'b', 'c'},  // the length byte says four, three came
      {22, 2, 9, 2, 'a', 'b', 'c'},
      {22, 2, 9},
      {22, 8, 9, 17, 3, 'x', 'y'},
      {22, 3, 9},
      {22, 5, 9, 0},
      {22, 7, 5, 2},
  };
  for (const Bytes& b : refused) {
    KelmnetMessage m;
    EXPECT_EQ(Decode(b, &m), -6) << "code " << (b.empty() ? -1 : int(b[0])) << ", " << b.size()
                                 << " bytes";
  }
  KelmnetMessage m;
  EXPECT_EQ(Decode({22, 9, 4}, &m), -470) << "an unknown stream sub-type is answered";
  EXPECT_EQ(m.sub_type, 9);
  for (std::uint8_t code : {1, 4, 6, 13, 14, 15, 16, 19, 20, 21, 23, 24, 25, 26, 27, 30, 31}) {
    EXPECT_EQ(Decode({code, 0, 0, 0}, &m), 0) << "code " << int(code) << " is nobody's";
  }
}

TEST(KelmnetMessagesTest, ResultCodesMapToStatusesAndBack) {
  const std::pair<std::uint8_t, std::int32_t> to_status[] = {
      {0, 1},      {3, -38},   {5, -470},  {17, -470}, {21, -470}, {6, -428},
      {7, -5},     {8, -462},  {18, -483}, {1, -490},  {2, -490},  {20, -490}, {255, -490}};
  for (auto [result, status] : to_status) EXPECT_EQ(vnh::StatusOfResult(result), status) << int(result);
  const std::pair<std::int32_t, std::uint8_t> to_result[] = {
      {1, 0},    {-5, 7},    {-6, 7},    {-453, 7}, {-463, 7},  {-28, 18},
      {-428, 18}, {-461, 18}, {-38, 3},  {-460, 8}, {-462, 8},  {-470, 5},
      {-490, 17}, {-4, 1},    {-421, 1}};
  for (auto [status, result] : to_result) EXPECT_EQ(vnh::ResultOfStatus(status), result) << status;
}

TEST(KelmnetMessagesTest, TheWriterStopsAtTheBufferEnd) {
  std::uint8_t buffer[4] = {};
  vnh::MessageWriter w(buffer, sizeof buffer);
  w.Byte(1).Word(0x0302);
  EXPECT_TRUE(w.ok());
  w.Word(0x0504);
  EXPECT_FALSE(w.ok());
  EXPECT_EQ(w.length(), 4u);
  EXPECT_EQ(buffer[3], 4);
}

}  // namespace
