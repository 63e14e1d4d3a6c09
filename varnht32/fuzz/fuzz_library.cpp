#include "varnht32/fuzz/fuzz_library.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/clock.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/segment.h"
#include "varnht32/src/wait.h"

namespace vnh_fuzz {

namespace {

std::uint32_t g_ticks = 1000;
std::string g_segment;

std::uint32_t Ticks(void*) { return g_ticks; }
void Wait(std::int32_t ms, void*) { g_ticks += static_cast<std::uint32_t>(ms); }

void RemoveSegment() {
  DllMain(nullptr, 0, nullptr);
  vnh::Segment::Remove(g_segment);
}

// Messages are taken and dropped: the fuzzer looks for what breaks on the way.
void Drop(std::uint32_t) {}

}  // namespace

bool StartLibrary(void (*configure)()) {
  g_segment = "/vnhfuzz." + std::to_string(getpid());
  vnh::Segment::Remove(g_segment);
  setenv(vnh::kSegmentEnvironment, g_segment.c_str(), 1);
  std::atexit(RemoveSegment);
  vnh::SetTickSource(Ticks, nullptr);
  vnh::SetWaitFunction(Wait, nullptr);
  configure();
  if (InitVarnholtnet() != 1) return false;
  vnh::SetMessageHandler(Drop);
  std::int32_t status = 0;
  VNHInitCommunication(&status);
  return status == 1;
}

void AdvanceClock(std::uint32_t ms) { g_ticks += ms; }

void PollUntil(bool (*done)(), int limit) {
  for (int i = 0; i < limit && !done(); ++i) VNHPollCommunication();
}

}  // namespace vnh_fuzz
