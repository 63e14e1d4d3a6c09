#pragma once
// The Kelmnet application messages: their function codes, the result codes
// they carry and how those map to the library's statuses, the one decoder
// that every received message passes before any handler looks at it, and the
// writer that builds messages in a transmit buffer.

#include <cstdint>

namespace vnh {

// The function code is the low five bits of a message's first byte.
constexpr std::uint8_t kFunctionCodeMask = 0x1F;

enum FunctionCode : std::uint8_t {
  kCodeConnectRequest = 0,
  kCodeNameRequest = 2,
  kCodeIdentity = 3,
  kCodeNameAnswer = 5,
  kCodeVariableReport = 7,
  kCodeWriteRequest = 8,
  kCodeWriteUnanswered = 9,
  kCodeReadRequest = 10,
  kCodeReadAnswer = 11,
  kCodeSubscribeRequest = 12,
  kCodeStatusAnswer = 17,
  kCodeNamedWrite = 18,
  kCodeStream = 22,
  kCodeTovraMessage = 28,
  kCodeTovraReply = 29,
};

enum StreamSubType : std::uint8_t {
  kStreamOpenRequest = 0,
  kStreamOpenAnswer = 1,
  kStreamData = 2,
  kStreamDataAnswer = 3,
  kStreamRestart = 4,
  kStreamClose = 5,
  kStreamCloseAnswer = 6,
  kStreamError = 7,
  kStreamDataWithCredit = 8,
};

// Result 20 of an identity message announces a new server identity.
constexpr std::uint8_t kResultNewIdentity = 20;
constexpr std::uint32_t kNameLength = 5;
constexpr std::uint32_t kStreamDataMax = 255;

// A result code in a message as a library status, and back.
std::int32_t StatusOfResult(std::uint8_t result);
std::uint8_t ResultOfStatus(std::int32_t status);

// A received message, checked: every field below is filled only from bytes
// that are there, and every length matches what the code or sub-type says.
struct KelmnetMessage {
  std::uint8_t code = 0;
  std::uint8_t result = 0;        // identity, name answer, status answer, stream error
  std::uint8_t flag = 0;          // connect: report flag; subscribe: 1 on / 0 off
  char name[kNameLength] = {};    // name request, name answer, identity, named write
  std::uint8_t restart = 0;       // identity
  std::uint8_t option = 0;
  std::uint16_t software = 0;
  std::uint8_t variable_flags = 0;  // name answer
  std::uint8_t type_byte = 0;
  std::uint16_t address = 0;
  std::uint8_t length_or_count = 0;  // name answer
  std::uint8_t start = 0;         // structured read and subscribe requests
  std::uint8_t count = 0;
  std::uint8_t answered_code = 0;  // status answer
  const std::uint8_t* value = nullptr;  // value part (reports, writes, read answers, named writes)
  std::uint32_t value_length = 0;
  // Streams.
  std::uint8_t sub_type = 0;
  std::uint8_t stream = 0;        // [2]: the requester's or the receiver's stream number
  std::uint8_t other_stream = 0;  // open answer: the answerer's number
  std::uint8_t credit = 0;
  const std::uint8_t* data = nullptr;  // stream data, or a whole Tovra message
  std::uint32_t data_length = 0;
  std::uint8_t failed_sub_type = 0;  // stream error
};

// 1 when the message is whole and well formed; -6 when a length does not fit
// its code (the message is then ignored); -470 for an unknown stream sub-type
// (answered with a stream error); 0 for a code that nobody handles.
std::int32_t DecodeMessage(const std::uint8_t* bytes, std::uint32_t length, KelmnetMessage* out);

// Builds a message in a message buffer's bytes; overlong content is cut off at
// the buffer's end and reported by ok().
class MessageWriter {
 public:
  MessageWriter(std::uint8_t* bytes, std::uint32_t capacity) : bytes_(bytes), capacity_(capacity) {}
  MessageWriter& Byte(std::uint32_t v);
  MessageWriter& Word(std::uint32_t v);
  MessageWriter& Bytes(const void* p, std::uint32_t n);
  MessageWriter& Name(const char* name);  // five characters
  // Room for a value written in place; Commit says how much was used.
  std::uint8_t* Tail(std::uint32_t* room);
  void Commit(std::uint32_t n) { used_ += n; }
  bool ok() const { return ok_; }
  std::uint32_t length() const { return used_; }

 private:
  std::uint8_t* bytes_;
  std::uint32_t capacity_;
  std::uint32_t used_ = 0;
  bool ok_ = true;
};

}  // namespace vnh
