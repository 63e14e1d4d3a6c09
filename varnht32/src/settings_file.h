#pragma once
// The settings file "openfb.inf": pairs of lines, a system variable's name and
// then its value as a type letter, a blank and the value ("B true", "B false",
// "I 15000", "F 1.5000", "S text"). People edit it by hand, so the reader takes
// what it can, skips what it cannot and says why in trace texts.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "varnht32/src/variable_value.h"

namespace vnh {

constexpr const char* kSettingsFileName = "openfb.inf";
// Where a settings file with a line of unknown type is moved, in the current
// directory, so that the next start begins from the defaults.
constexpr const char* kSettingsDumpName = "sysvardump";

// No more variables fit the table, and no settings file of them comes near
// this size: what lies past either limit is not read.
constexpr std::size_t kSettingsEntriesMax = 10000;
constexpr std::int64_t kSettingsFileMaxBytes = 4 << 20;
// A file of anything but settings would trace a line or three for each of its
// lines (and hold them all while the library mutex is held): the first
// problems are traced, the rest only counted.
constexpr std::size_t kSettingsProblemsTraced = 100;

struct SettingsEntry {
  std::string name;
  VariableValue value;
};

struct SettingsText {
  std::vector<SettingsEntry> entries;  // in file order, each name once
  std::vector<std::string> traces;     // what was skipped, and why (the first problems)
  bool bad_type_letter = false;        // the file belongs in the dump
};

SettingsText ParseSettings(std::string_view text);

// One pair of lines: the name, then "B true", "B false", "I %ld", "F %4.4f" or
// "S %s". Reals are written the same in every locale.
std::string FormatSettingsEntry(std::string_view name, const VariableValue& value);
// The same pair of lines added to the end of `out`.
void AppendSettingsEntry(std::string* out, std::string_view name, const VariableValue& value);

}  // namespace vnh
