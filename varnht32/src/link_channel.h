#pragma once
// A channel record with the state of its link layer behind the fields that
// every channel has (heap type 18, 196 bytes in all).

#include <cstdint>

#include "varnht32/src/block_types.h"
#include "varnht32/src/channels.h"
#include "varnht32/src/clock.h"

namespace vnh {

constexpr int kPartialSlots = 15;
constexpr std::uint32_t kNoDriverIndex = 0xFFFFFFFFu;

struct LinkChannel {
  ChannelRecord common;
  // Fewer than two nodes on the bus: messages are dropped instead of sent.
  std::uint8_t alone;
  std::uint8_t request_pending;
  std::uint8_t partial_count;
  std::uint8_t restart_needed;  // a card whose restart failed is started again later
  TimeStamp request_stamp;
  std::uint32_t request_wait;   // ms
  std::uint32_t poll_counter;
  // Transmit progress of a message cut into frames.
  std::uint8_t tx_fragments;
  std::uint8_t tx_next;         // next fragment to put
  std::uint8_t tx_sequence;     // frame-type bits of the fragment last put
  std::uint8_t tx_in_progress;
  std::uint32_t tx_message;     // the message buffer being sent
  std::uint32_t tx_index;       // driver buffer taken for the next fragment, or kNoDriverIndex
  // Messages arriving in fragments: a receive buffer each, stamped with the
  // minute of the hour of their first fragment.
  std::uint32_t partial[kPartialSlots];
  std::uint16_t partial_minute[kPartialSlots];
  std::uint16_t reserved;
  std::uint32_t network;        // TCP/IP channel: network and broadcast address
  std::uint32_t broadcast;
};
static_assert(sizeof(LinkChannel) <= RegisteredSize(kTypeChannel));

LinkChannel* Link(std::uint32_t channel);
// A channel record at the end of the channel list with its link state set as a
// new channel has it (alone, poll counter 32000, request wait 150 ms, version
// "1.3 89-04-01"); 0 when the heap is used up.
std::uint32_t NewLinkChannel(ChannelKind kind, std::uint8_t number);
// Gives back every message buffer the channel holds: waiting to be sent,
// being sent, or partly received.
void ReleaseLinkBuffers(std::uint32_t channel);

}  // namespace vnh
