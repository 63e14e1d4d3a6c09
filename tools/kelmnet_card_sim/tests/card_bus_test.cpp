// The simulated cards answer the driver's requests as the records lay them
// out; the vectors are written from the layout, not from the simulator.

#include "tools/kelmnet_card_sim/card_bus.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using kelmnet_sim::CardBus;
using kelmnet_sim::Record;

// A record: result, index, then data from [8], the command code at [43].
std::vector<std::uint8_t> Request(CardBus& bus, int card, std::uint32_t code,
                                  std::vector<std::uint8_t> data = {}, std::uint8_t command = 0,
                                  std::uint32_t index = 0) {
  Record r{};
  r[4] = static_cast<std::uint8_t>(index);
  if (!data.empty()) std::memcpy(r + 8, data.data(), data.size());
  r[43] = command;
  bus.Handle(card, code, r);
  return std::vector<std::uint8_t>(r, r + sizeof r);
}

void Start(CardBus& bus, int card, std::uint8_t node) {
  Request(bus, card, 0x80002000, {node}, 3);
  Request(bus, card, 0x80002000, {30, 15}, 22);
  auto answer = Request(bus, card, 0x80002004);
  ASSERT_EQ(answer[0], 0);   // done
  ASSERT_EQ(answer[43], 9);  // started
}

TEST(CardBusTest, CommandsAreAnsweredAsACardDoes) {
  CardBus bus(2);
  Start(bus, 1, 2);
  Start(bus, 2, 13);
  // All node status: bit 7 of byte 0 is node 0, so node 2 is 0x20 of byte 0
  // and node 13 is 0x04 of byte 1.
  Request(bus, 1, 0x80002000, {1}, 12);
  auto table = Request(bus, 1, 0x80002004);
  EXPECT_EQ(table[43], 14);
  EXPECT_EQ(table[8], 0x20);
  EXPECT_EQ(table[9], 0x04);
  for (int i = 10; i < 40; ++i) EXPECT_EQ(table[i], 0) << i;
  // Card 1 saw card 2 join; card 2 saw nothing change after its start.
  Request(bus, 1, 0x80002000, {0}, 10);
  EXPECT_EQ(Request(bus, 1, 0x80002004)[8], 1);
  Request(bus, 1, 0x80002000, {0}, 10);
  auto second = Request(bus, 1, 0x80002004);
  EXPECT_EQ(second[43], 11);
  EXPECT_EQ(second[8], 0);
  Request(bus, 1, 0x80002000, {0}, 20);
  auto version = Request(bus, 1, 0x80002004);
  EXPECT_EQ(version[43], 21);
  EXPECT_EQ(std::vector<std::uint8_t>(version.begin() + 8, version.begin() + 16),
            (std::vector<std::uint8_t>{1, 3, 8, 9, 0, 4, 0, 1}));
  EXPECT_EQ(Request(bus, 1, 0x80002004)[0], 1) << "no answer waits";
}

TEST(CardBusTest, FramesTravelToTheirNodeWithTheSenderInPlaceOfTheDestination) {
  CardBus bus(3);
  Start(bus, 1, 2);
  Start(bus, 2, 3);
  Start(bus, 3, 4);
  auto free = Request(bus, 1, 0x80002010);
  ASSERT_EQ(free[0], 0);
  std::uint32_t index = free[4];
  // Frame to node 3: whole message of 3 bytes, function code 31.
  EXPECT_EQ(Request(bus, 1, 0x80002014, {3, 3, 31, 0xAA, 0xBB}, 0, index)[0], 0);
  auto got = Request(bus, 2, 0x80002008);
  ASSERT_EQ(got[0], 0);
  EXPECT_EQ(std::vector<std::uint8_t>(got.begin() + 8, got.begin() + 13),
            (std::vector<std::uint8_t>{2, 3, 31, 0xAA, 0xBB}));
  EXPECT_EQ(Request(bus, 3, 0x80002008)[0], 1) << "node 4 was not addressed";
  EXPECT_EQ(Request(bus, 2, 0x8000200C, {}, 0, got[4])[0], 0);
  EXPECT_EQ(Request(bus, 2, 0x8000200C, {}, 0, got[4])[0], 3) << "given back twice";
  // The sent buffer is reclaimed with its frame; putting a buffer not held fails.
  auto reclaimed = Request(bus, 1, 0x80002018);
  EXPECT_EQ(reclaimed[0], 0);
  EXPECT_EQ(reclaimed[4], index);
  EXPECT_EQ(reclaimed[8], 3);
  EXPECT_EQ(Request(bus, 1, 0x80002014, {3, 1, 31}, 0, 14)[0], 3);
  // Node 1 reaches every other card.
  EXPECT_EQ(Request(bus, 1, 0x80002014, {1, 1, 30}, 0, index)[0], 0);
  EXPECT_EQ(Request(bus, 2, 0x80002008)[10], 30);
  EXPECT_EQ(Request(bus, 3, 0x80002008)[10], 30);
}

TEST(CardBusTest, FaultsBusyResetAndLoss) {
  CardBus bus(2);
  Start(bus, 1, 2);
  Start(bus, 2, 3);
  EXPECT_EQ(bus.Control("busy 1 2"), "ok");
  EXPECT_EQ(Request(bus, 1, 0x80002010)[0], 2);
  EXPECT_EQ(Request(bus, 1, 0x80002010)[0], 2);
  auto free = Request(bus, 1, 0x80002010);
  EXPECT_EQ(free[0], 0);
  EXPECT_EQ(bus.Control("drop 1 0 1"), "ok");
  Request(bus, 1, 0x80002014, {3, 1, 31}, 0, free[4]);
  EXPECT_EQ(Request(bus, 2, 0x80002008)[0], 1) << "lost on the bus";
  EXPECT_EQ(bus.Control("reset 2"), "ok");
  auto mail = Request(bus, 2, 0x80002004);
  EXPECT_EQ(mail[0], 0);
  EXPECT_EQ(mail[43], kelmnet_sim::kPowerUpMail);
  EXPECT_EQ(bus.Control("stats 2").substr(0, 16), "started 0 node 0");
  EXPECT_EQ(bus.Control("stats 1").substr(0, 37), "started 1 node 2 put 1 delivered 0 lo");
  EXPECT_EQ(bus.Control("stats 9"), "error no such card");
}

TEST(CardBusTest, AFullReceiverHoldsFramesInTheSendersBuffers) {
  CardBus bus(2);
  Start(bus, 1, 2);
  Request(bus, 2, 0x80002000, {3}, 3);
  Request(bus, 2, 0x80002000, {2, 15}, 22);  // two receive buffers only
  for (std::uint8_t i = 0; i < 3; ++i) {
    auto free = Request(bus, 1, 0x80002010);
    ASSERT_EQ(free[0], 0);
    ASSERT_EQ(Request(bus, 1, 0x80002014, {3, 2, 31, i}, 0, free[4])[0], 0);
  }
  EXPECT_EQ(Request(bus, 1, 0x80002018)[0], 0);
  EXPECT_EQ(Request(bus, 1, 0x80002018)[0], 0);
  EXPECT_EQ(Request(bus, 1, 0x80002018)[0], 1) << "the third frame still waits for room";
  auto first = Request(bus, 2, 0x80002008);
  EXPECT_EQ(first[11], 0);
  Request(bus, 2, 0x8000200C, {}, 0, first[4]);
  EXPECT_EQ(Request(bus, 1, 0x80002018)[0], 0) << "given room, it went";
  EXPECT_EQ(Request(bus, 2, 0x80002008)[11], 1);
  EXPECT_EQ(Request(bus, 2, 0x80002008)[11], 2);
}

TEST(CardBusTest, NewBuffersDropTheFramesThatWaitedInTheOldOnes) {
  CardBus bus(2);
  Start(bus, 1, 2);
  Request(bus, 2, 0x80002000, {3}, 3);
  Request(bus, 2, 0x80002000, {0, 15}, 22);  // no receive buffer: frames to node 3 wait
  auto free = Request(bus, 1, 0x80002010);
  ASSERT_EQ(free[0], 0);
  ASSERT_EQ(Request(bus, 1, 0x80002014, {3, 1, 31}, 0, free[4])[0], 0);
  // Card 1 takes a set of no transmit buffers while its frame waits; then
  // node 3 has room again.
  Request(bus, 1, 0x80002000, {30, 0}, 22);
  Request(bus, 2, 0x80002000, {30, 15}, 22);
  EXPECT_EQ(Request(bus, 2, 0x80002008)[0], 1) << "the frame went with the old buffers";
  EXPECT_EQ(Request(bus, 1, 0x80002018)[0], 1) << "nothing sent to reclaim";
  EXPECT_EQ(Request(bus, 1, 0x80002010)[0], 1) << "no transmit buffer to give";
}

// A control line that cannot be read is answered with an error and changes
// nothing; the simulator goes on.
TEST(CardBusTest, MalformedControlLinesAreRefused) {
  CardBus bus(2);
  Start(bus, 1, 2);
  for (const char* line : {"busy 1 2 xyz", "busy 1 2 99999999999999999999", "busy 1", "busy 1 x",
                           "busy 1 -1", "drop 1 0", "drop 1 a 1", "stats 1x", "reset", ""}) {
    EXPECT_EQ(bus.Control(line).substr(0, 5), "error") << line;
  }
  EXPECT_EQ(bus.card(1).busy_next, 0);
  EXPECT_EQ(bus.card(1).drop_next, 0);
  EXPECT_EQ(Request(bus, 1, 0x80002010)[0], 0) << "not answered busy";
  EXPECT_EQ(bus.Control("busy 1 1 0x80002010"), "ok");
  EXPECT_EQ(Request(bus, 1, 0x80002004)[0], 1) << "another request is served: no answer waits";
  EXPECT_EQ(Request(bus, 1, 0x80002010)[0], 2);
}

}  // namespace
