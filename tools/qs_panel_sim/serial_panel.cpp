#include "tools/qs_panel_sim/serial_panel.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <utility>

#include "platform/base/files.h"
#include "tools/sim_console/sim_console.h"

namespace qs_panel_sim {

namespace {

constexpr std::uint8_t kStart = 0x10;
constexpr std::uint8_t kGood = 'B';
constexpr std::uint8_t kBad = 'A';
constexpr std::uint8_t kBlockReply = 0x03;
constexpr std::size_t kFrameLimit = 250;
constexpr std::size_t kShortFrameLimit = 128;
constexpr std::size_t kShortFirstFrame = 3;
constexpr std::size_t kLongestVersion = 255;
// The large-upload size counts its third byte in units of 65535, not 65536:
// the transfer program reads it that way, so the panel writes it that way.
constexpr std::uint64_t kLargeUnit = 65535;

enum Requests : std::size_t {
  kSystemSoftwareRequest,
  kTypeRequest,
  kVersionRequest,
  kDownload1,
  kDownload2,
  kDownload4,
  kDownload7,
  kUploadRequest,
  kEraseRequest,
  kTransferRequest,
  kBlockGood,  // this one and the next only while an upload runs
  kBlockBad,
  kRequestCount
};

struct RequestBytes {
  Bytes bytes;
  int kind;  // the download kind of a download start, else 0
};

const std::array<RequestBytes, kRequestCount>& RequestTable() {
  static const std::array<RequestBytes, kRequestCount> table = {{
      {{kStart, 0x08}, 0},
      {{kStart, 0x05}, 0},
      {{kStart, 0x06}, 0},
      {{kStart, kProtocol1}, kProtocol1},
      {{kStart, kDatabase}, kDatabase},
      {{kStart, kSystemSoftware}, kSystemSoftware},
      {{kStart, kProtocol2}, kProtocol2},
      {{kStart, 0x03}, 0},
      {{'E', 'F', 'N'}, 0},
      {{'G', 'X', 'F', 'E', 'R'}, 0},
      {{kBlockReply, kGood}, 0},
      {{kBlockReply, kBad}, 0},
  }};
  return table;
}

std::string Hex(const Bytes& bytes) {
  std::string text;
  char byte[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(byte, sizeof byte, i == 0 ? "%02x" : " %02x", bytes[i]);
    text += byte;
  }
  return text;
}

std::uint8_t Xor(const std::uint8_t* data, std::size_t length) {
  std::uint8_t x = 0;
  for (std::size_t i = 0; i < length; ++i) x ^= data[i];
  return x;
}

using sim_console::ParseNumber;

std::string Trimmed(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace

bool HasShortFirstFrame(int type) { return type >= 15 && type <= 18; }

bool HasLargeUpload(int type) {
  switch (type) {
    case 5: case 6: case 8: case 10: case 12: case 13: case 14:
    case 15: case 16: case 17: case 18: case 26:
      return true;
    default:
      return false;
  }
}

bool AnswersEndFrame(int type) { return type >= 19 && type <= 24; }

std::string SerialPanel::StoredName(int kind) {
  switch (kind) {
    case kProtocol1: return "protocol1.bin";
    case kDatabase: return "database.dtb";
    case kSystemSoftware: return "system.cmd";
    case kProtocol2: return "protocol2.bin";
    default: return "kind" + std::to_string(kind) + ".bin";
  }
}

SerialPanel::SerialPanel(PanelSettings settings, EventSink events)
    : settings_(std::move(settings)), events_(std::move(events)) {
  if (settings_.folder.empty()) return;
  for (int kind : {kProtocol1, kDatabase, kSystemSoftware, kProtocol2}) {
    std::string path = settings_.folder + "/" + StoredName(kind);
    std::string contents;
    if (!FileExists(path)) continue;
    if (!ReadWholeFile(path, contents)) {
      Report("error " + path + " cannot be read; the panel has none");
      continue;
    }
    stored_[kind] = Bytes(contents.begin(), contents.end());
  }
}

const Bytes* SerialPanel::Stored(int kind) const {
  auto found = stored_.find(kind);
  return found == stored_.end() ? nullptr : &found->second;
}

// The line.

void SerialPanel::Write(const std::uint8_t* data, std::size_t length, Time now) {
  for (std::size_t i = 0; i < length; ++i) {
    Time at = std::max(now, in_free_);
    if (settings_.pacing) at += kByteTime;
    in_free_ = at;
    in_.push_back({data[i], at});
  }
}

void SerialPanel::Advance(Time now) {
  while (!in_.empty() && in_.front().at <= now) {
    TimedByte t = in_.front();
    in_.pop_front();
    Take(t);
  }
  // Only a quiet line, or a gap a fault made, counts as a pause: bytes the
  // PC wrote while this process was not looking arrive as one run.
  Time pause = settings_.pause_bytes * kByteTime;
  if (Partial() && (in_.empty() || in_.front().held) && now - last_in_ >= pause) DropPartial();
  Report("");
}

Bytes SerialPanel::Read(Time now) {
  Advance(now);
  Bytes bytes;
  while (!out_.empty() && out_.front().at <= now) {
    bytes.push_back(out_.front().byte);
    out_.pop_front();
  }
  return bytes;
}

Time SerialPanel::NextEvent() const {
  Time next = kNever;
  if (!in_.empty()) next = in_.front().at;
  if (!out_.empty()) next = std::min(next, out_.front().at);
  if (Partial() && (in_.empty() || in_.front().held)) {
    next = std::min(next, last_in_ + settings_.pause_bytes * kByteTime);
  }
  return next;
}

void SerialPanel::Take(TimedByte t) {
  Time pause = settings_.pause_bytes * kByteTime;
  if (t.held && Partial() && t.at - last_in_ >= pause) DropPartial();
  long frame = in_index_ == 0 ? in_frames_ + 1 : in_frames_;
  int index = in_index_ + 1;
  Time delay{};
  if (!t.held && ByteFaultHits(FaultKind::kLate, Direction::kIn, frame, index, &delay)) {
    // The byte and everything behind it on the line come that much later.
    t.at += delay;
    t.held = true;
    for (TimedByte& later : in_) later.at += delay;
    in_.push_front(t);
    in_free_ = std::max(in_free_, in_.back().at);
    return;
  }
  in_frames_ = frame;
  in_index_ = index;
  last_in_ = t.at;
  if (faults_.silent_from != 0 && in_frames_ >= faults_.silent_from) {
    if (!silent_reported_) Report("silent");
    silent_reported_ = true;
    EndInFrame();
    return;
  }
  if (ByteFaultHits(FaultKind::kLose, Direction::kIn, frame, index)) return;
  if (ByteFaultHits(FaultKind::kCorrupt, Direction::kIn, frame, index)) t.byte ^= 0xFF;
  bool twice = ByteFaultHits(FaultKind::kRepeat, Direction::kIn, frame, index);
  Parse(t.byte, t.at);
  if (twice) Parse(t.byte, t.at);
}

bool SerialPanel::ByteFaultHits(FaultKind kind, Direction direction, long frame, int index,
                                Time* delay) {
  auto hit = std::find_if(faults_.bytes.begin(), faults_.bytes.end(), [&](const ByteFault& f) {
    return f.kind == kind && f.direction == direction && f.frame == frame && f.byte == index;
  });
  if (hit == faults_.bytes.end()) return false;
  static const char* const kNames[] = {"lost", "corrupted", "repeated", "late"};
  Report(std::string("fault ") + kNames[static_cast<int>(kind)] +
         (direction == Direction::kIn ? " in" : " out") + " frame " + std::to_string(frame) +
         " byte " + std::to_string(index));
  if (delay != nullptr) *delay = hit->delay;
  faults_.bytes.erase(hit);
  return true;
}

// Reading requests and frames.

void SerialPanel::Parse(std::uint8_t b, Time at) {
  if (manual_) {
    received_.push_back(b);
    EndInFrame();
  } else if (mode_ == Mode::kDownload) {
    ParseFrame(b, at);
  } else {
    ParseRequest(b, at);
  }
}

void SerialPanel::ParseRequest(std::uint8_t b, Time at) {
  pending_.push_back(b);
  const auto& table = RequestTable();
  std::size_t count = mode_ == Mode::kUpload ? kRequestCount : kBlockGood;
  while (!pending_.empty()) {
    bool prefix = false;
    for (std::size_t i = 0; i < count; ++i) {
      const Bytes& r = table[i].bytes;
      if (pending_.size() > r.size() || !std::equal(pending_.begin(), pending_.end(), r.begin())) {
        continue;
      }
      if (pending_.size() == r.size()) {
        pending_.clear();
        EndInFrame();
        Request(i, at);
        return;
      }
      prefix = true;
    }
    if (prefix) return;
    // Not the start of anything the panel knows: skip a byte and look again.
    noise_.push_back(pending_.front());
    pending_.erase(pending_.begin());
  }
  EndInFrame();
}

void SerialPanel::ParseFrame(std::uint8_t b, Time at) {
  if (pending_.empty() && b != kStart) {
    noise_.push_back(b);
    EndInFrame();
    return;
  }
  pending_.push_back(b);
  std::size_t need = 0;
  if (ExpectsShortFrame()) {
    need = 1 + kShortFirstFrame;
  } else if (pending_.size() >= 2) {
    need = 3 + pending_[1];
  } else {
    return;
  }
  if (pending_.size() == need) FrameDone(at);
}

bool SerialPanel::Partial() const { return !pending_.empty(); }

// Panels of types 15 to 18 take a protocol or their system software with a
// first frame of three bytes and no count.
bool SerialPanel::ExpectsShortFrame() const {
  return HasShortFirstFrame(settings_.type) && (kind_ == kProtocol1 || kind_ == kSystemSoftware) &&
         !short_done_;
}

void SerialPanel::DropPartial() {
  Report("dropped " + Hex(pending_) + " after a pause");
  pending_.clear();
  EndInFrame();
  if (mode_ == Mode::kDownload) {
    Report("download " + std::to_string(kind_) + " broken; the stored file is kept");
    mode_ = Mode::kCommand;
    file_.clear();
  }
}

// What the panel does.

void SerialPanel::Request(std::size_t which, Time at) {
  if (which < kBlockGood && faults_.answer_nth != 0 && ++asked_[which] < faults_.answer_nth) {
    Report("fault unanswered " + Hex(RequestTable()[which].bytes));
    return;
  }
  if (which < kBlockGood) mode_ = Mode::kCommand;
  int type = settings_.type;
  switch (which) {
    case kSystemSoftwareRequest: {
      std::uint8_t state = static_cast<std::uint8_t>(settings_.hardware_index & 0x7F);
      if (!settings_.system_software) state |= 0x80;
      Report("request system software");
      Answer({kStart, 0x08, state}, at);
      break;
    }
    case kTypeRequest:
      Report("request panel type");
      Answer({kStart, 0x05, static_cast<std::uint8_t>(type)}, at);
      break;
    case kVersionRequest: {
      std::size_t length = std::min(settings_.version.size(), kLongestVersion);
      Bytes reply{kStart, 0x06, static_cast<std::uint8_t>(length)};
      reply.resize(reply.size() + length);
      std::copy_n(settings_.version.begin(), length, reply.end() - static_cast<std::ptrdiff_t>(length));
      Report("request version");
      Answer(reply, at);
      break;
    }
    case kDownload1:
    case kDownload2:
    case kDownload4:
    case kDownload7:
      mode_ = Mode::kDownload;
      kind_ = RequestTable()[which].kind;
      file_.clear();
      oversized_ = false;
      short_done_ = false;
      Report("download " + std::to_string(kind_));
      Answer({kStart, static_cast<std::uint8_t>(kind_)}, at);
      break;
    case kUploadRequest:
      StartUpload(at);
      break;
    case kEraseRequest:
      Erase();
      break;
    case kTransferRequest:
      Report("request transfer mode");
      Answer({'A', 'X', 'F', 'E', 'R'}, at);
      break;
    case kBlockGood:
      upload_at_ += block_;
      ++blocks_sent_;
      SendBlock(at);
      break;
    case kBlockBad:
      Report("block " + std::to_string(blocks_sent_ + 1) + " again");
      SendBlock(at);
      break;
  }
}

void SerialPanel::FrameDone(Time at) {
  ++frames_;
  Bytes frame = std::move(pending_);
  pending_.clear();
  EndInFrame();
  std::string kind = std::to_string(kind_);
  bool short_frame = ExpectsShortFrame();
  std::size_t n = short_frame ? kShortFirstFrame : frame[1];
  const std::uint8_t* data = frame.data() + (short_frame ? 1 : 2);
  std::size_t limit = HasShortFirstFrame(settings_.type) ? kShortFrameLimit : kFrameLimit;

  std::string refusal;
  if (!short_frame && Xor(data, n) != frame.back()) {
    refusal = "check";
  } else if (n > limit) {
    refusal = "longer than " + std::to_string(limit);
  } else if (faults_.refuse_from != 0 && frames_ >= faults_.refuse_from &&
             (faults_.refuse_until == 0 || frames_ <= faults_.refuse_until)) {
    refusal = "fault";
  }
  if (!refusal.empty()) {
    Report("frame " + kind + " " + std::to_string(n) + " refused " + refusal);
    Answer({static_cast<std::uint8_t>(kind_), kBad}, at);
    return;
  }

  bool answer = true;
  if (n == 0) {
    Report("frame " + kind + " end");
    mode_ = Mode::kCommand;
    if (oversized_) {
      Report("download " + kind + " larger than " + std::to_string(kLargestFile) +
             " bytes; the stored file is kept");
    } else {
      Store(kind_, file_);
    }
    file_.clear();
    answer = AnswersEndFrame(settings_.type);
  } else {
    if (short_frame) short_done_ = true;
    if (file_.size() + n > kLargestFile) oversized_ = true;
    if (!oversized_) file_.insert(file_.end(), data, data + n);
    Report("frame " + kind + " " + std::to_string(n) + (short_frame ? " short" : " good"));
  }
  if (!answer) return;
  if (faults_.ack_lost == frames_) {
    Report("fault acknowledgement lost");
    return;
  }
  Answer({static_cast<std::uint8_t>(kind_), kGood}, at);
}

void SerialPanel::StartUpload(Time at) {
  mode_ = Mode::kUpload;
  const Bytes* database = Stored(kDatabase);
  upload_ = database != nullptr ? *database : Bytes();
  upload_at_ = 0;
  block_ = 0;
  blocks_sent_ = 0;
  std::uint64_t size = faults_.announced_size >= 0
                           ? static_cast<std::uint64_t>(faults_.announced_size)
                           : upload_.size();
  Bytes reply{kStart, 0x03};
  std::uint64_t announced = 0;
  if (HasLargeUpload(settings_.type)) {
    std::uint64_t high = std::min<std::uint64_t>(size / kLargeUnit, 0xFF);
    std::uint64_t rest = std::min<std::uint64_t>(size - high * kLargeUnit, 0xFFFF);
    reply.insert(reply.end(), {static_cast<std::uint8_t>(rest), static_cast<std::uint8_t>(rest >> 8),
                               static_cast<std::uint8_t>(high), 0});
    announced = rest + high * kLargeUnit;
  } else {
    // Two bytes hold no more: a larger database is announced by its low 16 bits.
    announced = size & 0xFFFF;
    reply.insert(reply.end(), {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8)});
  }
  Report("upload " + std::to_string(upload_.size()) + " bytes announced " + std::to_string(announced));
  Answer(reply, at);
  SendBlock(at);
}

void SerialPanel::SendBlock(Time at) {
  block_ = std::min(kUploadBlock, upload_.size() - upload_at_);
  if (block_ == 0) {
    Answer({kStart, 0}, at);
    Report("upload complete " + std::to_string(upload_.size()) + " bytes");
    mode_ = Mode::kCommand;
    upload_.clear();
    return;
  }
  const std::uint8_t* data = upload_.data() + upload_at_;
  Bytes block{kStart, static_cast<std::uint8_t>(block_)};
  block.insert(block.end(), data, data + block_);
  block.push_back(Xor(data, block_));
  Report("block " + std::to_string(blocks_sent_ + 1) + " " + std::to_string(block_));
  Answer(block, at);
}

// The old file stays whole until the new one is written in full.
void SerialPanel::Store(int kind, const Bytes& file) {
  std::string name = StoredName(kind);
  if (!settings_.folder.empty()) {
    std::string path = settings_.folder + "/" + name;
    if (!ReplaceWholeFile(path, std::string_view(reinterpret_cast<const char*>(file.data()),
                                                 file.size()))) {
      Report("error " + path + " cannot be written; the stored file is kept");
      return;
    }
  }
  stored_[kind] = file;
  // A panel that has been sent its system software runs it from then on.
  if (kind == kSystemSoftware) settings_.system_software = true;
  Report("stored " + name + " " + std::to_string(file.size()) + " bytes");
}

void SerialPanel::Erase() {
  for (int kind : {kProtocol1, kDatabase, kSystemSoftware, kProtocol2}) {
    if (settings_.folder.empty()) break;
    std::string path = settings_.folder + "/" + StoredName(kind);
    if (FileExists(path) && !FileDelete(path)) Report("error " + path + " cannot be erased");
  }
  stored_.clear();
  Report("erased");
}

// Answers.

void SerialPanel::Answer(const Bytes& bytes, Time at) {
  ++out_frames_;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    int index = static_cast<int>(i) + 1;
    if (ByteFaultHits(FaultKind::kLose, Direction::kOut, out_frames_, index)) continue;
    std::uint8_t b = bytes[i];
    if (ByteFaultHits(FaultKind::kCorrupt, Direction::kOut, out_frames_, index)) b ^= 0xFF;
    Time delay{};
    ByteFaultHits(FaultKind::kLate, Direction::kOut, out_frames_, index, &delay);
    Schedule(b, at, delay);
    if (ByteFaultHits(FaultKind::kRepeat, Direction::kOut, out_frames_, index)) Schedule(b, at);
  }
}

void SerialPanel::Schedule(std::uint8_t b, Time at, Time delay) {
  Time due = std::max(at, out_free_) + delay;
  if (settings_.pacing) due += kByteTime;
  out_free_ = due;
  out_.push_back({b, due});
}

// Reports: skipped noise and, in manual mode, the bytes read go out as one
// line each before the next report.
void SerialPanel::Report(const std::string& line) {
  if (!noise_.empty()) {
    events_("ignored " + Hex(noise_));
    noise_.clear();
  }
  if (!received_.empty()) {
    events_("received " + Hex(received_));
    received_.clear();
  }
  if (!line.empty()) events_(line);
}

// Commands.

bool SerialPanel::Command(std::string_view line, Time now, std::string* error) {
  std::string text = Trimmed(line);
  if (text.empty() || text[0] == '#') return true;
  std::size_t space = text.find(' ');
  std::string word = text.substr(0, space);
  std::string_view rest = space == std::string::npos ? std::string_view() : std::string_view(text).substr(space + 1);
  if (word == "fault") return SetFault(rest, error);
  if (word == "set") return SetSetting(rest, error);
  if (word == "manual" || word == "auto") {
    manual_ = word == "manual";
    pending_.clear();
    EndInFrame();
    return true;
  }
  if (word == "send") {
    std::istringstream in{std::string(rest)};
    Bytes bytes;
    std::string byte;
    while (in >> byte) {
      char* end = nullptr;
      long value = std::strtol(byte.c_str(), &end, 16);
      if (byte.size() > 2 || *end != '\0' || value < 0) {
        *error = "\"" + byte + "\" is not a hexadecimal byte";
        return false;
      }
      bytes.push_back(static_cast<std::uint8_t>(value));
    }
    if (bytes.empty()) {
      *error = "send needs bytes";
      return false;
    }
    for (std::uint8_t b : bytes) Schedule(b, now);
    Report("sent " + Hex(bytes));
    return true;
  }
  *error = "no command \"" + word + "\"";
  return false;
}

bool SerialPanel::SetSetting(std::string_view rest, std::string* error) {
  std::string text(rest);
  std::size_t space = text.find(' ');
  std::string name = text.substr(0, space);
  std::string value = space == std::string::npos ? std::string() : text.substr(space + 1);
  long n = 0;
  auto number = [&](long low, long high) {
    if (ParseNumber(value, low, high, &n)) return true;
    *error = name + " is a number from " + std::to_string(low) + " to " + std::to_string(high);
    return false;
  };
  auto flag = [&](bool* target) {
    if (value != "on" && value != "off") {
      *error = name + " is on or off";
      return false;
    }
    *target = value == "on";
    return true;
  };
  if (name == "type") {
    if (!number(0, 255)) return false;
    settings_.type = static_cast<int>(n);
  } else if (name == "version") {
    if (value.size() > kLongestVersion) {
      *error = "the version has at most 255 bytes";
      return false;
    }
    settings_.version = value;
  } else if (name == "hardware") {
    if (!number(0, 127)) return false;
    settings_.hardware_index = static_cast<int>(n);
  } else if (name == "system-software") {
    return flag(&settings_.system_software);
  } else if (name == "pacing") {
    return flag(&settings_.pacing);
  } else if (name == "pause") {
    if (!number(1, 100000)) return false;
    settings_.pause_bytes = static_cast<int>(n);
  } else {
    *error = "no setting \"" + name + "\"";
    return false;
  }
  return true;
}

bool SerialPanel::SetFault(std::string_view rest, std::string* error) {
  std::istringstream in{std::string(rest)};
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  std::string what = words.empty() ? std::string() : words[0];
  // Numbers by position after the fault's name; optional ones keep `fallback`.
  auto arg = [&](std::size_t at, long low, long high, long fallback, long* value) {
    if (at >= words.size()) {
      *value = fallback;
      if (fallback >= low) return true;
      *error = "fault " + what + " needs more numbers";
      return false;
    }
    if (ParseNumber(words[at], low, high, value)) return true;
    *error = "fault " + what + ": \"" + words[at] + "\" is not a number from " +
             std::to_string(low) + " to " + std::to_string(high);
    return false;
  };
  auto too_many = [&](std::size_t most) {
    if (words.size() <= most) return false;
    *error = "fault " + what + " has too many words";
    return true;
  };
  constexpr long kMany = 100000000;
  long a = 0, b = 0, c = 0;

  static const std::pair<const char*, FaultKind> kByteFaults[] = {
      {"lose", FaultKind::kLose}, {"corrupt", FaultKind::kCorrupt},
      {"repeat", FaultKind::kRepeat}, {"late", FaultKind::kLate}};
  for (const auto& [name, kind] : kByteFaults) {
    if (what != name) continue;
    std::string direction = words.size() > 1 ? words[1] : std::string();
    if (direction != "in" && direction != "out") {
      *error = "fault " + what + " is followed by in or out";
      return false;
    }
    bool late = kind == FaultKind::kLate;
    if (too_many(late ? 5 : 4) || !arg(2, 1, kMany, -1, &a)) return false;
    if (late && !arg(3, 0, 600000, -1, &c)) return false;
    if (!arg(late ? 4 : 3, 1, 65536, 1, &b)) return false;
    Direction d = direction == "in" ? Direction::kIn : Direction::kOut;
    long base = d == Direction::kIn ? in_frames_ : out_frames_;
    faults_.bytes.push_back({kind, d, base + a, static_cast<int>(b),
                             std::chrono::duration_cast<Time>(std::chrono::milliseconds(c))});
    return true;
  }
  if (what == "none") {
    if (too_many(1)) return false;
    faults_ = Faults{};
    silent_reported_ = false;
    asked_.clear();
  } else if (what == "ack-lost") {
    if (too_many(2) || !arg(1, 1, kMany, -1, &a)) return false;
    faults_.ack_lost = frames_ + a;
  } else if (what == "refuse") {
    if (too_many(3) || !arg(1, 1, kMany, -1, &a) || !arg(2, 0, kMany, 1, &b)) return false;
    faults_.refuse_from = frames_ + a;
    faults_.refuse_until = b == 0 ? 0 : frames_ + a + b - 1;
  } else if (what == "silent") {
    if (too_many(2) || !arg(1, 1, kMany, -1, &a)) return false;
    faults_.silent_from = in_frames_ + a;
    silent_reported_ = false;
  } else if (what == "answer-nth") {
    if (too_many(2) || !arg(1, 1, 1000, -1, &a)) return false;
    faults_.answer_nth = static_cast<int>(a);
    asked_.clear();
  } else if (what == "size") {
    if (too_many(2) || !arg(1, 0, 0xFFFFFFFFL, -1, &a)) return false;
    faults_.announced_size = a;
  } else {
    *error = "no fault \"" + what + "\"";
    return false;
  }
  return true;
}

}  // namespace qs_panel_sim
