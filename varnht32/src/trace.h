#pragma once
// Trace output: every diagnostic text of the library goes through here. The
// communication owner prints the texts of every process, in order: its own
// go straight out while nothing of another process waits in its queue; every
// other text is queued to it as an event.

#include <cstdint>

#include "varnht32/include/varnht32.h"

namespace vnh {

constexpr std::uint32_t kTraceTextMax = 255;

void TraceOutput(const char* text);
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "W   " before the text.
void TraceWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Sets the calling client's trace callback (null: standard output).
void SetTraceCallBack(VNHTraceCallBack callback);
// Hands a text to the calling thread's trace callback, or to standard output.
void EmitTrace(const char* text);
// Dispatch of a queued trace text (heap type 27) on the owner's thread.
void DispatchTraceText(std::uint32_t item);
// A trace text taken out of a queue without being printed.
void DropTraceText(std::uint32_t item);

}  // namespace vnh
