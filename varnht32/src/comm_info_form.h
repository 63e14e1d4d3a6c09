#pragma once
// The settings dialog's copy of the settings and the entry points of the
// window library that shows it. The core (no windows) fills and applies the
// copy; the window library, loaded only when the dialog is asked for, edits
// it. The two meet through this C layout alone, so neither needs the other's
// C++ types.

#include <stdint.h>

#include <cstddef>
#include <cstring>
#include <string_view>

extern "C" {

// Texts are NUL-terminated within their arrays.
struct VNHCommInfoForm {
  uint8_t enable[5];           // check boxes: channels 1 to 4, then the TCP/IP channel
  char node_address[4][20];    // decimal text, up to 19 characters
  char own_address[20];        // the own IP address, dotted, or "<none>"
  char tcpip_caption[20];      // "Channel 5": the TCP/IP channel's check box
  char timeout[20];            // `KelmnetTransTimeOut`, decimal text
  uint32_t network_length;
  char network[256];           // `KelmnetTCPIPNetwork`, up to 255 characters
};

enum VNHCommInfoEnd : int32_t {
  kCommInfoOk = 1,
  kCommInfoCancel = 2,
  kCommInfoFailed = -1,  // the window could not be made
};

// Runs the modal dialog over `owner` (a window handle of the platform, or
// null) on `form`; `card_present[n]` says whether card n+1 can be opened, so
// that only such boxes can be checked.
typedef int32_t (*VNHRunCommInfoDialogFn)(void* owner, VNHCommInfoForm* form,
                                          const uint8_t* card_present);
// A message box with `text` and `caption`, a warning sign and beep.
typedef void (*VNHShowCommInfoErrorFn)(void* owner, const char* text, const char* caption);

}  // extern "C"

namespace vnh {

// The window library: its file beside the library's own, and its entry points.
constexpr const char* kCommInfoLibraryName = "libvarnht32dlg.so";
constexpr const char* kRunCommInfoDialogEntry = "VNHRunCommInfoDialog";
constexpr const char* kShowCommInfoErrorEntry = "VNHShowCommInfoError";

// A text field of the form, up to its terminator (or its whole array).
template <std::size_t N>
std::string_view FormText(const char (&field)[N]) {
  const void* end = std::memchr(field, '\0', N);
  return std::string_view(field, end != nullptr ? static_cast<const char*>(end) - field : N);
}

// Writes a text field, cut to fit with its terminator, the rest zeroed.
template <std::size_t N>
void SetFormText(char (&field)[N], std::string_view text) {
  std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
  std::memcpy(field, text.data(), n);
  std::memset(field + n, 0, N - n);
}

}  // namespace vnh
