#pragma once
// The settings that the link layers read: which channels to open, their node
// addresses, the answer time-out and the trace switches, each through an
// accessor of the library's system variable of that name.
//
// The UDP endpoint is not a system variable: a library normally binds UDP port
// 2999 on every local address and takes the host's address as its own. Two
// library instances on one machine (standing for two PCs) each bind an address
// of their own instead; the environment variables below say which.

#include <cstdint>
#include <string>

namespace vnh {

constexpr int kCardChannels = 4;
constexpr std::uint16_t kKelmnetUdpPort = 2999;

// The environment variables of the UDP endpoint: "VARNHT32_UDP_ADDRESS" (dotted
// address to bind and to use as the own address) and "VARNHT32_UDP_PORT".
constexpr const char* kUdpAddressEnvironment = "VARNHT32_UDP_ADDRESS";
constexpr const char* kUdpPortEnvironment = "VARNHT32_UDP_PORT";
// The device path of adapter card n is this prefix followed by the digit n.
constexpr const char* kCardDeviceEnvironment = "VARNHT32_CARD_DEVICE";
constexpr const char* kDefaultCardDevicePrefix = "/dev/kelmnet";

// The settings in force, one accessor each, so that every reader names the
// setting it reads.
bool SimulatedChannelOnly();            // VarnholtnetSimulate3
bool CardEnabled(int card);             // EnableKelmnet<n>, card 1 to 4
std::int32_t CardNodeAddress(int card); // Kelmnet<n>NodeAddress
std::uint32_t CardMemoryAddress(int card);  // Kelmnet<n>MemoryAddr
bool TcpIpEnabled();                    // EnableKelmnetTCPIP
std::uint8_t TcpIpChannelNumber();      // KelmnetTCPIPChannel
std::string TcpIpNetwork();             // KelmnetTCPIPNetwork
std::int32_t AnswerTimeOutMs();         // KelmnetTransTimeOut
std::int32_t RemoteTimeMode();          // SetRemoteTimeEnable
bool TraceMessages();                   // KelmnetDBGWritelns2
bool TraceNodeTables();                 // KelmnetDBGWritelns5
bool HexOutput();                       // KelmnetHexOutput

// The UDP endpoint of this process. Port: the environment's, else 2999.
// Bind address: the environment's, else 0 (every local address). Own address:
// the environment's, else 0 (the caller resolves the host name).
struct UdpEndpoint {
  std::uint32_t bind_address = 0;  // host order
  std::uint32_t own_address = 0;
  std::uint16_t port = kKelmnetUdpPort;
};
UdpEndpoint ConfiguredUdpEndpoint();
// The own IP address of an endpoint: its own address when the environment
// names one, else the last address that the host name resolves to; 0 when
// there is none.
std::uint32_t OwnUdpAddress(const UdpEndpoint& endpoint);
// The device path of card n (1 to 4).
std::string CardDevicePath(int card);

// "a.b.c.d" with four decimal numbers of 0 to 255; false for anything else.
bool ParseDottedAddress(const std::string& text, std::uint32_t* address);
std::string DottedAddress(std::uint32_t address);

}  // namespace vnh
