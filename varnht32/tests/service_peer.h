#pragma once
// A library instance played by a child process for the service tests: its
// client's callbacks keep their variables, completions, events and stream
// bytes in a board that the test shares, and the test drives it one command
// at a time (vnh_test::Child). Two such instances, each with a segment of its
// own, stand for two PCs on UDP loopback or on two cards of the simulator.

#include <atomic>
#include <cstdint>

#include "varnht32/include/varnht32.h"

namespace vnh_test {

enum class Transport { kUdp, kCard, kSimulated };

constexpr int kVariables = 24;
constexpr int kResults = 128;
constexpr int kStreamHandles = 17;
// The user value of the stream sends that a peer's pump makes.
constexpr std::uint32_t kSendUserValue = 120;

struct PeerVariable {
  char name[12];
  std::uint32_t kind;  // VNH_VALUE_*; 0: free
  std::int32_t integer;
  float real;
  std::uint32_t length;  // string
  char text[256];
  std::uint32_t count;   // array elements, or bits of a bit string
  std::int32_t element[8];
};

struct PeerState {
  PeerVariable variables[kVariables];
  std::atomic<std::int32_t> result[kResults];  // final status by user value; 0 while running
  std::atomic<int> writes;
  std::atomic<int> any_name;  // the read callback gives 0 for a name it does not know
  std::atomic<int> no_async;  // set-up leaves the async action callback out
  // Node status and identify callbacks.
  std::atomic<int> node_up;
  std::atomic<int> node_down;
  char last_node[40];
  std::atomic<int> identified;
  char identity[6];
  std::uint32_t option;
  std::uint32_t restart;
  std::uint32_t software;
  // Tovra: what came back to our message; replies the server sent.
  std::atomic<int> tovra_replies;
  std::uint8_t tovra_reply[64];
  std::uint32_t tovra_reply_length;
  std::atomic<int> tovra_served;
  std::atomic<std::int32_t> tovra_served_status;
  // Streams.
  std::atomic<int> refuse_open;
  std::atomic<int> opened;
  std::atomic<int> closed;
  std::atomic<VNHHandle> accepted;            // the stream a peer opened to us last
  std::atomic<std::uint64_t> received;        // bytes
  std::atomic<std::uint64_t> mismatches;      // bytes unlike the sender's pattern
  std::atomic<std::uint32_t> largest_block;
  std::atomic<int> hold;                      // the next block received leaves credit 0
  std::atomic<std::uint64_t> to_send;
  std::atomic<std::uint64_t> sent;
  std::atomic<int> sending;                   // a send step is queued or running
  std::atomic<int> over_offer;                // the send callback offers 50 bytes too many
  std::atomic<std::int32_t> send_error;
  std::atomic<int> send_steps;
  VNHHandle streams[kStreamHandles];          // streams this side opened
  std::atomic<int> send_on;                   // index into streams, or -1 for `accepted`
  std::atomic<std::uint32_t> next_due;        // UDP session's next time-out (virtual ms), 0 none
  // The PC's calendar clock, played by the test (kPeerTestClock).
  std::uint32_t wall_days;
  std::uint32_t wall_ms;
  std::atomic<int> clock_sets;
  std::uint32_t set_days;
  std::uint32_t set_ms;
};

// The arguments of the next command.
struct PeerArguments {
  char remote[33];
  char local[33];
  std::uint32_t user;
  std::uint32_t flag;
  std::int32_t index;
  std::uint32_t length;
  std::uint8_t bytes[40];
};

struct PeerBoard {
  Transport transport;
  std::uint16_t udp_port;
  PeerState side[2];
  PeerArguments args[2];
};

enum PeerCommand : std::int32_t {
  kPeerSetUp = 1,        // server client; node status events on
  kPeerSetUpNoServer,    // this client offers no server entity
  kPeerPump,             // 20 polls, queuing the next stream send when one is due
  kPeerDefine,           // a connection to the other side (handle kept)
  kPeerConnectionStatus,
  kPeerRelease,
  kPeerRead,             // args: remote, local, user
  kPeerWrite,
  kPeerSubscribe,        // args: remote, local, flag, user
  kPeerTovra,            // args: bytes, length, user
  kPeerIdentify,         // args: user
  kPeerNodeStatus,       // args: flag 1 for the other side's node, 0 for all; user
  kPeerDefineReport,     // args: remote
  kPeerSendReport,       // args: remote
  kPeerOpenStream,       // args: remote (name), index, user
  kPeerStreamSend,       // args: index (-1 accepted), user: one send step
  kPeerStreamRestart,    // args: index (-1 accepted), user
  kPeerStreamClose,      // args: index (-1 accepted), user
  kPeerConfigIdentity,   // args: remote (name), flag (option byte)
  kPeerCloseCommunication,
  kPeerAsyncStatus,      // args: flag 1 with the connection: VNHAsynchronousStatus of the last action
  kPeerTestClock,        // args: flag: SetRemoteTimeEnable; the calendar clock is the board's
  kPeerSetRemoteTime,    // args: user
};

// The arguments of a command, the rest zero.
PeerArguments PeerArgs(const char* remote = "", const char* local = "", std::uint32_t user = 0,
                       std::uint32_t flag = 0);

// The child's side of the board: sets the globals of this process.
void BecomePeer(PeerBoard* board, int side);
std::int32_t PeerStep(std::int32_t command);
// The byte a side sends at stream offset `at`.
std::uint8_t StreamByte(int side, std::uint64_t at);

// Test helpers on the board (any process).
PeerVariable* FindVariable(PeerState& s, const char* name);
void SetInteger(PeerState& s, const char* name, std::int32_t value);
void SetText(PeerState& s, const char* name, const char* text);
void SetArray(PeerState& s, const char* name, std::initializer_list<std::int32_t> values);

}  // namespace vnh_test
