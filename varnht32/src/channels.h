#pragma once
// The channel list and the transports behind it. Each kind of channel
// (simulated loopback, adapter card, TCP/IP) is one table of functions, so the
// frame and the protocol never ask which transport they are on. Channel records
// are shared; what a transport holds in a process (a device handle, a socket)
// belongs to the process of the communication owner and moves with that role.

#include <cstdint>

namespace vnh {

enum ChannelKind : std::uint32_t {
  kChannelSimulated = 0,
  kChannelCard = 1,
  kChannelTcpIp = 2,
  kChannelKinds = 3,
};

enum ChannelState : std::uint32_t {
  kChannelDown = 0,
  kChannelStarting = 1,
  kChannelUp = 2,
};

// Lives in the shared heap (type 18); the link layers keep their own state
// behind these fields.
struct ChannelRecord {
  std::uint32_t state;
  std::uint8_t number;
  std::uint8_t reserved[3];
  std::uint32_t card_memory;
  std::int32_t device;  // driver handle, valid in the communication owner's process only
  std::uint32_t kind;
  std::uint32_t node_list;
  std::uint32_t own_address;
  std::uint32_t own_node;
  char version[12];
  std::uint32_t send_list;
};

struct ChannelBackend {
  // Creates and starts the channels of this kind (first communicating client).
  void (*open)();
  void (*transmit_poll)(std::uint32_t channel);
  void (*receive_poll)(std::uint32_t channel);
  void (*housekeeping)(std::uint32_t channel);
  // The calling process has become the communication owner: it takes up what
  // the channel needs in a process (opens the device again, creates the
  // socket again). False when it cannot; the channel is then dropped.
  bool (*take_over)(std::uint32_t channel);
  // The calling process stops driving the channel and lets go of its device
  // or socket, so that the next owner can take them up.
  void (*let_go)(std::uint32_t channel);
  // A connection to the node of a node-data element was defined, or its last
  // one released: the TCP/IP channel keeps a session with the node meanwhile.
  void (*peer_defined)(std::uint32_t element);
  void (*peer_released)(std::uint32_t element);
  // The channel is dropped: the buffers and records it holds go back, so that
  // neither they nor the channel's place are lost for good.
  void (*forget)(std::uint32_t channel);
};

// Process-local registry of the transports; null unregisters.
void RegisterChannelBackend(ChannelKind kind, const ChannelBackend* backend);

ChannelRecord* Channel(std::uint32_t channel);
void SetUpChannelModule();
// A new channel record at the end of the channel list; 0 when the heap is used up.
std::uint32_t NewChannel(ChannelKind kind, std::uint8_t number);

// All of these run under the library mutex, in the communication owner's process.
void OpenChannels();
// Transmit poll, receive poll and housekeeping of every channel, in channel order.
void PollChannels();
void PollChannelsTransmit();
// Ownership moved to the calling process: every channel that is up is taken
// over; those that are not up, or cannot be taken over, are dropped.
void TakeOverChannels();
void LetGoOfChannels();
// The connection services tell the channel of the node when a connection to
// it is defined and when its last one is released.
void ChannelPeerDefined(std::uint32_t element);
void ChannelPeerReleased(std::uint32_t element);
// Announces the identity of the node on every channel.
void AnnounceNodeIdentity();

}  // namespace vnh
