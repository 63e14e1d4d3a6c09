// The panel's side of the transfer program's stream frames, without the
// fieldbus: frames in, answers and the database file out.

#include "tools/kelmnet_node_sim/panel_node.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/files.h"
#include "platform/base/little_endian.h"
#include "platform/tests/scoped_env.h"
#include "tools/kelmnet_node_sim/fieldbus_instance.h"
#include "tools/kelmnet_node_sim/tests/panel_image.h"

namespace {

using kelmnet_sim::Frame;
using kelmnet_sim::PanelAnswer;
using kelmnet_sim::PanelNode;

const Frame kDownloadRequest{2, 1};
const Frame kDownloadAck{2, 'B'};
const Frame kUploadAck{3, 'B'};

class PanelNodeTest : public ::testing::Test {
 protected:
  void SetUp() override { panel_.Opened(); }

  PanelAnswer Send(const Frame& frame) { return panel_.Receive(frame.data(), frame.size()); }

  void StoreDatabase(const std::vector<std::uint8_t>& bytes) {
    ASSERT_TRUE(WriteWholeFile(database_, std::string(bytes.begin(), bytes.end())));
  }
  std::string Database() {
    std::string contents;
    return ReadWholeFile(database_, contents) ? contents : "(missing)";
  }
  bool Reported(const std::string& text) {
    for (const std::string& e : events_) {
      if (e.find(text) != std::string::npos) return true;
    }
    return false;
  }

  // Runs a download of `bytes` to the end of its blocks; the stream stays open.
  void Download(const std::vector<std::uint8_t>& bytes) {
    PanelAnswer a = Send(kDownloadRequest);
    ASSERT_EQ(a.frames, std::vector<Frame>{kDownloadAck});
    for (std::size_t at = 0; at < bytes.size(); at += PanelNode::kBlock) {
      std::size_t n = std::min(PanelNode::kBlock, bytes.size() - at);
      a = panel_.Receive(bytes.data() + at, n);
      ASSERT_EQ(a.frames, std::vector<Frame>{kDownloadAck}) << "block at " << at;
    }
  }

  // Runs an upload to its end and gives the bytes that came with the size announced.
  std::vector<std::uint8_t> Upload(std::uint32_t* announced) {
    PanelAnswer a = Send({3, 1});
    EXPECT_EQ(a.frames.size(), 1u);
    if (a.frames.size() != 1 || a.frames[0].size() != 4) return {};
    *announced = GetLe32(a.frames[0].data());
    std::vector<std::uint8_t> got;
    for (int guard = 0; guard < 100000; ++guard) {
      a = Send(kUploadAck);
      if (a.frames.empty()) break;
      EXPECT_LE(a.frames[0].size(), PanelNode::kBlock);
      got.insert(got.end(), a.frames[0].begin(), a.frames[0].end());
    }
    return got;
  }

  TempFolder folder_;
  std::string database_ = folder_.Path() + "/panel.dtb";
  std::vector<std::string> events_;
  PanelNode panel_{"", [this](const std::string& e) { events_.push_back(e); }};
};

TEST_F(PanelNodeTest, AWholeDownloadReplacesTheDatabaseAndAnUploadGivesItBack) {
  panel_ = PanelNode(database_, [this](const std::string& e) { events_.push_back(e); });
  StoreDatabase(PanelImage(300));
  for (std::size_t size : {128u, 250u, 251u, 4001u}) {
    std::vector<std::uint8_t> image = PanelImage(size);
    panel_.Opened();
    Download(image);
    panel_.Closed();
    EXPECT_EQ(Database(), std::string(image.begin(), image.end())) << size;
    EXPECT_TRUE(Reported("download complete " + std::to_string(size) + " bytes"));

    panel_.Opened();
    std::uint32_t announced = 0;
    EXPECT_EQ(Upload(&announced), image) << size;
    EXPECT_EQ(announced, size);
    EXPECT_TRUE(Reported("upload complete " + std::to_string(size) + " bytes"));
  }
  EXPECT_FALSE(FileExists(database_ + ".new"));
}

TEST_F(PanelNodeTest, ABrokenOrForeignDownloadKeepsTheDatabase) {
  panel_ = PanelNode(database_, [this](const std::string& e) { events_.push_back(e); });
  std::vector<std::uint8_t> old = PanelImage(700);
  std::vector<std::uint8_t> image = PanelImage(1000);
  std::vector<std::uint8_t> unmarked = image;
  unmarked[8] = 0;
  std::vector<std::uint8_t> longer = image;
  longer.push_back(0);
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"nothing after the request", {}},
      {"cut short", std::vector<std::uint8_t>(image.begin(), image.begin() + 750)},
      {"shorter than a header", std::vector<std::uint8_t>(image.begin(), image.begin() + 100)},
      {"no mark", unmarked},
      {"more than its header says", longer},
  };
  for (const Case& c : cases) {
    StoreDatabase(old);
    events_.clear();
    panel_.Opened();
    Download(c.bytes);
    panel_.Closed();
    EXPECT_EQ(Database(), std::string(old.begin(), old.end())) << c.what;
    EXPECT_TRUE(Reported("download incomplete")) << c.what;
  }
}

TEST_F(PanelNodeTest, AnUploadWithoutADatabaseIsEmpty) {
  panel_ = PanelNode(database_, [this](const std::string& e) { events_.push_back(e); });
  std::uint32_t announced = 99;
  EXPECT_TRUE(Upload(&announced).empty());
  EXPECT_EQ(announced, 0u);
  EXPECT_TRUE(Reported("cannot be read"));
  EXPECT_TRUE(Reported("upload complete 0 bytes"));
}

TEST_F(PanelNodeTest, FaultsMisbehaveAtTheirFrame) {
  panel_ = PanelNode(database_, [this](const std::string& e) { events_.push_back(e); });
  StoreDatabase(PanelImage(600));

  panel_.faults().announced_size = 5;
  panel_.faults().corrupt_block = 2;
  std::uint32_t announced = 0;
  std::vector<std::uint8_t> got = Upload(&announced);
  EXPECT_EQ(announced, 5u);
  ASSERT_EQ(got.size(), 600u);
  std::vector<std::uint8_t> image = PanelImage(600);
  EXPECT_EQ(got[0], image[0]);
  EXPECT_EQ(got[250], image[250] ^ 0xFF);
  EXPECT_EQ(got[251], image[251]);

  panel_.faults() = {};
  panel_.faults().close_after = 3;
  panel_.Opened();
  EXPECT_FALSE(Send(kDownloadRequest).close);
  EXPECT_FALSE(Send({1, 2, 3}).close);
  PanelAnswer third = Send({4, 5, 6});
  EXPECT_TRUE(third.close);
  EXPECT_TRUE(third.frames.empty());

  panel_.faults() = {};
  panel_.faults().exit_after = 1;
  panel_.Opened();
  EXPECT_TRUE(Send(kDownloadRequest).exit);

  panel_.faults() = {};
  panel_.faults().silent = true;
  panel_.Opened();
  EXPECT_TRUE(Send(kDownloadRequest).frames.empty());
  EXPECT_TRUE(Send({3, 'B'}).frames.empty());
}

TEST_F(PanelNodeTest, FramesOutOfTurnAreReportedAndNotAnswered) {
  EXPECT_TRUE(Send({9, 9}).frames.empty());
  EXPECT_TRUE(Send({}).frames.empty());
  EXPECT_TRUE(Reported("unexpected frame of 2 bytes"));
  std::uint32_t announced = 0;
  Upload(&announced);
  EXPECT_TRUE(Send({3, 1}).frames.empty()) << "one transfer a stream";
}

TEST(NodeValueTest, CommandLineTextsBecomeTypedValuesAndBack) {
  struct Case {
    const char* text;
    std::uint32_t type;
    const char* shown;
  } cases[] = {
      {"true", VNH_VALUE_BOOLEAN, "true"},
      {"false", VNH_VALUE_BOOLEAN, "false"},
      {"1234", VNH_VALUE_INTEGER, "1234"},
      {"-2147483648", VNH_VALUE_INTEGER, "-2147483648"},
      {"+7", VNH_VALUE_INTEGER, "7"},
      {"1-2", VNH_VALUE_STRING, "\"1-2\""},
      {"2.5", VNH_VALUE_REAL, "2.5"},
      {"-1e3", VNH_VALUE_REAL, "-1000.0"},
      {"12abc", VNH_VALUE_STRING, "\"12abc\""},
      {"\"42\"", VNH_VALUE_STRING, "\"42\""},
      {"hello, node", VNH_VALUE_STRING, "\"hello, node\""},
      {"", VNH_VALUE_STRING, "\"\""},
      {"nan", VNH_VALUE_STRING, "\"nan\""},
  };
  for (const Case& c : cases) {
    kelmnet_sim::NodeValue v;
    std::string error;
    ASSERT_TRUE(kelmnet_sim::ParseValue(c.text, &v, &error)) << c.text;
    EXPECT_EQ(v.type, c.type) << c.text;
    EXPECT_EQ(kelmnet_sim::FormatValue(v), c.shown) << c.text;
  }
  kelmnet_sim::NodeValue v;
  std::string error;
  EXPECT_TRUE(kelmnet_sim::ParseValue(std::string(255, 'x'), &v, &error));
  for (const char* refused : {"2147483648", "-2147483649", "99999999999999999999"}) {
    EXPECT_FALSE(kelmnet_sim::ParseValue(refused, &v, &error)) << refused;
    EXPECT_NE(error.find("integer range"), std::string::npos) << refused;
  }
  EXPECT_FALSE(kelmnet_sim::ParseValue(std::string(256, 'x'), &v, &error));
}

}  // namespace
