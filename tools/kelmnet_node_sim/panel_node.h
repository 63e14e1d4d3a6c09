#pragma once
// What a panel on the fieldbus does with the frames that the transfer program
// sends over its stream, without the fieldbus: a frame goes in, the answer
// comes out. One stream carries one transfer:
//
//   download  {2, 1}, then the database in blocks; each frame is answered
//             with {2, 'B'}. When the stream closes the panel keeps the image
//             only if it is whole (its header's length equals the bytes that
//             came), else the database it had stays.
//   upload    {3, flag} is answered with the database's size (u32), then each
//             {3, 'B'} with the next block of at most 250 bytes; the {3, 'B'}
//             after the last block ends the upload.
//
// Faults make it misbehave on purpose, counted in frames of the stream.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelmnet_sim {

using Frame = std::vector<std::uint8_t>;

struct PanelFaults {
  bool silent = false;          // frames are taken and never answered
  int close_after = 0;          // the panel closes the stream at this frame (1-based)
  int exit_after = 0;           // the node is lost at this frame
  long long announced_size = -1;  // the upload's size frame says this instead
  int corrupt_block = 0;        // this upload block (1-based) has its first byte flipped
};

// What the panel does after a frame.
struct PanelAnswer {
  std::vector<Frame> frames;
  bool close = false;
  bool exit = false;
};

class PanelNode {
 public:
  static constexpr std::size_t kBlock = 250;
  // A download larger than this is refused, so that a runaway peer cannot
  // take the simulator's memory.
  static constexpr std::size_t kLargestImage = 64u << 20;

  using EventSink = std::function<void(const std::string&)>;

  PanelNode(std::string database, EventSink events);

  PanelFaults& faults() { return faults_; }

  // A new stream: any transfer in progress is forgotten.
  void Opened();
  PanelAnswer Receive(const std::uint8_t* data, std::size_t length);
  // The stream ended (closed by either side or by the loss of the node).
  void Closed();

 private:
  enum class State { kIdle, kReceiving, kSending, kDone };

  void FinishDownload();
  bool StoreDatabase(const std::vector<std::uint8_t>& image);

  std::string database_;
  EventSink events_;
  PanelFaults faults_;
  State state_ = State::kIdle;
  int frames_ = 0;
  bool oversized_ = false;
  std::vector<std::uint8_t> image_;  // received, or being sent
  std::size_t sent_ = 0;
  int blocks_ = 0;
};

}  // namespace kelmnet_sim
