#pragma once
// Node-data elements: one per remote node that a channel knows, made on first
// use and kept for as long as the library lives. Node 1 of every channel is
// its broadcast element; the channel's own node is up from the start. The
// link layers keep the up bit current (node supervision on cards, peer
// sessions on UDP) and every change reaches the clients that asked for
// node-status events.

#include <cstdint>
#include <string>

namespace vnh {

enum NodeFlag : std::uint32_t {
  kNodeUp = 1,
  kNodeIdentifyPending = 2,
  kNodeBroadcast = 4,
  kNodeReportByConnect = 8,
};

constexpr std::uint32_t kBroadcastNode = 1;
// Nodes on a card bus are numbered below this; on TCP/IP a node is its IPv4
// address in host order.
constexpr std::uint32_t kCardNodeLimit = 128;

// Event words of events whose object is a node-data element.
enum NodeEventWord : std::uint16_t {
  kNodeEventDown = 0,
  kNodeEventUp = 1,
  kNodeEventIdentify = 3,
};

// Lives in the shared heap (type 17).
struct NodeData {
  std::uint32_t flags;
  std::uint32_t channel;
  std::uint32_t address;
  std::uint32_t association;
  char identity[5];  // "?????" while unknown
  std::uint8_t restart;  // 255 while unknown
  std::uint8_t option;
  std::uint8_t reserved;
  std::uint16_t software;
  std::uint16_t reserved2;
  std::uint32_t name_list;
};
static_assert(sizeof(NodeData) == 32);

NodeData* Node(std::uint32_t element);
std::uint32_t FindNodeElement(std::uint32_t channel, std::uint32_t address);
// The element of that node, made when it does not exist yet; 0 (traced) for a
// node of 128 or more on a card channel, or when the heap is used up.
std::uint32_t NodeElement(std::uint32_t channel, std::uint32_t address);
// Node 1 (broadcast) and the channel's own node, up with the node's identity.
void GiveChannelNodeElements(std::uint32_t channel);

bool IsBroadcastElement(std::uint32_t element);
bool IsOwnNodeElement(std::uint32_t element);
// A node's up/down change, for an element that is neither the broadcast
// element nor the channel's own node: its association follows, the up bit
// follows, and every client that wants node-status events gets one.
void SetNodeUp(std::uint32_t element);
void SetNodeDown(std::uint32_t element);

// A card's node table (32 bytes; bit 7 of byte 0 is node 0): known elements
// follow it, nodes that are new get an element and are up. `alone` is the
// channel's alone flag after the table.
void ApplyNodeTable(std::uint32_t channel, const std::uint8_t (&table)[32]);
bool NodeInTable(const std::uint8_t (&table)[32], std::uint32_t node);

// The texts that callbacks get: the channel number, and the node number or the
// IP address in dotted form.
std::string ChannelText(std::uint32_t channel);
std::string NodeAddressText(std::uint32_t element);

// Dispatch of an event whose object is a node-data element.
void DispatchNodeEvent(std::uint32_t element, std::uint16_t word);

}  // namespace vnh
