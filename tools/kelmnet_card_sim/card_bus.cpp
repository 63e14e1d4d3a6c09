#include "tools/kelmnet_card_sim/card_bus.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/base/little_endian.h"

namespace kelmnet_sim {

namespace {

constexpr std::size_t kResult = 0;
constexpr std::size_t kIndex = 4;
constexpr std::size_t kData = 8;
constexpr std::size_t kCode = 43;

enum CommandCode : std::uint8_t {
  kStartCommunication = 3,
  kSetTokenHolder = 4,
  kAnyNodeChange = 10,
  kAllNodeStatus = 12,
  kVersion = 20,
  kConfigureBuffers = 22,
  kTimeSyncTrigger = 32,
};

enum AnswerCode : std::uint8_t {
  kStarted = 9,
  kNodeChange = 11,
  kNodeStatus = 14,
  kVersionNumber = 21,
  kTimeSync = 33,
};

// "1.3 89-04-01": major, minor, then six digits.
constexpr std::uint8_t kVersionBytes[8] = {1, 3, 8, 9, 0, 4, 0, 1};

void SetResult(Record& r, std::uint32_t result) { PutLe32(r + kResult, result); }

Answer MakeAnswer(std::uint8_t code) {
  Answer a{};
  a.code = code;
  return a;
}

// A whole number of a control line (base 0: decimal, 0x hexadecimal); false
// when it is missing, malformed or outside [low, high].
bool ParseNumber(const std::string& field, int base, long long low, long long high,
                 long long* value) {
  if (field.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long n = std::strtoll(field.c_str(), &end, base);
  if (errno != 0 || *end != '\0' || n < low || n > high) return false;
  *value = n;
  return true;
}

// New transmit buffers hold nothing: a frame still queued or sent in the old
// ones is gone with them, so no index of the old set outlives it.
void EmptyTransmitBuffers(Card& c) {
  c.transmit.assign(c.transmit_capacity, Card::Tx::kFree);
  c.transmit_frames.assign(c.transmit_capacity, Frame{});
  c.queued.clear();
  c.sent.clear();
}

}  // namespace

CardBus::CardBus(int cards) : cards_(static_cast<std::size_t>(cards)) {}

std::uint8_t CardBus::NodeTableByte(std::size_t byte) const {
  std::uint8_t bits = 0;
  for (const Card& c : cards_) {
    if (c.started && c.node / 8 == byte) bits |= static_cast<std::uint8_t>(0x80u >> (c.node % 8));
  }
  return bits;
}

void CardBus::NodeSetChanged(int except) {
  for (int n = 1; n <= card_count(); ++n) {
    if (n != except && card(n).started) card(n).node_change = true;
  }
}

void CardBus::Command(Card& c, std::uint8_t code, const std::uint8_t* data) {
  c.commands.push_back(code);
  switch (code) {
    case kStartCommunication: {
      // A card that starts afresh empties its mailbox and its buffers.
      c.started = true;
      c.node = data[0];
      c.answers.clear();
      c.received.clear();
      c.lent.clear();
      EmptyTransmitBuffers(c);
      c.answers.push_back(MakeAnswer(kStarted));
      int self = static_cast<int>(&c - cards_.data()) + 1;
      NodeSetChanged(self);
      return;
    }
    case kConfigureBuffers:
      c.receive_capacity = data[0];
      c.transmit_capacity = data[1];
      EmptyTransmitBuffers(c);
      return;
    case kSetTokenHolder:
      return;
    case kAnyNodeChange: {
      Answer a = MakeAnswer(kNodeChange);
      a.data[0] = c.node_change ? 1 : 0;
      c.node_change = false;
      c.answers.push_back(a);
      return;
    }
    case kAllNodeStatus: {
      Answer a = MakeAnswer(kNodeStatus);
      for (std::size_t i = 0; i < 32; ++i) a.data[i] = NodeTableByte(i);
      c.answers.push_back(a);
      return;
    }
    case kVersion: {
      Answer a = MakeAnswer(kVersionNumber);
      std::memcpy(a.data, kVersionBytes, sizeof kVersionBytes);
      c.answers.push_back(a);
      return;
    }
    case kTimeSyncTrigger:
      c.answers.push_back(MakeAnswer(kTimeSync));
      return;
    default:
      return;
  }
}

bool CardBus::Deliver(int from, const Frame& frame) {
  Card& sender = card(from);
  std::uint8_t destination = frame.bytes[0];
  auto addressed = [&](int n) {
    const Card& c = card(n);
    return n != from && c.started && (destination == kBroadcastNode || c.node == destination);
  };
  auto full = [](const Card& c) { return c.received.size() + c.lent.size() >= c.receive_capacity; };
  // A frame for one node waits for its room; a broadcast goes to whoever has room.
  if (destination != kBroadcastNode) {
    for (int n = 1; n <= card_count(); ++n) {
      if (addressed(n) && full(card(n))) return false;
    }
  }
  ++sender.frames_put;
  if (sender.drop_skip > 0) {
    --sender.drop_skip;
  } else if (sender.drop_next > 0) {
    --sender.drop_next;
    ++sender.frames_lost;
    return true;
  }
  Frame arriving = frame;
  arriving.bytes[0] = sender.node;
  bool reached = false;
  for (int n = 1; n <= card_count(); ++n) {
    Card& c = card(n);
    if (!addressed(n) || full(c)) continue;
    c.received.push_back(arriving);
    ++c.frames_delivered;
    reached = true;
  }
  if (!reached) ++sender.frames_lost;
  return true;
}

void CardBus::RunBus() {
  for (int n = 1; n <= card_count(); ++n) {
    Card& c = card(n);
    while (!c.queued.empty()) {
      std::uint32_t index = c.queued.front();
      if (!Deliver(n, c.transmit_frames[index])) break;
      c.queued.pop_front();
      c.transmit[index] = Card::Tx::kSent;
      c.sent.push_back(index);
    }
  }
}

void CardBus::Handle(int number, std::uint32_t request, Record& r) {
  Card& c = card(number);
  ++c.requests;
  if (c.busy_next > 0 && (c.busy_request == 0 || c.busy_request == request)) {
    --c.busy_next;
    ++c.busy_answers;
    SetResult(r, kBusy);
    return;
  }
  Serve(c, request, r);
  RunBus();
}

void CardBus::Serve(Card& c, std::uint32_t request, Record& r) {
  switch (request) {
    case kCardCommand:
      Command(c, r[kCode], r + kData);
      SetResult(r, kDone);
      return;
    case kCardAnswer: {
      if (c.answers.empty()) {
        SetResult(r, kNothing);
        return;
      }
      Answer a = c.answers.front();
      c.answers.pop_front();
      std::memcpy(r + kData, a.data, sizeof a.data);
      r[kCode] = a.code;
      SetResult(r, kDone);
      return;
    }
    case kGetReceived: {
      if (c.received.empty()) {
        SetResult(r, kNothing);
        return;
      }
      std::uint32_t index = c.next_receive_index++;
      c.lent.push_back(index);
      std::memcpy(r + kData, c.received.front().bytes, kFrameBytes);
      c.received.pop_front();
      PutLe32(r + kIndex, index);
      SetResult(r, kDone);
      return;
    }
    case kGiveBackReceived: {
      auto it = std::find(c.lent.begin(), c.lent.end(), GetLe32(r + kIndex));
      if (it == c.lent.end()) {
        SetResult(r, kMisuse);
        return;
      }
      c.lent.erase(it);
      SetResult(r, kDone);
      return;
    }
    case kGetFreeTransmit: {
      auto it = std::find(c.transmit.begin(), c.transmit.end(), Card::Tx::kFree);
      if (!c.started || it == c.transmit.end()) {
        SetResult(r, kNothing);
        return;
      }
      *it = Card::Tx::kHeld;
      PutLe32(r + kIndex, static_cast<std::uint32_t>(it - c.transmit.begin()));
      SetResult(r, kDone);
      return;
    }
    case kPutTransmit: {
      std::uint32_t index = GetLe32(r + kIndex);
      if (!c.started || index >= c.transmit.size() || c.transmit[index] != Card::Tx::kHeld) {
        SetResult(r, kMisuse);
        return;
      }
      std::memcpy(c.transmit_frames[index].bytes, r + kData, kFrameBytes);
      c.transmit[index] = Card::Tx::kQueued;
      c.queued.push_back(index);
      SetResult(r, kDone);
      return;
    }
    case kReclaimTransmit: {
      if (c.sent.empty()) {
        SetResult(r, kNothing);
        return;
      }
      std::uint32_t index = c.sent.front();
      c.sent.pop_front();
      c.transmit[index] = Card::Tx::kHeld;
      PutLe32(r + kIndex, index);
      std::memcpy(r + kData, c.transmit_frames[index].bytes, kFrameBytes);
      SetResult(r, kDone);
      return;
    }
    default:
      SetResult(r, kMisuse);
      return;
  }
}

void CardBus::Reset(int number) {
  Card& c = card(number);
  bool was_on_bus = c.started;
  c = Card{};
  c.answers.push_back(MakeAnswer(kPowerUpMail));
  if (was_on_bus) NodeSetChanged(number);
}

void CardBus::Drop(int number, int skip, int count) {
  card(number).drop_skip = skip;
  card(number).drop_next = count;
}

std::string CardBus::Control(const std::string& line) {
  std::istringstream in(line);
  std::string verb;
  std::string card_field;
  in >> verb >> card_field;
  if (verb.empty()) return "error";
  long long number = 0;
  if (!ParseNumber(card_field, 10, 1, card_count(), &number)) return "error no such card";
  Card& c = card(static_cast<int>(number));
  if (verb == "busy") {
    std::string count_field;
    std::string code_field;
    in >> count_field >> code_field;
    long long count = 0;
    long long code = 0;
    if (!ParseNumber(count_field, 10, 0, INT_MAX, &count) ||
        (!code_field.empty() && !ParseNumber(code_field, 0, 0, UINT32_MAX, &code))) {
      return "error busy <card> <n> [code]";
    }
    Busy(static_cast<int>(number), static_cast<int>(count), static_cast<std::uint32_t>(code));
    return "ok";
  }
  if (verb == "reset") {
    Reset(static_cast<int>(number));
    return "ok";
  }
  if (verb == "drop") {
    std::string skip_field;
    std::string count_field;
    in >> skip_field >> count_field;
    long long skip = 0;
    long long count = 0;
    if (!ParseNumber(skip_field, 10, 0, INT_MAX, &skip) ||
        !ParseNumber(count_field, 10, 0, INT_MAX, &count)) {
      return "error drop <card> <skip> <n>";
    }
    Drop(static_cast<int>(number), static_cast<int>(skip), static_cast<int>(count));
    return "ok";
  }
  if (verb == "stats") {
    std::ostringstream out;
    out << "started " << (c.started ? 1 : 0) << " node " << static_cast<int>(c.node) << " put "
        << c.frames_put << " delivered " << c.frames_delivered << " lost " << c.frames_lost
        << " busy " << c.busy_answers << " commands";
    for (std::uint8_t code : c.commands) out << ' ' << static_cast<int>(code);
    return out.str();
  }
  return "error unknown request";
}

}  // namespace kelmnet_sim
