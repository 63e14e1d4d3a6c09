#include "varnht32/src/card_driver.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/base/little_endian.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/clock.h"

namespace vnh {

namespace {

constexpr std::uint32_t kRecordResult = 0;
constexpr std::uint32_t kRecordIndex = 4;
constexpr std::uint32_t kRecordData = 8;
constexpr std::uint32_t kRecordCode = 43;
constexpr int kDriverTries = 10;
constexpr std::int32_t kRetryPauseMs = 5;
// A simulator that does not answer within this real time is taken for gone;
// the request then counts as busy instead of holding the library mutex.
constexpr int kSimulatorAnswerLimitMs = 2000;
constexpr std::uint8_t kSimulatorGranted = 1;

class IoctlCardDevice : public CardDevice {
 public:
  explicit IoctlCardDevice(int fd) : fd_(fd) {}
  ~IoctlCardDevice() override { close(fd_); }
  bool Control(std::uint32_t code, DriverBytes& record) override {
    return ioctl(fd_, static_cast<unsigned long>(code), record) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const std::uint8_t* p, std::size_t n) {
  while (n > 0) {
    ssize_t w = send(fd, p, n, MSG_NOSIGNAL);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}

bool ReadAll(int fd, std::uint8_t* p, std::size_t n) {
  while (n > 0) {
    pollfd pfd{fd, POLLIN, 0};
    int r = poll(&pfd, 1, kSimulatorAnswerLimitMs);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    ssize_t got = read(fd, p, n);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    p += got;
    n -= static_cast<std::size_t>(got);
  }
  return true;
}

// A card simulator behind a Unix-domain socket: each request is the 4-byte
// request code and the record; the answer is the record.
class SocketCardDevice : public CardDevice {
 public:
  explicit SocketCardDevice(int fd) : fd_(fd) {}
  ~SocketCardDevice() override { close(fd_); }
  bool Control(std::uint32_t code, DriverBytes& record) override {
    if (broken_) return false;
    std::uint8_t request[4 + kDriverRecordBytes];
    PutLe32(request, code);
    std::memcpy(request + 4, record, kDriverRecordBytes);
    broken_ = !WriteAll(fd_, request, sizeof request) || !ReadAll(fd_, record, kDriverRecordBytes);
    return !broken_;
  }

 private:
  int fd_;
  bool broken_ = false;
};

std::unique_ptr<CardDevice> OpenSocketDevice(const char* path) {
  sockaddr_un address{};
  if (std::strlen(path) >= sizeof address.sun_path) return nullptr;
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path);
  std::uint8_t greeting = 0;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      !ReadAll(fd, &greeting, 1) || greeting != kSimulatorGranted) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<SocketCardDevice>(fd);
}

std::unique_ptr<CardDevice> OpenIoctlDevice(const char* path) {
  // Existing only, for reading and writing, and not shared with another process.
  int fd = open(path, O_RDWR | O_CLOEXEC);
  if (fd < 0) return nullptr;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<IoctlCardDevice>(fd);
}

std::unique_ptr<CardDevice> OpenConfiguredDevice(int card) {
  return OpenCardDevicePath(CardDevicePath(card).c_str());
}

CardDeviceOpener g_opener = OpenConfiguredDevice;

}  // namespace

void EncodeDriverRecord(const DriverRecord& record, DriverBytes& bytes) {
  std::memset(bytes, 0, kDriverRecordBytes);
  PutLe32(bytes + kRecordResult, record.result);
  PutLe32(bytes + kRecordIndex, record.index);
  std::memcpy(bytes + kRecordData, record.data, kFrameBytes);
  bytes[kRecordCode] = record.code;
}

DriverRecord DecodeDriverRecord(const DriverBytes& bytes) {
  DriverRecord record;
  record.result = GetLe32(bytes + kRecordResult);
  record.index = GetLe32(bytes + kRecordIndex);
  std::memcpy(record.data, bytes + kRecordData, kFrameBytes);
  record.code = bytes[kRecordCode];
  return record;
}

std::unique_ptr<CardDevice> OpenCardDevicePath(const char* path) {
  struct stat st{};
  if (stat(path, &st) != 0) return nullptr;
  return S_ISSOCK(st.st_mode) ? OpenSocketDevice(path) : OpenIoctlDevice(path);
}

std::unique_ptr<CardDevice> OpenCardDevice(int card) { return g_opener(card); }

void SetCardDeviceOpener(CardDeviceOpener opener) {
  g_opener = opener != nullptr ? opener : OpenConfiguredDevice;
}

std::uint32_t DriverRequest(CardDevice* device, std::uint32_t code, DriverRecord& record) {
  DriverRecord request = record;
  for (int attempt = 0; attempt < kDriverTries; ++attempt) {
    if (attempt > 0) WaitMilliSeconds(kRetryPauseMs);
    DriverBytes bytes;
    EncodeDriverRecord(request, bytes);
    bool called = device != nullptr && device->Control(code, bytes);
    record = called ? DecodeDriverRecord(bytes) : request;
    if (!called) record.result = kDriverBusy;
    if (record.result != kDriverBusy) break;
  }
  return record.result;
}

}  // namespace vnh
