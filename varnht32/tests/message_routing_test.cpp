// Which client receives an incoming message: two processes of one library
// instance on the simulated channel, where every message sent comes back as
// if its destination had sent it. Process A owns communication; B is the
// server client.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/node_data.h"
#include "varnht32/tests/link_support.h"
#include "varnht32/tests/test_support.h"

namespace {

using vnh_test::Child;
using vnh_test::Scratch;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kStreamOfB = 5;
constexpr std::uint32_t kNodeWithActionOfB = 9;

struct Log {
  std::uint32_t client[2] = {};
  std::atomic<int> got[2][32] = {};  // by function code, per process
  std::uint32_t origin_node = 0;
  Bytes message;
  int index = 0;
};
Log* g_log = nullptr;
int g_me = 0;

void Record(std::uint32_t buffer) {
  const vnh::MessageBuffer* b = vnh::Buffer(buffer);
  ++g_log->got[g_me][b->message[0] & 0x1F];
  VNHIdentifier channel{};
  VNHIdentifier node{};
  if (VNHGetCurrentOrigin(&channel, &node) == 1 && std::string(channel.text, channel.length) == "1") {
    g_log->origin_node = static_cast<std::uint32_t>(std::stoul(std::string(node.text, node.length)));
  }
}

std::uint32_t StreamOwner(std::uint8_t stream) { return stream == kStreamOfB ? g_log->client[1] : 0; }
std::uint32_t ActionOwner(std::uint32_t element) {
  return vnh::Node(element)->address == kNodeWithActionOfB ? g_log->client[1] : 0;
}
const vnh::MessageOwnerLookup kLookup = {StreamOwner, ActionOwner};

// The messages of the table below: bytes and destination node.
struct Case {
  const char* what;
  Bytes message;
  std::uint32_t node;
  int receiver;  // 0 A, 1 B, -1 nobody
};
const Case kCases[] = {
    {"connect request: the communication owner", {0, 0}, 4, 0},
    {"name request: the server client", {2, 'N', 'A', 'M', 'E', 'S'}, 4, 1},
    {"write request: the server client", {8, 3, 0, 0, 1, 0}, 4, 1},
    {"Tovra message: the server client", {28, 1, 2}, 4, 1},
    {"stream open request: the server client", {22, 0, 1, 255, 'S', 'T', 'R', 'E', 'M'}, 4, 1},
    {"stream data: the stream's owner", {22, 2, kStreamOfB, 1, 7}, 4, 1},
    {"stream error: the owner of the stream it names", {22, 7, 2, kStreamOfB, 17}, 4, 1},
    {"stream data of no stream: the polling client", {22, 2, 6, 1, 7}, 4, 0},
    {"read answer: the owner of the action in progress", {11, 3, 0, 0, 1, 0}, kNodeWithActionOfB, 1},
    {"read answer, no action: the polling client", {11, 3, 0, 0, 1, 0}, 4, 0},
};

enum Command : std::int32_t { kInit = 1, kDisableServer, kInitComm, kPoll, kSend, kClose, kFreeReceive };

std::int32_t Step(std::int32_t command) {
  std::int32_t status = 0;
  switch (command) {
    case kInit:
      if (InitVarnholtnet() != 1) return -1;
      if (!vnh_test::SetBoolSetting("VarnholtnetSimulate3", true)) return -3;
      g_log->client[g_me] = vnh::CurrentClient();
      vnh::SetMessageHandler(Record);
      vnh::SetMessageOwnerLookup(&kLookup);
      return 1;
    case kDisableServer: return VNHDisableServerEntity();
    case kInitComm: VNHInitCommunication(&status); return status;
    case kPoll: return VNHPollCommunication();
    case kSend: {
      const Case& c = kCases[g_log->index];
      std::uint32_t element = 0;
      {
        vnh::MutexLock lock;
        element = vnh::NodeElement(vnh::SharedHeap().First(vnh::Shared().channel_list), c.node);
      }
      return vnh_test::SendTestMessage(element, c.message) ? 1 : 0;
    }
    case kClose: return CloseVarnholtnet();
    case kFreeReceive: {
      vnh::MutexLock lock;
      return vnh::FreeReceiveBuffers();
    }
    default: return -12345;
  }
}

class MessageRoutingTest : public vnh_test::SegmentTest {
 protected:
  void SetUp() override {
    SegmentTest::SetUp();
    g_log = &*log_;
  }
  Child& Make(int me) {
    g_me = me;
    children_.push_back(std::make_unique<Child>(Step));
    return *children_.back();
  }
  void TearDown() override {
    children_.clear();
    SegmentTest::TearDown();
  }
  // A owns communication and offers no server entity; B becomes the server client.
  std::pair<Child*, Child*> StartBoth() {
    Child& a = Make(0);
    Child& b = Make(1);
    bool ok = a.Run(kInit) == 1 && b.Run(kInit) == 1 && a.Run(kDisableServer) == 1 &&
              a.Run(kInitComm) == 1 && b.Run(kInitComm) == 1;
    if (!ok) return {nullptr, nullptr};
    return {&a, &b};
  }
  Scratch<Log> log_;
  std::vector<std::unique_ptr<Child>> children_;
};

TEST_F(MessageRoutingTest, EachMessageReachesTheClientItsFunctionCodeNames) {
  auto [a, b] = StartBoth();
  ASSERT_NE(a, nullptr);
  for (int i = 0; i < static_cast<int>(std::size(kCases)); ++i) {
    const Case& c = kCases[i];
    log_->index = i;
    int code = c.message[0] & 0x1F;
    int before[2] = {log_->got[0][code], log_->got[1][code]};
    ASSERT_EQ(a->Run(kSend), 1) << c.what;
    a->Run(kPoll);  // the owner's poll moves the message and dispatches its own
    b->Run(kPoll);
    EXPECT_EQ(log_->got[0][code] - before[0], c.receiver == 0 ? 1 : 0) << c.what;
    EXPECT_EQ(log_->got[1][code] - before[1], c.receiver == 1 ? 1 : 0) << c.what;
    EXPECT_EQ(log_->origin_node, c.node) << "comes back from where it went: " << c.what;
    log_->origin_node = 0;
  }
  EXPECT_EQ(a->Run(kFreeReceive), vnh::kReceiveBuffers);
  VNHIdentifier channel{};
  VNHIdentifier node{};
  EXPECT_EQ(VNHGetCurrentOrigin(&channel, &node), 0) << "no message is being dispatched";
}

TEST_F(MessageRoutingTest, MessagesOfAClientThatGoesAwayGiveTheirBuffersBack) {
  auto [a, b] = StartBoth();
  ASSERT_NE(a, nullptr);
  log_->index = 1;  // name requests, for B
  for (int i = 0; i < 5; ++i) ASSERT_EQ(a->Run(kSend), 1);
  a->Run(kPoll);
  EXPECT_EQ(a->Run(kFreeReceive), vnh::kReceiveBuffers - 5) << "five wait in B's queue";
  ASSERT_EQ(b->Run(kClose), 1);
  EXPECT_EQ(a->Run(kFreeReceive), vnh::kReceiveBuffers);
  // Without a server client a server request is not kept either.
  ASSERT_EQ(a->Run(kSend), 1);
  a->Run(kPoll);
  EXPECT_EQ(a->Run(kFreeReceive), vnh::kReceiveBuffers);
  EXPECT_EQ(log_->got[1][2], 0);
}

}  // namespace
