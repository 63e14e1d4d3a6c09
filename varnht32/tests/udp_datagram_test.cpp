// Datagram headers, checked against bytes written out from the layout.

#include "varnht32/src/udp_datagram.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(UdpDatagramTest, HeadersDecodeByTheirLayout) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    bool valid;
    char type;
    std::size_t payload;
  } cases[] = {
      {{'S', 15, 0, 254, 31, 1}, true, 'S', 2},
      {{'!', 15, 255, 255, 15, 2, 0}, true, '!', 3},
      {{'?', 30, 254, 254}, true, '?', 0},
      {{'S' | 0x80, 15, 0, 254}, true, 'S', 0},
      {{'S', 15, 0}, false, 0, 0},
      {{'s', 15, 0, 254}, false, 0, 0},
      {{}, false, 0, 0},
  };
  for (const Case& c : cases) {
    vnh::DatagramView v{};
    ASSERT_EQ(vnh::DecodeDatagram(c.bytes.data(), c.bytes.size(), &v), c.valid) << c.bytes.size();
    if (!c.valid) continue;
    EXPECT_EQ(v.type, c.type);
    EXPECT_EQ(v.timeout, c.bytes[1]);
    EXPECT_EQ(v.sequence, c.bytes[2]);
    EXPECT_EQ(v.ack, c.bytes[3]);
    EXPECT_EQ(v.payload_length, c.payload);
  }
  std::vector<std::uint8_t> longest(1028, 0);
  longest[0] = 'S';
  vnh::DatagramView v{};
  EXPECT_TRUE(vnh::DecodeDatagram(longest.data(), 1028, &v));
  longest.push_back(0);
  EXPECT_FALSE(vnh::DecodeDatagram(longest.data(), 1029, &v));
}

TEST(UdpDatagramTest, SequenceNumbersCountTo253) {
  EXPECT_EQ(vnh::NextSequence(0), 1);
  EXPECT_EQ(vnh::NextSequence(252), 253);
  EXPECT_EQ(vnh::NextSequence(253), 0);
  EXPECT_EQ(vnh::SequenceDistance(250, 2), 6u);
  EXPECT_EQ(vnh::SequenceDistance(2, 2), 0u);
  std::uint8_t header[4];
  vnh::EncodeDatagramHeader('!', 15, 255, 7, header);
  EXPECT_EQ(std::vector<std::uint8_t>(header, header + 4), (std::vector<std::uint8_t>{'!', 15, 255, 7}));
}

}  // namespace
