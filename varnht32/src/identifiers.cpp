#include "varnht32/src/identifiers.h"

#include <cstdio>
#include <cstring>

#include "varnht32/src/channels.h"
#include "varnht32/src/library_frame.h"

namespace vnh {

namespace {

constexpr std::uint32_t kIdentifierMax = 32;

bool AllDigits(std::string_view s, char highest) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > highest) return false;
  }
  return true;
}

}  // namespace

std::string_view IdentifierText(const VNHIdentifier* record) {
  if (record == nullptr) return {};
  std::uint32_t n = record->length < kIdentifierMax ? record->length : kIdentifierMax;
  return std::string_view(record->text, n);
}

void SetIdentifierText(VNHIdentifier* record, std::string_view text) {
  if (record == nullptr) return;
  std::size_t n = text.size() < kIdentifierMax ? text.size() : kIdentifierMax;
  std::memcpy(record->text, text.data(), n);
  if (n < kIdentifierMax) record->text[n] = '\0';
  record->length = static_cast<std::uint32_t>(n);
}

bool IsLegalIdentifier(std::string_view text, std::uint32_t* kind) {
  if (text.size() == 5 && text[0] != '%') {
    if (kind != nullptr) *kind = 1;
    return true;
  }
  if (text.size() < 3 || text.size() > 7 || text[0] != '%') return false;
  std::string_view digits = text.substr(2);
  bool legal = (text[1] == 'X' && AllDigits(digits, '7')) || (text[1] == 'R' && AllDigits(digits, '9'));
  if (legal && kind != nullptr) *kind = 0;
  return legal;
}

bool ParseChannelName(std::string_view text, std::uint32_t* number) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  std::size_t last = text.find_last_not_of(' ');
  std::string_view digits = text.substr(first, last - first + 1);
  if (!AllDigits(digits, '9') || digits.size() > 9) return false;
  std::uint32_t value = 0;
  for (char c : digits) value = value * 10 + static_cast<std::uint32_t>(c - '0');
  *number = value;
  return true;
}

std::uint32_t FindChannel(const VNHIdentifier* name, std::int32_t* status) {
  std::uint32_t number = 0;
  if (!ParseChannelName(IdentifierText(name), &number)) {
    *status = -30;
    return 0;
  }
  Heap heap = SharedHeap();
  for (std::uint32_t c = heap.First(Shared().channel_list); c != 0; c = heap.SuccElem(c)) {
    if (Channel(c)->number == number) {
      *status = 1;
      return c;
    }
  }
  *status = -2;
  return 0;
}

bool SetIdentityName(Identity& identity, std::string_view name) {
  if (name.empty() || name.size() > sizeof identity.name) return false;
  std::memset(identity.name, ' ', sizeof identity.name);
  std::memcpy(identity.name, name.data(), name.size());
  return true;
}

}  // namespace vnh
