#pragma once
// knsock: the UDP session of the TCP/IP channel. One session context serves
// the one TCP/IP channel; it keeps a record per peer address with sequence
// numbers both ways, acknowledges what arrives in order, sends again what is
// not acknowledged, resets a peer that stops answering and pings the peers
// that connections use. Registered as the channel backend of kind 2.

#include <cstdint>
#include <string_view>

#include "varnht32/src/clock.h"

namespace vnh {

constexpr std::uint32_t kPeerChains = 64;
constexpr int kDatagramRecords = 32;
constexpr std::uint32_t kMaxPeers = 10000;
// From this many peers on a new address may take over a silent idle peer.
constexpr std::uint32_t kPeersBeforeReuse = 200;
constexpr std::int32_t kPeerReuseSilenceMs = 60000;
constexpr int kDatagramsPerPoll = 100;
constexpr std::int32_t kKeepAliveIntervalMs = 15000;
constexpr std::int32_t kKeepAliveQueryMs = 13500;
constexpr std::int32_t kKeepAliveResetMs = 30000;
constexpr int kKeepAlivePeersPerRun = 10;
constexpr std::int32_t kNodeStatusWaitMs = 2000;
constexpr std::uint32_t kSessionTimeoutAtStart = 30;  // seconds

enum PeerFlag : std::uint8_t {
  kPeerActive = 0x01,
  kPeerBroadcast = 0x02,
  kPeerAckScheduled = 0x04,
  kPeerTimeoutChanged = 0x08,
  kPeerResetNeeded = 0x10,
  kPeerFirstContact = 0x20,
  kPeerReportedUp = 0x40,
  kPeerStatusAsked = 0x80,
};

// Lives in the shared heap (type 2027).
struct UdpPeer {
  std::uint32_t address;
  TimeStamp last_received;
  std::uint8_t last_sent;       // the last sequence number sent
  std::uint8_t oldest_unacked;  // outstanding: oldest_unacked up to next_send
  std::uint8_t next_send;
  std::uint8_t next_expected;
  std::uint8_t current_timeout;  // seconds
  std::uint8_t default_timeout;
  std::uint8_t option;           // the mode byte the peer sent
  std::uint8_t flags;
  std::uint8_t spare;            // the spare option byte the peer sent
  // The low 24 bits of the millisecond when data from the peer was last taken in order.
  std::uint8_t data_taken_ms[3];
  std::uint32_t element;
  // Milliseconds (the low 32 bits of the library's time) when the peer's last
  // reset control was taken, and when ours was last sent. With the stamp
  // above they tell copies that the network delivers late, or behind the
  // datagrams they opened, from real new numberings.
  std::uint32_t reset_taken_ms;
  std::uint32_t reset_sent_ms;
};
static_assert(sizeof(UdpPeer) == 36);

enum DatagramRecordKind : std::uint8_t {
  kRecordFree = 0,
  kRecordData,         // a numbered data datagram waiting for its acknowledgement
  kRecordAck,          // an acknowledgement due
  kRecordQueryAnswer,  // the answer to a query, due
  kRecordKeepAlive,    // the keep-alive timer
  kRecordNodeStatus,   // end of a node status request
};

struct DatagramRecord {
  std::uint8_t kind;
  std::uint8_t sequence;
  std::uint8_t tries;     // sendings so far; 0 while it waits to go out
  std::uint8_t given_up;  // no more sendings; the peer is reset when it falls due
  std::uint32_t order;    // among records due at once, the earlier order goes first
  std::uint32_t peer;
  std::uint32_t buffer;
  TimeStamp first_sent;
  TimeStamp due;
};

struct UdpCounters {
  std::uint32_t sent;
  std::uint32_t received;
  std::uint32_t resent;
  std::uint32_t given_up;
  std::uint32_t resets;
  std::uint32_t sequence_errors;
  std::uint32_t dropped;  // datagrams refused by the receive rule
  std::uint32_t soft_restarts;
};

// Lives in the shared heap (type 30, 2440 bytes), tagged "DON!".
struct UdpSession {
  char tag[4];
  std::uint32_t channel;
  std::uint32_t own_address;
  std::uint32_t mask;
  std::uint32_t broadcast_address;
  std::uint32_t default_timeout;  // seconds, 1 to 30
  std::uint32_t peer_count;
  std::uint32_t broadcast_peer;
  std::uint32_t keepalive_cursor;
  std::uint32_t next_order;
  std::uint32_t status_requests;  // node status requests that have not ended yet
  std::uint32_t chains[kPeerChains];
  DatagramRecord records[kDatagramRecords];
  UdpCounters counters;
  // Sent as the spare option byte of our control datagrams: it differs from
  // one start of the library to the next, so that a peer can tell a new
  // numbering of ours from a late copy of the one before.
  std::uint8_t mark;
};

// The session of the TCP/IP channel, or null when it is not open.
UdpSession* TheUdpSession();
UdpPeer* Peer(std::uint32_t peer);
// The peer of that address, 0 when none.
std::uint32_t FindPeer(std::uint32_t address);
// T of the retransmission rule for a peer: 170 ms for each second of its time-out.
std::int32_t RetransmitInterval(const UdpPeer& peer);

// A connection to the node now uses its peer: the peer is active, the session
// time-out follows `KelmnetTransTimeOut` and the keep-alive timer runs. The
// last connection released makes it idle again.
void ActivatePeer(std::uint32_t element);
void DeactivatePeer(std::uint32_t element);

// Node status on the TCP/IP channel: one node is queried; all nodes (element
// 0) get a connect request at the broadcast address. The request ends after
// 2000 ms, when `done` (if set) is called with the channel.
using NodeStatusDone = void (*)(std::uint32_t channel);
void UdpNodeStatus(std::uint32_t element, NodeStatusDone done);

// A node address as a connection names it on the TCP/IP channel: a decimal
// number from 2 to 255 is a host of the channel's network; 1 is the channel's
// broadcast node; a larger number, or four dot-separated decimal numbers, is
// a full IP address. Blanks around it are ignored. False (the caller's -30)
// for anything else.
bool ParseTcpIpNodeAddress(std::uint32_t channel, std::string_view text, std::uint32_t* address);

// Handles one datagram as the receive rule says; true when it was a data datagram.
bool HandleDatagram(const std::uint8_t* bytes, std::size_t length, std::uint32_t from);
// The earliest time at which a record of the session falls due; false when none.
bool NextSessionDue(TimeStamp* due);

}  // namespace vnh
