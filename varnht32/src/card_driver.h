#pragma once
// The requests of the adapter-card driver and the 44-byte record that goes in
// and out of every one: [0..3] result, [4..7] buffer index, [8..40] a frame
// (or [8..39] card-command data), [43] the card-command code. A device is
// opened per card in the process of the communication owner: on Linux the
// device file of the driver, which takes each request as an ioctl on the
// record; or, where the path names a Unix-domain socket, a card simulator
// that takes the same requests over the socket.

#include <cstdint>
#include <memory>

#include "varnht32/src/card_frames.h"

namespace vnh {

enum DriverRequestCode : std::uint32_t {
  kRequestCardCommand = 0x80002000,
  kRequestCardAnswer = 0x80002004,
  kRequestGetReceived = 0x80002008,
  kRequestGiveBackReceived = 0x8000200C,
  kRequestGetFreeTransmit = 0x80002010,
  kRequestPutTransmit = 0x80002014,
  kRequestReclaimTransmit = 0x80002018,
};

enum DriverResult : std::uint32_t {
  kDriverDone = 0,
  kDriverNothing = 1,
  kDriverBusy = 2,
};

constexpr std::uint32_t kDriverRecordBytes = 44;
constexpr std::uint32_t kCommandDataBytes = 32;
using DriverBytes = std::uint8_t[kDriverRecordBytes];

struct DriverRecord {
  std::uint32_t result = 0;
  std::uint32_t index = 0;
  std::uint8_t data[kFrameBytes] = {};  // a frame, or card-command data in the first 32
  std::uint8_t code = 0;                // card-command code
};

void EncodeDriverRecord(const DriverRecord& record, DriverBytes& bytes);
DriverRecord DecodeDriverRecord(const DriverBytes& bytes);

class CardDevice {
 public:
  virtual ~CardDevice() = default;
  // One request on the record in place; false when the call itself failed.
  virtual bool Control(std::uint32_t code, DriverBytes& record) = 0;
};

// Opens card n (1 to 4); null when the device does not exist or is in use.
using CardDeviceOpener = std::unique_ptr<CardDevice> (*)(int card);
std::unique_ptr<CardDevice> OpenCardDevice(int card);
// Tests put their own devices in place; null restores the device files.
void SetCardDeviceOpener(CardDeviceOpener opener);

// The device of a path: an ioctl device, or a socket to a card simulator.
std::unique_ptr<CardDevice> OpenCardDevicePath(const char* path);

// A request with the retry rule: while the result is busy it is repeated, at
// most 10 times in all, 5 ms apart; a failed call counts as busy. Returns the
// last result, with `record` holding the last answer.
std::uint32_t DriverRequest(CardDevice* device, std::uint32_t code, DriverRecord& record);

}  // namespace vnh
