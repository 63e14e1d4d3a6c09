#include "varnht32/fuzz/fuzz_library.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/clock.h"
#include "varnht32/src/message_routing.h"
#include "varnht32/src/segment.h"
#include "varnht32/src/system_variables.h"

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
  // No settings file: the library's defaults and what `configure` sets.
  setenv(vnh::kSettingsDirectoryEnvironment, "/nonexistent", 1);
  if (InitVarnholtnet() != 1) return false;
  configure();
  vnh::SetMessageHandler(Drop);
  std::int32_t status = 0;
  VNHInitCommunication(&status);
  return status == 1;
}

void AdvanceClock(std::uint32_t ms) { g_ticks += ms; }

bool SetSetting(const char* name, std::uint32_t type, std::int32_t value) {
  VNHIdentifier id{};
  id.length = static_cast<std::uint32_t>(std::strlen(name));
  std::memcpy(id.text, name, id.length);
  VNHValue v{};
  v.type = type;
  if (type == 1) v.value.boolean = value != 0 ? 1 : 0;
  if (type == 2) v.value.integer = value;
  std::int32_t status = 0;
  VNHAssignSystemVariable(&id, &v, &status);
  return status == 1;
}

void PollUntil(bool (*done)(), int limit) {
  for (int i = 0; i < limit && !done(); ++i) VNHPollCommunication();
}

}  // namespace vnh_fuzz
