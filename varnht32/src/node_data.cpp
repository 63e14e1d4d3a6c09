#include "varnht32/src/node_data.h"

#include <cstdio>
#include <cstring>

#include "varnht32/src/associations.h"
#include "varnht32/src/client.h"
#include "varnht32/src/communication.h"
#include "varnht32/src/identifiers.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_channel.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/trace.h"

namespace vnh {

namespace {

constexpr std::uint8_t kUnknownRestart = 255;

std::uint32_t MakeElement(std::uint32_t channel, std::uint32_t address) {
  Heap heap = SharedHeap();
  std::uint32_t names = heap.NewListHead();
  std::uint32_t e = names != 0 ? heap.AllocateTyped(kTypeNodeData) : 0;
  if (e == 0) return 0;
  NodeData* n = Node(e);
  std::memset(n, 0, sizeof *n);
  n->channel = channel;
  n->address = address;
  std::memcpy(n->identity, "?????", sizeof n->identity);
  n->restart = kUnknownRestart;
  n->name_list = names;
  if (address == kBroadcastNode) n->flags |= kNodeBroadcast;
  heap.Into(e, Channel(channel)->node_list);
  return e;
}

// Queues a node-status event to every client that asked for them.
void AnnounceNodeStatus(std::uint32_t element, bool up) {
  Heap heap = SharedHeap();
  for (std::uint32_t c = heap.First(Shared().client_list); c != 0; c = heap.SuccElem(c)) {
    if (Client(c)->node_status_wanted != 0) {
      QueueClientEvent(c, element, up ? kNodeEventUp : kNodeEventDown);
    }
  }
}

bool TakesPartInStatus(std::uint32_t element) {
  return !IsBroadcastElement(element) && !IsOwnNodeElement(element);
}

}  // namespace

NodeData* Node(std::uint32_t element) { return SharedHeap().Data<NodeData>(element); }

std::uint32_t FindNodeElement(std::uint32_t channel, std::uint32_t address) {
  Heap heap = SharedHeap();
  for (std::uint32_t e = heap.First(Channel(channel)->node_list); e != 0; e = heap.SuccElem(e)) {
    if (Node(e)->address == address) return e;
  }
  return 0;
}

std::uint32_t NodeElement(std::uint32_t channel, std::uint32_t address) {
  std::uint32_t e = FindNodeElement(channel, address);
  if (e != 0) return e;
  if (Channel(channel)->kind == kChannelCard && address >= kCardNodeLimit) {
    Trace("CreateNodeDataElement: bad node number for physical KN channel!");
    return 0;
  }
  return MakeElement(channel, address);
}

void GiveChannelNodeElements(std::uint32_t channel) {
  NodeElement(channel, kBroadcastNode);
  ChannelRecord* r = Channel(channel);
  std::uint32_t own = NodeElement(channel, r->own_address);
  r->own_node = own;
  if (own == 0) return;
  NodeData* n = Node(own);
  const Identity& id = NodeIdentity();
  std::memcpy(n->identity, id.name, sizeof n->identity);
  n->restart = id.restart;
  n->option = id.option;
  n->software = static_cast<std::uint16_t>(id.software);
  n->flags |= kNodeUp;
}

bool IsBroadcastElement(std::uint32_t element) {
  return (Node(element)->flags & kNodeBroadcast) != 0;
}

bool IsOwnNodeElement(std::uint32_t element) {
  return Channel(Node(element)->channel)->own_node == element;
}

void SetNodeUp(std::uint32_t element) {
  if (element == 0 || !TakesPartInStatus(element)) return;
  NodeData* n = Node(element);
  AssociationNodeUp(element);
  if ((n->flags & kNodeUp) != 0) return;
  n->flags |= kNodeUp;
  AnnounceNodeStatus(element, true);
}

void SetNodeDown(std::uint32_t element) {
  if (element == 0 || !TakesPartInStatus(element)) return;
  NodeData* n = Node(element);
  AssociationNodeDown(element);
  if ((n->flags & kNodeUp) == 0) return;
  n->flags &= ~kNodeUp;
  AnnounceNodeStatus(element, false);
}

bool NodeInTable(const std::uint8_t (&table)[32], std::uint32_t node) {
  if (node >= 256) return false;
  return (table[node / 8] & (0x80u >> (node % 8))) != 0;
}

void ApplyNodeTable(std::uint32_t channel, const std::uint8_t (&table)[32]) {
  Heap heap = SharedHeap();
  bool alone = Link(channel)->alone != 0;
  for (std::uint32_t e = heap.First(Channel(channel)->node_list); e != 0; e = heap.SuccElem(e)) {
    NodeData* n = Node(e);
    if (n->address >= kCardNodeLimit || !TakesPartInStatus(e)) continue;
    bool present = NodeInTable(table, n->address);
    bool up = (n->flags & kNodeUp) != 0;
    bool pending = (n->flags & kNodeIdentifyPending) != 0;
    if (present && !up && !pending) {
      SetNodeUp(e);
    } else if (!present && up && !pending) {
      // A node missing from one table may only have missed the token; it
      // is asked who it is before it is given up, unless the bus is empty.
      if (!alone) {
        n->flags |= kNodeIdentifyPending;
        if (QueueInternalIdentify(e)) continue;
        n->flags &= ~kNodeIdentifyPending;
      }
      SetNodeDown(e);
    }
  }
  for (std::uint32_t node = 2; node < kCardNodeLimit; ++node) {
    if (NodeInTable(table, node) && FindNodeElement(channel, node) == 0) {
      SetNodeUp(NodeElement(channel, node));
    }
  }
}

std::string ChannelText(std::uint32_t channel) {
  return std::to_string(static_cast<unsigned>(Channel(channel)->number));
}

std::string NodeAddressText(std::uint32_t element) {
  const NodeData* n = Node(element);
  if (n->address < kCardNodeLimit) return std::to_string(n->address);
  return DottedAddress(n->address);
}

void DispatchNodeEvent(std::uint32_t element, std::uint16_t word) {
  const ClientCallbacks& cb = CurrentThread().callbacks;
  const NodeData* n = Node(element);
  VNHIdentifier channel{};
  VNHIdentifier node{};
  SetIdentifierText(&channel, ChannelText(n->channel));
  SetIdentifierText(&node, NodeAddressText(element));
  if (word == kNodeEventIdentify) {
    if (cb.identify == nullptr) return;
    VNHIdentifier name{};
    SetIdentifierText(&name, std::string_view(n->identity, sizeof n->identity));
    std::uint32_t option = n->option;
    std::uint32_t restart = n->restart;
    std::uint32_t software = n->software;
    cb.identify(&channel, &node, &name, &option, &restart, &software);
    return;
  }
  if (cb.node_status == nullptr) return;
  std::uint32_t up = word == kNodeEventUp ? 1 : 0;
  cb.node_status(&channel, &node, &up);
}

}  // namespace vnh
