// A card channel of the library on a simulated bus inside the test process:
// the library's card 1 is node 2; the test plays the card of a remote node
// on the same bus, putting frames of its choosing and reading what arrives.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/base/little_endian.h"
#include "tools/kelmnet_card_sim/card_bus.h"
#include "varnht32/include/varnht32.h"
#include "varnht32/src/card_channel.h"
#include "varnht32/src/card_driver.h"
#include "varnht32/src/card_frames.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_channel.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/node_data.h"
#include "varnht32/tests/link_support.h"
#include "varnht32/tests/test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kLibraryCard = 1;
constexpr int kRemoteCard = 2;
constexpr std::uint8_t kOwnNode = 2;
constexpr std::uint8_t kRemoteNode = 3;

kelmnet_sim::CardBus* g_bus = nullptr;

class BusDevice : public vnh::CardDevice {
 public:
  explicit BusDevice(int card) : card_(card) {}
  bool Control(std::uint32_t code, vnh::DriverBytes& record) override {
    g_bus->Handle(card_, code, record);
    return true;
  }

 private:
  int card_;
};

std::unique_ptr<vnh::CardDevice> OpenBusCard(int card) {
  if (g_bus == nullptr || card > g_bus->card_count()) return nullptr;
  return std::make_unique<BusDevice>(card);
}

Bytes Message(std::uint32_t length, std::uint8_t seed = 0) {
  Bytes m(length);
  for (std::uint32_t i = 0; i < length; ++i) m[i] = static_cast<std::uint8_t>(i * 7 + seed);
  m[0] = 30;  // a function code that the client of the poll receives
  return m;
}

class CardChannelTest : public vnh_test::SegmentTest {
 protected:
  void SetUp() override {
    SegmentTest::SetUp();
    clock_.Install();
    g_bus = &bus_;
    vnh::SetCardDeviceOpener(OpenBusCard);
    vnh_test::ReceivedMessages().clear();
    vnh_test::Traces().clear();
    vnh_test::NodeEvents().clear();
  }
  void TearDown() override {
    vnh::SetCardDeviceOpener(nullptr);
    SegmentTest::TearDown();
    g_bus = nullptr;
  }

  // Card 1 enabled as node 2, with every message traced.
  void Start() {
    ASSERT_EQ(InitVarnholtnet(), 1);
    ASSERT_TRUE(vnh_test::SetBoolSetting("EnableKelmnet1", true));
    ASSERT_TRUE(vnh_test::SetIntSetting("Kelmnet1NodeAddress", kOwnNode));
    ASSERT_TRUE(vnh_test::SetBoolSetting("KelmnetDBGWritelns2", true));
    vnh_test::CollectMessages();
    vnh_test::CollectTraces();
    vnh_test::CollectNodeEvents();
    std::int32_t status = 0;
    VNHInitCommunication(&status);
    ASSERT_EQ(status, 1);
  }
  std::uint32_t TheChannel() {
    vnh::MutexLock lock;
    return vnh::SharedHeap().First(vnh::Shared().channel_list);
  }
  vnh::LinkChannel LinkState() {
    vnh::MutexLock lock;
    return *vnh::Link(TheChannel());
  }
  // Polls once a millisecond for `ms` milliseconds.
  void PollFor(std::uint32_t ms) {
    for (std::uint32_t i = 0; i < ms; ++i) {
      VNHPollCommunication();
      clock_.Advance(1);
    }
  }
  // Polls until the card channel is up and (unless it is to be alone) not
  // alone; what it sent meanwhile (its identity announcement) is taken off
  // the remote card.
  bool Settle(bool alone = false) {
    for (int i = 0; i < 5000; ++i) {
      vnh::LinkChannel l = LinkState();
      if (l.common.state == vnh::kChannelUp && (l.alone != 0) == alone) {
        PollFor(1);
        if (bus_.card(kRemoteCard).started) RemoteFrames();
        return true;
      }
      PollFor(1);
    }
    return false;
  }

  // The remote card, played by the test.
  Bytes RemoteRequest(std::uint32_t code, Bytes data = {}, std::uint8_t command = 0,
                      std::uint32_t index = 0) {
    kelmnet_sim::Record r{};
    PutLe32(r + 4, index);
    std::copy(data.begin(), data.end(), r + 8);
    r[43] = command;
    bus_.Handle(kRemoteCard, code, r);
    return Bytes(r, r + sizeof r);
  }
  void JoinRemote(std::uint8_t node = kRemoteNode) {
    RemoteRequest(vnh::kRequestCardCommand, {node}, vnh::kCardStartCommunication);
    RemoteRequest(vnh::kRequestCardAnswer);
  }
  void RemotePut(const vnh::Frame& frame) {
    Bytes free = RemoteRequest(vnh::kRequestGetFreeTransmit);
    if (free[0] != 0) free = RemoteRequest(vnh::kRequestReclaimTransmit);
    ASSERT_EQ(free[0], 0);
    Bytes f(frame, frame + vnh::kFrameBytes);
    ASSERT_EQ(RemoteRequest(vnh::kRequestPutTransmit, f, 0, GetLe32(free.data() + 4))[0], 0);
  }
  // Puts the frames of a message from the remote node to our node.
  void RemoteSend(const Bytes& m, std::vector<std::uint32_t> skip = {}) {
    std::uint32_t n = vnh::FrameCount(static_cast<std::uint32_t>(m.size()));
    for (std::uint32_t i = 0; i < n; ++i) {
      if (std::find(skip.begin(), skip.end(), i) != skip.end()) continue;
      vnh::Frame f;
      vnh::BuildFrame(m.data(), static_cast<std::uint32_t>(m.size()), i, kOwnNode, f);
      RemotePut(f);
    }
  }
  std::vector<Bytes> RemoteFrames() {
    std::vector<Bytes> frames;
    for (;;) {
      Bytes r = RemoteRequest(vnh::kRequestGetReceived);
      if (r[0] != 0) return frames;
      frames.push_back(Bytes(r.begin() + 8, r.begin() + 8 + vnh::kFrameBytes));
      RemoteRequest(vnh::kRequestGiveBackReceived, {}, 0, GetLe32(r.data() + 4));
    }
  }
  std::uint32_t RemoteElement() {
    vnh::MutexLock lock;
    return vnh::NodeElement(TheChannel(), kRemoteNode);
  }
  int FreeReceiveBuffers() {
    vnh::MutexLock lock;
    return vnh::FreeReceiveBuffers();
  }

  kelmnet_sim::CardBus bus_{2};
  vnh_test::VirtualClock clock_;
};

TEST_F(CardChannelTest, ACardStartsReportsItsVersionAndComesUpWithItsFirstNodeTable) {
  std::uint32_t before = clock_.ticks();
  Start();
  // Start communication, configure buffers, set token holder, version.
  EXPECT_EQ(bus_.card(kLibraryCard).commands, (std::vector<std::uint8_t>{3, 22, 4, 20}));
  EXPECT_GE(clock_.ticks() - before, 900u) << "300 + 300 + 150 ms of start-up and 150 for the version";
  VNHIdentifier channel{1, "1"};
  std::uint32_t memory = 0;
  VNHIdentifier own{};
  VNHIdentifier version{};
  ASSERT_EQ(VNHGetKelmnetInfo(&channel, &memory, &own, &version), 1);
  EXPECT_EQ(memory, 0xD0000u);
  EXPECT_EQ(std::string(own.text, own.length), "2");
  EXPECT_EQ(std::string(version.text, version.length), "1.3 89-04-01");
  EXPECT_EQ(LinkState().common.state, vnh::kChannelStarting);
  // The first supervision asks for every node's status; its answer brings the channel up.
  ASSERT_TRUE(Settle(true));
  EXPECT_EQ(bus_.card(kLibraryCard).commands.back(), vnh::kCardAllNodeStatus);
}

TEST_F(CardChannelTest, AnOwnNodeAddressOutside2To127FailsTheStart) {
  // The settings cannot hold such an address (their range is 2 to 127); the
  // start refuses it all the same, before the card hears of it.
  Start();
  ASSERT_FALSE(vnh_test::SetIntSetting("Kelmnet1NodeAddress", 128));
  bus_.card(kLibraryCard).commands.clear();
  vnh::MutexLock lock;
  std::uint32_t c = vnh::NewLinkChannel(vnh::kChannelCard, 3);
  for (std::uint32_t node : {0u, 1u, 128u, 200u}) {
    vnh::Channel(c)->own_address = node;
    EXPECT_EQ(vnh::StartCard(c), vnh::kCardBadNodeAddress) << node;
  }
  vnh::SharedHeap().Takeout(c);
  EXPECT_TRUE(bus_.card(kLibraryCard).commands.empty());
}

TEST_F(CardChannelTest, AloneOnTheBusMessagesAreDroppedAndWithAPeerTheyTravelInFrames) {
  Start();
  ASSERT_TRUE(Settle(true));
  ASSERT_TRUE(vnh_test::SendTestMessage(RemoteElement(), Message(20)));
  PollFor(1);
  EXPECT_TRUE(vnh_test::Traced("KNSendMessage*:"));
  EXPECT_EQ(bus_.card(kLibraryCard).frames_put, 0u);
  EXPECT_EQ(FreeReceiveBuffers(), vnh::kReceiveBuffers);
  JoinRemote();
  ASSERT_TRUE(Settle(false));
  EXPECT_EQ(vnh_test::NodeEvents(), (std::vector<std::string>{"1 3 up"}));
  // 62 bytes: a first fragment, a middle one (odd: 0x60) and a last one with
  // one byte; each frame names our node as its source.
  Bytes m = Message(62);
  ASSERT_TRUE(vnh_test::SendTestMessage(RemoteElement(), m));
  PollFor(1);
  std::vector<Bytes> frames = RemoteFrames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(Bytes(frames[0].begin(), frames[0].begin() + 4), (Bytes{2, 31, 0x20 | 30, m[1]}));
  EXPECT_EQ(Bytes(frames[1].begin(), frames[1].begin() + 4), (Bytes{2, 31, 0x60 | 30, m[31]}));
  EXPECT_EQ(Bytes(frames[2].begin(), frames[2].begin() + 4), (Bytes{2, 2, 0x80 | 30, m[61]}));
  // A message to our own node never reaches the bus.
  std::uint32_t own = 0;
  {
    vnh::MutexLock lock;
    own = vnh::Channel(TheChannel())->own_node;
  }
  ASSERT_NE(own, 0u);
  ASSERT_TRUE(vnh_test::SendTestMessage(own, Message(40, 1)));
  PollFor(1);
  EXPECT_TRUE(RemoteFrames().empty());
  ASSERT_EQ(vnh_test::ReceivedMessages().size(), 1u);
  EXPECT_EQ(vnh_test::ReceivedMessages()[0].message, Message(40, 1));
}

TEST_F(CardChannelTest, FragmentsFromTheBusAreReassembledAndBrokenOnesNeverDelivered) {
  Start();
  JoinRemote();
  ASSERT_TRUE(Settle(false));
  for (std::uint32_t length : {31u, 32u, 62u, 1024u}) {
    RemoteSend(Message(length, static_cast<std::uint8_t>(length)));
    PollFor(2);
  }
  ASSERT_EQ(vnh_test::ReceivedMessages().size(), 4u);
  std::uint32_t i = 0;
  for (std::uint32_t length : {31u, 32u, 62u, 1024u}) {
    EXPECT_EQ(vnh_test::ReceivedMessages()[i].message, Message(length, static_cast<std::uint8_t>(length)))
        << length;
    EXPECT_EQ(vnh_test::ReceivedMessages()[i].element, RemoteElement());
    ++i;
  }
  vnh_test::ReceivedMessages().clear();
  struct Case {
    const char* what;
    std::uint32_t length;
    std::vector<std::uint32_t> skip;
    const char* trace;
  } cases[] = {
      {"a middle fragment lost", 92, {1}, "a fragment is missing"},
      {"the first fragment lost", 62, {0}, "no message of that node is being received"},
      {"the last fragment lost, then a new message", 62, {2}, "an unfinished message of that node is given up"},
  };
  for (const Case& c : cases) {
    vnh_test::Traces().clear();
    RemoteSend(Message(c.length, 9), c.skip);
    if (c.skip == std::vector<std::uint32_t>{2}) RemoteSend(Message(40, 10));
    PollFor(2);
    EXPECT_TRUE(vnh_test::Traced(c.trace)) << c.what;
  }
  ASSERT_EQ(vnh_test::ReceivedMessages().size(), 1u) << "only the whole new message";
  EXPECT_EQ(vnh_test::ReceivedMessages()[0].message, Message(40, 10));
  // A message that would grow past 1024 bytes is dropped, not overrun.
  Bytes big = Message(1024, 3);
  std::uint32_t n = vnh::FrameCount(1024);
  for (std::uint32_t k = 0; k + 1 < n; ++k) {
    vnh::Frame f;
    vnh::BuildFrame(big.data(), 1024, k, kOwnNode, f);
    RemotePut(f);
  }
  // 1021 bytes have come; one more middle fragment (number 34, even) of 30.
  vnh::Frame extra{kOwnNode, 31, 0x40 | 30};
  RemotePut(extra);
  PollFor(4);
  EXPECT_TRUE(vnh_test::Traced("would overrun its buffer"));
  EXPECT_EQ(vnh_test::ReceivedMessages().size(), 1u);
  EXPECT_EQ(FreeReceiveBuffers(), vnh::kReceiveBuffers);
  EXPECT_EQ(LinkState().partial_count, 0);
}

TEST_F(CardChannelTest, APartialMessageIsDroppedWhenItIsMoreThanFourMinutesOld) {
  Start();
  JoinRemote();
  ASSERT_TRUE(Settle(false));
  // Stamps are minutes of the hour: start at the beginning of a minute.
  clock_.Set((clock_.ticks() / 60000 + 1) * 60000);
  RemoteSend(Message(62), {2});
  PollFor(1);
  EXPECT_EQ(LinkState().partial_count, 1);
  clock_.Advance(5 * 60000 - 2);  // minute 4 of its age, at its end
  PollFor(1);
  EXPECT_EQ(LinkState().partial_count, 1);
  EXPECT_FALSE(vnh_test::Traced("PurgePendingRXBuffers:"));
  PollFor(1);
  EXPECT_EQ(LinkState().partial_count, 0);
  EXPECT_TRUE(vnh_test::Traced("PurgePendingRXBuffers:"));
  EXPECT_EQ(FreeReceiveBuffers(), vnh::kReceiveBuffers);
  EXPECT_TRUE(vnh_test::ReceivedMessages().empty());
}

TEST_F(CardChannelTest, BusyAnswersAreRetriedTenTimesThenTraced) {
  Start();
  JoinRemote();
  ASSERT_TRUE(Settle(false));
  bus_.Busy(kLibraryCard, 9, vnh::kRequestGetReceived);
  std::uint32_t before = clock_.ticks();
  VNHPollCommunication();
  EXPECT_EQ(clock_.ticks() - before, 45u) << "nine pauses of 5 ms";
  EXPECT_FALSE(vnh_test::Traced("HW access error"));
  bus_.Busy(kLibraryCard, 10, vnh::kRequestGetReceived);
  VNHPollCommunication();
  EXPECT_TRUE(vnh_test::Traced("Kelmnet  1: HW access error. GetRXBuffer."));
  // A put that stays busy is traced, and the same fragment goes at the next poll.
  Bytes m = Message(62, 4);
  ASSERT_TRUE(vnh_test::SendTestMessage(RemoteElement(), m));
  bus_.Busy(kLibraryCard, 12, vnh::kRequestPutTransmit);
  VNHPollCommunication();
  EXPECT_TRUE(vnh_test::Traced("Kelmnet  1: HW access error. PutTXBuffer."));
  PollFor(2);
  std::vector<Bytes> frames = RemoteFrames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0][3], m[1]);
  EXPECT_EQ(frames[1][3], m[31]);
  EXPECT_EQ(frames[2][3], m[61]);
}

TEST_F(CardChannelTest, AResetAnswerRestartsTheCardAndANodeThatLeavesGoesDown) {
  Start();
  JoinRemote();
  ASSERT_TRUE(Settle(false));
  bus_.Reset(kLibraryCard);
  bus_.card(kLibraryCard).commands.clear();
  PollFor(1000);
  EXPECT_TRUE(vnh_test::Traced("Kelmnet:KNPowerUpMail. Hardware reset - Reinitiate HW."));
  ASSERT_GE(bus_.card(kLibraryCard).commands.size(), 3u);
  EXPECT_EQ(std::vector<std::uint8_t>(bus_.card(kLibraryCard).commands.begin() + 1,
                                      bus_.card(kLibraryCard).commands.begin() + 4),
            (std::vector<std::uint8_t>{3, 22, 4}))
      << "the request, then the start sequence";
  ASSERT_TRUE(Settle(false));
  RemoteSend(Message(32, 5));
  PollFor(2);
  ASSERT_EQ(vnh_test::ReceivedMessages().size(), 1u);
  // The remote card is reset: it leaves the bus, and we are alone: down at once.
  bus_.Reset(kRemoteCard);
  ASSERT_TRUE(Settle(true));
  EXPECT_EQ(vnh_test::NodeEvents(), (std::vector<std::string>{"1 3 up", "1 3 down"}));
}

TEST_F(CardChannelTest, TheTimeSynchronisationTriggerWaitsNoLongerThanTheAnswerTimeOut) {
  Start();
  ASSERT_TRUE(Settle(true));
  vnh::MutexLock lock;
  std::uint32_t c = vnh::SharedHeap().First(vnh::Shared().channel_list);
  EXPECT_TRUE(vnh::CardTimeSyncTrigger(c));
  EXPECT_EQ(bus_.card(kLibraryCard).commands.back(), vnh::kCardTimeSyncTrigger);
  // A card that never answers: the library gives up instead of spinning with
  // the machine's fieldbus mutex held.
  bus_.Busy(kLibraryCard, 1'000'000, vnh::kRequestCardAnswer);
  std::uint32_t before = clock_.ticks();
  EXPECT_FALSE(vnh::CardTimeSyncTrigger(c));
  std::uint32_t spent = clock_.ticks() - before;
  EXPECT_GE(spent, 500u + vnh::kCardAnswerTimeoutMs);
  EXPECT_LE(spent, 500u + vnh::kCardAnswerTimeoutMs + 60u);
}

TEST_F(CardChannelTest, FramesFromNodesThatCannotBeOnTheBusAreDropped) {
  Start();
  JoinRemote(200);
  ASSERT_TRUE(Settle(true)) << "node 200 does not count as a node of the bus";
  vnh::Frame f;
  Bytes m = Message(5);
  vnh::BuildFrame(m.data(), 5, 0, kOwnNode, f);
  RemotePut(f);
  PollFor(2);
  EXPECT_TRUE(vnh_test::Traced("dropped, no such node"));
  EXPECT_TRUE(vnh_test::ReceivedMessages().empty());
}

TEST_F(CardChannelTest, MessageAndNodeTableTracesKeepTheirLayout) {
  Start();
  ASSERT_TRUE(vnh_test::SetBoolSetting("KelmnetDBGWritelns5", true));
  JoinRemote();
  ASSERT_TRUE(Settle(false));
  // Ten nodes a line, present ones starred, then the count of nodes 2 to 127.
  EXPECT_TRUE(vnh_test::Traced("DPM converted AllNodeStatus:"));
  EXPECT_TRUE(vnh_test::Traced("   0      1      2 *    3 *    4      5      6      7      8      9   "));
  EXPECT_TRUE(vnh_test::Traced("Node count = 2"));
  vnh_test::Traces().clear();
  Bytes m = {30, 1, 2, 255};
  ASSERT_TRUE(vnh_test::SendTestMessage(RemoteElement(), m));
  ASSERT_EQ(vnh_test::Traces().size(), 1u);
  // "%-20s%3d %-15s %3ld : " then "%4ld" a byte.
  EXPECT_EQ(vnh_test::Traces()[0],
            "KNSendMessage:        1 3                 4 :   30   1   2 255");
  ASSERT_TRUE(vnh_test::SetBoolSetting("KelmnetHexOutput", true));
  vnh_test::Traces().clear();
  Bytes long_message(25, 0xAB);
  long_message[0] = 30;
  ASSERT_TRUE(vnh_test::SendTestMessage(RemoteElement(), long_message));
  // "%-20s%3d %-15s %02lX :" then "  %02X" a byte, twenty a line.
  ASSERT_EQ(vnh_test::Traces().size(), 2u);
  EXPECT_EQ(vnh_test::Traces()[0].substr(0, 52),
            "KNSendMessage:        1 3               19 :  1E  AB");
  EXPECT_EQ(vnh_test::Traces()[0].size(), 44u + 20u * 4u);
  EXPECT_EQ(vnh_test::Traces()[1], "  AB  AB  AB  AB  AB");
}

}  // namespace
