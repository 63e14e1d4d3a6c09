// Two library instances, each in a process of its own with a segment of its
// own, talk through two cards of the card-and-bus simulator, which runs as a
// program of its own; the test steers its faults over its control socket.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_channel.h"
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
using vnh_test::Scratch;
using Bytes = std::vector<std::uint8_t>;

// The card-and-bus simulator, started for the test and ended with it.
class Simulator {
 public:
  Simulator() {
    char folder[] = "/tmp/vnhcards.XXXXXX";
    if (mkdtemp(folder) == nullptr) return;
    folder_ = folder;
    int in[2];
    int out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      close(in[1]);
      close(out[0]);
      execl(KELMNET_CARD_SIM, KELMNET_CARD_SIM, folder_.c_str(), "2", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    stdin_ = in[1];
    char ready[6] = {};
    pollfd pfd{out[0], POLLIN, 0};
    ready_ = poll(&pfd, 1, 10000) == 1 && read(out[0], ready, 6) == 6 &&
             std::string(ready, 6) == "ready\n";
    close(out[0]);
  }
  ~Simulator() {
    if (control_ >= 0) close(control_);
    if (stdin_ >= 0) close(stdin_);  // its end of input ends it
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    for (const char* name : {"/kelmnet1", "/kelmnet2", "/control"}) unlink((folder_ + name).c_str());
    rmdir(folder_.c_str());
  }
  bool ready() const { return ready_; }
  std::string DevicePrefix() const { return folder_ + "/kelmnet"; }

  std::string Control(const std::string& line) {
    if (control_ < 0) {
      sockaddr_un a{};
      a.sun_family = AF_UNIX;
      std::strcpy(a.sun_path, (folder_ + "/control").c_str());
      control_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      if (connect(control_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return "no control";
    }
    std::string request = line + "\n";
    if (write(control_, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
      return "no control";
    }
    std::string answer;
    char c = 0;
    while (read(control_, &c, 1) == 1 && c != '\n') answer += c;
    return answer;
  }
  // A number from the card's stats line, by its name.
  long Stat(int card, const std::string& name) {
    std::istringstream in(Control("stats " + std::to_string(card)));
    std::string word;
    while (in >> word) {
      long value = 0;
      if (word == name && in >> value) return value;
    }
    return -1;
  }

 private:
  std::string folder_;
  pid_t pid_ = -1;
  int stdin_ = -1;
  int control_ = -1;
  bool ready_ = false;
};

struct Shared {
  std::uint32_t size = 0;
  std::uint8_t seed = 0;
  int received[2] = {};
  int matched[2] = {};
};

Shared* g_shared = nullptr;
int g_me = 0;  // 0: node 2 on card 1; 1: node 3 on card 2

Bytes Message(std::uint32_t length, std::uint8_t seed) {
  Bytes m(length);
  for (std::uint32_t i = 0; i < length; ++i) m[i] = static_cast<std::uint8_t>(i * 13 + seed);
  m[0] = 30;
  return m;
}

// Counts the test's messages (function code 30); identity announcements and
// the like pass by.
void Check(std::uint32_t buffer) {
  const vnh::MessageBuffer* b = vnh::Buffer(buffer);
  if (b->length == 0 || b->message[0] != 30) return;
  ++g_shared->received[g_me];
  if (Bytes(b->message, b->message + b->length) == Message(g_shared->size, g_shared->seed)) {
    ++g_shared->matched[g_me];
  }
}

std::uint32_t TheChannel() { return vnh::SharedHeap().First(vnh::Shared().channel_list); }

enum Command : std::int32_t { kSetUp = 1, kJoin, kPoll, kState, kSend, kCloseCommunication };

std::int32_t Step(std::int32_t command) {
  std::int32_t status = 0;
  switch (command) {
    case kSetUp:
    case kJoin: {
      if (InitVarnholtnet() != 1) return -1;
      std::string card = std::to_string(g_me + 1);
      if (!vnh_test::SetBoolSetting(("EnableKelmnet" + card).c_str(), true) ||
          !vnh_test::SetIntSetting(("Kelmnet" + card + "NodeAddress").c_str(), 2 + g_me)) {
        return -3;
      }
      vnh::SetMessageHandler(Check);
      VNHInitCommunication(&status);
      return status;
    }
    case kPoll:
      for (int i = 0; i < 20; ++i) VNHPollCommunication();
      return 1;
    case kState: {
      vnh::MutexLock lock;
      std::uint32_t c = TheChannel();
      return c == 0 ? -1 : static_cast<std::int32_t>(vnh::Link(c)->common.state * 10 + vnh::Link(c)->alone);
    }
    case kSend: {
      std::uint32_t element = 0;
      {
        vnh::MutexLock lock;
        element = vnh::NodeElement(TheChannel(), 3 - g_me);
      }
      return vnh_test::SendTestMessage(element, Message(g_shared->size, g_shared->seed)) ? 1 : 0;
    }
    case kCloseCommunication:
      return VNHCloseCommunication();
    default:
      return -12345;
  }
}

class CardExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(simulator_.ready());
    // The instances run on the library's defaults and what the test assigns.
    setenv(vnh::kSettingsDirectoryEnvironment, "/nonexistent", 1);
    clock_.Install();
    g_shared = &*shared_;
  }
  void TearDown() override {
    children_.clear();
    unsetenv(vnh::kSettingsDirectoryEnvironment);
    for (const std::string& name : segments_) vnh::Segment::Remove(name);
  }

  Child& Start(int me, const std::string& instance) {
    std::string segment = "/vnhcard." + std::to_string(getpid()) + "." + instance;
    vnh::Segment::Remove(segment);
    segments_.push_back(segment);
    setenv(vnh::kSegmentEnvironment, segment.c_str(), 1);
    setenv(vnh::kCardDeviceEnvironment, simulator_.DevicePrefix().c_str(), 1);
    g_me = me;
    children_.push_back(std::make_unique<Child>(Step));
    unsetenv(vnh::kSegmentEnvironment);
    unsetenv(vnh::kCardDeviceEnvironment);
    return *children_.back();
  }
  void PollBoth(Child& a, Child& b) {
    a.Send(kPoll);
    b.Send(kPoll);
    a.Wait();
    b.Wait();
    clock_.Advance(10);
  }
  // Both channels up and each side seeing the other.
  bool Settle(Child& a, Child& b) {
    for (int i = 0; i < 400; ++i) {
      if (a.Run(kState) == 20 && b.Run(kState) == 20) return true;
      PollBoth(a, b);
    }
    return false;
  }

  Simulator simulator_;
  vnh_test::VirtualClock clock_;
  Scratch<Shared> shared_;
  std::vector<std::string> segments_;
  std::vector<std::unique_ptr<Child>> children_;
};

TEST_F(CardExchangeTest, MessagesOf31To1024BytesTakeTheirFramesAndAreReassembledAtTheOtherCard) {
  Child& a = Start(0, "a");
  Child& b = Start(1, "b");
  ASSERT_EQ(a.Run(kSetUp), 1);
  ASSERT_EQ(b.Run(kSetUp), 1);
  ASSERT_TRUE(Settle(a, b));
  struct Case {
    std::uint32_t length;
    long frames;
  } cases[] = {{31, 1}, {32, 2}, {62, 3}, {1024, 35}};
  for (const Case& c : cases) {
    shared_->size = c.length;
    shared_->seed = static_cast<std::uint8_t>(c.length);
    long before = simulator_.Stat(1, "put");
    int received = shared_->received[1];
    int matched = shared_->matched[1];
    ASSERT_EQ(a.Run(kSend), 1);
    for (int i = 0; i < 5; ++i) PollBoth(a, b);
    EXPECT_EQ(simulator_.Stat(1, "put") - before, c.frames) << c.length;
    EXPECT_EQ(shared_->received[1], received + 1) << c.length;
    EXPECT_EQ(shared_->matched[1], matched + 1) << c.length;
  }
  // And the other way, with the bus busy now and then.
  EXPECT_EQ(simulator_.Control("busy 2 3"), "ok");
  shared_->size = 700;
  ASSERT_EQ(b.Run(kSend), 1);
  for (int i = 0; i < 5; ++i) PollBoth(a, b);
  EXPECT_EQ(shared_->matched[0], 1);
  EXPECT_EQ(simulator_.Stat(2, "busy"), 3);
}

TEST_F(CardExchangeTest, ANewCommunicationOwnerOpensTheCardAgainInItsOwnProcess) {
  Child& a1 = Start(0, "a");
  Child& b = Start(1, "b");
  ASSERT_EQ(a1.Run(kSetUp), 1);
  ASSERT_EQ(b.Run(kSetUp), 1);
  ASSERT_TRUE(Settle(a1, b));
  setenv(vnh::kSegmentEnvironment, segments_[0].c_str(), 1);
  setenv(vnh::kCardDeviceEnvironment, simulator_.DevicePrefix().c_str(), 1);
  g_me = 0;
  children_.push_back(std::make_unique<Child>(Step));
  unsetenv(vnh::kSegmentEnvironment);
  unsetenv(vnh::kCardDeviceEnvironment);
  Child& a2 = *children_.back();
  ASSERT_EQ(a2.Run(kJoin), 2) << "a1 is the server client";
  ASSERT_EQ(a1.Run(kCloseCommunication), 1);
  clock_.Advance(1000);
  PollBoth(a2, b);
  shared_->size = 100;
  shared_->seed = 7;
  ASSERT_EQ(b.Run(kSend), 1);
  for (int i = 0; i < 5; ++i) PollBoth(a2, b);
  EXPECT_EQ(shared_->matched[0], 1) << "a2 drives card 1 now";
  ASSERT_EQ(a2.Run(kSend), 1);
  for (int i = 0; i < 5; ++i) PollBoth(a2, b);
  EXPECT_EQ(shared_->matched[1], 1);
}

}  // namespace
