#include "tools/kelmnet_node_sim/panel_node.h"

#include <algorithm>
#include <utility>

#include "platform/base/files.h"
#include "platform/base/little_endian.h"

namespace kelmnet_sim {

namespace {

constexpr std::uint8_t kDownload = 2;
constexpr std::uint8_t kUpload = 3;
constexpr std::uint8_t kBlockAck = 'B';

// The panel database image begins with a 128-byte header: its total length
// at offset 0 and the mark 0x53 at offset 8.
constexpr std::size_t kImageHeader = 128;
constexpr std::size_t kImageMarkAt = 8;
constexpr std::uint8_t kImageMark = 0x53;

}  // namespace

PanelNode::PanelNode(std::string database, EventSink events)
    : database_(std::move(database)), events_(std::move(events)) {}

void PanelNode::Opened() {
  state_ = State::kIdle;
  frames_ = 0;
  oversized_ = false;
  image_.clear();
  sent_ = 0;
  blocks_ = 0;
}

PanelAnswer PanelNode::Receive(const std::uint8_t* data, std::size_t length) {
  PanelAnswer answer;
  ++frames_;
  if (faults_.exit_after != 0 && frames_ >= faults_.exit_after) {
    answer.exit = true;
    return answer;
  }
  if (faults_.close_after != 0 && frames_ >= faults_.close_after) {
    answer.close = true;
    return answer;
  }

  switch (state_) {
    case State::kIdle:
      if (length >= 1 && data[0] == kDownload) {
        state_ = State::kReceiving;
        events_("download started");
        answer.frames.push_back({kDownload, kBlockAck});
      } else if (length >= 1 && data[0] == kUpload) {
        std::string contents;
        if (!database_.empty() && !ReadWholeFile(database_, contents)) {
          events_("error the database " + database_ + " cannot be read; an empty one is sent");
          contents.clear();
        }
        image_.assign(contents.begin(), contents.end());
        sent_ = 0;
        blocks_ = 0;
        state_ = State::kSending;
        std::uint32_t size = static_cast<std::uint32_t>(image_.size());
        if (faults_.announced_size >= 0) size = static_cast<std::uint32_t>(faults_.announced_size);
        Frame frame(4);
        PutLe32(frame.data(), size);
        events_("upload started " + std::to_string(image_.size()) + " bytes");
        answer.frames.push_back(std::move(frame));
      } else {
        events_("unexpected frame of " + std::to_string(length) + " bytes");
        return answer;
      }
      break;

    case State::kReceiving:
      if (image_.size() + length > kLargestImage) {
        oversized_ = true;
      } else if (!oversized_) {
        image_.insert(image_.end(), data, data + length);
      }
      answer.frames.push_back({kDownload, kBlockAck});
      break;

    case State::kSending:
      if (length != 2 || data[0] != kUpload || data[1] != kBlockAck) {
        events_("unexpected frame of " + std::to_string(length) + " bytes");
        return answer;
      }
      if (sent_ >= image_.size()) {
        state_ = State::kDone;
        events_("upload complete " + std::to_string(image_.size()) + " bytes");
        return answer;
      } else {
        std::size_t n = std::min(kBlock, image_.size() - sent_);
        Frame frame(image_.begin() + static_cast<std::ptrdiff_t>(sent_),
                    image_.begin() + static_cast<std::ptrdiff_t>(sent_ + n));
        sent_ += n;
        if (++blocks_ == faults_.corrupt_block) frame[0] ^= 0xFF;
        answer.frames.push_back(std::move(frame));
      }
      break;

    case State::kDone:
      events_("unexpected frame of " + std::to_string(length) + " bytes");
      return answer;
  }
  if (faults_.silent) answer.frames.clear();
  return answer;
}

void PanelNode::Closed() {
  if (state_ == State::kReceiving) {
    FinishDownload();
  } else if (state_ == State::kSending) {
    events_("upload broken off at " + std::to_string(sent_) + " of " +
            std::to_string(image_.size()) + " bytes");
  }
  Opened();
}

void PanelNode::FinishDownload() {
  std::string size = std::to_string(image_.size()) + " bytes";
  if (oversized_) {
    events_("download refused: larger than " + std::to_string(kLargestImage) + " bytes");
    return;
  }
  bool whole = image_.size() >= kImageHeader && image_[kImageMarkAt] == kImageMark &&
               GetLe32(image_.data()) == image_.size();
  if (!whole) {
    events_("download incomplete " + size + "; the database is kept");
    return;
  }
  if (!StoreDatabase(image_)) {
    events_("error the database " + database_ + " cannot be written; it is kept");
    return;
  }
  events_("download complete " + size);
}

// The old database stays whole until the new one is written in full.
bool PanelNode::StoreDatabase(const std::vector<std::uint8_t>& image) {
  if (database_.empty()) return true;
  return ReplaceWholeFile(database_,
                          std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
}

}  // namespace kelmnet_sim
