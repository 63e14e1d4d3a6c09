#include "varnht32/src/knsock.h"

#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstring>
#include <memory>
#include <string>

#include "varnht32/src/datagram_port.h"
#include "varnht32/src/kelmnet_messages.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_channel.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/node_data.h"
#include "varnht32/src/trace.h"
#include "varnht32/src/udp_datagram.h"

namespace vnh {

namespace {

constexpr char kSessionTag[4] = {'D', 'O', 'N', '!'};
constexpr std::uint8_t kModeAtReset = 2;
constexpr std::uint8_t kModeMax = 2;
constexpr std::int32_t kAckDelayMs = 100;
constexpr std::int32_t kSequenceErrorAckMs = 10;
constexpr std::int32_t kQueryAnswerMsPerHost = 4;
constexpr std::int32_t kRetransmitMsPerSecond = 170;
constexpr std::int32_t kResendEarlyMs = 2;
constexpr std::int32_t kKeepAliveMinimumMs = 1000;
constexpr std::uint32_t kTimeoutMin = 1;
constexpr std::uint32_t kTimeoutMax = 30;
constexpr int kDueRecordsPerPoll = 8 * kDatagramRecords;

static_assert(sizeof(UdpSession) <= RegisteredSize(kTypeUdpSession));
static_assert(sizeof(UdpPeer) <= RegisteredSize(kTypeUdpPeer));

// The socket of this process while it drives the channel.
std::unique_ptr<DatagramPort> g_port;
NodeStatusDone g_status_done = nullptr;

std::uint8_t OwnTimeout(const UdpSession* s) { return static_cast<std::uint8_t>(s->default_timeout); }

std::uint32_t& ChainOf(UdpSession* s, std::uint32_t address) {
  return s->chains[address % kPeerChains];
}

std::int32_t SinceMs(TimeStamp since) { return ElapsedMs(since, Now()); }

std::uint32_t NowMs() { return static_cast<std::uint32_t>(TotalMs(Now())); }

std::int64_t SinceMs(std::uint32_t since_ms) {
  return static_cast<std::int64_t>(static_cast<std::uint32_t>(NowMs() - since_ms));
}

void StampDataTaken(UdpPeer* p) {
  std::uint32_t now = NowMs();
  for (int i = 0; i < 3; ++i) p->data_taken_ms[i] = static_cast<std::uint8_t>(now >> (8 * i));
}

std::int64_t SinceDataTaken(const UdpPeer* p) {
  std::uint32_t stamp = p->data_taken_ms[0] | (p->data_taken_ms[1] << 8) | (p->data_taken_ms[2] << 16);
  return (NowMs() - stamp) & 0xFFFFFFu;
}

template <class Step>
void ForEachPeer(UdpSession* s, Step step) {
  Heap heap = SharedHeap();
  for (std::uint32_t chain : s->chains) {
    std::uint32_t p = heap.First(chain);
    while (p != 0) {
      std::uint32_t next = heap.SuccElem(p);
      step(p);
      p = next;
    }
  }
}

// ---- records ----

int NewRecord(UdpSession* s, DatagramRecordKind kind, std::uint32_t peer) {
  for (int i = 0; i < kDatagramRecords; ++i) {
    DatagramRecord& r = s->records[i];
    if (r.kind != kRecordFree) continue;
    r = DatagramRecord{};
    r.kind = kind;
    r.peer = peer;
    return i;
  }
  return -1;
}

void Schedule(UdpSession* s, int i, TimeStamp due) {
  s->records[i].due = due;
  s->records[i].order = s->next_order++;
}

void FreeRecord(UdpSession* s, int i) {
  DatagramRecord& r = s->records[i];
  if (r.kind == kRecordData) FreeMessageBuffer(r.buffer);
  r = DatagramRecord{};
}

int FindRecord(const UdpSession* s, DatagramRecordKind kind, std::uint32_t peer) {
  for (int i = 0; i < kDatagramRecords; ++i) {
    if (s->records[i].kind == kind && s->records[i].peer == peer) return i;
  }
  return -1;
}

bool PeerHasRecords(const UdpSession* s, std::uint32_t peer) {
  for (const DatagramRecord& r : s->records) {
    if (r.kind != kRecordFree && r.peer == peer) return true;
  }
  return false;
}

bool PeerHasUnsentData(const UdpSession* s, std::uint32_t peer) {
  for (const DatagramRecord& r : s->records) {
    if (r.kind == kRecordData && r.peer == peer && r.tries == 0) return true;
  }
  return false;
}

bool Earlier(const DatagramRecord& a, const DatagramRecord& b) {
  std::uint64_t ta = TotalMs(a.due);
  std::uint64_t tb = TotalMs(b.due);
  return ta != tb ? ta < tb : static_cast<std::int32_t>(a.order - b.order) < 0;
}

int EarliestRecord(const UdpSession* s) {
  int best = -1;
  for (int i = 0; i < kDatagramRecords; ++i) {
    if (s->records[i].kind == kRecordFree) continue;
    if (best < 0 || Earlier(s->records[i], s->records[best])) best = i;
  }
  return best;
}

// ---- peers ----

void InitPeer(UdpSession* s, std::uint32_t peer, std::uint32_t address) {
  UdpPeer* p = Peer(peer);
  std::memset(p, 0, sizeof *p);
  p->address = address;
  p->last_received = Now();
  p->last_sent = kSequenceReset;
  p->oldest_unacked = kSequenceReset;
  p->next_send = kSequenceReset;
  p->next_expected = kSequenceReset;
  p->current_timeout = OwnTimeout(s);
  p->default_timeout = OwnTimeout(s);
  p->flags = kPeerFirstContact;
  p->element = NodeElement(s->channel, address);
}

// The idle peer that has been silent longest and may serve another address.
std::uint32_t ReusablePeer(UdpSession* s) {
  std::uint32_t best = 0;
  std::uint64_t best_heard = 0;
  ForEachPeer(s, [&](std::uint32_t peer) {
    const UdpPeer* p = Peer(peer);
    if ((p->flags & (kPeerActive | kPeerBroadcast)) != 0) return;
    if (p->default_timeout < s->default_timeout) return;
    std::uint64_t heard = TotalMs(p->last_received);
    if (best != 0 && heard >= best_heard) return;
    if (PeerHasRecords(s, peer)) return;
    best = peer;
    best_heard = heard;
  });
  return best;
}

// The peer of an address, made when it does not exist; a full table lends the
// longest-silent idle peer, or refuses (0).
std::uint32_t PeerFor(UdpSession* s, std::uint32_t address) {
  std::uint32_t found = FindPeer(address);
  if (found != 0) return found;
  Heap heap = SharedHeap();
  if (s->peer_count >= kPeersBeforeReuse) {
    std::uint32_t reuse = ReusablePeer(s);
    if (reuse != 0 && (SinceMs(Peer(reuse)->last_received) >= kPeerReuseSilenceMs ||
                       s->peer_count >= kMaxPeers)) {
      UdpPeer* old = Peer(reuse);
      if ((old->flags & kPeerReportedUp) != 0) SetNodeDown(old->element);
      heap.Takeout(reuse);
      InitPeer(s, reuse, address);
      heap.Into(reuse, ChainOf(s, address));
      return reuse;
    }
    if (s->peer_count >= kMaxPeers) {
      Trace("knsock: peer table full, datagram of %s dropped", DottedAddress(address).c_str());
      return 0;
    }
  }
  std::uint32_t peer = heap.AllocateTyped(kTypeUdpPeer);
  if (peer == 0) return 0;
  InitPeer(s, peer, address);
  heap.Into(peer, ChainOf(s, address));
  ++s->peer_count;
  return peer;
}

// ---- sending ----

void SendBytes(UdpSession* s, std::uint32_t address, const std::uint8_t* bytes, std::size_t n) {
  ++s->counters.sent;
  if (g_port != nullptr) g_port->Send(address, bytes, n);  // a failure is traced and counts as sent
}

void SendShort(UdpSession* s, std::uint32_t peer, std::uint8_t type, std::uint8_t sequence,
               std::initializer_list<std::uint8_t> options) {
  const UdpPeer* p = Peer(peer);
  std::uint8_t bytes[kDatagramHeaderBytes + kControlOptionsMax];
  EncodeDatagramHeader(type, OwnTimeout(s), sequence, p->next_expected, bytes);
  std::size_t n = kDatagramHeaderBytes;
  for (std::uint8_t o : options) bytes[n++] = o;
  SendBytes(s, p->address, bytes, n);
}

void SendAck(UdpSession* s, std::uint32_t peer) { SendShort(s, peer, kDatagramControl, kSequenceNone, {}); }

void SendQuery(UdpSession* s, std::uint32_t peer) { SendShort(s, peer, kDatagramQuery, kSequenceNone, {}); }

// Opens a fresh numbering towards the peer: the reset control, then numbers from 0.
void SendResetControl(UdpSession* s, std::uint32_t peer) {
  SendShort(s, peer, kDatagramControl, kSequenceReset, {OwnTimeout(s), kModeAtReset, s->mark});
  UdpPeer* p = Peer(peer);
  p->next_send = 0;
  p->oldest_unacked = 0;
  p->reset_sent_ms = NowMs();
}

void CancelScheduledAck(UdpSession* s, std::uint32_t peer) {
  UdpPeer* p = Peer(peer);
  if ((p->flags & kPeerAckScheduled) == 0) return;
  p->flags &= ~kPeerAckScheduled;
  int i = FindRecord(s, kRecordAck, peer);
  if (i >= 0) FreeRecord(s, i);
}

void ScheduleAck(UdpSession* s, std::uint32_t peer, std::int32_t delay_ms) {
  UdpPeer* p = Peer(peer);
  TimeStamp due = AddMilliSeconds(Now(), delay_ms);
  int i = (p->flags & kPeerAckScheduled) != 0 ? FindRecord(s, kRecordAck, peer) : -1;
  if (i >= 0) {
    if (TotalMs(due) < TotalMs(s->records[i].due)) Schedule(s, i, due);
    return;
  }
  i = NewRecord(s, kRecordAck, peer);
  if (i < 0) {
    SendAck(s, peer);  // no record to wait in: acknowledged at once
    return;
  }
  p->flags |= kPeerAckScheduled;
  Schedule(s, i, due);
}

void ScheduleRetransmission(UdpSession* s, int i) {
  DatagramRecord& r = s->records[i];
  std::int32_t t = RetransmitInterval(*Peer(r.peer));
  TimeStamp next = AddMilliSeconds(Now(), t - kResendEarlyMs);
  if (TotalMs(next) - TotalMs(r.first_sent) >= static_cast<std::uint64_t>(4 * t)) {
    r.given_up = 1;
    ++s->counters.given_up;
    next = AddMilliSeconds(r.first_sent, 5 * t);
  }
  Schedule(s, i, next);
}

void SendDataRecord(UdpSession* s, int i) {
  DatagramRecord& r = s->records[i];
  UdpPeer* p = Peer(r.peer);
  MessageBuffer* b = Buffer(r.buffer);
  EncodeDatagramHeader(kDatagramData, OwnTimeout(s), r.sequence, p->next_expected, b->link);
  if (r.tries == 0) r.first_sent = Now();
  ++r.tries;
  SendBytes(s, p->address, b->link, kLinkHeaderBytes + b->length);
  ScheduleRetransmission(s, i);
}

// Gives the data record the peer's next number; it goes out at once unless an
// earlier datagram to the peer still waits, behind which it queues.
void NumberAndSend(UdpSession* s, std::uint32_t peer, int i, std::uint32_t buffer) {
  UdpPeer* p = Peer(peer);
  DatagramRecord& r = s->records[i];
  bool behind = PeerHasUnsentData(s, peer);
  r.kind = kRecordData;
  r.peer = peer;
  r.buffer = buffer;
  r.sequence = p->next_send;
  r.tries = 0;
  p->last_sent = p->next_send;
  p->next_send = NextSequence(p->next_send);
  if (behind) {
    Schedule(s, i, Now());
  } else {
    SendDataRecord(s, i);
  }
}

bool AnnounceIdentity(UdpSession* s, std::uint32_t peer) {
  std::uint32_t buffer = TakeTransmitBuffer();
  int i = buffer != 0 ? NewRecord(s, kRecordData, peer) : -1;
  if (i < 0) {
    FreeMessageBuffer(buffer);
    return false;
  }
  if (Peer(peer)->next_send == kSequenceReset) SendResetControl(s, peer);
  MessageBuffer* b = Buffer(buffer);
  b->message[0] = kCodeIdentity;
  b->message[1] = kResultNewIdentity;
  b->length = 2;
  b->element = Peer(peer)->element;
  Peer(peer)->flags &= ~kPeerFirstContact;
  NumberAndSend(s, peer, i, buffer);
  return true;
}

bool IsIdentityAnnouncement(const MessageBuffer* b) {
  return b->length >= 2 && (b->message[0] & kFunctionCodeMask) == kCodeIdentity &&
         b->message[1] == kResultNewIdentity;
}

// The send rule for one waiting message. False when no datagram record is
// free: the message waits for the next poll.
bool SendData(UdpSession* s, std::uint32_t buffer) {
  MessageBuffer* b = Buffer(buffer);
  const NodeData* node = Node(b->element);
  if ((node->flags & kNodeBroadcast) != 0) {
    EncodeDatagramHeader(kDatagramData, OwnTimeout(s), kSequenceNone, kSequenceNone, b->link);
    SendBytes(s, s->broadcast_address, b->link, kLinkHeaderBytes + b->length);
    if (IsIdentityAnnouncement(b)) {
      ForEachPeer(s, [](std::uint32_t peer) { Peer(peer)->flags |= kPeerFirstContact; });
    }
    FreeMessageBuffer(buffer);
    return true;
  }
  std::uint32_t peer = PeerFor(s, node->address);
  if (peer == 0) {
    FreeMessageBuffer(buffer);
    return true;
  }
  int i = NewRecord(s, kRecordData, peer);
  if (i < 0) return false;
  UdpPeer* p = Peer(peer);
  if (p->next_send == kSequenceReset) {
    SendResetControl(s, peer);
    if ((p->flags & kPeerFirstContact) != 0 && !IsIdentityAnnouncement(b)) AnnounceIdentity(s, peer);
  }
  NumberAndSend(s, peer, i, buffer);
  return true;
}

// ---- acknowledgements and resets ----

void ResetPeer(UdpSession* s, std::uint32_t peer) {
  for (int i = 0; i < kDatagramRecords; ++i) {
    if (s->records[i].kind != kRecordFree && s->records[i].peer == peer) FreeRecord(s, i);
  }
  UdpPeer* p = Peer(peer);
  // The numbering towards the peer starts afresh. What arrived from the peer
  // stays counted: its next reset control says when to count from 0 again,
  // so a datagram that was delivered is never delivered twice.
  p->last_sent = kSequenceReset;
  p->oldest_unacked = kSequenceReset;
  p->next_send = kSequenceReset;
  p->flags &= static_cast<std::uint8_t>(~(kPeerAckScheduled | kPeerReportedUp | kPeerStatusAsked));
  p->flags |= kPeerResetNeeded;
  ++s->counters.resets;
  SetNodeDown(p->element);
}

// Numbers every waiting datagram of the peer anew, after a fresh reset
// control, and sends them again in their order.
void SoftRestart(UdpSession* s, std::uint32_t peer) {
  UdpPeer* p = Peer(peer);
  int order[kDatagramRecords];
  int n = 0;
  for (int i = 0; i < kDatagramRecords; ++i) {
    if (s->records[i].kind == kRecordData && s->records[i].peer == peer) order[n++] = i;
  }
  std::uint8_t oldest = p->oldest_unacked < kSequenceNone ? p->oldest_unacked : 0;
  std::sort(order, order + n, [&](int a, int b) {
    return SequenceDistance(oldest, s->records[a].sequence) <
           SequenceDistance(oldest, s->records[b].sequence);
  });
  ++s->counters.soft_restarts;
  SendResetControl(s, peer);
  TimeStamp now = Now();
  for (int k = 0; k < n; ++k) {
    DatagramRecord& r = s->records[order[k]];
    r.sequence = p->next_send;
    r.tries = 0;
    r.given_up = 0;
    p->last_sent = p->next_send;
    p->next_send = NextSequence(p->next_send);
    Schedule(s, order[k], now);
  }
}

bool PeerHasData(const UdpSession* s, std::uint32_t peer) {
  for (const DatagramRecord& r : s->records) {
    if (r.kind == kRecordData && r.peer == peer) return true;
  }
  return false;
}

void TakeAcknowledgement(UdpSession* s, std::uint32_t peer, std::uint8_t ack) {
  if (ack == kSequenceNone) return;
  UdpPeer* p = Peer(peer);
  if (ack < kSequenceNone && p->next_send < kSequenceNone && p->oldest_unacked < kSequenceNone) {
    std::uint32_t out = SequenceDistance(p->oldest_unacked, p->next_send);
    std::uint32_t upto = SequenceDistance(p->oldest_unacked, ack);
    if (upto <= out) {
      for (int i = 0; i < kDatagramRecords; ++i) {
        DatagramRecord& r = s->records[i];
        if (r.kind == kRecordData && r.peer == peer &&
            SequenceDistance(p->oldest_unacked, r.sequence) < upto) {
          FreeRecord(s, i);
        }
      }
      p->oldest_unacked = ack;
      return;
    }
  }
  // A peer that asks for a new numbering right after we opened one has not
  // seen our reset control yet, or this is a late copy of what it said
  // before: our datagrams go again on their own time, so nothing is lost.
  if (ack == kSequenceReset && PeerHasData(s, peer) &&
      SinceMs(p->reset_sent_ms) >= RetransmitInterval(*p)) {
    SoftRestart(s, peer);
  }
}

void TakeOptions(UdpSession* s, std::uint32_t peer, const DatagramView& v) {
  UdpPeer* p = Peer(peer);
  std::uint8_t timeout = v.payload[0];
  if (timeout != 0) {
    if (timeout > p->default_timeout) {
      SendShort(s, peer, kDatagramControl, kSequenceNone, {OwnTimeout(s), kModeAtReset, s->mark});
    } else if (timeout != p->current_timeout) {
      p->current_timeout = timeout;
      p->flags |= kPeerTimeoutChanged;
    }
  }
  if (v.payload_length >= 2 && v.payload[1] <= kModeMax) p->option = v.payload[1];
  if (v.payload_length >= 3) p->spare = v.payload[2];
}

void AnswerQuery(UdpSession* s, std::uint32_t peer, std::uint8_t ack) {
  // A query to every node is answered after a pause that differs by host, so
  // that the answers spread out.
  std::int32_t delay = ack == kSequenceNone
                           ? static_cast<std::int32_t>(s->own_address & 0xFF) * kQueryAnswerMsPerHost
                           : 0;
  int i = delay > 0 ? NewRecord(s, kRecordQueryAnswer, peer) : -1;
  if (i < 0) {
    SendAck(s, peer);
    return;
  }
  Schedule(s, i, AddMilliSeconds(Now(), delay));
}

// A reset control is not taken when it cannot open a new numbering: the peer
// opens one only after it gave up a datagram (at 5T) or lost its state. So a
// reset control that follows the one before it within 4T, or arrives within
// T of data taken in order, is a late copy, or one that the network put
// behind the datagrams it opened; taking it would count them again. Unless
// it bears another start mark than the peer's controls before it: then the
// peer's library has started anew (a program restarted at once) and waits
// for us to take its new numbering.
bool IsLateResetCopy(const UdpPeer* p, const DatagramView& v) {
  if (p->next_expected == kSequenceReset || p->next_expected == 0) return false;
  if (v.payload_length >= 3 && v.payload[2] != 0 && v.payload[2] != p->spare) return false;
  std::int32_t t = RetransmitInterval(*p);
  return SinceMs(p->reset_taken_ms) < 4 * t || SinceDataTaken(p) < t;
}

void Deliver(std::uint32_t rx, std::uint32_t element, const DatagramView& v) {
  MessageBuffer* m = Buffer(rx);
  std::size_t n = std::min<std::size_t>(v.payload_length, kMessageMax);
  if (n == 0) {
    FreeMessageBuffer(rx);
    return;
  }
  std::memcpy(m->message, v.payload, n);
  m->length = static_cast<std::uint32_t>(n);
  m->element = element;
  ReceiveMessage(rx);
}

// ---- timers ----

void RunKeepAlive(UdpSession* s, int i) {
  std::uint32_t count = 0;
  ForEachPeer(s, [&](std::uint32_t peer) {
    if ((Peer(peer)->flags & kPeerActive) != 0) ++count;
  });
  if (count == 0) {
    FreeRecord(s, i);
    return;
  }
  std::uint32_t start = s->keepalive_cursor % count;
  std::uint32_t examine = std::min<std::uint32_t>(count, kKeepAlivePeersPerRun);
  std::uint32_t index = 0;
  ForEachPeer(s, [&](std::uint32_t peer) {
    UdpPeer* p = Peer(peer);
    if ((p->flags & kPeerActive) == 0) return;
    std::uint32_t k = index++;
    if ((k + count - start) % count >= examine) return;
    std::int32_t silent = SinceMs(p->last_received);
    if (silent >= kKeepAliveResetMs && (p->flags & kPeerResetNeeded) == 0) {
      ResetPeer(s, peer);
    } else if (silent >= kKeepAliveQueryMs) {
      SendQuery(s, peer);
    }
  });
  s->keepalive_cursor = (start + examine) % count;
  std::int32_t next = kKeepAliveIntervalMs / static_cast<std::int32_t>((count - 1) / 10 + 1);
  Schedule(s, i, AddMilliSeconds(Now(), std::max(next, kKeepAliveMinimumMs)));
}

void DataRecordDue(UdpSession* s, int i) {
  DatagramRecord& r = s->records[i];
  UdpPeer* p = Peer(r.peer);
  if (r.tries == 0) {
    SendDataRecord(s, i);
    return;
  }
  if (r.given_up != 0) {
    ResetPeer(s, r.peer);
    return;
  }
  std::int32_t t = RetransmitInterval(*p);
  if (SinceMs(r.first_sent) >= 4 * t) {
    r.given_up = 1;
    ++s->counters.given_up;
    Schedule(s, i, AddMilliSeconds(r.first_sent, 5 * t));
    return;
  }
  if (r.sequence == p->oldest_unacked) {
    // Whatever followed it was dropped by the peer as out of order.
    TimeStamp now = Now();
    for (int k = 0; k < kDatagramRecords; ++k) {
      DatagramRecord& o = s->records[k];
      if (k != i && o.kind == kRecordData && o.peer == r.peer && o.tries > 0 && o.given_up == 0) {
        Schedule(s, k, now);
      }
    }
  }
  ++s->counters.resent;
  SendDataRecord(s, i);
}

void RecordDue(UdpSession* s, int i) {
  DatagramRecord& r = s->records[i];
  switch (r.kind) {
    case kRecordData:
      DataRecordDue(s, i);
      return;
    case kRecordAck:
      Peer(r.peer)->flags &= ~kPeerAckScheduled;
      SendAck(s, r.peer);
      FreeRecord(s, i);
      return;
    case kRecordQueryAnswer:
      SendAck(s, r.peer);
      FreeRecord(s, i);
      return;
    case kRecordKeepAlive:
      RunKeepAlive(s, i);
      return;
    case kRecordNodeStatus: {
      FreeRecord(s, i);
      if (s->status_requests > 0) --s->status_requests;
      ForEachPeer(s, [](std::uint32_t peer) { Peer(peer)->flags &= ~kPeerStatusAsked; });
      if (g_status_done != nullptr) g_status_done(s->channel);
      return;
    }
    default:
      FreeRecord(s, i);
      return;
  }
}

void ProcessDueRecords(UdpSession* s) {
  for (int n = 0; n < kDueRecordsPerPoll; ++n) {
    int i = EarliestRecord(s);
    if (i < 0 || !IsDue(s->records[i].due, Now())) return;
    RecordDue(s, i);
  }
}

// ---- the channel ----

std::uint32_t ClassMask(std::uint32_t network) {
  std::uint32_t first = network >> 24;
  if (first < 128) return 0xFF000000u;
  if (first < 192) return 0xFFFF0000u;
  return 0xFFFFFF00u;
}

// A byte from 1 to 255 that two starts of the library hardly ever share.
std::uint8_t StartMark(std::uint32_t own) {
  timespec t{};
  clock_gettime(CLOCK_REALTIME, &t);
  std::uint64_t x = static_cast<std::uint64_t>(t.tv_nsec) ^ (static_cast<std::uint64_t>(t.tv_sec) << 20) ^
                    (static_cast<std::uint64_t>(getpid()) << 8) ^ own;
  x ^= x >> 33;
  x *= 0xFF51AFD7ED558CCDull;
  x ^= x >> 33;
  return static_cast<std::uint8_t>(x % 255 + 1);
}

std::uint32_t NewSession(std::uint32_t channel, std::uint32_t own, std::uint32_t broadcast,
                         std::uint32_t mask) {
  Heap heap = SharedHeap();
  std::uint32_t block = heap.AllocateTyped(kTypeUdpSession);
  if (block == 0) return 0;
  auto* s = heap.Data<UdpSession>(block);
  std::memset(s, 0, sizeof *s);
  std::memcpy(s->tag, kSessionTag, sizeof s->tag);
  s->channel = channel;
  s->own_address = own;
  s->mask = mask;
  s->broadcast_address = broadcast;
  s->default_timeout = kSessionTimeoutAtStart;
  s->mark = StartMark(own);
  for (std::uint32_t& chain : s->chains) {
    chain = heap.NewListHead();
    if (chain == 0) return 0;
  }
  std::uint32_t peer = heap.AllocateTyped(kTypeUdpPeer);
  if (peer == 0) return 0;
  InitPeer(s, peer, broadcast);
  UdpPeer* p = Peer(peer);
  p->element = NodeElement(channel, kBroadcastNode);
  p->flags = kPeerBroadcast;
  p->last_sent = p->oldest_unacked = p->next_send = p->next_expected = kSequenceNone;
  heap.Into(peer, ChainOf(s, broadcast));
  s->broadcast_peer = peer;
  s->peer_count = 1;
  return block;
}

void OpenUdpChannel() {
  if (SimulatedChannelOnly() || !TcpIpEnabled() || Shared().udp_session != 0) return;
  UdpEndpoint endpoint = ConfiguredUdpEndpoint();
  std::uint32_t own = OwnUdpAddress(endpoint);
  if (own == 0) {
    Trace("Init Kelmnet/TCP/IP: no IP address of this host");
    return;
  }
  std::unique_ptr<DatagramPort> port = OpenDatagramPort(endpoint);
  if (port == nullptr) return;
  std::uint32_t network = own & 0xFFFFFF00u;
  std::string network_text = TcpIpNetwork();
  if (!network_text.empty() && !ParseDottedAddress(network_text, &network)) {
    Trace("Init Kelmnet/TCP/IP: Bad IP network string.");
    network = own;
  }
  std::uint32_t mask = ClassMask(network);
  std::uint32_t broadcast = (network & mask) | ~mask;
  // A library bound to one address shares its machine with other instances:
  // its broadcasts stay within its own /24.
  if (endpoint.bind_address != 0) broadcast = own | 0xFFu;
  std::uint32_t c = NewLinkChannel(kChannelTcpIp, TcpIpChannelNumber());
  if (c == 0) return;
  LinkChannel* l = Link(c);
  l->common.own_address = own;
  l->common.state = kChannelUp;
  l->common.device = 1;
  std::memcpy(l->common.version, "1.1 95-11-17", sizeof l->common.version);
  l->alone = 0;
  l->network = network & mask;
  l->broadcast = broadcast;
  std::uint32_t session = NewSession(c, own, broadcast, mask);
  if (session == 0) {
    SharedHeap().Takeout(c);
    return;
  }
  Shared().udp_session = session;
  g_port = std::move(port);
  GiveChannelNodeElements(c);
}

void UdpTransmitPoll(std::uint32_t channel) {
  UdpSession* s = TheUdpSession();
  if (s == nullptr || s->channel != channel) return;
  Heap heap = SharedHeap();
  std::uint32_t list = Channel(channel)->send_list;
  while (std::uint32_t m = heap.First(list)) {
    heap.Takeout(m);
    if (!SendData(s, m)) {
      heap.IntoAsFirst(m, list);
      break;
    }
  }
  ProcessDueRecords(s);
}

void UdpReceivePoll(std::uint32_t channel) {
  UdpSession* s = TheUdpSession();
  if (s == nullptr || s->channel != channel || g_port == nullptr) return;
  std::uint8_t bytes[kDatagramMax + 1];
  for (int i = 0; i < kDatagramsPerPoll; ++i) {
    std::uint32_t from = 0;
    long n = g_port->Receive(bytes, sizeof bytes, &from);
    if (n < 0) break;
    if (HandleDatagram(bytes, static_cast<std::size_t>(n), from)) break;
  }
}

// The socket belongs to the process that drives the channel: a new
// communication owner makes its own.
bool TakeOverUdp(std::uint32_t channel) {
  g_port = OpenDatagramPort(ConfiguredUdpEndpoint());
  Channel(channel)->device = g_port != nullptr ? 1 : -1;
  return g_port != nullptr;
}

void LetGoOfUdp(std::uint32_t channel) {
  g_port.reset();
  Channel(channel)->device = -1;
}

// Without this a TCP/IP channel once dropped could never be opened again.
void ForgetUdp(std::uint32_t channel) {
  UdpSession* s = TheUdpSession();
  if (s != nullptr && s->channel == channel) {
    for (int i = 0; i < kDatagramRecords; ++i) FreeRecord(s, i);
    Shared().udp_session = 0;
  }
  ReleaseLinkBuffers(channel);
  LetGoOfUdp(channel);
}

const ChannelBackend kUdpBackend = {
    .open = OpenUdpChannel,
    .transmit_poll = UdpTransmitPoll,
    .receive_poll = UdpReceivePoll,
    .housekeeping = nullptr,
    .take_over = TakeOverUdp,
    .let_go = LetGoOfUdp,
    .peer_defined = ActivatePeer,
    .peer_released = DeactivatePeer,
    .forget = ForgetUdp,
};

[[maybe_unused]] const bool g_registered = (RegisterChannelBackend(kChannelTcpIp, &kUdpBackend), true);

}  // namespace

UdpSession* TheUdpSession() {
  std::uint32_t session = Shared().udp_session;
  return session != 0 ? SharedHeap().Data<UdpSession>(session) : nullptr;
}

UdpPeer* Peer(std::uint32_t peer) { return SharedHeap().Data<UdpPeer>(peer); }

std::uint32_t FindPeer(std::uint32_t address) {
  UdpSession* s = TheUdpSession();
  if (s == nullptr) return 0;
  Heap heap = SharedHeap();
  for (std::uint32_t p = heap.First(ChainOf(s, address)); p != 0; p = heap.SuccElem(p)) {
    if (Peer(p)->address == address) return p;
  }
  return 0;
}

std::int32_t RetransmitInterval(const UdpPeer& peer) {
  return kRetransmitMsPerSecond * static_cast<std::int32_t>(peer.current_timeout);
}

bool ParseTcpIpNodeAddress(std::uint32_t channel, std::string_view text, std::uint32_t* address) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  if (text.find('.') != std::string_view::npos) {
    return ParseDottedAddress(std::string(text), address);
  }
  if (text.size() > 10) return false;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value == 0 || value > 0xFFFFFFFFu) return false;
  if (value == kBroadcastNode || value > 255) {
    *address = static_cast<std::uint32_t>(value);
  } else {
    *address = Link(channel)->network | static_cast<std::uint32_t>(value);
  }
  return true;
}

bool HandleDatagram(const std::uint8_t* bytes, std::size_t length, std::uint32_t from) {
  UdpSession* s = TheUdpSession();
  if (s == nullptr) return false;
  DatagramView v{};
  if (!DecodeDatagram(bytes, length, &v)) {
    ++s->counters.dropped;
    return false;
  }
  ++s->counters.received;
  bool is_data = v.type == kDatagramData;
  std::uint32_t peer = FindPeer(from);
  if (peer == 0) {
    // A broadcast of our own comes back to us.
    peer = from != s->own_address ? PeerFor(s, from) : 0;
    if (peer == 0) {
      ++s->counters.dropped;
      return is_data;
    }
  }
  UdpPeer* p = Peer(peer);
  if ((p->flags & kPeerBroadcast) != 0) {
    ++s->counters.dropped;
    return is_data;
  }
  if ((p->flags & kPeerResetNeeded) != 0 || (p->flags & kPeerReportedUp) == 0) {
    p->flags = static_cast<std::uint8_t>((p->flags | kPeerReportedUp) & ~kPeerResetNeeded);
    SetNodeUp(p->element);
  }
  p->last_received = Now();
  p->flags &= ~kPeerStatusAsked;

  std::uint32_t rx = 0;
  if (v.sequence < kSequenceNone) {
    if (v.sequence != p->next_expected) {
      ++s->counters.sequence_errors;
      ScheduleAck(s, peer, kSequenceErrorAckMs);
      return is_data;
    }
    if (is_data) {
      // Without a buffer the datagram counts as lost: it is sent again.
      rx = TakeReceiveBuffer();
      if (rx == 0) {
        ++s->counters.dropped;
        return true;
      }
    }
    p->next_expected = NextSequence(p->next_expected);
    if (is_data) StampDataTaken(p);
    if (!is_data || (p->flags & kPeerFirstContact) == 0 || !AnnounceIdentity(s, peer)) {
      ScheduleAck(s, peer, kAckDelayMs);
    }
  } else if (v.sequence == kSequenceReset) {
    if (v.type != kDatagramControl || IsLateResetCopy(p, v)) {
      ++s->counters.dropped;
      return is_data;
    }
    p->next_expected = 0;
    p->reset_taken_ms = NowMs();
    CancelScheduledAck(s, peer);
    SendAck(s, peer);
    // A peer that asks for our numbering anew has lost it (its library
    // started again): ours opens afresh now, not after it has refused what
    // we send under the old one.
    if (v.ack == kSequenceReset && p->next_send != kSequenceReset) {
      if (PeerHasData(s, peer)) {
        SoftRestart(s, peer);
      } else {
        p->last_sent = p->oldest_unacked = p->next_send = kSequenceReset;
      }
    }
  } else if (is_data) {
    rx = TakeReceiveBuffer();
  }

  TakeAcknowledgement(s, peer, v.ack);
  if (is_data) {
    if (rx != 0) Deliver(rx, p->element, v);
  } else if (v.type == kDatagramControl && v.payload_length >= 1) {
    TakeOptions(s, peer, v);
  } else if (v.type == kDatagramQuery) {
    AnswerQuery(s, peer, v.ack);
  }
  return is_data;
}

bool NextSessionDue(TimeStamp* due) {
  UdpSession* s = TheUdpSession();
  if (s == nullptr) return false;
  int i = EarliestRecord(s);
  if (i < 0) return false;
  *due = s->records[i].due;
  return true;
}

void ActivatePeer(std::uint32_t element) {
  UdpSession* s = TheUdpSession();
  if (s == nullptr || element == 0 || (Node(element)->flags & kNodeBroadcast) != 0) return;
  std::int32_t seconds = AnswerTimeOutMs() / 1000;
  s->default_timeout = static_cast<std::uint32_t>(
      std::clamp<std::int32_t>(seconds, kTimeoutMin, kTimeoutMax));
  std::uint32_t peer = PeerFor(s, Node(element)->address);
  if (peer == 0) return;
  UdpPeer* p = Peer(peer);
  p->flags |= kPeerActive;
  p->default_timeout = OwnTimeout(s);
  p->current_timeout = OwnTimeout(s);
  if (FindRecord(s, kRecordKeepAlive, 0) >= 0) return;
  int i = NewRecord(s, kRecordKeepAlive, 0);
  if (i >= 0) Schedule(s, i, AddMilliSeconds(Now(), kKeepAliveIntervalMs));
}

void DeactivatePeer(std::uint32_t element) {
  UdpSession* s = TheUdpSession();
  if (s == nullptr || element == 0) return;
  std::uint32_t peer = FindPeer(Node(element)->address);
  if (peer != 0) Peer(peer)->flags &= ~kPeerActive;
}

void UdpNodeStatus(std::uint32_t element, NodeStatusDone done) {
  UdpSession* s = TheUdpSession();
  if (s == nullptr) return;
  g_status_done = done;
  if (element != 0 && (Node(element)->flags & kNodeBroadcast) == 0) {
    std::uint32_t peer = PeerFor(s, Node(element)->address);
    if (peer != 0) {
      Peer(peer)->flags |= kPeerStatusAsked;
      SendQuery(s, peer);
    }
  } else {
    // A connect request to every node: whoever answers is up.
    std::uint8_t bytes[kDatagramHeaderBytes + 2];
    EncodeDatagramHeader(kDatagramData, OwnTimeout(s), kSequenceNone, kSequenceNone, bytes);
    bytes[4] = kCodeConnectRequest;
    bytes[5] = 0;
    SendBytes(s, s->broadcast_address, bytes, sizeof bytes);
  }
  int i = NewRecord(s, kRecordNodeStatus, 0);
  if (i < 0) {
    if (done != nullptr) done(s->channel);
    return;
  }
  ++s->status_requests;
  Schedule(s, i, AddMilliSeconds(Now(), kNodeStatusWaitMs));
}

}  // namespace vnh
