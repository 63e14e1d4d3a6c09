// The settings-file reader on any text: it never fails, every entry it keeps
// is one the file can hold, and what the table writes back reads back the
// same, byte for byte.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "varnht32/src/settings_file.h"
#include "varnht32/src/variable_table.h"
#include "varnht32/tests/arena.h"

namespace {

using vnh::VariableDefinition;

constexpr VariableDefinition kBefore[] = {
    {"testboolean", vnh::kVariableBoolean, false, 0, 0.0f, {}, 0, 0},
    {"testinteger", vnh::kVariableInteger, false, 0, 0.0f, {}, -2147483647.0, 2147483647.0},
    {"testreal", vnh::kVariableReal, false, 0, 0.0f, {}, -1e38, 1e38},
    {"teststring", vnh::kVariableString, false, 0, 0.0f, "", 0, 0},
};
constexpr VariableDefinition kAfter[] = {
    {"PoolAllowed", vnh::kVariableBoolean, true, 0, 0.0f, {}, 0, 0},
    {"KelmnetTransTimeOut", vnh::kVariableInteger, false, 15000, 0.0f, {}, 3000, 3600000},
    {"KelmnetTCPIPNetwork", vnh::kVariableString, false, 0, 0.0f, "", 0, 0},
};
constexpr std::uint32_t kReserved = 3;
constexpr std::uint32_t kHeapBytes = 4u << 20;

void Check(bool ok) {
  if (!ok) std::abort();
}

bool Printable(std::string_view s) {
  for (char c : s) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return false;
  }
  return true;
}

// Loads a parsed text as the library does and writes the table back.
std::string LoadAndWrite(const vnh::SettingsText& parsed, bool* roomy) {
  static vnh_test::Arena arena(kHeapBytes);
  arena.Reset();
  vnh::Heap heap = arena.heap();
  vnh::VariableTableControl control{};
  // The library finds names through its index; a table made again in the
  // same arena is one the index must tell from the last.
  static vnh::VariableIndex index;
  vnh::VariableTable table(heap, control, &index);
  Check(table.SetUp());
  for (const VariableDefinition& d : kBefore) table.DefineByLibrary(d, nullptr);
  // However bad the text, the traces stay few: three lines a problem at most,
  // the closing ones beside.
  Check(parsed.traces.size() <= 3 * vnh::kSettingsProblemsTraced + 2);
  for (const vnh::SettingsEntry& entry : parsed.entries) {
    Check(!entry.name.empty() && entry.name.size() <= vnh::kVariableNameMax && Printable(entry.name));
    if (entry.value.type == vnh::kVariableString) {
      Check(entry.value.text.size() <= vnh::kVariableTextMax &&
            entry.value.text.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    }
    table.DefineFromFile(entry, kReserved, nullptr);
  }
  for (const VariableDefinition& d : kAfter) table.DefineByLibrary(d, nullptr);
  Check(table.count() <= vnh::VariableTable::kMaxVariables);
  *roomy = heap.Left() > (64u << 10);
  return table.FormatFile();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  bool roomy = false;
  std::string written = LoadAndWrite(vnh::ParseSettings(text), &roomy);
  // What was written is read once, for both checks.
  vnh::SettingsText again = vnh::ParseSettings(written);
  Check(!again.bad_type_letter);
  if (roomy) {
    bool still_roomy = false;
    Check(LoadAndWrite(again, &still_roomy) == written);
  }
  return 0;
}
