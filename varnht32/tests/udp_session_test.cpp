// The UDP session against a peer played by the test: the library's datagrams
// are caught with the virtual time they left at, and the test's arrive as
// if from the network. Nothing touches a real socket.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <cstdlib>
#include <string>
#include <vector>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/knsock.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/node_data.h"
#include "varnht32/tests/link_support.h"
#include "varnht32/tests/test_support.h"

namespace {

using vnh_test::FakeNetwork;
using vnh_test::Loopback;
using vnh_test::SentDatagram;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kOwn = Loopback(2);
constexpr std::uint32_t kPeer = Loopback(3);

class UdpSessionTest : public vnh_test::SegmentTest {
 protected:
  void SetUp() override {
    SegmentTest::SetUp();
    clock_.Install();
    network_.clock = &clock_;
    vnh_test::UseFakeNetwork(&network_);
    setenv(vnh::kUdpAddressEnvironment, "127.0.0.2", 1);
    vnh_test::ReceivedMessages().clear();
    vnh_test::NodeEvents().clear();
    vnh_test::Traces().clear();
    ASSERT_EQ(InitVarnholtnet(), 1);
    ASSERT_TRUE(vnh_test::SetBoolSetting("EnableKelmnetTCPIP", true));
    ASSERT_TRUE(vnh_test::SetIntSetting("KelmnetTransTimeOut", 15000));
    vnh_test::CollectMessages();
    vnh_test::CollectNodeEvents();
    vnh_test::CollectTraces();
    std::int32_t status = 0;
    VNHInitCommunication(&status);
    ASSERT_EQ(status, 1);
    {
      vnh::MutexLock lock;
      ASSERT_NE(vnh::TheUdpSession(), nullptr);
      channel_ = vnh::TheUdpSession()->channel;
    }
    // The start of communication announces the node's identity to every node.
    started_ = PollAndTake();
  }
  void TearDown() override {
    vnh_test::UseFakeNetwork(nullptr);
    unsetenv(vnh::kUdpAddressEnvironment);
    SegmentTest::TearDown();
  }

  std::uint32_t Now() const { return clock_.ticks(); }
  void Advance(std::uint32_t ms) { clock_.Advance(ms); }
  void AdvanceTo(std::uint32_t at) { clock_.Set(at); }
  void Poll() { VNHPollCommunication(); }

  std::uint32_t Element(std::uint32_t address) {
    vnh::MutexLock lock;
    return vnh::NodeElement(channel_, address);
  }
  // What defining a connection to the node does on this channel.
  void Activate(std::uint32_t address) {
    std::uint32_t e = Element(address);
    vnh::MutexLock lock;
    vnh::ChannelPeerDefined(e);
  }
  void Release(std::uint32_t address) {
    std::uint32_t e = Element(address);
    vnh::MutexLock lock;
    vnh::ChannelPeerReleased(e);
  }
  void Arrive(std::uint32_t from, Bytes bytes) { network_.incoming.push_back({from, std::move(bytes)}); }
  // Delivers what waits and takes what the library sends in answer.
  std::vector<SentDatagram> PollAndTake() {
    Poll();
    return Take();
  }
  std::vector<SentDatagram> Take() {
    std::vector<SentDatagram> out;
    out.swap(network_.sent);
    return out;
  }
  vnh::UdpPeer PeerOf(std::uint32_t address) {
    vnh::MutexLock lock;
    std::uint32_t p = vnh::FindPeer(address);
    return p != 0 ? *vnh::Peer(p) : vnh::UdpPeer{};
  }
  vnh::UdpCounters Counters() {
    vnh::MutexLock lock;
    return vnh::TheUdpSession()->counters;
  }
  // The spare option byte of our control datagrams: this start's mark.
  std::uint8_t Mark() {
    vnh::MutexLock lock;
    return vnh::TheUdpSession()->mark;
  }
  std::uint32_t PeerCount() {
    vnh::MutexLock lock;
    return vnh::TheUdpSession()->peer_count;
  }

  vnh_test::VirtualClock clock_;
  FakeNetwork network_;
  std::uint32_t channel_ = 0;
  std::vector<SentDatagram> started_;
};

// The headers of what was sent, as "type seq ack" with the payload length.
std::string Describe(const SentDatagram& d) {
  return std::string(1, static_cast<char>(d.bytes[0])) + " " + std::to_string(d.bytes[2]) + " " +
         std::to_string(d.bytes[3]) + " +" + std::to_string(d.bytes.size() - 4);
}

std::vector<std::string> Describe(const std::vector<SentDatagram>& sent) {
  std::vector<std::string> out;
  for (const SentDatagram& d : sent) out.push_back(Describe(d));
  return out;
}

TEST_F(UdpSessionTest, FirstDatagramsOpenTheNumberingAndAnnounceTheIdentity) {
  // At the start: to the broadcast address, unnumbered, with the time-out of
  // 30 s that a session has before a connection sets it.
  ASSERT_EQ(started_.size(), 1u);
  EXPECT_EQ(started_[0].to, Loopback(255));
  EXPECT_EQ(started_[0].bytes, (Bytes{'S', 30, 254, 254, 3, 20}));
  Activate(kPeer);
  ASSERT_TRUE(vnh_test::SendTestMessage(Element(kPeer), {31, 1, 2, 3}));
  std::vector<SentDatagram> sent = PollAndTake();
  ASSERT_EQ(sent.size(), 3u);
  // Reset control with the own time-out (15 s), mode 2 and the start mark.
  EXPECT_NE(Mark(), 0);
  EXPECT_EQ(sent[0].bytes, (Bytes{'!', 15, 255, 255, 15, 2, Mark()}));
  // Identity announcement, number 0: 'S', 15, 0, 255, then function code 3, result 20.
  EXPECT_EQ(sent[1].bytes, (Bytes{'S', 15, 0, 255, 3, 20}));
  EXPECT_EQ(sent[2].bytes, (Bytes{'S', 15, 1, 255, 31, 1, 2, 3}));
  for (const SentDatagram& d : sent) EXPECT_EQ(d.to, kPeer);
  VNHIdentifier channel{1, "5"};
  std::uint32_t memory = 1;
  VNHIdentifier own{};
  VNHIdentifier version{};
  ASSERT_EQ(VNHGetKelmnetInfo(&channel, &memory, &own, &version), 1);
  EXPECT_EQ(memory, 0u);
  EXPECT_EQ(std::string(own.text, own.length), "127.0.0.2");
  EXPECT_EQ(std::string(version.text, version.length), "1.1 95-11-17");
}

TEST_F(UdpSessionTest, UnacknowledgedDatagramsGoAgainEvery2548MsAndThePeerIsResetAt12750) {
  Activate(kPeer);
  Arrive(kPeer, {'?', 15, 254, 255});  // the peer is heard from: it is up
  Poll();
  Take();
  ASSERT_EQ(vnh_test::NodeEvents(), (std::vector<std::string>{"5 127.0.0.3 up"}));
  std::uint32_t start = Now();
  ASSERT_TRUE(vnh_test::SendTestMessage(Element(kPeer), {31, 7}));
  EXPECT_EQ(Describe(PollAndTake()), (std::vector<std::string>{"! 255 255 +3", "S 0 255 +2", "S 1 255 +2"}));
  for (std::uint32_t resend : {2548u, 5096u, 7644u, 10192u}) {
    AdvanceTo(start + resend - 1);
    EXPECT_TRUE(PollAndTake().empty()) << resend;
    AdvanceTo(start + resend);
    // The oldest goes again and what followed it follows it again.
    EXPECT_EQ(Describe(PollAndTake()), (std::vector<std::string>{"S 0 255 +2", "S 1 255 +2"}))
        << resend;
  }
  // Less than 4T (10200 ms) had passed at 10192; the next would be after it: given up.
  AdvanceTo(start + 12749);
  EXPECT_TRUE(PollAndTake().empty());
  EXPECT_EQ(vnh_test::NodeEvents().size(), 1u);
  AdvanceTo(start + 12750);
  Poll();
  EXPECT_EQ(vnh_test::NodeEvents().back(), "5 127.0.0.3 down");
  vnh::UdpPeer p = PeerOf(kPeer);
  EXPECT_EQ(p.next_send, 255);
  EXPECT_EQ(p.oldest_unacked, 255);
  EXPECT_EQ(Counters().resets, 1u);
  {
    vnh::MutexLock lock;
    EXPECT_EQ(vnh::FreeTransmitBuffers(), vnh::kTransmitBuffers) << "the datagrams were released";
  }
  // The next message opens a fresh numbering.
  ASSERT_TRUE(vnh_test::SendTestMessage(Element(kPeer), {31, 8}));
  EXPECT_EQ(Describe(PollAndTake()).front(), "! 255 255 +3");
}

TEST_F(UdpSessionTest, SequenceNumbersRunFrom253BackTo0) {
  Activate(kPeer);
  std::vector<int> numbers;
  for (int i = 0; i < 300; ++i) {
    ASSERT_TRUE(vnh_test::SendTestMessage(Element(kPeer), {31, static_cast<std::uint8_t>(i)}));
    for (const SentDatagram& d : PollAndTake()) {
      if (d.bytes[0] != 'S') continue;
      numbers.push_back(d.bytes[2]);
      // The peer takes it and acknowledges: it expects the number after it.
      Arrive(kPeer, {'!', 15, 254, static_cast<std::uint8_t>((d.bytes[2] + 1) % 254)});
    }
    Poll();
  }
  ASSERT_EQ(numbers.size(), 301u);  // the identity announcement, then the 300 messages
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    EXPECT_EQ(numbers[i], static_cast<int>(i % 254)) << i;
  }
  EXPECT_EQ(numbers[253], 253);
  EXPECT_EQ(numbers[254], 0) << "the 255th data datagram";
  EXPECT_EQ(Counters().resent, 0u);
}

TEST_F(UdpSessionTest, InOrderDataIsDeliveredOnceAndDuplicatesAreAcknowledgedAfter10Ms) {
  Arrive(kPeer, {'!', 15, 255, 255, 15, 2, 0});  // the peer opens its numbering
  std::vector<SentDatagram> sent = PollAndTake();
  ASSERT_EQ(Describe(sent), (std::vector<std::string>{"! 254 0 +0"})) << "acknowledged at once";
  Arrive(kPeer, {'S', 15, 0, 254, 31, 0xA0});
  sent = PollAndTake();
  // The first data after a first contact is answered with the identity announcement.
  ASSERT_EQ(Describe(sent), (std::vector<std::string>{"! 255 1 +3", "S 0 1 +2"}));
  Arrive(kPeer, {'S', 15, 0, 254, 31, 0xA0});  // the same again
  Arrive(kPeer, {'S', 15, 1, 254, 31, 0xA1});
  EXPECT_TRUE(PollAndTake().empty()) << "one data datagram a poll";
  EXPECT_TRUE(PollAndTake().empty());
  Advance(9);
  EXPECT_TRUE(PollAndTake().empty());
  Advance(1);
  // The duplicate's acknowledgement, 10 ms after it; it names the number expected next.
  EXPECT_EQ(Describe(PollAndTake()), (std::vector<std::string>{"! 254 2 +0"}));
  ASSERT_EQ(vnh_test::ReceivedMessages().size(), 2u);
  EXPECT_EQ(vnh_test::ReceivedMessages()[0].message, (Bytes{31, 0xA0}));
  EXPECT_EQ(vnh_test::ReceivedMessages()[1].message, (Bytes{31, 0xA1}));
  EXPECT_EQ(Counters().sequence_errors, 1u);
}

TEST_F(UdpSessionTest, ASilentPeerGoesDownAt30SecondsAndComesBackWithItsNextDatagram) {
  std::uint32_t start = Now();
  Activate(kPeer);
  Arrive(kPeer, {'?', 15, 254, 255});
  Poll();
  Take();
  AdvanceTo(start + 14999);
  EXPECT_TRUE(PollAndTake().empty());
  AdvanceTo(start + 15000);
  // Silent for 15 s (13.5 s or more): asked whether it is there.
  EXPECT_EQ(Describe(PollAndTake()), (std::vector<std::string>{"? 254 255 +0"}));
  AdvanceTo(start + 29999);
  Poll();
  EXPECT_EQ(vnh_test::NodeEvents(), (std::vector<std::string>{"5 127.0.0.3 up"}));
  AdvanceTo(start + 30000);
  Poll();
  EXPECT_EQ(vnh_test::NodeEvents().back(), "5 127.0.0.3 down");
  EXPECT_NE(PeerOf(kPeer).flags & vnh::kPeerResetNeeded, 0);
  Arrive(kPeer, {'!', 15, 254, 254});
  Poll();
  EXPECT_EQ(vnh_test::NodeEvents().back(), "5 127.0.0.3 up");
  // Once its last connection is released the peer is no longer pinged.
  Release(kPeer);
  Take();
  Advance(60000);
  Poll();
  Advance(60000);
  Poll();
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(vnh_test::NodeEvents().back(), "5 127.0.0.3 up");
}

TEST_F(UdpSessionTest, ALateCopyOfTheResetControlDoesNotDeliverAnythingTwice) {
  const Bytes reset = {'!', 15, 255, 255, 15, 2, 0};
  Arrive(kPeer, reset);
  PollAndTake();
  Arrive(kPeer, {'S', 15, 0, 254, 31, 0xB0});
  PollAndTake();
  Arrive(kPeer, {'S', 15, 1, 254, 31, 0xB1});
  PollAndTake();
  Arrive(kPeer, reset);  // a copy that the network held back
  PollAndTake();
  Arrive(kPeer, {'S', 15, 0, 254, 31, 0xB0});  // and a resending of what came after it
  PollAndTake();
  ASSERT_EQ(vnh_test::ReceivedMessages().size(), 2u);
  EXPECT_EQ(PeerOf(kPeer).next_expected, 2);
  // A real new numbering comes no sooner than 5T after the one before it.
  Advance(5 * 2550);
  Arrive(kPeer, reset);
  Arrive(kPeer, {'S', 15, 0, 254, 31, 0xC0});
  PollAndTake();
  PollAndTake();
  ASSERT_EQ(vnh_test::ReceivedMessages().size(), 3u);
  EXPECT_EQ(vnh_test::ReceivedMessages()[2].message, (Bytes{31, 0xC0}));
  // The peer opens another numbering whose first datagram is lost; 5T later
  // it gives up and opens yet another, but the network puts that reset
  // control behind the datagram it opened. The datagram is taken (we expect 0
  // since the last reset), and the reset control after it changes nothing.
  Advance(5 * 2550);
  Arrive(kPeer, reset);
  PollAndTake();
  Advance(5 * 2550);
  Arrive(kPeer, {'S', 15, 0, 254, 31, 0xD0});
  Arrive(kPeer, reset);
  Arrive(kPeer, {'S', 15, 0, 254, 31, 0xD0});  // the peer sends its datagram 0 again
  PollAndTake();
  PollAndTake();
  PollAndTake();
  ASSERT_EQ(vnh_test::ReceivedMessages().size(), 4u);
  EXPECT_EQ(PeerOf(kPeer).next_expected, 1);
}

TEST_F(UdpSessionTest, APeerWhoseLibraryStartedAnewIsHeardAtOnce) {
  // A program on the peer talks to us, ends, and is started again at once:
  // its new library opens a new numbering with another start mark.
  const Bytes first = {'!', 15, 255, 255, 15, 2, 0x21};
  const Bytes again = {'!', 15, 255, 255, 15, 2, 0x5A};
  Arrive(kPeer, first);
  Arrive(kPeer, {'S', 15, 0, 254, 31, 0xB0});
  Arrive(kPeer, {'S', 15, 1, 254, 31, 0xB1});
  for (int i = 0; i < 3; ++i) PollAndTake();
  Advance(20);
  Arrive(kPeer, again);
  Arrive(kPeer, {'S', 15, 0, 254, 31, 0xC0});
  PollAndTake();
  PollAndTake();
  ASSERT_EQ(vnh_test::ReceivedMessages().size(), 3u);
  EXPECT_EQ(vnh_test::ReceivedMessages()[2].message, (Bytes{31, 0xC0}));
  // A late copy of the new reset control still changes nothing.
  Arrive(kPeer, again);
  Arrive(kPeer, {'S', 15, 0, 254, 31, 0xC0});
  PollAndTake();
  PollAndTake();
  EXPECT_EQ(vnh_test::ReceivedMessages().size(), 3u);
  EXPECT_EQ(PeerOf(kPeer).next_expected, 1);
}

TEST_F(UdpSessionTest, APeerThatLostItsNumberingGetsTheWaitingDatagramsNumberedAnew) {
  Activate(kPeer);
  ASSERT_TRUE(vnh_test::SendTestMessage(Element(kPeer), {31, 1}));
  ASSERT_TRUE(vnh_test::SendTestMessage(Element(kPeer), {31, 2}));
  PollAndTake();
  // The peer acknowledges the identity announcement (expects 1 next)...
  Arrive(kPeer, {'!', 15, 254, 1});
  PollAndTake();
  // ...then restarts: whatever it says now carries acknowledgement 255. (Said
  // within T of our reset control it would be taken for a late copy.)
  Advance(2550);
  EXPECT_EQ(PollAndTake().size(), 2u) << "the two messages went again at 2548";
  Arrive(kPeer, {'?', 15, 254, 255});
  std::vector<SentDatagram> sent = PollAndTake();
  // The fresh reset control and the answer to the query go at once; the
  // renumbered datagrams leave with the transmit poll, in their order.
  EXPECT_EQ(Describe(sent),
            (std::vector<std::string>{"! 255 255 +3", "! 254 255 +0", "S 0 255 +2", "S 1 255 +2"}));
  EXPECT_EQ(sent[2].bytes.back(), 1);
  EXPECT_EQ(sent[3].bytes.back(), 2);
  EXPECT_EQ(Counters().soft_restarts, 1u);
}

TEST_F(UdpSessionTest, QueriesAreAnsweredAndABroadcastQueryAfterTheHostsOwnPause) {
  Arrive(kPeer, {'?', 15, 254, 7});
  EXPECT_EQ(Describe(PollAndTake()), (std::vector<std::string>{"! 254 255 +0"}));
  // Acknowledgement 254: a query to every node. Own host 2: 2 x 4 ms.
  Arrive(Loopback(4), {'?', 15, 254, 254});
  EXPECT_TRUE(PollAndTake().empty());
  Advance(7);
  EXPECT_TRUE(PollAndTake().empty());
  Advance(1);
  std::vector<SentDatagram> sent = PollAndTake();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].to, Loopback(4));
}

TEST_F(UdpSessionTest, TimeOutOptionsMeetAtTheSmallerOne) {
  Activate(kPeer);
  // A larger time-out than ours is answered with ours.
  Arrive(kPeer, {'!', 20, 254, 254, 20, 1, 9});
  EXPECT_EQ(PollAndTake().at(0).bytes, (Bytes{'!', 15, 254, 255, 15, 2, Mark()}));
  EXPECT_EQ(PeerOf(kPeer).option, 1);
  EXPECT_EQ(PeerOf(kPeer).spare, 9);
  // A smaller one is taken: 5 s makes T 850 ms.
  Arrive(kPeer, {'!', 5, 254, 254, 5, 7});
  EXPECT_TRUE(PollAndTake().empty());
  vnh::UdpPeer p = PeerOf(kPeer);
  EXPECT_EQ(p.current_timeout, 5);
  EXPECT_EQ(p.option, 1) << "a mode above 2 is not taken";
  EXPECT_EQ(vnh::RetransmitInterval(p), 850);
  std::uint32_t start = Now();
  ASSERT_TRUE(vnh_test::SendTestMessage(Element(kPeer), {31}));
  PollAndTake();
  AdvanceTo(start + 848);
  EXPECT_EQ(PollAndTake().size(), 2u);
}

TEST_F(UdpSessionTest, TheSessionTimeOutFollowsTheAnswerTimeOutHeldTo1To30Seconds) {
  struct Case {
    std::int32_t trans_ms;
    std::uint32_t seconds;
  } cases[] = {{15000, 15}, {3000, 3}, {3999, 3}, {3600000, 30}, {30999, 30}};
  std::uint32_t host = 10;
  for (const Case& c : cases) {
    ASSERT_TRUE(vnh_test::SetIntSetting("KelmnetTransTimeOut", c.trans_ms));
    Activate(Loopback(host));
    vnh::MutexLock lock;
    EXPECT_EQ(vnh::TheUdpSession()->default_timeout, c.seconds) << c.trans_ms;
    EXPECT_EQ(vnh::Peer(vnh::FindPeer(Loopback(host)))->current_timeout, c.seconds) << c.trans_ms;
    ++host;
  }
}

TEST_F(UdpSessionTest, BadDatagramsAreDroppedBeforeTheyReachAPeer) {
  struct Case {
    const char* what;
    std::uint32_t from;
    Bytes bytes;
  } cases[] = {
      {"shorter than the header", kPeer, {'S', 15, 0}},
      {"another type", Loopback(5), {'X', 15, 254, 254}},
      {"our own, from no known peer", kOwn, {'?', 15, 254, 254}},
      {"a data datagram claiming a reset", Loopback(6), {'S', 15, 255, 254, 31}},
  };
  for (const Case& c : cases) {
    std::uint32_t dropped = Counters().dropped;
    Arrive(c.from, c.bytes);
    PollAndTake();
    EXPECT_EQ(Counters().dropped, dropped + 1) << c.what;
  }
  EXPECT_EQ(PeerOf(kOwn).address, 0u);
  EXPECT_TRUE(vnh_test::ReceivedMessages().empty());
  // Bit 7 of the type is not part of it.
  Arrive(kPeer, {'?' | 0x80, 15, 254, 3});
  EXPECT_EQ(PollAndTake().size(), 1u);
}

TEST_F(UdpSessionTest, BroadcastsLeaveUnnumberedAndAnIdentityAnnouncementReachesEveryPeerAnew) {
  Arrive(kPeer, {'!', 15, 255, 255, 15, 2, 0});
  Arrive(kPeer, {'S', 15, 0, 254, 31});
  PollAndTake();
  PollAndTake();
  ASSERT_EQ(PeerOf(kPeer).flags & vnh::kPeerFirstContact, 0);
  ASSERT_TRUE(vnh_test::SendTestMessage(Element(vnh::kBroadcastNode), {3, 20}));
  std::vector<SentDatagram> sent = PollAndTake();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].to, Loopback(255));
  // No connection has set the session time-out yet: 30 s, as at start.
  EXPECT_EQ(sent[0].bytes, (Bytes{'S', 30, 254, 254, 3, 20}));
  EXPECT_NE(PeerOf(kPeer).flags & vnh::kPeerFirstContact, 0);
  // All-node status: a connect request to every node, ended after 2000 ms.
  static int done = 0;
  {
    vnh::MutexLock lock;
    vnh::UdpNodeStatus(0, [](std::uint32_t) { ++done; });
  }
  sent = Take();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes, (Bytes{'S', 30, 254, 254, 0, 0}));
  Advance(1999);
  Poll();
  EXPECT_EQ(done, 0);
  Advance(1);
  Poll();
  EXPECT_EQ(done, 1);
}

TEST_F(UdpSessionTest, AFloodOfSendersNeverGrowsThePeerTableBeyondItsCap) {
  // Senders 127.1.x.y: addresses only, never a destination (no real socket).
  auto sender = [](std::uint32_t i) { return 0x7F010000u + i; };
  auto flood = [&](std::uint32_t from, std::uint32_t to) {
    for (std::uint32_t i = from; i < to; ++i) Arrive(sender(i), {'!', 15, 254, 254});
    while (!network_.incoming.empty()) {
      Poll();
      Advance(1);
    }
    Take();
  };
  flood(0, 199);
  EXPECT_EQ(PeerCount(), 200u);  // and the broadcast peer
  // From 200 on, an address takes over a peer silent for 60 s.
  flood(199, 200);
  EXPECT_EQ(PeerCount(), 201u) << "nobody silent for 60 s yet";
  Advance(60000);
  flood(200, 201);
  EXPECT_EQ(PeerCount(), 201u);
  EXPECT_EQ(PeerOf(sender(0)).address, 0u) << "the longest-silent peer was lent";
  EXPECT_EQ(PeerOf(sender(200)).address, sender(200));
  // A full table lends the longest-silent idle peer however recent.
  flood(201, 10200);
  EXPECT_EQ(PeerCount(), vnh::kMaxPeers);
  EXPECT_EQ(PeerOf(sender(10199)).address, sender(10199));
  // With every peer in use by a connection, a new sender is refused.
  {
    vnh::MutexLock lock;
    vnh::UdpSession* s = vnh::TheUdpSession();
    vnh::Heap heap = vnh::SharedHeap();
    for (std::uint32_t chain : s->chains) {
      for (std::uint32_t p = heap.First(chain); p != 0; p = heap.SuccElem(p)) {
        vnh::Peer(p)->flags |= vnh::kPeerActive;
      }
    }
  }
  std::uint32_t dropped = Counters().dropped;
  flood(20000, 20001);
  EXPECT_EQ(PeerCount(), vnh::kMaxPeers);
  EXPECT_EQ(Counters().dropped, dropped + 1);
  EXPECT_TRUE(vnh_test::Traced("knsock: peer table full"));
}

std::unique_ptr<vnh::DatagramPort> RefusePort(const vnh::UdpEndpoint&) { return nullptr; }

TEST_F(UdpSessionTest, AChannelDroppedAtAHandoverGivesItsBuffersBackAndOpensAgainLater) {
  Activate(kPeer);
  ASSERT_TRUE(vnh_test::SendTestMessage(Element(kPeer), {31, 1}));
  ASSERT_TRUE(vnh_test::SendTestMessage(Element(kPeer), {31, 2}));
  ASSERT_EQ(VNHCloseCommunication(), 1);  // the messages still wait in the send list
  // The next owner cannot have the socket (its port is taken): the channel is dropped.
  vnh::SetDatagramPortOpener(RefusePort);
  std::int32_t status = 0;
  VNHInitCommunication(&status);
  {
    vnh::MutexLock lock;
    EXPECT_TRUE(vnh::SharedHeap().Last(vnh::Shared().channel_list));
    EXPECT_EQ(vnh::TheUdpSession(), nullptr);
    EXPECT_EQ(vnh::FreeTransmitBuffers(), vnh::kTransmitBuffers);
  }
  ASSERT_EQ(VNHCloseCommunication(), 1);
  vnh_test::UseFakeNetwork(&network_);
  VNHInitCommunication(&status);
  vnh::MutexLock lock;
  EXPECT_NE(vnh::TheUdpSession(), nullptr) << "the next first client opens it anew";
}

TEST_F(UdpSessionTest, NodeAddressesOfConnectionsAreHostsOfTheNetworkOrFullAddresses) {
  // Our address 127.0.0.2 gives the network 127.0.0.0.
  struct Case {
    const char* text;
    bool valid;
    std::uint32_t address;
  } cases[] = {
      {"3", true, Loopback(3)},       {" 255 ", true, Loopback(255)},
      {"1", true, vnh::kBroadcastNode}, {"127.0.0.9", true, Loopback(9)},
      {"2130706442", true, Loopback(10)}, {"0", false, 0},
      {"", false, 0},                 {"12a", false, 0},
      {"127.0.0", false, 0},          {"127.0.0.256", false, 0},
      {"4294967296", false, 0},       {"1.2.3.4.5", false, 0},
  };
  vnh::MutexLock lock;
  for (const Case& c : cases) {
    std::uint32_t address = 0;
    EXPECT_EQ(vnh::ParseTcpIpNodeAddress(channel_, c.text, &address), c.valid) << c.text;
    if (c.valid) {
      EXPECT_EQ(address, c.address) << c.text;
    }
  }
}

}  // namespace
