#include "varnht32/src/link_settings.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "varnht32/src/system_variables.h"

namespace vnh {

bool SimulatedChannelOnly() { return SettingOn(Setting::kSimulate3); }

namespace {

Setting CardSetting(Setting first, int card) {
  return static_cast<Setting>(static_cast<int>(first) + card - 1);
}

}  // namespace

bool CardEnabled(int card) { return SettingOn(CardSetting(Setting::kEnableKelmnet1, card)); }
std::int32_t CardNodeAddress(int card) {
  return SettingInteger(CardSetting(Setting::kKelmnet1NodeAddress, card));
}
std::uint32_t CardMemoryAddress(int card) {
  return static_cast<std::uint32_t>(SettingInteger(CardSetting(Setting::kKelmnet1MemoryAddr, card)));
}
bool TcpIpEnabled() { return SettingOn(Setting::kEnableTcpIp); }
std::uint8_t TcpIpChannelNumber() {
  return static_cast<std::uint8_t>(SettingInteger(Setting::kTcpIpChannel));
}
std::string TcpIpNetwork() { return std::string(SettingText(Setting::kTcpIpNetwork)); }
std::int32_t AnswerTimeOutMs() { return SettingInteger(Setting::kTransTimeOut); }
std::int32_t RemoteTimeMode() { return SettingInteger(Setting::kSetRemoteTimeEnable); }
bool TraceMessages() { return SettingOn(Setting::kDbgWritelns2); }
bool TraceNodeTables() { return SettingOn(Setting::kDbgWritelns5); }
bool HexOutput() { return SettingOn(Setting::kHexOutput); }

bool ParseDottedAddress(const std::string& text, std::uint32_t* address) {
  std::uint32_t result = 0;
  std::size_t at = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (at >= text.size() || text[at] != '.') return false;
      ++at;
    }
    std::size_t digits = 0;
    std::uint32_t value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 4) {
      value = value * 10 + static_cast<std::uint32_t>(text[at] - '0');
      ++at;
      ++digits;
    }
    if (digits == 0 || value > 255) return false;
    result = (result << 8) | value;
  }
  if (at != text.size()) return false;
  *address = result;
  return true;
}

std::string DottedAddress(std::uint32_t a) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", a >> 24, (a >> 16) & 0xFF, (a >> 8) & 0xFF,
                a & 0xFF);
  return text;
}

UdpEndpoint ConfiguredUdpEndpoint() {
  UdpEndpoint endpoint;
  const char* address = std::getenv(kUdpAddressEnvironment);
  std::uint32_t parsed = 0;
  if (address != nullptr && ParseDottedAddress(address, &parsed)) {
    endpoint.bind_address = parsed;
    endpoint.own_address = parsed;
  }
  const char* port = std::getenv(kUdpPortEnvironment);
  if (port != nullptr) {
    char* end = nullptr;
    long value = std::strtol(port, &end, 10);
    if (end != port && *end == '\0' && value > 0 && value < 65536) {
      endpoint.port = static_cast<std::uint16_t>(value);
    }
  }
  return endpoint;
}

std::uint32_t OwnUdpAddress(const UdpEndpoint& endpoint) {
  if (endpoint.own_address != 0) return endpoint.own_address;
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return 0;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* list = nullptr;
  if (getaddrinfo(host, nullptr, &hints, &list) != 0) return 0;
  std::uint32_t last = 0;
  for (addrinfo* a = list; a != nullptr; a = a->ai_next) {
    last = ntohl(reinterpret_cast<sockaddr_in*>(a->ai_addr)->sin_addr.s_addr);
  }
  freeaddrinfo(list);
  return last;
}

std::string CardDevicePath(int card) {
  const char* prefix = std::getenv(kCardDeviceEnvironment);
  std::string path = (prefix != nullptr && *prefix != '\0') ? prefix : kDefaultCardDevicePrefix;
  path += static_cast<char>('0' + card);
  return path;
}

}  // namespace vnh
