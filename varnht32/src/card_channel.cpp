#include "varnht32/src/card_channel.h"

#include <cstring>
#include <initializer_list>
#include <memory>

#include "varnht32/src/card_driver.h"
#include "varnht32/src/card_frames.h"
#include "varnht32/src/kelmnet_messages.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_channel.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/trace.h"
#include "varnht32/src/clock.h"

namespace vnh {

namespace {

constexpr std::int32_t kStartPauseMs = 300;
constexpr std::int32_t kTokenPauseMs = 150;
constexpr std::int32_t kVersionPauseMs = 150;
constexpr std::int32_t kTimeSyncPauseMs = 500;
constexpr std::int32_t kAnswerRetryMs = 5;
constexpr std::uint32_t kPollCounterAtStart = 32000;
constexpr std::uint8_t kReceiveBuffersOnCard = 30;
constexpr std::uint8_t kTransmitBuffersOnCard = 15;
constexpr std::uint8_t kTokenHolder = 20;
constexpr std::uint8_t kMinNode = 2;
constexpr std::uint8_t kMaxNode = 127;
constexpr std::uint32_t kFirstFragmentBytes = 1 + kFrameDataBytes;

// The devices of this process, by card number; the channel record's device
// field holds the card number while the device is open here.
std::unique_ptr<CardDevice> g_devices[kCardChannels + 1];

CardDevice* DeviceOf(std::uint32_t channel) {
  std::int32_t n = Channel(channel)->device;
  return (n >= 1 && n <= kCardChannels) ? g_devices[n].get() : nullptr;
}

void CloseDevice(std::uint32_t channel) {
  std::int32_t n = Channel(channel)->device;
  if (n >= 1 && n <= kCardChannels) g_devices[n].reset();
  Channel(channel)->device = -1;
}

bool OpenDevice(std::uint32_t channel) {
  int n = Channel(channel)->number;
  std::unique_ptr<CardDevice> device = OpenCardDevice(n);
  if (device == nullptr) return false;
  g_devices[n] = std::move(device);
  Channel(channel)->device = n;
  return true;
}

void HwError(std::uint32_t channel, const char* what) {
  Trace("Kelmnet%3d: HW access error. %s", static_cast<int>(Channel(channel)->number), what);
}

// A driver request with the retry rule; a result above "nothing available"
// is traced with the request's name.
std::uint32_t Request(std::uint32_t channel, std::uint32_t code, DriverRecord& record,
                      const char* name) {
  std::uint32_t result = DriverRequest(DeviceOf(channel), code, record);
  if (result > kDriverNothing && name != nullptr) HwError(channel, name);
  return result;
}

bool Command(std::uint32_t channel, std::uint8_t command, std::initializer_list<std::uint8_t> data,
             const char* name) {
  DriverRecord r;
  r.code = command;
  std::size_t i = 0;
  for (std::uint8_t b : data) r.data[i++] = b;
  return Request(channel, kRequestCardCommand, r, name) == kDriverDone;
}

bool ReadAnswer(std::uint32_t channel, DriverRecord& answer, const char* name) {
  return Request(channel, kRequestCardAnswer, answer, name) == kDriverDone;
}

bool IsAcknowledgement(std::uint8_t code) {
  return code == kAnswerStarted || code == kAnswerAcknowledge || code == kAnswerVersion ||
         code == kAnswerTimeSync;
}

std::int32_t StartFailed(std::uint32_t channel, const char* step) {
  HwError(channel, step);
  return kCardStartFailed;
}

// ---- transmit ----

// A message to the channel's own node never reaches the bus.
void LoopBack(std::uint32_t channel, std::uint32_t buffer) {
  std::uint32_t rx = TakeReceiveBuffer();
  if (rx != 0) {
    MessageBuffer* to = Buffer(rx);
    const MessageBuffer* from = Buffer(buffer);
    std::memcpy(to->message, from->message, from->length);
    to->length = from->length;
    to->element = Channel(channel)->own_node;
  }
  FreeMessageBuffer(buffer);
  if (rx != 0) ReceiveMessage(rx);
}

// A driver transmit buffer for the next fragment: a free one, else one that
// the card has sent. False when the driver has none now.
bool TakeDriverBuffer(std::uint32_t channel) {
  LinkChannel* l = Link(channel);
  if (l->tx_index != kNoDriverIndex) return true;
  DriverRecord r;
  if (Request(channel, kRequestGetFreeTransmit, r, nullptr) != kDriverDone) {
    r = DriverRecord{};
    if (Request(channel, kRequestReclaimTransmit, r, nullptr) != kDriverDone) return false;
  }
  l->tx_index = r.index;
  return true;
}

// Puts the fragments of the message in progress; false when the poll must
// stop (no driver buffer, or the driver stayed busy).
bool PutFragments(std::uint32_t channel) {
  LinkChannel* l = Link(channel);
  const MessageBuffer* m = Buffer(l->tx_message);
  auto node = static_cast<std::uint8_t>(m->element != 0 ? Node(m->element)->address : 0);
  while (l->tx_next < l->tx_fragments) {
    if (!TakeDriverBuffer(channel)) return false;
    DriverRecord r;
    r.index = l->tx_index;
    BuildFrame(m->message, m->length, l->tx_next, node, r.data);
    if (Request(channel, kRequestPutTransmit, r, "PutTXBuffer.") != kDriverDone) return false;
    l->tx_sequence = r.data[2] & kFrameTypeMask;
    l->tx_index = kNoDriverIndex;
    ++l->tx_next;
  }
  return true;
}

// ---- receive ----

int FindPartial(const LinkChannel* l, std::uint8_t node, std::uint8_t code) {
  for (int i = 0; i < kPartialSlots; ++i) {
    std::uint32_t b = l->partial[i];
    if (b == 0) continue;
    const MessageBuffer* m = Buffer(b);
    if ((m->message[0] & kFunctionCodeMask) == code && m->element != 0 &&
        Node(m->element)->address == node) {
      return i;
    }
  }
  return -1;
}

void DropPartial(LinkChannel* l, int slot) {
  FreeMessageBuffer(l->partial[slot]);
  l->partial[slot] = 0;
  if (l->partial_count > 0) --l->partial_count;
}

void FrameDropped(std::uint32_t channel, const char* why, std::uint8_t node) {
  Trace("Kelmnet%3d: frame from node %d dropped, %s", static_cast<int>(Channel(channel)->number),
        static_cast<int>(node), why);
}

void StartPartial(std::uint32_t channel, std::uint32_t element, const FrameView& f) {
  LinkChannel* l = Link(channel);
  int old = FindPartial(l, f.node, f.code);
  if (old >= 0) {
    // Its last fragment never came: keeping it would splice two messages.
    FrameDropped(channel, "an unfinished message of that node is given up", f.node);
    DropPartial(l, old);
  }
  int slot = -1;
  for (int i = 0; i < kPartialSlots && slot < 0; ++i) {
    if (l->partial[i] == 0) slot = i;
  }
  std::uint32_t rx = slot >= 0 ? TakeReceiveBuffer() : 0;
  if (rx == 0) return;  // no slot or no receive buffer: the message is lost
  MessageBuffer* m = Buffer(rx);
  m->message[0] = f.code;
  std::memcpy(m->message + 1, f.data, f.data_length);
  m->length = 1 + f.data_length;
  m->element = element;
  l->partial[slot] = rx;
  l->partial_minute[slot] = static_cast<std::uint16_t>(MinuteOfHour(Now()));
  ++l->partial_count;
}

void ContinuePartial(std::uint32_t channel, const FrameView& f) {
  LinkChannel* l = Link(channel);
  int slot = FindPartial(l, f.node, f.code);
  if (slot < 0) {
    FrameDropped(channel, "no message of that node is being received", f.node);
    return;
  }
  MessageBuffer* m = Buffer(l->partial[slot]);
  if (f.type != kFrameLast) {
    // Middle fragments alternate their type: a mismatch means one was lost.
    std::uint32_t index = (m->length - kFirstFragmentBytes) / kFrameDataBytes + 1;
    if (f.type != MiddleFrameType(index)) {
      FrameDropped(channel, "a fragment is missing", f.node);
      DropPartial(l, slot);
      return;
    }
  }
  if (m->length + f.data_length > kMessageMax) {
    FrameDropped(channel, "the message would overrun its buffer", f.node);
    DropPartial(l, slot);
    return;
  }
  std::memcpy(m->message + m->length, f.data, f.data_length);
  m->length += f.data_length;
  if (f.type != kFrameLast) return;
  std::uint32_t done = l->partial[slot];
  l->partial[slot] = 0;
  --l->partial_count;
  ReceiveMessage(done);
}

void HandleFrame(std::uint32_t channel, const Frame& frame) {
  FrameView f{};
  if (!DecodeFrame(frame, &f)) {
    FrameDropped(channel, "its layout is broken", frame[0]);
    return;
  }
  if (f.node < kMinNode || f.node > kMaxNode) {
    FrameDropped(channel, "no such node", f.node);
    return;
  }
  std::uint32_t element = NodeElement(channel, f.node);
  if (element == 0) return;
  switch (f.type) {
    case kFrameWhole: {
      std::uint32_t rx = TakeReceiveBuffer();
      if (rx == 0) return;
      MessageBuffer* m = Buffer(rx);
      m->message[0] = f.code;
      std::memcpy(m->message + 1, f.data, f.data_length);
      m->length = 1 + f.data_length;
      m->element = element;
      ReceiveMessage(rx);
      return;
    }
    case kFrameFirst:
      StartPartial(channel, element, f);
      return;
    default:
      ContinuePartial(channel, f);
      return;
  }
}

void PurgePartials(std::uint32_t channel) {
  LinkChannel* l = Link(channel);
  if (l->partial_count == 0) return;
  std::uint16_t now = static_cast<std::uint16_t>(MinuteOfHour(Now()));
  for (int i = 0; i < kPartialSlots; ++i) {
    if (l->partial[i] == 0) continue;
    int age = (now - l->partial_minute[i] + 60) % 60;
    if (age <= kPartialMessageMinutes) continue;
    const MessageBuffer* m = Buffer(l->partial[i]);
    if (TraceMessages()) {
      TraceMessage("PurgePendingRXBuffers:", m->element, m->message, m->length);
    }
    DropPartial(l, i);
  }
}

// ---- supervision ----

void TraceNodeTable(const std::uint8_t (&table)[32]) {
  Trace("DPM converted AllNodeStatus:");
  char line[kTraceTextMax + 1];
  int used = 0;
  int count = 0;
  for (std::uint32_t node = 0; node < kCardNodeLimit; ++node) {
    bool present = NodeInTable(table, node);
    if (present && node >= kMinNode) ++count;
    used += std::snprintf(line + used, sizeof line - static_cast<std::size_t>(used),
                          present ? "%4ld * " : "%4ld   ", static_cast<long>(node));
    if (node % 10 == 9 || node + 1 == kCardNodeLimit) {
      Trace("%s", line);
      used = 0;
    }
  }
  Trace("Node count = %d", count);
}

void TakeNodeTable(std::uint32_t channel, const std::uint8_t* data) {
  std::uint8_t table[32];
  std::memcpy(table, data, sizeof table);
  if (TraceNodeTables()) TraceNodeTable(table);
  int present = 0;
  for (std::uint32_t node = kMinNode; node <= kMaxNode; ++node) present += NodeInTable(table, node);
  LinkChannel* l = Link(channel);
  l->alone = present < 2 ? 1 : 0;
  l->request_pending = 0;
  ApplyNodeTable(channel, table);
  if (l->common.state == kChannelStarting) l->common.state = kChannelUp;
}

void SendSupervisionRequest(std::uint32_t channel) {
  LinkChannel* l = Link(channel);
  bool starting = l->common.state == kChannelStarting;
  bool sent = starting ? Command(channel, kCardAllNodeStatus, {1}, "KNAllNodeStatus.")
                       : Command(channel, kCardAnyNodeChange, {0}, "KNAnyNodeChangeReq.");
  if (!sent) return;
  l->request_pending = 1;
  l->request_stamp = Now();
}

// A card that answers with anything unexpected was reset: it is started again.
void RestartCard(std::uint32_t channel) {
  Trace("Kelmnet:KNPowerUpMail. Hardware reset - Reinitiate HW.");
  LinkChannel* l = Link(channel);
  l->request_pending = 0;
  l->tx_index = kNoDriverIndex;  // the card's buffers went with the reset
  l->tx_next = 0;                // the message in progress goes again from its start
  l->common.state = kChannelStarting;
  l->poll_counter = kPollCounterAtStart;
  l->restart_needed = StartCard(channel) == 1 ? 0 : 1;
}

// A pending request reads one answer a poll; an acknowledgement ends the
// read just as an answer does, and the request stays pending.
void ReadSupervisionAnswer(std::uint32_t channel) {
  LinkChannel* l = Link(channel);
  DriverRecord answer;
  if (!ReadAnswer(channel, answer, nullptr)) return;
  switch (answer.code) {
    case kAnswerNodeChange:
      if (answer.data[0] != 1) {
        l->request_pending = 0;
      } else if (Command(channel, kCardAllNodeStatus, {1}, "KNAllNodeStatus.")) {
        l->request_stamp = Now();
      }
      return;
    case kAnswerNodeStatus:
      TakeNodeTable(channel, answer.data);
      return;
    default:
      if (!IsAcknowledgement(answer.code)) RestartCard(channel);
      return;
  }
}

}  // namespace

void FormatCardVersion(const std::uint8_t* answer, char (&text)[12]) {
  auto digit = [](std::uint8_t b) -> char {
    if (b <= 9) return static_cast<char>('0' + b);
    if (b >= '0' && b <= '9') return static_cast<char>(b);
    return '?';
  };
  const char form[] = "M.m dd-dd-dd";
  int next = 0;
  for (int i = 0; i < 12; ++i) {
    text[i] = (form[i] == '.' || form[i] == ' ' || form[i] == '-') ? form[i] : digit(answer[next++]);
  }
}

std::int32_t StartCard(std::uint32_t channel) {
  std::uint32_t node = Channel(channel)->own_address;
  if (node < kMinNode || node > kMaxNode) return kCardBadNodeAddress;
  if (!Command(channel, kCardStartCommunication, {static_cast<std::uint8_t>(node)},
               "KNInitCommunication. Init Comm.")) {
    return kCardStartFailed;
  }
  WaitMilliSeconds(kStartPauseMs);
  DriverRecord answer;
  if (!ReadAnswer(channel, answer, nullptr) || answer.code != kAnswerStarted) {
    return StartFailed(channel, "KNInitCommunication. Comm. Started.");
  }
  // The card holds at most 45 buffers; the configuration is sent only when it fits.
  static_assert(kReceiveBuffersOnCard + kTransmitBuffersOnCard < 46);
  if (!Command(channel, kCardConfigureBuffers, {kReceiveBuffersOnCard, kTransmitBuffersOnCard},
               "KNInitCommunication. Config buf.")) {
    return kCardStartFailed;
  }
  WaitMilliSeconds(kStartPauseMs);
  if (!Command(channel, kCardSetTokenHolder, {kTokenHolder}, "KNInitCommunication. Set token holder.")) {
    return kCardStartFailed;
  }
  WaitMilliSeconds(kTokenPauseMs);
  return 1;
}

bool ReadCardVersion(std::uint32_t channel) {
  if (!Command(channel, kCardVersion, {0}, "KNGetVersionNumber.")) return false;
  WaitMilliSeconds(kVersionPauseMs);
  DriverRecord answer;
  if (!ReadAnswer(channel, answer, "KNGetVersionNumber answer.") || answer.code != kAnswerVersion) {
    return false;
  }
  FormatCardVersion(answer.data, Channel(channel)->version);
  return true;
}

bool CardTimeSyncTrigger(std::uint32_t channel) {
  std::uint8_t mode = RemoteTimeMode() == 1 ? 1 : 3;
  if (!Command(channel, kCardTimeSyncTrigger, {mode, 0, 0, 18, 'B', 'X', 'T', 'I', 'M', 'E', 1, 1, 9},
               "KNSyncTimeTrig.")) {
    return false;
  }
  WaitMilliSeconds(kTimeSyncPauseMs);
  // Waiting for this answer holds the library mutex for the whole machine,
  // so it is bounded by the card's answer time-out.
  TimeStamp start = Now();
  for (;;) {
    DriverRecord answer;
    if (ReadAnswer(channel, answer, nullptr)) {
      if (answer.code != kAnswerTimeSync && !IsAcknowledgement(answer.code) &&
          answer.code != kAnswerNodeChange && answer.code != kAnswerNodeStatus) {
        RestartCard(channel);
      }
      return true;
    }
    if (ElapsedMs(start, Now()) >= kCardAnswerTimeoutMs) {
      HwError(channel, "KNSyncTimeTrig.");
      return false;
    }
    WaitMilliSeconds(kAnswerRetryMs);
  }
}

std::int32_t RequestCardNodeStatus(std::uint32_t channel) {
  LinkChannel* l = Link(channel);
  if (l->request_pending != 0) return -400;
  if (!Command(channel, kCardAllNodeStatus, {1}, "KNAllNodeStatus.")) return -400;
  l->request_pending = 1;
  l->request_stamp = Now();
  return 1;
}

void CardTransmitPoll(std::uint32_t channel) {
  LinkChannel* l = Link(channel);
  if (l->common.state != kChannelUp) return;
  if (l->alone != 0) {
    // Nobody to send to: what waits goes back unsent.
    Heap heap = SharedHeap();
    while (std::uint32_t b = heap.First(l->common.send_list)) FreeMessageBuffer(b);
    if (l->tx_in_progress != 0) FreeMessageBuffer(l->tx_message);
    l->tx_in_progress = 0;
    l->tx_message = 0;
    return;
  }
  Heap heap = SharedHeap();
  for (;;) {
    if (l->tx_in_progress == 0) {
      std::uint32_t m = heap.First(l->common.send_list);
      if (m == 0) return;
      heap.Takeout(m);
      const MessageBuffer* b = Buffer(m);
      if (b->length == 0 || b->length > kMessageMax || b->element == 0) {
        FreeMessageBuffer(m);
        continue;
      }
      if (Node(b->element)->address == l->common.own_address) {
        LoopBack(channel, m);
        continue;
      }
      l->tx_message = m;
      l->tx_fragments = static_cast<std::uint8_t>(FrameCount(b->length));
      l->tx_next = 0;
      l->tx_in_progress = 1;
    }
    if (!PutFragments(channel)) return;
    FreeMessageBuffer(l->tx_message);
    l->tx_message = 0;
    l->tx_in_progress = 0;
  }
}

void CardReceivePoll(std::uint32_t channel) {
  LinkChannel* l = Link(channel);
  if (l->common.state == kChannelDown) return;
  for (int i = 0; i < kFramesPerPoll; ++i) {
    DriverRecord r;
    std::uint32_t result = Request(channel, kRequestGetReceived, r, "GetRXBuffer.");
    if (result != kDriverDone) break;
    HandleFrame(channel, r.data);
    DriverRecord back;
    back.index = r.index;
    Request(channel, kRequestGiveBackReceived, back, "PutFreeRXBuffer.");
    l->alone = 0;
  }
  // Also when nothing arrived: the stamps count minutes of the hour, so a
  // partial message must not wait an hour for the next frame to be judged.
  PurgePartials(channel);
}

void CardSupervision(std::uint32_t channel) {
  LinkChannel* l = Link(channel);
  if (l->common.state == kChannelDown) return;
  if (l->request_pending == 0) {
    if (++l->poll_counter < kSupervisionPolls) return;
    l->poll_counter = 1;
    if (l->restart_needed != 0) {
      l->restart_needed = StartCard(channel) == 1 ? 0 : 1;
      if (l->restart_needed != 0) return;
    }
    SendSupervisionRequest(channel);
    return;
  }
  std::int32_t elapsed = ElapsedMs(l->request_stamp, Now());
  if (elapsed < static_cast<std::int32_t>(l->request_wait)) return;
  ReadSupervisionAnswer(channel);
  if (l->request_pending != 0 &&
      ElapsedMs(l->request_stamp, Now()) >= 5 * static_cast<std::int32_t>(l->request_wait)) {
    l->request_pending = 0;
  }
}

namespace {

void OpenCardChannels() {
  if (SimulatedChannelOnly()) return;
  for (int n = 1; n <= kCardChannels; ++n) {
    if (!CardEnabled(n)) continue;
    std::uint32_t c = NewLinkChannel(kChannelCard, static_cast<std::uint8_t>(n));
    if (c == 0) return;
    ChannelRecord* r = Channel(c);
    r->own_address = static_cast<std::uint32_t>(CardNodeAddress(n));
    r->card_memory = CardMemoryAddress(n);
    if (!OpenDevice(c)) {
      SharedHeap().Takeout(c);
      continue;
    }
    r->state = kChannelStarting;
    if (StartCard(c) != 1) {
      CloseDevice(c);
      SharedHeap().Takeout(c);
      continue;
    }
    ReadCardVersion(c);
    GiveChannelNodeElements(c);
  }
}

bool TakeOverCard(std::uint32_t channel) { return OpenDevice(channel); }

void LetGoOfCard(std::uint32_t channel) { CloseDevice(channel); }

void ForgetCard(std::uint32_t channel) {
  ReleaseLinkBuffers(channel);
  CloseDevice(channel);
}

const ChannelBackend kCardBackend = {
    .open = OpenCardChannels,
    .transmit_poll = CardTransmitPoll,
    .receive_poll = CardReceivePoll,
    .housekeeping = CardSupervision,
    .take_over = TakeOverCard,
    .let_go = LetGoOfCard,
    .peer_defined = nullptr,
    .peer_released = nullptr,
    .forget = ForgetCard,
};

[[maybe_unused]] const bool g_registered =
    (RegisterChannelBackend(kChannelCard, &kCardBackend), true);

}  // namespace

}  // namespace vnh
