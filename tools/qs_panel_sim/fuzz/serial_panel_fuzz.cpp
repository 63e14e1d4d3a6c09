// Whatever a PC puts on the line, in whatever pieces and at whatever pace,
// the panel answers without failing and, left alone, comes to rest: nothing
// queued, no partial frame kept.
//
// Input: the panel type, a byte of switches (bit 0 pacing, bits 1-3 a fault),
// then pieces {length, milliseconds before it, bytes}.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/qs_panel_sim/serial_panel.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

const char* const kFaults[] = {
    "fault none",         "fault lose in 2 3",  "fault late in 1 20 2", "fault repeat out 2 1",
    "fault refuse 1 0",   "fault ack-lost 2",   "fault silent 4",       "fault answer-nth 2",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace std::chrono_literals;
  if (size < 2) return 0;
  qs_panel_sim::PanelSettings settings;
  settings.type = data[0];
  settings.pacing = (data[1] & 1) != 0;
  qs_panel_sim::SerialPanel panel(settings, [](const std::string&) {});
  std::string error;
  Check(panel.Command(kFaults[(data[1] >> 1) & 7], qs_panel_sim::Time{}, &error));

  qs_panel_sim::Time now{};
  std::size_t at = 2;
  while (at + 2 <= size) {
    std::size_t length = std::min<std::size_t>(data[at], size - at - 2);
    now += std::chrono::milliseconds(data[at + 1]);
    panel.Write(data + at + 2, length, now);
    panel.Read(now);
    at += 2 + length;
  }
  panel.Read(now + 1h);
  Check(panel.NextEvent() == qs_panel_sim::kNever);
  return 0;
}
