#pragma once
// A Kelmnet bus with adapter cards on it, as the library's card driver sees
// them: each card takes the driver's requests on 44-byte records ([0..3]
// result, [4..7] buffer index, [8..40] a frame or 32 bytes of command data,
// [43] the command code) and answers them as a card would. Frames put by one
// card reach the card of their destination node (node 1: every other card)
// with the sender's node in place of the destination, in order, as soon as
// that card has a receive buffer free; until then they hold the sender's
// transmit buffers. Faults are set from outside: busy answers, a card reset,
// frames lost on the bus.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace kelmnet_sim {

constexpr std::size_t kRecordBytes = 44;
constexpr std::size_t kFrameBytes = 33;
using Record = std::uint8_t[kRecordBytes];

enum Request : std::uint32_t {
  kCardCommand = 0x80002000,
  kCardAnswer = 0x80002004,
  kGetReceived = 0x80002008,
  kGiveBackReceived = 0x8000200C,
  kGetFreeTransmit = 0x80002010,
  kPutTransmit = 0x80002014,
  kReclaimTransmit = 0x80002018,
};

enum Result : std::uint32_t { kDone = 0, kNothing = 1, kBusy = 2, kMisuse = 3 };

// The answer code a card gives after it was reset: anything that is not an
// acknowledgement or a node report tells the driver that the card restarted.
constexpr std::uint8_t kPowerUpMail = 1;
constexpr std::uint8_t kBroadcastNode = 1;

struct Frame {
  std::uint8_t bytes[kFrameBytes];
};

struct Answer {
  std::uint8_t code;
  std::uint8_t data[32];
};

struct Card {
  bool started = false;
  std::uint8_t node = 0;
  std::size_t receive_capacity = 30;
  std::size_t transmit_capacity = 15;
  std::deque<Frame> received;            // frames waiting for the driver
  std::vector<std::uint32_t> lent;       // receive buffers the driver holds
  std::uint32_t next_receive_index = 0;
  // A buffer put by the driver waits until the bus takes its frame: a frame
  // travels only when its destination card has a receive buffer free.
  enum class Tx { kFree, kHeld, kQueued, kSent };
  std::vector<Tx> transmit;
  std::vector<Frame> transmit_frames;
  std::deque<std::uint32_t> queued;      // put, waiting for the bus, in order
  std::deque<std::uint32_t> sent;        // transmit buffers the card has sent, oldest first
  std::deque<Answer> answers;
  bool node_change = false;
  // Faults.
  int busy_next = 0;    // so many requests answered busy
  std::uint32_t busy_request = 0;  // only requests of this code, or 0 for any
  int drop_skip = 0;    // frames put that still travel before the loss
  int drop_next = 0;    // frames put that are then lost
  // Counters.
  std::uint64_t requests = 0;
  std::uint64_t frames_put = 0;
  std::uint64_t frames_delivered = 0;  // frames this card received from the bus
  std::uint64_t frames_lost = 0;       // frames this card put that reached nobody
  std::uint64_t busy_answers = 0;
  std::vector<std::uint8_t> commands;  // every command code, in order
};

class CardBus {
 public:
  explicit CardBus(int cards);

  int card_count() const { return static_cast<int>(cards_.size()); }
  Card& card(int number) { return cards_.at(static_cast<std::size_t>(number - 1)); }

  // One driver request of card `number` (1 on) on the record in place.
  void Handle(int number, std::uint32_t request, Record& record);

  // Faults.
  void Busy(int number, int requests, std::uint32_t request = 0) {
    card(number).busy_next = requests;
    card(number).busy_request = request;
  }
  void Reset(int number);
  void Drop(int number, int skip, int count);

  // A line of the control protocol; returns the answer line (without newline),
  // "error ..." for a line it cannot take.
  std::string Control(const std::string& line);

 private:
  void Serve(Card& c, std::uint32_t request, Record& record);
  void Command(Card& c, std::uint8_t code, const std::uint8_t* data);
  // Moves queued frames onto the bus while their destinations have room.
  void RunBus();
  // Delivers one frame; false when its destination has no room yet.
  bool Deliver(int from, const Frame& frame);
  void NodeSetChanged(int except);
  std::uint8_t NodeTableByte(std::size_t byte) const;

  std::vector<Card> cards_;
};

}  // namespace kelmnet_sim
