// The panel simulator as a program of its own: this test plays the PC on
// the pseudo-terminal it makes, writing requests and frames and reading the
// answers, and gives it commands on its standard input. Everything runs on
// the real clock; waits end on what arrives, with generous limits.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/files.h"
#include "platform/tests/scoped_env.h"
#include "tools/qs_panel_sim/serial_panel.h"
#include "tools/sim_console/tests/child_program.h"

namespace {

using qs_panel_sim::Bytes;
using sim_console::Program;
using Clock = std::chrono::steady_clock;

constexpr int kWaitMs = 20000;

Bytes Pattern(std::size_t size, int seed = 1) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + seed + i / 253);
  return bytes;
}

Bytes Frame(const Bytes& data) {
  Bytes frame{0x10, static_cast<std::uint8_t>(data.size())};
  std::uint8_t x = 0;
  for (std::uint8_t b : data) x ^= b;
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(x);
  return frame;
}

class PanelProcessTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (line_ >= 0) close(line_);
  }

  // Starts the simulator with a store and a link and opens its line as the
  // PC does: raw bytes, 19200 8N1.
  void Start(std::vector<std::string> options) {
    std::vector<std::string> argv{QS_PANEL_SIM, "--store", folder_.Path(), "--link", link_};
    argv.insert(argv.end(), options.begin(), options.end());
    panel_ = std::make_unique<Program>(argv);
    std::string ready = panel_->WaitFor("ready ");
    ASSERT_EQ(ready.rfind("ready /dev/pts/", 0), 0u) << ready << panel_->Errors();
    EXPECT_EQ(ready.substr(ready.size() - link_.size() - 6), " link " + link_);
    line_ = open(link_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(line_, 0);
    termios t{};
    ASSERT_EQ(tcgetattr(line_, &t), 0);
    cfmakeraw(&t);
    cfsetspeed(&t, B19200);
    ASSERT_EQ(tcsetattr(line_, TCSANOW, &t), 0);
  }

  void Send(const Bytes& bytes) {
    ASSERT_EQ(write(line_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // Reads exactly `count` bytes, or what came before the limit.
  Bytes Receive(std::size_t count, int ms = kWaitMs) {
    Bytes got;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (got.size() < count) {
      int left = static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
      pollfd p{line_, POLLIN, 0};
      if (left <= 0 || poll(&p, 1, left) <= 0) break;
      std::uint8_t buffer[512];
      ssize_t n = read(line_, buffer, std::min(sizeof buffer, count - got.size()));
      if (n > 0) got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }
  Bytes Exchange(const Bytes& request, std::size_t answer) {
    Send(request);
    return Receive(answer);
  }

  void Download(int kind, const Bytes& file) {
    std::uint8_t k = static_cast<std::uint8_t>(kind);
    ASSERT_EQ(Exchange({0x10, k}, 2), (Bytes{0x10, k}));
    for (std::size_t at = 0; at < file.size(); at += 250) {
      Bytes block(file.begin() + at, file.begin() + std::min(file.size(), at + 250));
      ASSERT_EQ(Exchange(Frame(block), 2), (Bytes{k, 'B'})) << "block at " << at;
    }
    Send({0x10, 0x00, 0x00});
  }

  // Runs an upload as the PC does and gives the blocks' data.
  Bytes Upload(std::size_t size_reply) {
    Send({0x10, 0x03});
    Bytes size = Receive(size_reply);
    EXPECT_EQ(size.size(), size_reply);
    Bytes data;
    while (true) {
      Bytes header = Receive(2);
      if (header.size() != 2 || header[1] == 0) break;
      Bytes rest = Receive(header[1] + 1u);
      if (rest.size() != header[1] + 1u) break;
      data.insert(data.end(), rest.begin(), rest.end() - 1);
      Send({0x03, 0x42});
    }
    return data;
  }

  std::string Stored(const std::string& name) {
    std::string contents;
    return ReadWholeFile(folder_.Path() + "/" + name, contents) ? contents : "(none)";
  }

  TempFolder folder_;
  TempFolder links_;
  std::string link_ = links_.Path() + "/com1";
  std::unique_ptr<Program> panel_;
  int line_ = -1;
};

TEST_F(PanelProcessTest, APanelOnItsLineChecksTakesAndGivesBackADatabase) {
  Start({"--no-pacing", "--type", "26", "--version", "V2.1.0", "--hardware", "3"});
  EXPECT_EQ(Exchange({0x10, 0x08}, 3), (Bytes{0x10, 0x08, 0x03}));
  EXPECT_EQ(Exchange({0x10, 0x05}, 3), (Bytes{0x10, 0x05, 26}));
  EXPECT_EQ(Exchange({0x10, 0x06}, 9), (Bytes{0x10, 0x06, 6, 'V', '2', '.', '1', '.', '0'}));

  Bytes database = Pattern(70000);
  Download(2, database);
  EXPECT_EQ(panel_->WaitFor("stored "), "stored database.dtb 70000 bytes");
  EXPECT_EQ(Stored("database.dtb"), std::string(database.begin(), database.end()));

  // Type 26 announces its size in six bytes; the blocks bring the file back.
  EXPECT_EQ(Upload(6), database);
  EXPECT_EQ(panel_->WaitFor("upload complete"), "upload complete 70000 bytes");

  EXPECT_EQ(Exchange({'G', 'X', 'F', 'E', 'R'}, 5), (Bytes{'A', 'X', 'F', 'E', 'R'}));
  Send({'E', 'F', 'N'});
  EXPECT_EQ(panel_->WaitFor("erased"), "erased");
  EXPECT_EQ(Stored("database.dtb"), "(none)");

  panel_->Say("quit");
  EXPECT_EQ(panel_->Wait(), 0);
  EXPECT_EQ(panel_->lines.back(), "bye");
  struct stat st {};
  EXPECT_NE(lstat(link_.c_str(), &st), 0) << "the link is removed at the end";
}

TEST_F(PanelProcessTest, FaultsAndSettingsComeFromTheCommandLineAndStandardInput) {
  Start({"--no-pacing", "--fault", "refuse 2", "--no-system-software"});
  EXPECT_EQ(Exchange({0x10, 0x08}, 3), (Bytes{0x10, 0x08, 0x80}));

  Bytes first = Pattern(250, 1), second = Pattern(100, 2);
  ASSERT_EQ(Exchange({0x10, 0x01}, 2), (Bytes{0x10, 0x01}));
  EXPECT_EQ(Exchange(Frame(first), 2), (Bytes{0x01, 'B'}));
  EXPECT_EQ(Exchange(Frame(second), 2), (Bytes{0x01, 'A'}));
  EXPECT_EQ(Exchange(Frame(second), 2), (Bytes{0x01, 'B'}));
  Send({0x10, 0x00, 0x00});
  EXPECT_EQ(panel_->WaitFor("stored "), "stored protocol1.bin 350 bytes");
  Bytes both = first;
  both.insert(both.end(), second.begin(), second.end());
  EXPECT_EQ(Stored("protocol1.bin"), std::string(both.begin(), both.end()));

  panel_->Say("set type 19");
  panel_->Say("fault corrupt out 2 3");
  panel_->Say("fault jump");
  EXPECT_EQ(panel_->WaitFor("error "), "error no fault \"jump\"");
  EXPECT_EQ(Exchange({0x10, 0x05}, 3), (Bytes{0x10, 0x05, 19}));
  EXPECT_EQ(Exchange({0x10, 0x05}, 3), (Bytes{0x10, 0x05, 0xEC}));

  // Manual mode: bytes are reported, and bytes are sent as told.
  panel_->Say("manual");
  panel_->Say("send 41 58 46");
  EXPECT_EQ(Receive(3), (Bytes{0x41, 0x58, 0x46}));
  Send({0x10, 0x05});
  EXPECT_EQ(panel_->WaitFor("received "), "received 10 05");
  panel_->Say("auto");
  EXPECT_EQ(Exchange({0x10, 0x05}, 3), (Bytes{0x10, 0x05, 19}));

  // A partial request dropped after a pause: the rest alone means nothing.
  Send({'G', 'X', 'F'});
  EXPECT_EQ(panel_->WaitFor("dropped "), "dropped 47 58 46 after a pause");
  Send({'E', 'R'});
  EXPECT_EQ(Exchange({'G', 'X', 'F', 'E', 'R'}, 5), (Bytes{'A', 'X', 'F', 'E', 'R'}));

  panel_->Signal(SIGTERM);
  EXPECT_EQ(panel_->Wait(), 0);
}

// Paced, the line carries no more than 1920 bytes a second. Only a lower
// bound on the time is checked: a loaded machine can be slower, never faster.
TEST_F(PanelProcessTest, APacedUploadTakesTheLinesTime) {
  Bytes database = Pattern(1200, 7);
  ASSERT_TRUE(WriteWholeFile(folder_.Path() + "/database.dtb",
                             std::string(database.begin(), database.end())));
  Start({"--type", "9"});
  Clock::time_point start = Clock::now();
  EXPECT_EQ(Upload(4), database);
  Clock::duration took = Clock::now() - start;
  // What went both ways: the request, the size, five blocks with their
  // headers and checks, five replies, the end block.
  std::size_t line_bytes = 2 + 4 + (1200 + 5 * 3) + 5 * 2 + 2;
  EXPECT_GE(took, line_bytes * qs_panel_sim::kByteTime);
}

TEST_F(PanelProcessTest, WrongOptionsStopTheProgramWithItsUsage) {
  const std::vector<std::vector<std::string>> cases = {
      {"--type", "300"}, {"--fault", "explode"}, {"--store", "/no/such/folder"}, {"--bogus"},
      {"--version"},
  };
  for (const auto& options : cases) {
    std::vector<std::string> argv{QS_PANEL_SIM};
    argv.insert(argv.end(), options.begin(), options.end());
    Program program(argv);
    EXPECT_EQ(program.Wait(), 2) << options[0];
    EXPECT_NE(program.Errors().find("usage: qs_panel_sim"), std::string::npos) << options[0];
  }
}

}  // namespace
