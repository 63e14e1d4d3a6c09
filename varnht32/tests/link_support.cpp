#include "varnht32/tests/link_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/message_buffers.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/trace.h"

namespace vnh_test {

namespace {

FakeNetwork* g_network = nullptr;

class FakePort : public vnh::DatagramPort {
 public:
  bool Send(std::uint32_t address, const std::uint8_t* data, std::size_t length) override {
    std::uint32_t at = g_network->clock != nullptr ? g_network->clock->ticks() : 0;
    g_network->sent.push_back({address, std::vector<std::uint8_t>(data, data + length), at});
    return true;
  }
  long Receive(std::uint8_t* data, std::size_t capacity, std::uint32_t* from) override {
    if (g_network->incoming.empty()) return -1;
    auto [address, bytes] = g_network->incoming.front();
    g_network->incoming.pop_front();
    if (bytes.size() > capacity) return Receive(data, capacity, from);
    std::memcpy(data, bytes.data(), bytes.size());
    *from = address;
    return static_cast<long>(bytes.size());
  }
};

std::unique_ptr<vnh::DatagramPort> OpenFake(const vnh::UdpEndpoint&) {
  return std::make_unique<FakePort>();
}

void Collect(std::uint32_t buffer) {
  const vnh::MessageBuffer* b = vnh::Buffer(buffer);
  ReceivedMessages().push_back(
      {b->element, std::vector<std::uint8_t>(b->message, b->message + b->length)});
}

void VNH_CALL CollectTrace(const char* text) { Traces().push_back(text); }

void VNH_CALL CollectNodeEvent(const VNHIdentifier* channel, const VNHIdentifier* node,
                               const std::uint32_t* up) {
  NodeEvents().push_back(std::string(channel->text, channel->length) + " " +
                         std::string(node->text, node->length) + (*up != 0 ? " up" : " down"));
}

bool Bindable(std::uint32_t address, std::uint16_t port) {
  int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(address);
  bool ok = bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(fd);
  return ok;
}

}  // namespace

namespace {

bool Assign(const char* name, VNHValue value) {
  VNHIdentifier id{};
  id.length = static_cast<std::uint32_t>(std::strlen(name));
  std::memcpy(id.text, name, id.length);
  std::int32_t status = 0;
  VNHAssignSystemVariable(&id, &value, &status);
  return status == 1;
}

}  // namespace

bool SetBoolSetting(const char* name, bool on) {
  VNHValue v{};
  v.type = 1;
  v.value.boolean = on ? 1 : 0;
  return Assign(name, v);
}

bool SetIntSetting(const char* name, std::int32_t value) {
  VNHValue v{};
  v.type = 2;
  v.value.integer = value;
  return Assign(name, v);
}

bool SetTextSetting(const char* name, const std::string& text) {
  VNHSettingText buffer{};
  buffer.length = static_cast<std::uint32_t>(text.size());
  std::memcpy(buffer.text, text.data(), text.size());
  VNHValue v{};
  v.type = 4;
  v.value.string = &buffer;
  return Assign(name, v);
}

bool SendTestMessage(std::uint32_t element, const std::vector<std::uint8_t>& message) {
  vnh::MutexLock lock;
  std::uint32_t buffer = vnh::TakeTransmitBuffer();
  if (buffer == 0) return false;
  vnh::MessageBuffer* b = vnh::Buffer(buffer);
  std::memcpy(b->message, message.data(), message.size());
  b->length = static_cast<std::uint32_t>(message.size());
  vnh::SendMessage(element, buffer);
  return true;
}

std::vector<Received>& ReceivedMessages() {
  static std::vector<Received> messages;
  return messages;
}

void CollectMessages() { vnh::SetMessageHandler(Collect); }

std::vector<std::string>& Traces() {
  static std::vector<std::string> traces;
  return traces;
}

void CollectTraces() { vnh::SetTraceCallBack(CollectTrace); }

bool Traced(const std::string& part) {
  for (const std::string& t : Traces()) {
    if (t.find(part) != std::string::npos) return true;
  }
  return false;
}

std::vector<std::string>& NodeEvents() {
  static std::vector<std::string> events;
  return events;
}

void CollectNodeEvents() {
  std::uint32_t on = 1;
  std::int32_t status = 0;
  VNHSetNodeStatusCallBack(CollectNodeEvent, &on, &status);
}

void UseFakeNetwork(FakeNetwork* network) {
  g_network = network;
  vnh::SetDatagramPortOpener(network != nullptr ? OpenFake : nullptr);
}

std::uint16_t FreeUdpPort(std::uint32_t a, std::uint32_t b) {
  for (int attempt = 0; attempt < 64; ++attempt) {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in probe{};
    probe.sin_family = AF_INET;
    probe.sin_addr.s_addr = htonl(a);
    socklen_t size = sizeof probe;
    std::uint16_t port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&probe), sizeof probe) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&probe), &size) == 0) {
      port = ntohs(probe.sin_port);
    }
    close(fd);
    if (port != 0 && Bindable(a, port) && Bindable(b, port)) return port;
  }
  return 0;
}

}  // namespace vnh_test
