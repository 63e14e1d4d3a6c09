// The panel's end of the serial line without a port: bytes in at a moment of
// the panel's clock, answers out, files kept. Most cases run unpaced; the
// byte-time accounting is checked on the same clock with pacing on.

#include "tools/qs_panel_sim/serial_panel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/files.h"
#include "platform/tests/scoped_env.h"

namespace {

using qs_panel_sim::Bytes;
using qs_panel_sim::kByteTime;
using qs_panel_sim::PanelSettings;
using qs_panel_sim::SerialPanel;
using qs_panel_sim::Time;
using namespace std::chrono_literals;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Bytes Pattern(std::size_t size, int seed = 1) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + seed * 31 + i / 251);
  return bytes;
}

std::uint8_t XorOf(const Bytes& data) {
  std::uint8_t x = 0;
  for (std::uint8_t b : data) x ^= b;
  return x;
}

// One download frame as the PC builds it: 10 N data X.
Bytes Frame(const Bytes& data) {
  Bytes frame{0x10, static_cast<std::uint8_t>(data.size())};
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(XorOf(data));
  return frame;
}

// The frames of a whole file: a short first frame where the panel takes one,
// then frames of `block` bytes, then the end frame.
std::vector<Bytes> Frames(const Bytes& file, std::size_t block, bool short_first) {
  std::vector<Bytes> frames;
  std::size_t at = 0;
  if (short_first) {
    frames.push_back({0x10, file[0], file[1], file[2]});
    at = 3;
  }
  for (; at < file.size(); at += block) {
    std::size_t n = std::min(block, file.size() - at);
    frames.push_back(Frame(Bytes(file.begin() + at, file.begin() + at + n)));
  }
  frames.push_back({0x10, 0x00, 0x00});
  return frames;
}

class SerialPanelTest : public ::testing::Test {
 protected:
  SerialPanel& Panel(PanelSettings settings = {}) {
    if (settings.folder == "-") settings.folder = folder_.Path();
    panel_ = std::make_unique<SerialPanel>(settings, [this](const std::string& e) { events_.push_back(e); });
    return *panel_;
  }
  PanelSettings Unpaced() {
    PanelSettings s;
    s.pacing = false;
    return s;
  }

  // Writes the bytes now and gives what the panel answers at once (unpaced).
  Bytes Exchange(const Bytes& bytes) {
    now_ += 1ms;
    panel_->Write(bytes, now_);
    return panel_->Read(now_);
  }
  // Lets the line rest long enough for any partial frame to be dropped.
  Bytes Rest() {
    now_ += 100ms;
    return panel_->Read(now_);
  }
  void Do(const std::string& command) {
    std::string error;
    ASSERT_TRUE(panel_->Command(command, now_, &error)) << command << ": " << error;
  }
  bool Reported(const std::string& text) const {
    for (const std::string& e : events_) {
      if (e.find(text) != std::string::npos) return true;
    }
    return false;
  }
  std::string OnDisk(int kind) {
    std::string contents;
    return ReadWholeFile(folder_.Path() + "/" + SerialPanel::StoredName(kind), contents) ? contents
                                                                                       : "(none)";
  }
  // Runs a whole download and gives every answer to it in order.
  Bytes Download(int kind, const Bytes& file, std::size_t block, bool short_first = false) {
    Bytes answers = Exchange({0x10, static_cast<std::uint8_t>(kind)});
    EXPECT_EQ(answers, (Bytes{0x10, static_cast<std::uint8_t>(kind)})) << "echo";
    for (const Bytes& frame : Frames(file, block, short_first)) {
      Bytes a = Exchange(frame);
      answers.insert(answers.end(), a.begin(), a.end());
    }
    return answers;
  }

  TempFolder folder_;
  std::unique_ptr<SerialPanel> panel_;
  std::vector<std::string> events_;
  Time now_{};
};

TEST_F(SerialPanelTest, AnswersEachRequestAsThePanelIsSet) {
  struct Case {
    const char* what;
    const char* command;  // a setting first, or ""
    Bytes request;
    Bytes answer;
  };
  const std::string long_version(300, '7');
  const Case cases[] = {
      {"system software present", "set hardware 5", {0x10, 0x08}, {0x10, 0x08, 0x05}},
      {"no system software", "set system-software off", {0x10, 0x08}, {0x10, 0x08, 0x80}},
      {"type", "", {0x10, 0x05}, {0x10, 0x05, 0x09}},
      {"type 26", "set type 26", {0x10, 0x05}, {0x10, 0x05, 0x1A}},
      {"type out of range", "set type 200", {0x10, 0x05}, {0x10, 0x05, 0xC8}},
      {"version", "", {0x10, 0x06}, {0x10, 0x06, 0x06, 'V', '5', '.', '2', '.', '0'}},
      {"other version", "set version V2.1.0 beta", {0x10, 0x06},
       Join({{0x10, 0x06, 11}, Text("V2.1.0 beta")})},
      {"empty version", "set version", {0x10, 0x06}, {0x10, 0x06, 0x00}},
      {"download echoes 1", "", {0x10, 0x01}, {0x10, 0x01}},
      {"download echoes 7", "", {0x10, 0x07}, {0x10, 0x07}},
      {"transfer mode", "", Text("GXFER"), Text("AXFER")},
      {"erase has no answer", "", Text("EFN"), {}},
      {"noise before a request", "", {0x55, 0x00, 0x10, 0x05}, {0x10, 0x05, 0x09}},
      {"noise inside GXFER's letters", "", Text("GXGXFER"), Text("AXFER")},
      {"an unknown request", "", {0x10, 0x09}, {}},
      {"a block reply outside an upload", "", {0x03, 0x42}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Panel(Unpaced());
    if (*c.command) Do(c.command);
    EXPECT_EQ(Exchange(c.request), c.answer);
  }

  Panel(Unpaced());
  std::string error;
  EXPECT_FALSE(panel_->Command("set version " + long_version, now_, &error));
  EXPECT_TRUE(panel_->Command("set version " + long_version.substr(0, 255), now_, &error));
  EXPECT_EQ(Exchange({0x10, 0x06}), Join({{0x10, 0x06, 0xFF}, Text(long_version.substr(0, 255))}));
  Do("set system-software off");
  Do("set hardware 127");
  EXPECT_EQ(Exchange({0x10, 0x08}), (Bytes{0x10, 0x08, 0xFF}));
}

TEST_F(SerialPanelTest, ARequestInPiecesIsAnsweredAndAPauseDropsIt) {
  Panel(Unpaced());
  EXPECT_EQ(Exchange({0x10}), Bytes{});
  EXPECT_EQ(Exchange({0x05}), (Bytes{0x10, 0x05, 0x09})) << "1 ms apart is no pause";

  EXPECT_EQ(Exchange(Text("GXF")), Bytes{});
  EXPECT_EQ(Rest(), Bytes{});
  EXPECT_TRUE(Reported("dropped 47 58 46 after a pause"));
  EXPECT_EQ(Exchange(Text("ER")), Bytes{}) << "the rest alone is noise";
  EXPECT_EQ(Exchange(Text("GXFER")), Text("AXFER"));
}

TEST_F(SerialPanelTest, DownloadsStoreTheWholeFileAndAnswerAsTheTypeDoes) {
  struct Case {
    const char* what;
    int type;
    int kind;
    std::size_t size;
    std::size_t block;  // the PC's frame size
    bool short_first;
    bool end_answered;
  };
  const Case cases[] = {
      {"an empty database", 9, 2, 0, 250, false, false},
      {"one block of 250", 9, 2, 250, 250, false, false},
      {"several blocks", 14, 2, 1001, 250, false, false},
      {"protocol Comm 1", 9, 1, 600, 250, false, false},
      {"protocol Comm 2", 9, 7, 600, 250, false, false},
      {"system software", 9, 4, 300, 250, false, false},
      {"end answered on type 19", 19, 2, 260, 250, false, true},
      {"end answered on type 24", 24, 1, 10, 250, false, true},
      {"short first frame, type 15 protocol", 15, 1, 400, 128, true, false},
      {"short first frame, type 18 system", 18, 4, 131, 128, true, false},
      {"no short frame for a database", 16, 2, 300, 128, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PanelSettings s = Unpaced();
    s.type = c.type;
    s.folder = "-";
    Panel(s);
    Bytes file = Pattern(c.size, c.kind);
    Bytes answers = Download(c.kind, file, c.block, c.short_first);

    std::size_t frames = Frames(file, c.block, c.short_first).size();
    Bytes expected{0x10, static_cast<std::uint8_t>(c.kind)};
    for (std::size_t i = 0; i + 1 < frames; ++i) expected.insert(expected.end(), {static_cast<std::uint8_t>(c.kind), 'B'});
    if (c.end_answered) expected.insert(expected.end(), {static_cast<std::uint8_t>(c.kind), 'B'});
    EXPECT_EQ(answers, expected);
    ASSERT_NE(panel_->Stored(c.kind), nullptr);
    EXPECT_EQ(*panel_->Stored(c.kind), file);
    EXPECT_EQ(OnDisk(c.kind), std::string(file.begin(), file.end()));
    // The panel is back to taking requests.
    EXPECT_EQ(Exchange({0x10, 0x05}), (Bytes{0x10, 0x05, static_cast<std::uint8_t>(c.type)}));
  }
}

TEST_F(SerialPanelTest, AHandWrittenDownloadOfThreeBytes) {
  Panel(Unpaced());
  EXPECT_EQ(Exchange({0x10, 0x02}), (Bytes{0x10, 0x02}));
  EXPECT_EQ(Exchange({0x10, 0x03, 0x01, 0x02, 0x04, 0x07}), (Bytes{0x02, 0x42}));
  EXPECT_EQ(Exchange({0x10, 0x00, 0x00}), Bytes{});
  ASSERT_NE(panel_->Stored(2), nullptr);
  EXPECT_EQ(*panel_->Stored(2), (Bytes{0x01, 0x02, 0x04}));
}

TEST_F(SerialPanelTest, SystemSoftwareSentIsReportedFromThenOn) {
  PanelSettings settings = Unpaced();
  settings.system_software = false;
  settings.hardware_index = 9;
  Panel(settings);
  EXPECT_EQ(Exchange({0x10, 0x08}), (Bytes{0x10, 0x08, 0x89}));
  Download(4, Bytes(40, 0x33), 250);
  ASSERT_NE(panel_->Stored(4), nullptr);
  EXPECT_EQ(Exchange({0x10, 0x08}), (Bytes{0x10, 0x08, 0x09}));
}

TEST_F(SerialPanelTest, BadFramesAreRefusedAndARepeatIsKept) {
  struct Case {
    const char* what;
    int type;
    Bytes frame;
  };
  Bytes data = Pattern(20);
  Bytes bad_check = Frame(data);
  bad_check.back() ^= 0x01;
  Bytes bad_end{0x10, 0x00, 0x01};
  const Case cases[] = {
      {"a wrong check", 9, bad_check},
      {"an end frame with a wrong check", 9, bad_end},
      {"more than 250 bytes", 9, Frame(Pattern(251))},
      {"more than 128 bytes on type 17", 17, Frame(Pattern(129))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PanelSettings s = Unpaced();
    s.type = c.type;
    Panel(s);
    Exchange({0x10, 0x02});
    EXPECT_EQ(Exchange(c.frame), (Bytes{0x02, 'A'}));
    EXPECT_EQ(Exchange(Frame(data)), (Bytes{0x02, 'B'})) << "still in the download";
    Exchange({0x10, 0x00, 0x00});
    ASSERT_NE(panel_->Stored(2), nullptr);
    EXPECT_EQ(*panel_->Stored(2), data) << "the refused frame is not kept";
  }
}

TEST_F(SerialPanelTest, ABrokenDownloadKeepsTheStoredFile) {
  PanelSettings s = Unpaced();
  s.folder = "-";
  Bytes old = Pattern(40, 3);
  ASSERT_TRUE(WriteWholeFile(folder_.Path() + "/database.dtb", std::string(old.begin(), old.end())));
  Panel(s);
  ASSERT_NE(panel_->Stored(2), nullptr);
  EXPECT_EQ(*panel_->Stored(2), old) << "a file in the folder is the panel's own";

  Exchange({0x10, 0x02});
  EXPECT_EQ(Exchange(Frame(Pattern(100))), (Bytes{0x02, 'B'}));
  Rest();  // quiet between frames is no break
  Bytes frame = Frame(Pattern(100, 2));
  EXPECT_EQ(Exchange(Bytes(frame.begin(), frame.begin() + 50)), Bytes{});
  Rest();
  EXPECT_TRUE(Reported("download 2 broken; the stored file is kept"));
  EXPECT_EQ(*panel_->Stored(2), old);
  EXPECT_EQ(OnDisk(2), std::string(old.begin(), old.end()));

  // A new session finds the panel taking requests again.
  EXPECT_EQ(Exchange({0x10, 0x08}), (Bytes{0x10, 0x08, 0x00}));
  // A request sent into a download is read as a frame until the pause ends it.
  Exchange({0x10, 0x02});
  EXPECT_EQ(Exchange({0x10, 0x05}), Bytes{});
  Rest();
  EXPECT_EQ(Exchange({0x10, 0x05}), (Bytes{0x10, 0x05, 0x09}));
}

TEST_F(SerialPanelTest, AFileThatCannotBeWrittenLeavesTheOldOne) {
  PanelSettings s = Unpaced();
  s.folder = "-";
  Bytes old = Pattern(40, 3);
  ASSERT_TRUE(WriteWholeFile(folder_.Path() + "/protocol1.bin", std::string(old.begin(), old.end())));
  Panel(s);
  FileFaults::FailAllWritesFrom(1);
  Download(1, Pattern(700), 250);
  FileFaults::Reset();
  EXPECT_TRUE(Reported("cannot be written; the stored file is kept"));
  EXPECT_EQ(*panel_->Stored(1), old);
  EXPECT_EQ(OnDisk(1), std::string(old.begin(), old.end()));
  EXPECT_EQ(ListDir(folder_.Path()), std::vector<std::string>{"protocol1.bin"}) << "no stray file";
}

TEST_F(SerialPanelTest, EraseForgetsEveryStoredFile) {
  PanelSettings s = Unpaced();
  s.folder = "-";
  Panel(s);
  Download(2, Pattern(10), 250);
  Download(7, Pattern(10), 250);
  EXPECT_EQ(Exchange(Text("EFN")), Bytes{});
  EXPECT_EQ(panel_->Stored(2), nullptr);
  EXPECT_EQ(panel_->Stored(7), nullptr);
  EXPECT_TRUE(ListDir(folder_.Path()).empty());
  // An upload then has nothing to send.
  EXPECT_EQ(Exchange({0x10, 0x03}), (Bytes{0x10, 0x03, 0x00, 0x00, 0x10, 0x00}));
}

TEST_F(SerialPanelTest, UploadAnnouncesTheSizeAndSendsTheDatabaseInBlocks) {
  struct Case {
    const char* what;
    int type;
    std::size_t size;
    Bytes size_reply;  // written out by hand
  };
  const Case cases[] = {
      {"empty", 9, 0, {0x10, 0x03, 0x00, 0x00}},
      {"one block", 9, 250, {0x10, 0x03, 0xFA, 0x00}},
      {"two blocks", 11, 251, {0x10, 0x03, 0xFB, 0x00}},
      {"large-upload type, small", 14, 1000, {0x10, 0x03, 0xE8, 0x03, 0x00, 0x00}},
      // 70000 = 1 * 65535 + 4465 (0x1171): the third size byte counts 65535s.
      {"over 65535 on a large-upload type", 26, 70000, {0x10, 0x03, 0x71, 0x11, 0x01, 0x00}},
      {"exactly 65535", 5, 65535, {0x10, 0x03, 0x00, 0x00, 0x01, 0x00}},
      // Without the flag only the low 16 bits fit: 70000 & 0xFFFF = 0x1170.
      {"over 65535 without the flag", 9, 70000, {0x10, 0x03, 0x70, 0x11}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PanelSettings s = Unpaced();
    s.type = c.type;
    s.folder = "-";
    Bytes database = Pattern(c.size, 5);
    ASSERT_TRUE(WriteWholeFile(folder_.Path() + "/database.dtb",
                               std::string(database.begin(), database.end())));
    Panel(s);
    Bytes first = Exchange({0x10, 0x03});
    ASSERT_GE(first.size(), c.size_reply.size() + 2);
    EXPECT_EQ(Bytes(first.begin(), first.begin() + c.size_reply.size()), c.size_reply);
    Bytes block(first.begin() + c.size_reply.size(), first.end());

    Bytes got;
    int blocks = 0;
    while (true) {
      ASSERT_GE(block.size(), 2u);
      EXPECT_EQ(block[0], 0x10);
      std::size_t n = block[1];
      if (n == 0) {
        EXPECT_EQ(block.size(), 2u);
        break;
      }
      ASSERT_EQ(block.size(), n + 3);
      Bytes data(block.begin() + 2, block.end() - 1);
      EXPECT_EQ(block.back(), XorOf(data));
      EXPECT_LE(n, 250u);
      if (++blocks == 2) {
        // A block refused comes again, the same.
        EXPECT_EQ(Exchange({0x03, 0x41}), block);
      }
      got.insert(got.end(), data.begin(), data.end());
      block = Exchange({0x03, 0x42});
    }
    EXPECT_EQ(got, database);
    EXPECT_EQ(Exchange({0x03, 0x42}), Bytes{}) << "the upload is over";
    EXPECT_EQ(Exchange({0x10, 0x05}), (Bytes{0x10, 0x05, static_cast<std::uint8_t>(c.type)}));
  }
}

TEST_F(SerialPanelTest, ARepeatedUploadRequestStartsAgain) {
  Panel(Unpaced());
  Download(2, Pattern(300), 250);
  Bytes first = Exchange({0x10, 0x03});
  Exchange({0x03, 0x42});
  EXPECT_EQ(Exchange({0x10, 0x03}), first);
}

// Pacing: 10 bits a byte at 19200 baud, on the panel's own clock.
TEST_F(SerialPanelTest, PacedBytesTakeAByteTimeEachWay) {
  Panel();  // paced
  // The request's two bytes arrive at 1 and 2 byte times; the three reply
  // bytes leave one a byte time after it.
  panel_->Write({0x10, 0x05}, Time{});
  EXPECT_EQ(panel_->NextEvent(), kByteTime);
  EXPECT_EQ(panel_->Read(2 * kByteTime - 1ns), Bytes{});
  EXPECT_EQ(panel_->Read(4 * kByteTime), (Bytes{0x10, 0x05}));
  EXPECT_EQ(panel_->NextEvent(), 5 * kByteTime);
  EXPECT_EQ(panel_->Read(5 * kByteTime - 1ns), Bytes{});
  EXPECT_EQ(panel_->Read(5 * kByteTime), (Bytes{0x09}));
  EXPECT_EQ(panel_->NextEvent(), qs_panel_sim::kNever);

  // A 253-byte frame written at once is on the line for 253 byte times; its
  // acknowledgement is whole 255 byte times after the write.
  Time t0 = 1s;
  panel_->Write({0x10, 0x02}, t0);
  EXPECT_EQ(panel_->Read(t0 + 4 * kByteTime), (Bytes{0x10, 0x02}));
  Time t1 = 2s;
  panel_->Write(Frame(Pattern(250)), t1);
  EXPECT_EQ(panel_->Read(t1 + 254 * kByteTime), Bytes{0x02});
  EXPECT_EQ(panel_->Read(t1 + 255 * kByteTime), Bytes{0x42});

  // Bytes written while the line is busy queue behind the ones before them.
  Time t2 = 3s;
  Bytes frame = Frame(Pattern(10));
  panel_->Write(Bytes(frame.begin(), frame.begin() + 5), t2);
  panel_->Write(Bytes(frame.begin() + 5, frame.end()), t2 + kByteTime);
  EXPECT_EQ(panel_->Read(t2 + 14 * kByteTime), Bytes{0x02});
  EXPECT_EQ(panel_->Read(t2 + 15 * kByteTime), Bytes{0x42});

  // 1920 bytes a second: a second's worth of frames is answered just after it.
  Time t3 = 5s;
  Bytes bytes;
  for (int i = 0; i < 8; ++i) {
    Bytes f = Frame(Pattern(237, i));  // 240 bytes a frame
    bytes.insert(bytes.end(), f.begin(), f.end());
  }
  panel_->Write(bytes, t3);
  EXPECT_EQ(panel_->Read(t3 + 1s - 1ms).size(), 14u);
  EXPECT_EQ(panel_->Read(t3 + 1s + 3 * kByteTime).size(), 2u);
}

TEST_F(SerialPanelTest, FaultsMisbehaveWhereTheyAreAimed) {
  struct Case {
    const char* what;
    std::vector<std::string> commands;
    std::vector<Bytes> writes;  // each followed by a rest
    Bytes answers;              // everything the panel sent
    const char* report;         // a report line that must appear, or ""
  };
  const Bytes type{0x10, 0x05};
  const Case cases[] = {
      {"lose out", {"fault lose out 1 2"}, {type}, {0x10, 0x09}, "fault lost out frame 1 byte 2"},
      {"corrupt out", {"fault corrupt out 1 3"}, {type}, {0x10, 0x05, 0xF6}, ""},
      {"repeat out", {"fault repeat out 1"}, {type}, {0x10, 0x10, 0x05, 0x09}, ""},
      {"aimed at the second answer", {"fault lose out 2 1"}, {type, type},
       {0x10, 0x05, 0x09, 0x05, 0x09}, ""},
      {"lose in", {"fault lose in 1 2"}, {type}, {}, "dropped 10 after a pause"},
      {"corrupt in", {"fault corrupt in 1 2"}, {type}, {}, "ignored 10 fa"},
      {"repeat in", {"fault repeat in 1 1"}, {type}, {0x10, 0x05, 0x09}, "ignored 10"},
      {"late in beyond the pause", {"fault late in 1 50 2"}, {type}, {}, "dropped 10 after a pause"},
      {"silent from the second frame", {"fault silent 2"}, {type, type, type}, {0x10, 0x05, 0x09},
       "silent"},
      {"answered from the third time", {"fault answer-nth 3"},
       {type, {0x10, 0x08}, type, {0x10, 0x08}, type, type},
       {0x10, 0x05, 0x09, 0x10, 0x05, 0x09}, "fault unanswered 10 05"},
      {"fault none", {"fault lose out 1", "fault silent 1", "fault none"}, {type},
       {0x10, 0x05, 0x09}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Panel(Unpaced());
    events_.clear();
    for (const std::string& command : c.commands) Do(command);
    Bytes answers;
    for (const Bytes& w : c.writes) {
      for (const Bytes& a : {Exchange(w), Rest()}) answers.insert(answers.end(), a.begin(), a.end());
    }
    EXPECT_EQ(answers, c.answers);
    if (*c.report) {
      EXPECT_TRUE(Reported(c.report)) << c.report;
    }
  }
}

TEST_F(SerialPanelTest, LateBytesComeLateOnThePanelsClock) {
  Panel();
  Do("fault late out 1 10 3");
  panel_->Write({0x10, 0x05}, Time{});
  EXPECT_EQ(panel_->Read(4 * kByteTime), (Bytes{0x10, 0x05}));
  EXPECT_EQ(panel_->Read(5 * kByteTime + 10ms - 1ns), Bytes{});
  EXPECT_EQ(panel_->Read(5 * kByteTime + 10ms), Bytes{0x09});

  // Late by less than the pause, a byte of a request still completes it.
  Do("set pause 10");
  Do("fault late in 1 1 2");
  Time t = 1s;
  panel_->Write({0x10, 0x05}, t);
  EXPECT_EQ(panel_->Read(t + 2 * kByteTime + 1ms + 3 * kByteTime), (Bytes{0x10, 0x05, 0x09}));
  EXPECT_FALSE(Reported("dropped"));
}

TEST_F(SerialPanelTest, DownloadFaultsCountCompleteFrames) {
  struct Case {
    const char* what;
    const char* command;
    int refusals;  // of the second frame
    Bytes last;    // the answer to the second frame after its refusals
  };
  const Case cases[] = {
      {"refused once", "fault refuse 2", 1, {0x02, 'B'}},
      {"refused three times", "fault refuse 2 3", 3, {0x02, 'B'}},
      {"refused for ever", "fault refuse 2 0", 10, {0x02, 'A'}},
      {"acknowledgement lost", "fault ack-lost 2", 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Panel(Unpaced());
    Do(c.command);
    Bytes a = Pattern(250, 1), b = Pattern(250, 2);
    Exchange({0x10, 0x02});
    EXPECT_EQ(Exchange(Frame(a)), (Bytes{0x02, 'B'}));
    for (int i = 0; i < c.refusals; ++i) EXPECT_EQ(Exchange(Frame(b)), (Bytes{0x02, 'A'}));
    EXPECT_EQ(Exchange(Frame(b)), c.last) << "after the refusals";
    if (c.last.empty()) {
      // The frame whose acknowledgement was lost is kept: a resend doubles it.
      Exchange({0x10, 0x00, 0x00});
      EXPECT_EQ(*panel_->Stored(2), Join({a, b}));
    }
  }
}

TEST_F(SerialPanelTest, AnnouncedSizeFault) {
  Panel(Unpaced());
  Download(2, Pattern(300), 250);
  Do("fault size 1234");
  Bytes first = Exchange({0x10, 0x03});
  EXPECT_EQ(Bytes(first.begin(), first.begin() + 4), (Bytes{0x10, 0x03, 0xD2, 0x04}));
  EXPECT_EQ(first.size(), 4u + 253u) << "the blocks are the database's";
}

TEST_F(SerialPanelTest, ManualModeReportsAndSendsBytes) {
  Panel(Unpaced());
  Do("manual");
  EXPECT_EQ(Exchange({0x10, 0x05}), Bytes{});
  EXPECT_TRUE(Reported("received 10 05"));
  Do("send 41 58 ff");
  EXPECT_EQ(Exchange({}), (Bytes{0x41, 0x58, 0xFF}));
  Do("auto");
  EXPECT_EQ(Exchange({0x10, 0x05}), (Bytes{0x10, 0x05, 0x09}));
}

TEST_F(SerialPanelTest, CommandsThatAreNotUnderstoodSaySo) {
  Panel(Unpaced());
  const char* bad[] = {
      "jump",           "set type 256",      "set type x",         "set hardware 128",
      "set pacing yes", "set colour red",    "fault lose",         "fault lose sideways 1",
      "fault lose in",  "fault lose in 0",   "fault late in 1",    "fault late out 1 5 2 9",
      "fault refuse",   "fault size -1",     "fault answer-nth 0", "fault explode",
      "send",           "send 123",          "send zz",            "set pause 0",
  };
  for (const char* line : bad) {
    std::string error;
    EXPECT_FALSE(panel_->Command(line, now_, &error)) << line;
    EXPECT_FALSE(error.empty()) << line;
  }
  std::string error;
  EXPECT_TRUE(panel_->Command("  # a comment", now_, &error));
  EXPECT_TRUE(panel_->Command("", now_, &error));
}

}  // namespace
