#pragma once
// Two library instances on loopback UDP: this process is host A, a child
// process with a shared segment of its own is host B, as a second PC would
// be. Both take the library's defaults with TCP/IP on; each benchmark adds
// its own callbacks on both sides and starts communication.

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "varnht32/bench/loopback_udp.h"
#include "varnht32/include/varnht32.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/segment.h"
#include "varnht32/src/system_variables.h"

namespace vnh_bench {

constexpr std::uint32_t kHostA = 0x7F000002u;
constexpr std::uint32_t kHostB = 0x7F000003u;

// Attaches this process to the library as `own` on `port` with the segment
// named, and turns TCP/IP on; false when the library refuses either.
inline bool AttachInstance(const std::string& segment, std::uint32_t own, std::uint16_t port) {
  vnh::Segment::Remove(segment);
  setenv(vnh::kSegmentEnvironment, segment.c_str(), 1);
  setenv(vnh::kUdpAddressEnvironment, vnh::DottedAddress(own).c_str(), 1);
  setenv(vnh::kUdpPortEnvironment, std::to_string(port).c_str(), 1);
  setenv(vnh::kSettingsDirectoryEnvironment, "/nonexistent", 1);  // the defaults, and TCP/IP on
  if (InitVarnholtnet() != 1) return false;
  VNHIdentifier name{18, "EnableKelmnetTCPIP"};
  VNHValue on{};
  on.type = 1;
  on.value.boolean = 1;
  std::int32_t status = 0;
  VNHAssignSystemVariable(&name, &on, &status);
  return status == 1;
}

class LoopbackPair {
 public:
  // `start_b` finishes host B in the child (false ends the child), which then
  // polls until it is killed; this process is attached as host A after it.
  template <class StartB>
  LoopbackPair(const std::string& name, StartB start_b) {
    int probe = UdpSocket(kHostA, 0);
    port_ = PortOf(probe);
    close(probe);
    std::string tag = std::to_string(getpid());
    segment_a_ = "/" + name + ".a." + tag;
    segment_b_ = "/" + name + ".b." + tag;
    peer_ = fork();
    if (peer_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (!AttachInstance(segment_b_, kHostB, port_) || !start_b()) _exit(1);
      for (;;) VNHPollCommunication();
    }
    attached_ = AttachInstance(segment_a_, kHostA, port_);
  }
  ~LoopbackPair() {
    kill(peer_, SIGKILL);
    waitpid(peer_, nullptr, 0);
    DllMain(nullptr, 0, nullptr);
    vnh::Segment::Remove(segment_a_);
    vnh::Segment::Remove(segment_b_);
  }
  LoopbackPair(const LoopbackPair&) = delete;
  LoopbackPair& operator=(const LoopbackPair&) = delete;

  // Host A is attached to the library.
  bool attached() const { return attached_; }

 private:
  std::uint16_t port_ = 0;
  pid_t peer_ = -1;
  std::string segment_a_;
  std::string segment_b_;
  bool attached_ = false;
};

}  // namespace vnh_bench
