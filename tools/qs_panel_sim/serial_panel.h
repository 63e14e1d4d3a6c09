#pragma once
// A Quellstor panel's end of the serial transfer line, without a port: the
// bytes the PC writes go in with the moment they were written, the panel's
// answers come out with the moment they have left, and the files the panel
// receives are kept whole in its memory (and in a folder when one is given).
//
// What the panel answers (hexadecimal bytes; K is a download kind: 1 protocol
// Comm 1, 2 database, 4 system software, 7 protocol Comm 2):
//
//   10 08        10 08 S       S: bit 7 set when the panel has no system
//                              software, bits 0-6 its hardware index
//   10 05        10 05 T       T: the panel type
//   10 06        10 06 L V...  L bytes of version text ("V5.2.0")
//   10 K         10 K          the echo; the panel now takes K's frames:
//     10 N D... X    K 42 ('B') when X is the XOR of the N data bytes,
//                    else K 41 ('A') and the frame is not kept; at most 250
//                    data bytes (128 on types 15-18)
//     10 D D D       types 15-18, kinds 1 and 4: the first frame is three
//                    bytes with no count and no check
//     10 00 00       the end: the file of kind K is stored whole, over the
//                    old one; answered K 42 on types 19-24 only
//   10 03        10 03 lo hi (or, on types with the large-upload flag,
//                10 03 lo hi H 00 where the size is lo + hi*256 + H*65535),
//                then at once the first block 10 N D... X of the stored
//                database; 03 42 brings the next block, 03 41 the same one
//                again, and 10 00 follows the last
//   "EFN"        nothing; every stored file is erased
//   (a panel sent its system software reports that it has some from then on)
//   "GXFER"      "AXFER"
//
// Anything else is noise and is skipped. A frame or request that stops for
// a pause of a few byte times is dropped, and a download broken that way
// leaves the stored file as it was: that is how a panel finds the start of
// the next request again.
//
// The line runs at 19200 baud, 8 data bits, no parity, 1 stop bit: ten bits
// a byte, 1920 bytes a second. With pacing on, a byte written by the PC
// arrives one byte time after the byte before it (or after it was written,
// when the line was quiet), and an answer leaves a byte time per byte from
// the moment the request's last byte arrived. Without pacing everything
// moves at once.
//
// Faults and settings are given as command lines (Command), the same ones
// the simulator program reads:
//
//   set type N                panel type, 0 to 255 (0 to 26 are models)
//   set version TEXT          version text, up to 255 bytes
//   set hardware N            hardware index, 0 to 127
//   set system-software on|off
//   set pacing on|off
//   set pause N               byte times of quiet that drop a partial frame
//   fault lose in|out F [B]   the Bth byte (1) of the Fth frame is lost
//   fault corrupt in|out F [B]   ... has its bits inverted
//   fault repeat in|out F [B]    ... comes twice
//   fault late in|out F MS [B]   ... comes MS milliseconds late
//   fault ack-lost N          the Nth download frame is kept, not answered
//   fault refuse N [C]        the Nth download frame and the C - 1 after it
//                             (C = 0: every one from there on) are refused
//   fault silent F            from the Fth frame on the panel reads nothing
//   fault answer-nth N        each kind of request is answered only from
//                             its Nth time on
//   fault size N              an upload announces N bytes
//   fault none                no faults
//   manual | auto             received bytes are only reported, or answered
//   send HEX...               bytes to send on the line as they are
//
// Frames are counted from the moment the fault is given, 1 = the next: "in"
// frames are the units the panel begins to read (a request, a download
// frame, a run of noise), "out" frames its answers (a reply, an echo, an
// acknowledgement, an upload's size, an upload block). Download frames
// count the complete frames of downloads.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qs_panel_sim {

using Bytes = std::vector<std::uint8_t>;
// The panel's clock; its zero is the caller's.
using Time = std::chrono::nanoseconds;

// One byte of 10 bits at 19200 baud, rounded up so the line is never faster
// than a real one.
inline constexpr Time kByteTime{520834};
inline constexpr Time kNever = Time::max();

// The kinds of file a panel keeps, by their download kind byte.
inline constexpr int kProtocol1 = 1;
inline constexpr int kDatabase = 2;
inline constexpr int kSystemSoftware = 4;
inline constexpr int kProtocol2 = 7;

struct PanelSettings {
  int type = 9;
  std::string version = "V5.2.0";
  int hardware_index = 0;
  bool system_software = true;
  bool pacing = true;
  int pause_bytes = 5;
  // Where the stored files live ("database.dtb" ...); empty: in memory only.
  std::string folder;
};

class SerialPanel {
 public:
  using EventSink = std::function<void(const std::string&)>;

  // Largest file a download may bring; a larger one is not stored.
  static constexpr std::size_t kLargestFile = 16u << 20;
  static constexpr std::size_t kUploadBlock = 250;

  // Takes the files already in the settings' folder as the panel's own.
  SerialPanel(PanelSettings settings, EventSink events);

  // The PC wrote these bytes at `now`. Times never go back.
  void Write(const std::uint8_t* data, std::size_t length, Time now);
  void Write(const Bytes& data, Time now) { Write(data.data(), data.size(), now); }
  // Runs the panel up to `now`: reads what has arrived, answers, drops a
  // partial frame after its pause.
  void Advance(Time now);
  // Advances to `now` and gives the bytes that have left the panel by then.
  Bytes Read(Time now);
  // When the panel next has something to do without new input: a byte
  // arriving or leaving, or a pause ending. kNever when there is nothing.
  Time NextEvent() const;

  // One command line (see the top of this file); false with a reason when
  // it is not understood. Blank lines and '#' comments do nothing.
  bool Command(std::string_view line, Time now, std::string* error);

  const PanelSettings& settings() const { return settings_; }
  // The stored file of a kind, or nullptr when the panel has none.
  const Bytes* Stored(int kind) const;
  // The file name a kind is stored under in the folder.
  static std::string StoredName(int kind);

 private:
  enum class Mode { kCommand, kDownload, kUpload };
  enum class FaultKind { kLose, kCorrupt, kRepeat, kLate };
  enum class Direction { kIn, kOut };

  struct TimedByte {
    std::uint8_t byte;
    Time at;
    bool held = false;  // made late by a fault: the gap before it is real
  };
  struct ByteFault {
    FaultKind kind;
    Direction direction;
    long frame;  // absolute count of that direction's frames
    int byte;    // 1-based
    Time delay{};
  };
  struct Faults {
    std::vector<ByteFault> bytes;
    long ack_lost = 0;     // absolute download frame numbers
    long refuse_from = 0;
    long refuse_until = 0;  // last refused; 0 with refuse_from: no end
    long silent_from = 0;   // absolute in-frame number
    int answer_nth = 0;
    long long announced_size = -1;
  };

  // Reading.
  void Take(TimedByte t);
  void Parse(std::uint8_t b, Time at);
  void ParseRequest(std::uint8_t b, Time at);
  void ParseFrame(std::uint8_t b, Time at);
  void EndInFrame() { in_index_ = 0; }
  bool Partial() const;
  bool ExpectsShortFrame() const;
  void DropPartial();
  bool ByteFaultHits(FaultKind kind, Direction direction, long frame, int index,
                     Time* delay = nullptr);

  // What the panel does.
  void Request(std::size_t which, Time at);
  void FrameDone(Time at);
  void StartUpload(Time at);
  void SendBlock(Time at);
  void Store(int kind, const Bytes& file);
  void Erase();

  // Writing.
  void Answer(const Bytes& bytes, Time at);
  void Schedule(std::uint8_t b, Time at, Time delay = Time::zero());

  bool SetFault(std::string_view rest, std::string* error);
  bool SetSetting(std::string_view rest, std::string* error);
  void Report(const std::string& line);

  PanelSettings settings_;
  EventSink events_;
  Faults faults_;
  bool manual_ = false;

  std::deque<TimedByte> in_;
  std::deque<TimedByte> out_;
  Time in_free_{};   // when the PC-to-panel line is next free
  Time out_free_{};  // the same for the panel's answers
  Time last_in_{};   // arrival of the last byte read
  long in_frames_ = 0;
  int in_index_ = 0;  // bytes read of the current in-frame; 0 between frames
  long out_frames_ = 0;
  bool silent_reported_ = false;
  Bytes received_;  // manual mode: read and not yet reported
  Bytes noise_;     // skipped and not yet reported

  Mode mode_ = Mode::kCommand;
  Bytes pending_;  // the request being read, or the download frame
  std::map<std::size_t, int> asked_;  // requests seen, by kind, for answer-nth

  int kind_ = 0;
  Bytes file_;
  bool oversized_ = false;
  bool short_done_ = false;
  long frames_ = 0;  // complete download frames

  Bytes upload_;
  std::size_t upload_at_ = 0;  // start of the block last sent
  std::size_t block_ = 0;      // its length
  int blocks_sent_ = 0;

  std::map<int, Bytes> stored_;
};

// The panel model's properties the line depends on, by panel type; types
// outside 0 to 26 have none.
bool HasShortFirstFrame(int type);
bool HasLargeUpload(int type);
bool AnswersEndFrame(int type);

}  // namespace qs_panel_sim
