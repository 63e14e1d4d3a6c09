#pragma once
// The client side of the Kelmnet services: starting each kind of action and
// taking the answers that complete them (identity, name, read and status
// answers, variable reports, Tovra replies), plus the sending of messages that
// every service shares. Runs under the library mutex, on the thread of the
// client that polls or that a message was dispatched to.

#include <cstdint>

#include "varnht32/src/kelmnet_messages.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/value_codec.h"

namespace vnh {

// Builds a message in a transmit buffer with `build(writer)` (which returns a
// status) and hands it to the node's channel. -400 when no transmit buffer is
// free; a build that fails or overflows sends nothing.
template <class Build>
std::int32_t SendKelmnetMessage(std::uint32_t element, Build build);
std::int32_t FinishMessage(std::uint32_t element, std::uint32_t buffer, const MessageWriter& w,
                           std::int32_t status);

// Starts an action of its association by kind. `finished` tells that it
// ended at once with the returned status.
std::int32_t StartAction(std::uint32_t association, std::uint32_t action, bool* finished);
// Starts a global action (identify, node status).
std::int32_t StartGlobalAction(std::uint32_t action, bool* finished);

std::int32_t SendConnectRequest(std::uint32_t element);
// A message of `code` whose body is the type byte, the address and the value
// encoded for the type (writes, read answers, reports).
std::int32_t SendValueMessage(std::uint32_t element, std::uint8_t code, std::uint8_t type,
                              std::uint16_t address, const PlainValue& value);

// Answers that the client side takes.
void HandleIdentity(std::uint32_t element, const KelmnetMessage& m);
void HandleNameAnswer(std::uint32_t element, const KelmnetMessage& m);
void HandleReadAnswer(std::uint32_t element, const KelmnetMessage& m);
void HandleStatusAnswer(std::uint32_t element, const KelmnetMessage& m);
void HandleVariableReport(std::uint32_t element, const KelmnetMessage& m);
void HandleTovraReply(std::uint32_t element, const KelmnetMessage& m);

// Register forms: "%X" with an octal bit address, "%R" with a decimal register.
struct RegisterForm {
  bool bits;            // %X
  std::uint32_t number; // bit address or register number
};
bool ParseRegisterForm(const char* text, std::uint32_t length, RegisterForm* form);

template <class Build>
std::int32_t SendKelmnetMessage(std::uint32_t element, Build build) {
  std::uint32_t buffer = TakeTransmitBuffer();
  if (buffer == 0) return -400;
  MessageWriter w(Buffer(buffer)->message, kMessageMax);
  std::int32_t status = build(w);
  return FinishMessage(element, buffer, w, status);
}

}  // namespace vnh
