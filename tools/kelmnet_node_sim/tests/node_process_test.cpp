// The node simulator as a program of its own on UDP loopback (a host of
// 127.0.0.x): the variable reader, another program, reads from it, and this test plays
// the transfer program over the library to move a panel database through a
// stream both ways, with the node's faults turned on over its command input.
// Everything runs on the real clock; waits end on what the programs report,
// with generous limits for a loaded machine.

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/base/files.h"
#include "platform/base/little_endian.h"
#include "platform/tests/scoped_env.h"
#include "tools/kelmnet_node_sim/fieldbus_instance.h"
#include "tools/kelmnet_node_sim/tests/panel_image.h"
#include "tools/sim_console/tests/child_program.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

constexpr int kWaitMs = 20000;

Clock::time_point Deadline(int ms) { return Clock::now() + std::chrono::milliseconds(ms); }

// A UDP port that the loopback hosts 2, 4 and `node` can all bind.
int FreePort(std::uint32_t node) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(0x7F000002);
    socklen_t length = sizeof a;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) != 0) {
      close(fd);
      continue;
    }
    int port = ntohs(a.sin_port);
    bool free = true;
    for (std::uint32_t host : {4u, node}) {
      if (!free) break;
      int other = socket(AF_INET, SOCK_DGRAM, 0);
      sockaddr_in b = a;
      b.sin_addr.s_addr = htonl(0x7F000000 | host);
      free = bind(other, reinterpret_cast<sockaddr*>(&b), sizeof b) == 0;
      close(other);
    }
    close(fd);
    if (free) return port;
  }
  return 0;
}

using sim_console::Program;

// The PC side of a transfer, as the transfer program uses the library: one
// connection, one stream, frames sent when the library asks for them.
class TransferPc {
 public:
  static constexpr std::uint32_t kOpenUser = 1;
  static constexpr std::uint32_t kCloseUser = 2;
  static constexpr std::uint32_t kSendUser = 3;

  bool Open(int port, std::string* error) {
    me_ = this;
    kelmnet_sim::InstanceOptions options;
    options.address = "127.0.0.4";
    options.port = port;
    if (!instance_.Open(options, error)) return false;
    std::int32_t s1 = 0, s2 = 0, s3 = 0;
    VNHDisableServerEntity();
    VNHSetStreamCallBacks(Request, Received, Send, Closed, &s1);
    VNHSetAsyncActionCallBack(Done, &s2);
    VNHInitCommunication(&s3);
    return s1 == 1 && s2 == 1 && s3 == 1;
  }

  bool PollUntil(const std::function<bool()>& done, int ms = kWaitMs) {
    Clock::time_point deadline = Deadline(ms);
    while (!done()) {
      if (Clock::now() >= deadline) return false;
      VNHPollCommunication();
      poll(nullptr, 0, 1);
    }
    return true;
  }

  // Connection and stream "STREM" to the node; the stream request's result.
  std::int32_t Connect(const char* node) {
    Forget();
    VNHIdentifier channel = kelmnet_sim::Identifier("5");
    VNHIdentifier remote = kelmnet_sim::Identifier(node);
    std::int32_t status = 0;
    VNHDefineConnection(&channel, &remote, &connection_, &status);
    if (status != 1) return status;
    std::int32_t up = 0;
    if (!PollUntil([&] { return (up = VNHConnectionStatus(&connection_)) != 0; })) return 0;
    if (up != 1) return up;
    std::int32_t opened = Queue(kOpenUser, [&](VNHHandle* action, std::int32_t* st) {
      std::uint32_t user = 5555;
      VNHIdentifier name = kelmnet_sim::Identifier("STREM");
      stream_ = 123456789;
      VNHStreamRequest(&connection_, &user, &name, &stream_, action, st);
    });
    if (opened != 1) VNHReleaseConnection(&connection_, &status);
    return opened;
  }

  // One frame over the stream; the send's result.
  std::int32_t SendFrame(const Bytes& frame) {
    outgoing_ = frame;
    return Queue(kSendUser, [&](VNHHandle* action, std::int32_t* st) {
      VNHStreamSendData(&stream_, action, st);
    });
  }

  // The next frame from the node, or false when none comes in time.
  bool NextFrame(Bytes* frame, int ms = kWaitMs) {
    if (!PollUntil([&] { return !incoming_.empty() || closed_; }, ms) || incoming_.empty()) {
      return false;
    }
    *frame = incoming_.front();
    incoming_.erase(incoming_.begin());
    return true;
  }

  std::int32_t CloseStream() {
    std::int32_t result = Queue(kCloseUser, [&](VNHHandle* action, std::int32_t* st) {
      VNHStreamClose(&stream_, action, st);
    });
    std::int32_t status = 0;
    VNHReleaseConnection(&connection_, &status);
    return result;
  }

  bool closed() const { return closed_; }

 private:
  // A new stream starts with nothing received.
  void Forget() {
    closed_ = false;
    incoming_.clear();
  }

  template <class Start>
  std::int32_t Queue(std::uint32_t user, Start start) {
    results_.erase(user);
    VNHHandle action = user;
    std::int32_t status = 0;
    start(&action, &status);
    if (status != 1) return status;
    if (!PollUntil([&] { return results_.count(user) != 0; })) return 0;
    return results_[user];
  }

  static void VNH_CALL Request(const VNHIdentifier*, VNHHandle*, std::uint32_t*, std::int32_t* status) {
    *status = VNH_TIMEOUT;
  }
  static void VNH_CALL Received(std::uint32_t*, std::uint32_t* length, std::uint8_t* data,
                                std::int32_t* status) {
    me_->incoming_.emplace_back(data, data + *length);
    *status = 1;
  }
  static void VNH_CALL Send(std::uint32_t*, std::uint32_t* length, std::uint8_t* buffer,
                            std::int32_t* status) {
    std::uint32_t n = std::min<std::uint32_t>(*length, static_cast<std::uint32_t>(me_->outgoing_.size()));
    std::memcpy(buffer, me_->outgoing_.data(), n);
    *length = n;
    *status = 1;
  }
  static void VNH_CALL Closed(std::uint32_t*, std::int32_t* status) {
    me_->closed_ = true;
    *status = 1;
  }
  static void VNH_CALL Done(std::uint32_t* user, const VNHActionResult* result) {
    me_->results_[*user] = result->status;
  }

  static TransferPc* me_;
  kelmnet_sim::FieldbusInstance instance_{"node_process_test"};
  VNHHandle connection_ = 0;
  VNHHandle stream_ = 0;
  Bytes outgoing_;
  std::vector<Bytes> incoming_;
  std::map<std::uint32_t, std::int32_t> results_;
  bool closed_ = false;
};

TransferPc* TransferPc::me_ = nullptr;

class NodeProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each test has a node of its own: this process's library stays attached
    // between tests and remembers the nodes it talked to, and a node that
    // restarted at once would first have to refuse our old numbering.
    static int next_host = 10;
    host_ = next_host++;
    node_address_ = "127.0.0." + std::to_string(host_);
    port_ = FreePort(host_);
    ASSERT_NE(port_, 0);
    old_ = PanelImage(1234);
    ASSERT_TRUE(WriteWholeFile(database_, std::string(old_.begin(), old_.end())));
    node_ = std::make_unique<Program>(std::vector<std::string>{
        KELMNET_NODE_SIM, "--address", node_address_, "--port", std::to_string(port_),
        "--database", database_, "--variable", "TEMP1=1234", "--variable", "TEXT1=hello, node",
        "--variable", "REAL1=2.5", "--variable", "FLAG1=true"});
    ASSERT_EQ(node_->WaitFor("ready"), "ready node " + Node() + " address " + node_address_ +
                                           " port " + std::to_string(port_) + " channel 5");
  }
  void TearDown() override {
    if (node_ != nullptr) {
      node_->Say("quit");
      EXPECT_EQ(node_->Wait(), 0);
      EXPECT_EQ(node_->lines.back(), "bye");
    }
  }

  struct Outcome {
    int status;
    std::string out;
    std::string errors;
  };
  Outcome Read(const std::string& node, const std::string& name, const char* timeout = "10000") {
    Program reader({KELMNET_READ, "--address", "127.0.0.2", "--port", std::to_string(port_),
                    "--timeout", timeout, node, name});
    int status = reader.Wait();
    std::string out = reader.lines.empty() ? "" : reader.lines[0];
    EXPECT_LE(reader.lines.size(), 1u) << "the value alone on standard output";
    return {status, out, reader.Errors()};
  }
  std::string Database() {
    std::string contents;
    return ReadWholeFile(database_, contents) ? contents : "(missing)";
  }

  std::string Node() const { return std::to_string(host_); }

  TempFolder folder_;
  std::string database_ = folder_.Path() + "/PANEL.DTB";
  int host_ = 0;
  std::string node_address_;
  int port_ = 0;
  Bytes old_;
  std::unique_ptr<Program> node_;
};

TEST_F(NodeProcessTest, AReaderInAnotherProcessGetsTheNodesVariables) {
  struct Case {
    const char* name;
    const char* shown;
  } cases[] = {
      {"TEMP1", "TEMP1 = 1234"},
      {"TEXT1", "TEXT1 = \"hello, node\""},
      {"REAL1", "REAL1 = 2.5"},
      {"FLAG1", "FLAG1 = true"},
  };
  // One reader after the other from the same address: each is a new start
  // of the library there, which the node must hear at once.
  for (const Case& c : cases) {
    Outcome o = Read(Node(), c.name);
    EXPECT_EQ(o.status, 0) << c.name << ": " << o.errors;
    EXPECT_EQ(o.out, c.shown);
  }
  node_->Say("set TEMP1 -5");
  EXPECT_EQ(Read(node_address_, "TEMP1").out, "TEMP1 = -5");

  Outcome unknown = Read(Node(), "NOPE1");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.errors.find("refused to give \"NOPE1\""), std::string::npos) << unknown.errors;
  EXPECT_NE(node_->WaitFor("read NOPE1"), "");

  // A name too long for an identifier is refused, not cut to another name.
  const std::string too_long = "TEMP1" + std::string(28, 'X');
  Outcome long_name = Read(Node(), too_long);
  EXPECT_EQ(long_name.status, 2);
  EXPECT_NE(long_name.errors.find("is not 1 to 32 characters long"), std::string::npos)
      << long_name.errors;

  // Without --address the reader takes a loopback address of its own beside the node.
  Program own({KELMNET_READ, "--port", std::to_string(port_), Node(), "TEMP1"});
  EXPECT_EQ(own.Wait(), 0) << own.Errors();
  EXPECT_EQ(own.lines, std::vector<std::string>{"TEMP1 = -5"});

  Outcome nobody = Read("9", "TEMP1", "1500");  // nothing at 127.0.0.9
  EXPECT_EQ(nobody.status, 1);
  EXPECT_NE(nobody.errors.find("node 9 does not answer"), std::string::npos) << nobody.errors;
}

// The transfer program's frames: a download {2, 1} and blocks of up to 250
// bytes, each answered; an upload {3, 1}, the size, then a block for each {3, 'B'}.
TEST_F(NodeProcessTest, ADatabaseGoesDownToTheNodeAndComesBackUp) {
  TransferPc pc;
  std::string error;
  ASSERT_TRUE(pc.Open(port_, &error)) << error;
  Bytes image = PanelImage(2345);

  ASSERT_EQ(pc.Connect(Node().c_str()), 1);
  EXPECT_NE(node_->WaitFor("open STREM"), "");
  Bytes answer;
  ASSERT_EQ(pc.SendFrame({2, 1}), 1);
  ASSERT_TRUE(pc.NextFrame(&answer));
  for (std::size_t at = 0; at < image.size(); at += 250) {
    std::size_t n = std::min<std::size_t>(250, image.size() - at);
    ASSERT_EQ(pc.SendFrame(Bytes(image.begin() + at, image.begin() + at + n)), 1) << at;
    ASSERT_TRUE(pc.NextFrame(&answer)) << at;
  }
  EXPECT_EQ(pc.CloseStream(), 1);
  EXPECT_EQ(node_->WaitFor("download complete"), "download complete 2345 bytes");
  EXPECT_EQ(Database(), std::string(image.begin(), image.end()));

  ASSERT_EQ(pc.Connect(Node().c_str()), 1);
  ASSERT_EQ(pc.SendFrame({3, 1}), 1);
  Bytes size;
  ASSERT_TRUE(pc.NextFrame(&size));
  ASSERT_EQ(size.size(), 4u);
  ASSERT_EQ(GetLe32(size.data()), image.size());
  Bytes uploaded;
  while (uploaded.size() < image.size()) {
    ASSERT_EQ(pc.SendFrame({3, 'B'}), 1);
    Bytes block;
    ASSERT_TRUE(pc.NextFrame(&block)) << uploaded.size();
    uploaded.insert(uploaded.end(), block.begin(), block.end());
  }
  ASSERT_EQ(pc.SendFrame({3, 'B'}), 1);
  EXPECT_EQ(pc.CloseStream(), 1);
  EXPECT_EQ(uploaded, image);
  EXPECT_EQ(node_->WaitFor("upload complete"), "upload complete 2345 bytes");
}

TEST_F(NodeProcessTest, FaultsAndScriptedAnswersOverTheCommandInput) {
  TransferPc pc;
  std::string error;
  ASSERT_TRUE(pc.Open(port_, &error)) << error;

  node_->Say("fault refuse-streams");
  EXPECT_NE(pc.Connect(Node().c_str()), 1);
  EXPECT_EQ(node_->WaitFor("refused"), "refused STREM");

  // The node closes the stream at the third frame: the download is broken
  // off on the PC's side and the node keeps the database it had.
  node_->Say("fault none");
  node_->Say("fault close-after 3");
  ASSERT_EQ(pc.Connect(Node().c_str()), 1);
  Bytes answer;
  Bytes image = PanelImage(2000);
  ASSERT_EQ(pc.SendFrame({2, 1}), 1);
  ASSERT_TRUE(pc.NextFrame(&answer));
  ASSERT_EQ(pc.SendFrame(Bytes(image.begin(), image.begin() + 250)), 1);
  ASSERT_TRUE(pc.NextFrame(&answer));
  pc.SendFrame(Bytes(image.begin() + 250, image.begin() + 500));
  EXPECT_TRUE(pc.PollUntil([&] { return pc.closed(); }));
  EXPECT_EQ(node_->WaitFor("download incomplete"), "download incomplete 250 bytes; the database is kept");
  EXPECT_EQ(Database(), std::string(old_.begin(), old_.end()));

  // In manual mode the frames are only reported, and the script answers.
  node_->Say("fault none");
  node_->Say("manual");
  ASSERT_EQ(pc.Connect(Node().c_str()), 1);
  ASSERT_EQ(pc.SendFrame({0x09, 0xA0}), 1);
  EXPECT_EQ(node_->WaitFor("frame"), "frame 2 09 a0");
  node_->Say("send 01 fe 7");
  ASSERT_TRUE(pc.NextFrame(&answer));
  EXPECT_EQ(answer, (Bytes{0x01, 0xFE, 0x07}));
  node_->Say("close");
  EXPECT_TRUE(pc.PollUntil([&] { return pc.closed(); }));

  // Commands it cannot take are reported and change nothing.
  node_->Say("fault sometimes");
  EXPECT_EQ(node_->WaitFor("error"), "error no fault \"sometimes\"");
  node_->Say("set TOOLONGNAME 1");
  EXPECT_EQ(node_->WaitFor("error"), "error \"TOOLONGNAME\" is not a variable name");
  node_->Say("send 2 zz");
  EXPECT_EQ(node_->WaitFor("error"), "error \"zz\" is not a hexadecimal byte");
}

}  // namespace
