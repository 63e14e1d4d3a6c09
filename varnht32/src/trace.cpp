#include "varnht32/src/trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "varnht32/src/client.h"
#include "varnht32/src/communication.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/string_item.h"

namespace vnh {

namespace {

// A line printed again and again (a noisy node on the bus sends the same bad
// frame without end) is printed once; the repeats are counted and their number
// printed before the next other line. Only the owner's thread prints.
struct StandardOutputRepeats {
  std::string last;
  std::uint64_t count = 0;
};
thread_local StandardOutputRepeats t_repeats;

void PrintTrace(const char* text) {
  StandardOutputRepeats& r = t_repeats;
  if (!r.last.empty() && r.last == text) {
    ++r.count;
    return;
  }
  if (r.count > 0) {
    std::printf("(last trace line repeated %llu times)\n", static_cast<unsigned long long>(r.count));
    r.count = 0;
  }
  r.last = text;
  std::puts(text);
  std::fflush(stdout);
}

}  // namespace

void EmitTrace(const char* text) {
  VNHTraceCallBack callback = CurrentThread().callbacks.trace;
  if (callback != nullptr) {
    callback(text);
  } else {
    PrintTrace(text);
  }
}

void SetTraceCallBack(VNHTraceCallBack callback) {
  std::uint32_t client = CurrentClient();
  if (client == 0) return;
  // The function runs only on this thread, so the thread keeps it; the shared
  // record keeps the 32-bit word a caller of a 32-bit system would have
  // passed, nonzero exactly while a callback is set.
  CurrentThread().callbacks.trace = callback;
  auto address = reinterpret_cast<std::uintptr_t>(callback);
  auto word = static_cast<std::uint32_t>(address);
  Client(client)->trace_callback = (address != 0 && word == 0) ? 1u : word;
}

void TraceOutput(const char* text) {
  if (!AttachThread()) return;
  MutexLock lock;
  if (!lock.held()) return;
  SharedState& s = Shared();
  std::uint32_t me = CurrentClient();
  std::uint32_t owner = s.communication_owner;
  if (me != 0 && me == owner && s.queued_trace_count == 0) {
    EmitTrace(text);
    return;
  }
  if (owner == 0) return;
  Heap heap = SharedHeap();
  std::uint32_t item = PoolGet(heap, s.string_item_pool);
  if (item == 0) return;
  auto* string_item = heap.Data<StringItem>(item);
  std::size_t n = strnlen(text, kTraceTextMax);
  std::memcpy(string_item->text, text, n);
  string_item->text[n] = '\0';
  string_item->length = static_cast<std::uint32_t>(n);
  if (!ClientEventQueue(owner).Queue(item)) {
    PoolPut(heap, s.string_item_pool, &item);
    return;
  }
  ++s.queued_trace_count;
}

namespace {

void VTrace(const char* prefix, const char* format, va_list args) {
  char text[kTraceTextMax + 1];
  std::size_t used = std::strlen(prefix);
  std::memcpy(text, prefix, used + 1);
  std::vsnprintf(text + used, sizeof text - used, format, args);
  TraceOutput(text);
}

}  // namespace

void Trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  VTrace("", format, args);
  va_end(args);
}

void TraceWarning(const char* format, ...) {
  va_list args;
  va_start(args, format);
  VTrace("W   ", format, args);
  va_end(args);
}

void DispatchTraceText(std::uint32_t item) {
  Heap heap = SharedHeap();
  auto* string_item = heap.Data<StringItem>(item);
  string_item->text[kTraceTextMax] = '\0';
  EmitTrace(string_item->text);
  DropTraceText(item);
}

void DropTraceText(std::uint32_t item) {
  SharedState& s = Shared();
  Heap heap = SharedHeap();
  PoolPut(heap, s.string_item_pool, &item);
  if (s.queued_trace_count > 0) --s.queued_trace_count;
}

}  // namespace vnh
