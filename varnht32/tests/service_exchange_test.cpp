// The protocol services between two library instances, each in a process of
// its own with a segment of its own (two PCs), over UDP on loopback and over
// two cards of the card-and-bus simulator. The processes share the virtual
// clock; the test moves it on between the rounds in which both poll.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "varnht32/src/link_settings.h"
#include "varnht32/src/segment.h"
#include "varnht32/src/system_variables.h"
#include "varnht32/tests/card_simulator.h"
#include "varnht32/tests/link_support.h"
#include "varnht32/tests/service_peer.h"
#include "varnht32/tests/test_support.h"

namespace {

using vnh_test::Child;
using vnh_test::PeerArguments;
using vnh_test::PeerArgs;
using vnh_test::PeerState;
using vnh_test::Transport;

constexpr int kA = 0;
constexpr int kB = 1;
constexpr std::uint64_t kMegabyte = 1u << 20;

std::string Name(Transport t) { return t == Transport::kUdp ? "Udp" : "Card"; }

class ServiceExchangeTest : public ::testing::TestWithParam<Transport> {
 protected:
  void SetUp() override {
    clock_.Install();
    board_->transport = GetParam();
    if (GetParam() == Transport::kUdp) {
      board_->udp_port = vnh_test::FreeUdpPort(vnh_test::Loopback(2), vnh_test::Loopback(3));
      ASSERT_NE(board_->udp_port, 0);
    } else {
      simulator_ = std::make_unique<vnh_test::CardSimulator>(KELMNET_CARD_SIM, 2);
      ASSERT_TRUE(simulator_->ready());
    }
  }
  void TearDown() override {
    peers_.clear();
    for (const std::string& name : segments_) vnh::Segment::Remove(name);
  }

  // A program of PC `side` (0 A, 1 B); a second one of the same PC shares its segment.
  Child& Start(int side) {
    std::string segment = "/vnhsvc." + std::to_string(getpid()) + "." + std::to_string(side);
    if (std::find(segments_.begin(), segments_.end(), segment) == segments_.end()) {
      vnh::Segment::Remove(segment);
      segments_.push_back(segment);
    }
    setenv(vnh::kSegmentEnvironment, segment.c_str(), 1);
    setenv(vnh::kSettingsDirectoryEnvironment, "/nonexistent", 1);  // the defaults
    if (GetParam() == Transport::kUdp) {
      setenv(vnh::kUdpAddressEnvironment, side == kA ? "127.0.0.2" : "127.0.0.3", 1);
      setenv(vnh::kUdpPortEnvironment, std::to_string(board_->udp_port).c_str(), 1);
    } else {
      setenv(vnh::kCardDeviceEnvironment, simulator_->DevicePrefix().c_str(), 1);
    }
    vnh_test::BecomePeer(&*board_, side);
    peers_.push_back(Peer{side, std::make_unique<Child>(vnh_test::PeerStep), true});
    for (const char* name : {vnh::kSegmentEnvironment, vnh::kUdpAddressEnvironment,
                             vnh::kUdpPortEnvironment, vnh::kCardDeviceEnvironment,
                             vnh::kSettingsDirectoryEnvironment}) {
      unsetenv(name);
    }
    return *peers_.back().child;
  }

  // Both PCs up with one program each, and each seeing the other on the bus.
  void StartBoth() {
    Child& a = Start(kA);
    Child& b = Start(kB);
    ASSERT_EQ(a.Run(vnh_test::kPeerSetUp), 1);
    ASSERT_EQ(b.Run(vnh_test::kPeerSetUp), 1);
    if (GetParam() == Transport::kCard) {
      ASSERT_TRUE(Until([&] { return S(kA).node_up > 0 && S(kB).node_up > 0; }, 60000))
          << "the cards see each other";
    }
  }

  Child& Of(int side) { return *peers_[static_cast<std::size_t>(side)].child; }
  PeerState& S(int side) { return board_->side[side]; }
  std::int32_t Do(Child& child, int side, vnh_test::PeerCommand command, PeerArguments a = {}) {
    board_->args[side] = a;
    return child.Run(command);
  }
  std::int32_t Do(int side, vnh_test::PeerCommand command, PeerArguments a = {}) {
    return Do(Of(side), side, command, a);
  }
  std::int32_t Result(int side, std::uint32_t user) { return S(side).result[user].load(); }

  // Every program that still runs polls; the clock then moves on by `step`.
  bool Round(std::uint32_t step = 1) {
    for (Peer& p : peers_) {
      if (p.polled) p.child->Send(vnh_test::kPeerPump);
    }
    bool ok = true;
    for (Peer& p : peers_) {
      if (p.polled) ok = p.child->Wait() == 1 && ok;
    }
    clock_.Advance(step);
    return ok;
  }
  // Rounds until `done`, at most `limit_ms` of protocol time; the clock moves
  // 1 ms a round, or `step` ms.
  bool Until(const std::function<bool()>& done, std::uint32_t limit_ms, std::uint32_t step = 1) {
    std::uint32_t end = clock_.ticks() + limit_ms;
    while (!done()) {
      if (clock_.ticks() >= end || !Round(step)) return false;
    }
    return true;
  }
  bool Finished(int side, std::uint32_t user, std::uint32_t limit_ms = 20000) {
    return Until([&] { return Result(side, user) != 0; }, limit_ms);
  }

  // The side asks for stream "STREM" in slot 0 as action 1 and waits for the
  // answer: its result, or 0 when the request was refused or never answered.
  std::int32_t OpenStream(int side) {
    PeerArguments open = PeerArgs("STREM", "", 1);
    open.index = 0;
    if (Do(side, vnh_test::kPeerOpenStream, open) != 1 || !Finished(side, 1)) return 0;
    return Result(side, 1);
  }

  // A defines a connection to B: 0 until the first connect completes, then 1.
  void Connect(int side) {
    ASSERT_EQ(Do(side, vnh_test::kPeerDefine), 1);
    EXPECT_EQ(Do(side, vnh_test::kPeerConnectionStatus), 0) << "connecting";
    ASSERT_TRUE(Until([&] { return Do(side, vnh_test::kPeerConnectionStatus) != 0; }, 30000));
    ASSERT_EQ(Do(side, vnh_test::kPeerConnectionStatus), 1);
  }

  struct Peer {
    int side;
    std::unique_ptr<Child> child;
    bool polled;
  };

  vnh_test::VirtualClock clock_;
  vnh_test::Scratch<vnh_test::PeerBoard> board_;
  std::unique_ptr<vnh_test::CardSimulator> simulator_;
  std::vector<std::string> segments_;
  std::vector<Peer> peers_;
};

TEST_P(ServiceExchangeTest, NamedVariablesAreReadWrittenAndReported) {
  StartBoth();
  vnh_test::SetInteger(S(kB), "TEMP1", 1234);
  vnh_test::SetText(S(kB), "TEXT1", "hello, node");
  vnh_test::SetArray(S(kB), "ARRAY", {7, -8, 9});
  vnh_test::SetInteger(S(kB), "%R16", 77);
  vnh_test::SetInteger(S(kB), "REPRT", 5);
  vnh_test::SetArray(S(kA), "LARRY", {0, 0, 0});  // says the start and count it wants
  vnh_test::SetInteger(S(kA), "LREG", 0);         // says the register form's type
  vnh_test::SetInteger(S(kA), "WVAL", 999);
  Connect(kA);

  struct Read {
    const char* remote;
    const char* local;
  };
  const Read reads[] = {{"TEMP1", "LTEMP"}, {"TEXT1", "LTEXT"}, {"ARRAY", "LARRY"}, {"%R16", "LREG"},
                        {"TEMP1", "LTMP2"}};  // by the name resolved before
  std::uint32_t user = 1;
  for (const Read& r : reads) {
    ASSERT_EQ(Do(kA, vnh_test::kPeerRead, PeerArgs(r.remote, r.local, user)), 1) << r.remote;
    ASSERT_TRUE(Finished(kA, user)) << r.remote;
    EXPECT_EQ(Result(kA, user), 1) << r.remote;
    ++user;
  }
  EXPECT_EQ(vnh_test::FindVariable(S(kA), "LTEMP")->integer, 1234);
  EXPECT_EQ(std::string(vnh_test::FindVariable(S(kA), "LTEXT")->text, 11), "hello, node");
  const vnh_test::PeerVariable* array = vnh_test::FindVariable(S(kA), "LARRY");
  ASSERT_EQ(array->count, 3u);
  EXPECT_EQ(array->element[1], -8);
  EXPECT_EQ(vnh_test::FindVariable(S(kA), "LREG")->integer, 77);

  ASSERT_EQ(Do(kA, vnh_test::kPeerWrite, PeerArgs("TEMP1", "WVAL", 10)), 1);
  ASSERT_TRUE(Finished(kA, 10));
  EXPECT_EQ(Result(kA, 10), 1);
  EXPECT_EQ(vnh_test::FindVariable(S(kB), "TEMP1")->integer, 999);

  // A name the node does not know: its refusal comes back as a status.
  ASSERT_EQ(Do(kA, vnh_test::kPeerRead, PeerArgs("NOPE1", "LNOPE", 11)), 1);
  ASSERT_TRUE(Finished(kA, 11));
  EXPECT_LT(Result(kA, 11), 0);
  EXPECT_EQ(vnh_test::FindVariable(S(kA), "LNOPE"), nullptr);

  // A report: B declares it, A subscribes, B sends it whenever it likes.
  ASSERT_EQ(Do(kB, vnh_test::kPeerDefineReport, PeerArgs("REPRT")), 1);
  ASSERT_EQ(Do(kA, vnh_test::kPeerSubscribe, PeerArgs("REPRT", "LREPT", 12, 1)), 1);
  ASSERT_TRUE(Finished(kA, 12));
  ASSERT_EQ(Result(kA, 12), 1);
  vnh_test::SetInteger(S(kB), "REPRT", 6);
  ASSERT_EQ(Do(kB, vnh_test::kPeerSendReport, PeerArgs("REPRT")), 1);
  ASSERT_TRUE(Until([&] { return vnh_test::FindVariable(S(kA), "LREPT") != nullptr; }, 2000));
  EXPECT_EQ(vnh_test::FindVariable(S(kA), "LREPT")->integer, 6);
  ASSERT_EQ(Do(kA, vnh_test::kPeerSubscribe, PeerArgs("REPRT", "LREPT", 13, 0)), 1);
  ASSERT_TRUE(Finished(kA, 13));
  EXPECT_EQ(Result(kA, 13), 1);
  vnh_test::SetInteger(S(kB), "REPRT", 7);
  ASSERT_EQ(Do(kB, vnh_test::kPeerSendReport, PeerArgs("REPRT")), 1);
  for (int i = 0; i < 200; ++i) Round();
  EXPECT_EQ(vnh_test::FindVariable(S(kA), "LREPT")->integer, 6) << "no report after unsubscribing";
  EXPECT_EQ(Do(kB, vnh_test::kPeerSendReport, PeerArgs("OTHER")), -461);
}

TEST_P(ServiceExchangeTest, TovraMessagesAreAnsweredAndNodesIdentifyThemselves) {
  StartBoth();
  ASSERT_EQ(Do(kB, vnh_test::kPeerConfigIdentity, PeerArgs("NODEB", "", 0, 7)), 1);
  Connect(kA);
  PeerArguments tovra = PeerArgs("", "", 1);
  tovra.length = 4;
  std::uint8_t message[] = {28, 1, 2, 3};
  std::memcpy(tovra.bytes, message, sizeof message);
  ASSERT_EQ(Do(kA, vnh_test::kPeerTovra, tovra), 1);
  ASSERT_TRUE(Finished(kA, 1));
  EXPECT_EQ(Result(kA, 1), 1);
  EXPECT_EQ(S(kB).tovra_served_status, 1);
  ASSERT_EQ(S(kA).tovra_reply_length, 4u);
  EXPECT_EQ(std::vector<std::uint8_t>(S(kA).tovra_reply, S(kA).tovra_reply + 4),
            (std::vector<std::uint8_t>{29, 3, 2, 1}));
  // A message that is no Tovra message does not leave.
  message[0] = 27;
  std::memcpy(tovra.bytes, message, sizeof message);
  tovra.user = 2;
  ASSERT_EQ(Do(kA, vnh_test::kPeerTovra, tovra), 1);
  ASSERT_TRUE(Finished(kA, 2));
  EXPECT_EQ(Result(kA, 2), -38);

  ASSERT_EQ(Do(kA, vnh_test::kPeerIdentify, PeerArgs("", "", 3)), 1);
  ASSERT_TRUE(Finished(kA, 3));
  EXPECT_EQ(Result(kA, 3), 1);
  ASSERT_TRUE(Until([&] { return S(kA).identified > 0; }, 100));
  EXPECT_STREQ(S(kA).identity, "NODEB");
  EXPECT_EQ(S(kA).option, 7u);
  EXPECT_EQ(S(kA).software, 276u);
}

TEST_P(ServiceExchangeTest, NodeStatusFollowsANodeUpAndDown) {
  StartBoth();
  Connect(kA);
  Connect(kB);
  int ups = S(kA).node_up;
  ASSERT_EQ(Do(kA, vnh_test::kPeerNodeStatus, PeerArgs("", "", 1, 1)), 1);
  ASSERT_TRUE(Finished(kA, 1, 5000));
  EXPECT_EQ(Result(kA, 1), 1);
  EXPECT_EQ(S(kA).node_up, ups + 1) << "the answer names B up";
  EXPECT_STREQ(S(kA).last_node, GetParam() == Transport::kUdp ? "127.0.0.3" : "3");
  EXPECT_EQ(Do(kA, vnh_test::kPeerNodeStatus, PeerArgs("", "", 2, 1)), 1);
  EXPECT_EQ(Do(kA, vnh_test::kPeerNodeStatus, PeerArgs("", "", 3, 1)), -16) << "one at a time";
  ASSERT_TRUE(Finished(kA, 2, 5000));

  // A goes silent: B sees it go down.
  peers_[kA].child->Kill();
  peers_[kA].polled = false;
  if (GetParam() == Transport::kCard) {
    EXPECT_EQ(simulator_->Control("reset 1"), "ok");
  }
  int downs = S(kB).node_down;
  ASSERT_TRUE(Until([&] { return S(kB).node_down > downs; }, 60000, 50));
  EXPECT_STREQ(S(kB).last_node, GetParam() == Transport::kUdp ? "127.0.0.2" : "2");
  EXPECT_EQ(Do(kB, vnh_test::kPeerConnectionStatus), -421);
  // And a request now answers that A is down.
  downs = S(kB).node_down;
  ASSERT_EQ(Do(kB, vnh_test::kPeerNodeStatus, PeerArgs("", "", 4, 1)), 1);
  ASSERT_TRUE(Finished(kB, 4, 20000));
  EXPECT_EQ(S(kB).node_down, downs + 1);
}

TEST_P(ServiceExchangeTest, AStreamCarriesAMegabyteEachWayUnderCreditFlowAndCloses) {
  StartBoth();
  Connect(kA);
  ASSERT_EQ(OpenStream(kA), 1);
  ASSERT_EQ(S(kB).opened, 1);
  S(kA).send_on = 0;
  S(kB).send_on = -1;

  // The data-to-send callback offers more than the credit: only the credit goes.
  S(kA).over_offer = 1;
  S(kA).to_send = 10 * 255;
  ASSERT_TRUE(Until([&] { return S(kA).sent >= 10 * 255 && S(kA).sending == 0; }, 20000));
  S(kA).over_offer = 0;
  EXPECT_EQ(S(kB).received, 10u * 255);
  EXPECT_EQ(S(kB).largest_block, 255u);

  // B takes a block but leaves its length at 0: A's next send waits for credit.
  S(kB).hold = 1;
  S(kA).to_send = 20 * 255;
  ASSERT_TRUE(Until([&] { return S(kB).hold == 0; }, 2000));
  ASSERT_TRUE(Until([&] { return S(kA).sending == 1; }, 2000));
  std::uint64_t held_at = S(kB).received;
  for (int i = 0; i < 300; ++i) Round();
  EXPECT_EQ(S(kB).received, held_at) << "nothing goes at credit 0";
  EXPECT_EQ(S(kA).sending, 1) << "the send step waits";
  PeerArguments restart = PeerArgs("", "", 2);
  restart.index = -1;
  ASSERT_EQ(Do(kB, vnh_test::kPeerStreamRestart, restart), 1);
  ASSERT_TRUE(Finished(kB, 2));
  EXPECT_EQ(Result(kB, 2), 1);
  ASSERT_TRUE(Until([&] { return S(kB).received > held_at; }, 2000)) << "and then it goes";

  // The rest each way at once: a megabyte on UDP. Through the simulator every
  // frame of 33 bytes is a few requests to its program, so there 64 KB.
  std::uint64_t size = GetParam() == Transport::kUdp ? kMegabyte : kMegabyte / 16;
  S(kA).to_send = size;
  S(kB).to_send = size;
  ASSERT_TRUE(Until([&] {
    return S(kA).received == size && S(kB).received == size && S(kA).sending == 0 &&
           S(kB).sending == 0;
  }, 3600000));
  for (int side : {kA, kB}) {
    EXPECT_EQ(S(side).mismatches, 0u) << side;
    EXPECT_EQ(S(side).send_error, 0) << side;
    EXPECT_LE(S(side).largest_block, 255u) << side;
  }

  PeerArguments close = PeerArgs("", "", 3);
  close.index = 0;
  ASSERT_EQ(Do(kA, vnh_test::kPeerStreamClose, close), 1);
  ASSERT_TRUE(Finished(kA, 3));
  EXPECT_EQ(Result(kA, 3), 1);
  ASSERT_TRUE(Until([&] { return S(kB).closed == 1; }, 1000));
  // The stream record went with the close: its handle is refused on both sides.
  PeerArguments send = PeerArgs("", "", 4);
  send.index = 0;
  EXPECT_EQ(Do(kA, vnh_test::kPeerStreamSend, send), -2);
  send.index = -1;
  EXPECT_EQ(Do(kB, vnh_test::kPeerStreamSend, send), -2);
}

TEST_P(ServiceExchangeTest, TheSeventeenthStreamIsRefused) {
  StartBoth();
  Connect(kA);
  for (std::int32_t i = 0; i < 16; ++i) {
    PeerArguments open = PeerArgs("STREM", "", static_cast<std::uint32_t>(i + 1));
    open.index = i;
    ASSERT_EQ(Do(kA, vnh_test::kPeerOpenStream, open), 1) << i;
    ASSERT_TRUE(Finished(kA, open.user)) << i;
    ASSERT_EQ(Result(kA, open.user), 1) << i;
  }
  PeerArguments open = PeerArgs("STREM", "", 40);
  open.index = 16;
  EXPECT_EQ(Do(kA, vnh_test::kPeerOpenStream, open), -4);
  for (std::int32_t i = 0; i < 16; ++i) {
    PeerArguments close = PeerArgs("", "", static_cast<std::uint32_t>(50 + i));
    close.index = i;
    ASSERT_EQ(Do(kA, vnh_test::kPeerStreamClose, close), 1) << i;
  }
  ASSERT_TRUE(Until([&] {
    for (std::uint32_t i = 0; i < 16; ++i) {
      if (Result(kA, 50 + i) != 1) return false;
    }
    return true;
  }, 20000));
  EXPECT_EQ(S(kB).closed, 16);
  // The slots are free again.
  EXPECT_EQ(Do(kA, vnh_test::kPeerOpenStream, open), 1);
  ASSERT_TRUE(Finished(kA, 40));
  EXPECT_EQ(Result(kA, 40), 1);
}

TEST_P(ServiceExchangeTest, APcSetsTheClockOfANodeThatLetsIt) {
  StartBoth();
  S(kA).wall_days = 7364;  // 29 February 2000, 12:00:00.250
  S(kA).wall_ms = 43'200'250;
  ASSERT_EQ(Do(kA, vnh_test::kPeerTestClock, PeerArgs("", "", 0, 1)), 1);
  ASSERT_EQ(Do(kB, vnh_test::kPeerTestClock, PeerArgs("", "", 0, 2)), 1);
  Connect(kA);
  ASSERT_EQ(Do(kA, vnh_test::kPeerSetRemoteTime, PeerArgs("", "", 1)), 1);
  ASSERT_TRUE(Finished(kA, 1));
  EXPECT_EQ(Result(kA, 1), 1);
  ASSERT_TRUE(Until([&] { return S(kB).clock_sets > 0; }, 2000));
  EXPECT_EQ(S(kB).clock_sets, 1);
  EXPECT_EQ(S(kB).set_days, 7364u);
  // The date as it left, the time it took from "XTIME" to "XTERR", and the
  // card's correction.
  std::uint32_t correction = GetParam() == Transport::kCard ? 1283 : 0;
  EXPECT_GE(S(kB).set_ms, 43'200'250u + correction);
  EXPECT_LE(S(kB).set_ms, 43'200'250u + correction + 100);
  // A PC that does not set remote clocks may not ask.
  ASSERT_EQ(Do(kA, vnh_test::kPeerTestClock, PeerArgs("", "", 0, 2)), 1);
  EXPECT_EQ(Do(kA, vnh_test::kPeerSetRemoteTime, PeerArgs("", "", 2)), -18);
  // And a node that does not let remote nodes set its clock keeps it.
  ASSERT_EQ(Do(kB, vnh_test::kPeerTestClock, PeerArgs("", "", 0, 0)), 1);
  ASSERT_EQ(Do(kA, vnh_test::kPeerTestClock, PeerArgs("", "", 0, 1)), 1);
  ASSERT_EQ(Do(kA, vnh_test::kPeerSetRemoteTime, PeerArgs("", "", 3)), 1);
  ASSERT_TRUE(Finished(kA, 3));
  for (int i = 0; i < 100; ++i) Round();
  EXPECT_EQ(S(kB).clock_sets, 1);
}

// B's program that holds the stream stops polling while B's other program
// keeps the link alive: A's close is never answered.
TEST_P(ServiceExchangeTest, ACloseThatThePeerNeverAnswersFreesTheStreamAfter15Seconds) {
  Child& a = Start(kA);
  Child& b1 = Start(kB);
  Child& b2 = Start(kB);
  ASSERT_EQ(a.Run(vnh_test::kPeerSetUp), 1);
  ASSERT_EQ(b1.Run(vnh_test::kPeerSetUpNoServer), 1) << "b1 drives the link, offers no server";
  ASSERT_EQ(b2.Run(vnh_test::kPeerSetUp), 1) << "b2 is B's server client";
  if (GetParam() == Transport::kCard) {
    ASSERT_TRUE(Until([&] { return S(kA).node_up > 0; }, 60000));
  }
  Connect(kA);
  ASSERT_EQ(OpenStream(kA), 1);
  peers_[2].polled = false;  // b2 falls silent
  PeerArguments close = PeerArgs("", "", 2);
  close.index = 0;
  ASSERT_EQ(Do(kA, vnh_test::kPeerStreamClose, close), 1);
  std::uint32_t start = clock_.ticks();
  ASSERT_TRUE(Until([&] { return clock_.ticks() - start >= 14900; }, 20000, 50));
  EXPECT_EQ(Result(kA, 2), 0) << "still waiting";
  ASSERT_TRUE(Finished(kA, 2, 1000));
  EXPECT_EQ(Result(kA, 2), -490);
  EXPECT_GE(clock_.ticks() - start, 15000u);
  PeerArguments send = PeerArgs("", "", 3);
  send.index = 0;
  EXPECT_EQ(Do(kA, vnh_test::kPeerStreamSend, send), -2) << "the stream was freed";
  EXPECT_EQ(Do(kA, vnh_test::kPeerConnectionStatus), 1) << "the connection itself stays up";
}

INSTANTIATE_TEST_SUITE_P(Transports, ServiceExchangeTest,
                         ::testing::Values(Transport::kUdp, Transport::kCard),
                         [](const ::testing::TestParamInfo<Transport>& info) { return Name(info.param); });

}  // namespace
