#pragma once
// The adapter-card channels: start-up of a card, the transmit and receive
// polls that move frames through the driver, the reassembly of messages that
// arrive in fragments, and the node supervision that keeps the node table
// current. Registered as the channel backend of kind 1.

#include <cstdint>

namespace vnh {

// Card commands and their answers.
enum CardCommand : std::uint8_t {
  kCardStartCommunication = 3,
  kCardSetTokenHolder = 4,
  kCardAnyNodeChange = 10,
  kCardAllNodeStatus = 12,
  kCardVersion = 20,
  kCardConfigureBuffers = 22,
  kCardTimeSyncTrigger = 32,
};
enum CardAnswer : std::uint8_t {
  kAnswerStarted = 9,
  kAnswerNodeChange = 11,
  kAnswerAcknowledge = 13,
  kAnswerNodeStatus = 14,
  kAnswerVersion = 21,
  kAnswerTimeSync = 33,
};

constexpr std::int32_t kCardStartFailed = -801;
constexpr std::int32_t kCardBadNodeAddress = -802;
constexpr std::uint32_t kSupervisionPolls = 400;
// How long the library waits for a card to answer a request before it gives
// up: five times the request wait of 150 ms.
constexpr std::int32_t kCardAnswerTimeoutMs = 750;
// Partial messages older than this many minutes are dropped.
constexpr int kPartialMessageMinutes = 4;
// At most this many frames are taken from the driver in one poll, so that a
// bus that never falls silent cannot hold the library mutex for ever.
constexpr int kFramesPerPoll = 64;

// Runs the start sequence of a card channel: 1, kCardBadNodeAddress or
// kCardStartFailed (traced).
std::int32_t StartCard(std::uint32_t channel);
// Asks the card for its version and keeps the answer as the channel's version text.
bool ReadCardVersion(std::uint32_t channel);
// Sends the time synchronisation trigger and reads the card's answers until
// one arrives, at most kCardAnswerTimeoutMs after the pause that follows the
// trigger. False when the card sent no answer.
bool CardTimeSyncTrigger(std::uint32_t channel);

void CardTransmitPoll(std::uint32_t channel);
void CardReceivePoll(std::uint32_t channel);
void CardSupervision(std::uint32_t channel);

// The version text of a version answer: "M.m dd-dd-dd".
void FormatCardVersion(const std::uint8_t* answer, char (&text)[12]);

}  // namespace vnh
