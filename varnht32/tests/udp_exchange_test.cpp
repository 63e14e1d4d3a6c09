// Two library instances, each in a process of its own with a shared segment
// of its own (two PCs), talk over UDP on loopback: 127.0.0.2 and 127.0.0.3.
// The processes share the virtual clock; the test moves it on and, when
// neither side has anything to do, jumps it to the next time-out.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/base/little_endian.h"
#include "varnht32/include/varnht32.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/datagram_port.h"
#include "varnht32/src/knsock.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/segment.h"
#include "varnht32/src/system_variables.h"
#include "varnht32/tests/link_support.h"
#include "varnht32/tests/test_support.h"

namespace {

using vnh_test::Child;
using vnh_test::Loopback;
using vnh_test::Scratch;
using vnh_test::VirtualClock;

constexpr std::uint8_t kTestCode = 31;

// The fault pattern's seed; VARNHT32_FAULT_SEED tries others.
std::uint32_t Seed(std::uint32_t fixed) {
  const char* env = std::getenv("VARNHT32_FAULT_SEED");
  return env != nullptr ? static_cast<std::uint32_t>(std::strtoul(env, nullptr, 10)) : fixed;
}

// What one side reports to the test after each step.
struct Side {
  std::uint32_t own_host;
  std::uint32_t other_host;
  std::atomic<int> target{0};
  std::atomic<int> sent{0};
  std::atomic<int> received{0};
  std::atomic<int> out_of_order{0};  // a message not after the one before it
  std::atomic<int> gaps{0};          // a message not right after the one before it
  std::atomic<long long> last{-1};
  std::atomic<int> activity{0};
  std::atomic<std::uint32_t> next_due{0};
  std::atomic<int> idle{0};  // every transmit buffer is free again
  std::atomic<std::uint32_t> resets{0};
  std::atomic<std::uint32_t> given_up{0};
  std::atomic<std::uint32_t> resent{0};
  std::atomic<std::uint64_t> dropped{0};
  std::atomic<std::uint64_t> duplicated{0};
  std::atomic<std::uint64_t> reordered{0};
  std::atomic<int> downs{0};
  std::atomic<int> received_after_reset{0};
};

struct Exchange {
  Side side[2];
  vnh::DatagramFaultPlan plan;
  std::atomic<int> handover_owner{-1};
};

Exchange* g_exchange = nullptr;
int g_me = 0;  // which side this child is

enum Command : std::int32_t {
  kSetUp = 1,
  kPump,
  kCloseCommunication,
  kInitOnly,  // a second client of an instance: joins, does not set faults
};

void CountMessage(std::uint32_t buffer) {
  const vnh::MessageBuffer* b = vnh::Buffer(buffer);
  if (b->length < 5 || b->message[0] != kTestCode) return;
  Side& s = g_exchange->side[g_me];
  long long n = GetLe32(b->message + 1);
  long long last = s.last.load();
  if (n <= last) ++s.out_of_order;
  if (n != last + 1) ++s.gaps;
  s.last = n;
  ++s.received;
  if (s.resets.load() > 0 || g_exchange->side[1 - g_me].resets.load() > 0) ++s.received_after_reset;
}

void VNH_CALL CountNode(const VNHIdentifier*, const VNHIdentifier*, const std::uint32_t* up) {
  if (*up == 0) ++g_exchange->side[g_me].downs;
}

std::vector<std::uint8_t> TestMessage(int n) {
  // Sizes from 5 to 1024 bytes, so that datagrams of every length travel.
  std::size_t size = 5 + static_cast<std::size_t>(n) * 131 % 1020;
  std::vector<std::uint8_t> m(size, static_cast<std::uint8_t>(n));
  m[0] = kTestCode;
  PutLe32(m.data() + 1, static_cast<std::uint32_t>(n));
  return m;
}

std::uint32_t OtherElement() {
  vnh::MutexLock lock;
  vnh::UdpSession* s = vnh::TheUdpSession();
  if (s == nullptr) return 0;
  return vnh::NodeElement(s->channel, Loopback(g_exchange->side[g_me].other_host));
}

std::int32_t Join(bool with_faults) {
  if (InitVarnholtnet() != 1) return -1;
  if (!vnh_test::SetBoolSetting("EnableKelmnetTCPIP", true)) return -3;
  vnh::SetMessageHandler(CountMessage);
  std::uint32_t on = 1;
  std::int32_t status = 0;
  VNHSetNodeStatusCallBack(CountNode, &on, &status);
  VNHInitCommunication(&status);
  if (with_faults) vnh::SetDatagramFaults(&g_exchange->plan);
  std::uint32_t element = OtherElement();
  if (element == 0) return -2;
  vnh::MutexLock lock;
  vnh::ActivatePeer(element);
  return status;
}

std::int32_t Pump() {
  Side& me = g_exchange->side[g_me];
  std::uint32_t element = OtherElement();
  std::uint32_t before = 0;
  {
    vnh::MutexLock lock;
    vnh::UdpSession* s = vnh::TheUdpSession();
    before = s->counters.sent + s->counters.received;
  }
  int handed = 0;
  while (me.sent.load() < me.target.load() && vnh_test::SendTestMessage(element, TestMessage(me.sent))) {
    ++me.sent;
    ++handed;
  }
  for (int i = 0; i < 24; ++i) VNHPollCommunication();
  vnh::MutexLock lock;
  vnh::UdpSession* s = vnh::TheUdpSession();
  std::uint32_t after = s->counters.sent + s->counters.received;
  me.activity = handed + static_cast<int>(after - before);
  vnh::TimeStamp due{};
  me.next_due = vnh::NextSessionDue(&due) ? static_cast<std::uint32_t>(vnh::TotalMs(due)) : 0;
  me.idle = vnh::FreeTransmitBuffers() == vnh::kTransmitBuffers &&
            vnh::SharedHeap().Last(vnh::Channel(s->channel)->send_list);
  me.resets = s->counters.resets;
  me.given_up = s->counters.given_up;
  me.resent = s->counters.resent;
  vnh::DatagramFaultCounts faults = vnh::DatagramFaultTotals();
  me.dropped = faults.dropped;
  me.duplicated = faults.duplicated;
  me.reordered = faults.reordered;
  return 1;
}

std::int32_t Step(std::int32_t command) {
  switch (command) {
    case kSetUp: return Join(true);
    case kInitOnly: return Join(false);
    case kPump: return Pump();
    case kCloseCommunication: return VNHCloseCommunication();
    default: return -12345;
  }
}

class UdpExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_.Install();
    // The instances run on the library's defaults and what the test assigns.
    setenv(vnh::kSettingsDirectoryEnvironment, "/nonexistent", 1);
    g_exchange = &*exchange_;
    port_ = vnh_test::FreeUdpPort(Loopback(2), Loopback(3));
    ASSERT_NE(port_, 0);
    exchange_->side[0].own_host = 2;
    exchange_->side[0].other_host = 3;
    exchange_->side[1].own_host = 3;
    exchange_->side[1].other_host = 2;
  }
  void TearDown() override {
    children_.clear();
    unsetenv(vnh::kSettingsDirectoryEnvironment);
    for (const std::string& name : segments_) vnh::Segment::Remove(name);
  }

  // A process of instance `side`: its own segment, its own address.
  Child& Start(int side, const std::string& instance) {
    std::string segment = "/vnhudp." + std::to_string(getpid()) + "." + instance;
    if (std::find(segments_.begin(), segments_.end(), segment) == segments_.end()) {
      vnh::Segment::Remove(segment);
      segments_.push_back(segment);
    }
    setenv(vnh::kSegmentEnvironment, segment.c_str(), 1);
    setenv(vnh::kUdpAddressEnvironment,
           vnh::DottedAddress(Loopback(exchange_->side[side].own_host)).c_str(), 1);
    setenv(vnh::kUdpPortEnvironment, std::to_string(port_).c_str(), 1);
    g_me = side;
    children_.push_back(std::make_unique<Child>(Step));
    unsetenv(vnh::kSegmentEnvironment);
    unsetenv(vnh::kUdpAddressEnvironment);
    unsetenv(vnh::kUdpPortEnvironment);
    return *children_.back();
  }

  // The two instances, set up, each with `each_way` messages to send; nulls
  // when either failed to start.
  std::pair<Child*, Child*> StartPair(int each_way) {
    Child& a = Start(0, "a");
    Child& b = Start(1, "b");
    if (a.Run(kSetUp) != 1 || b.Run(kSetUp) != 1) return {nullptr, nullptr};
    for (Side& side : exchange_->side) side.target = each_way;
    return {&a, &b};
  }

  // Runs both pumps until `done`, moving the clock: 1 ms after a step in
  // which anything happened, else straight to the next time-out.
  template <class Done>
  bool Run(Child& a, Child& b, std::uint32_t limit_ms, Done done) {
    std::uint32_t end = clock_.ticks() + limit_ms;
    while (clock_.ticks() < end) {
      a.Send(kPump);
      b.Send(kPump);
      if (a.Wait() != 1 || b.Wait() != 1) return false;
      if (done()) return true;
      Side* s = exchange_->side;
      if (s[0].activity > 0 || s[1].activity > 0) {
        clock_.Advance(1);
        continue;
      }
      std::uint32_t due = std::min(s[0].next_due ? s[0].next_due.load() : end,
                                   s[1].next_due ? s[1].next_due.load() : end);
      clock_.Set(std::max(due, clock_.ticks() + 1));
    }
    return false;
  }

  VirtualClock clock_;
  Scratch<Exchange> exchange_;
  std::uint16_t port_ = 0;
  std::vector<std::string> segments_;
  std::vector<std::unique_ptr<Child>> children_;
};

TEST_F(UdpExchangeTest, TenThousandMessagesThroughLossDuplicationAndReorderingArriveOnceAndInOrder) {
  constexpr int kEachWay = 5000;
  exchange_->plan = vnh::DatagramFaultPlan{.seed = Seed(14), .drop_per_mille = 20,
                                           .duplicate_per_mille = 20, .reorder_per_mille = 10,
                                           .faulty_sendings = 2};
  auto [a, b] = StartPair(kEachWay);
  ASSERT_NE(a, nullptr);
  Side* s = exchange_->side;
  bool done = Run(*a, *b, 4 * 3600 * 1000, [&] {
    return s[0].received == kEachWay && s[1].received == kEachWay;
  });
  EXPECT_TRUE(done) << s[0].received << " and " << s[1].received << " arrived";
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(s[i].out_of_order, 0) << i;
    EXPECT_EQ(s[i].received, kEachWay) << i;
    EXPECT_EQ(s[i].gaps, 0) << "every message once, in order, none lost: side " << i;
    EXPECT_EQ(s[i].resets, 0u) << i;
    EXPECT_GT(s[i].dropped, 0u) << i;
    EXPECT_GT(s[i].duplicated, 0u) << i;
    EXPECT_GT(s[i].reordered, 0u) << i;
    EXPECT_GT(s[i].resent, 0u) << i;
  }
}

TEST_F(UdpExchangeTest, UnderHeavyLossPeersGiveUpAndResetButNothingArrivesTwiceOrOutOfOrder) {
  constexpr int kEachWay = 1500;
  exchange_->plan = vnh::DatagramFaultPlan{.seed = Seed(99), .drop_per_mille = 350,
                                           .duplicate_per_mille = 30, .reorder_per_mille = 30,
                                           .faulty_sendings = -1};
  auto [a, b] = StartPair(kEachWay);
  ASSERT_NE(a, nullptr);
  Side* s = exchange_->side;
  bool done = Run(*a, *b, 12 * 3600 * 1000, [&] {
    return s[0].sent == kEachWay && s[1].sent == kEachWay && s[0].idle && s[1].idle;
  });
  EXPECT_TRUE(done);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(s[i].out_of_order, 0) << "no duplicate and no reordering: side " << i;
    EXPECT_GT(s[i].given_up, 0u) << i;
    EXPECT_GT(s[i].resets, 0u) << i;
    EXPECT_GT(s[i].downs, 0) << "a reset peer is reported down: side " << i;
    EXPECT_GT(s[i].received_after_reset, 0) << "the session goes on after a reset: side " << i;
    EXPECT_LT(s[i].received, kEachWay) << "some were given up: side " << i;
    EXPECT_GT(s[i].received, kEachWay / 10) << i;
  }
}

TEST_F(UdpExchangeTest, ANewCommunicationOwnerMakesTheSocketAgainInItsOwnProcess) {
  Child& a1 = Start(0, "a");
  Child& a2 = Start(0, "a");  // a second program of the same PC
  Child& b = Start(1, "b");
  ASSERT_EQ(a1.Run(kSetUp), 1);
  ASSERT_EQ(a2.Run(kInitOnly), 2) << "a1 is the server client";
  ASSERT_EQ(b.Run(kSetUp), 1);
  Side* s = exchange_->side;
  s[0].target = 20;
  s[1].target = 20;
  ASSERT_TRUE(Run(a1, b, 600000, [&] { return s[0].received == 20 && s[1].received == 20; }));
  ASSERT_EQ(a1.Run(kCloseCommunication), 1);
  // a2 drives the channel 1000 ms later, with a socket of its own.
  s[0].target = 40;
  s[1].target = 40;
  ASSERT_TRUE(Run(a2, b, 600000, [&] { return s[0].received == 40 && s[1].received == 40; }));
  EXPECT_EQ(s[0].gaps, 0);
  EXPECT_EQ(s[1].gaps, 0);
}

}  // namespace
