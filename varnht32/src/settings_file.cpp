#include "varnht32/src/settings_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>

#include "varnht32/src/name_slots.h"

namespace vnh {

namespace {

// The next line of the text without its line end; false at the end.
bool NextLine(std::string_view text, std::size_t* at, std::string_view* line) {
  if (*at >= text.size()) return false;
  std::size_t end = text.find('\n', *at);
  if (end == std::string_view::npos) end = text.size();
  *line = text.substr(*at, end - *at);
  *at = end + 1;
  return true;
}

std::string_view SkipBlanks(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  return s.substr(i);
}

bool HasControlCharacter(std::string_view s) {
  for (char c : s) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return true;
  }
  return false;
}

bool ParseInteger(std::string_view s, std::int32_t* out) {
  s = SkipBlanks(s);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || s.size() > 12) return false;
  std::int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > kIntegerLimit) return false;
  *out = static_cast<std::int32_t>(negative ? -v : v);
  return true;
}

bool ParseReal(std::string_view s, float* out) {
  s = SkipBlanks(s);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) return false;
  double v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return false;
  if (!std::isfinite(v) || std::fabs(v) > kRealLimit) return false;
  *out = static_cast<float>(negative ? -v : v);
  return true;
}

// A trace text made in one piece: a hand-edited file may give one for every line.
std::string Joined(std::initializer_list<std::string_view> parts) {
  std::size_t size = 0;
  for (std::string_view p : parts) size += p.size();
  std::string out;
  out.reserve(size);
  for (std::string_view p : parts) out.append(p);
  return out;
}

constexpr std::string_view kQuoted = "System variable: ";

}  // namespace

namespace {

bool IsTypeLetter(char c) { return std::string_view("bBiIfFsS").find(c) != std::string_view::npos; }

// Every entry takes a value line that starts with its type letter, so the
// lines that start with one bound the entries: closely for a settings file,
// and far below the line count for a file of anything else.
std::size_t TypedLines(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size();) {
    if (IsTypeLetter(text[at])) ++count;
    const std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return count;
}

// What one reading of the text gathers beside its entries.
struct Reading {
  SettingsText& result;
  std::size_t problems = 0;

  // True while a problem may still be traced; every one is counted.
  bool Traced() { return ++problems <= kSettingsProblemsTraced; }
  void Skipped(std::string_view name, std::string_view why) {
    if (Traced()) result.traces.push_back(Joined({kQuoted, name, " skipped: ", why}));
  }
};

void Read(std::string_view text, Reading& reading) {
  SettingsText& result = reading.result;
  // Entry positions + 1 by name.
  NameSlots index;
  const std::size_t room = std::min(TypedLines(text), kSettingsEntriesMax);
  result.entries.reserve(room);
  index.Reserve(room);
  std::size_t at = 0;
  std::string_view line;
  while (NextLine(text, &at, &line)) {
    std::string_view name = VariableName(line);
    if (name.empty()) continue;  // a blank line is neither a name nor a value
    std::string_view value;
    do {
      if (!NextLine(text, &at, &line)) {
        reading.Skipped(name, "no value line");
        return;
      }
      value = TrimLineEnd(line.substr(0, line.size() < kVariableTextMax ? line.size() : kVariableTextMax));
    } while (value.empty());
    if (HasControlCharacter(name)) {
      reading.Skipped("?", "the name holds control characters");
      continue;
    }
    VariableValue v;
    std::string_view rest = value.size() >= 2 ? value.substr(2) : std::string_view();
    switch (value[0]) {
      case 'b':
      case 'B':
        v = VariableValue::Boolean(value.size() >= 3 && (value[2] == 't' || value[2] == 'T'));
        break;
      case 'i':
      case 'I':
        v.type = kVariableInteger;
        if (!ParseInteger(rest, &v.integer)) {
          reading.Skipped(name, "not an integer from -2147483647 to 2147483647");
          continue;
        }
        break;
      case 'f':
      case 'F':
        v.type = kVariableReal;
        if (!ParseReal(rest, &v.real)) {
          reading.Skipped(name, "not a real from -1e38 to 1e38");
          continue;
        }
        break;
      case 's':
      case 'S':
        v = VariableValue::String(VariableText(rest));
        break;
      default:
        if (reading.Traced()) {
          result.traces.push_back("\n*** Error reading systemsetup ***");
          result.traces.push_back(Joined({kQuoted, name}));
          result.traces.push_back(Joined({"Value: ", value}));
        }
        result.bad_type_letter = true;
        continue;
    }
    const std::uint32_t hash = NameSlots::Hash(name);
    const std::uint32_t found =
        index.Find(hash, [&](std::uint32_t at) { return result.entries[at - 1].name == name; });
    if (found != 0) {
      if (reading.Traced()) {
        result.traces.push_back(Joined({kQuoted, name, " is given twice: the later value counts"}));
      }
      result.entries[found - 1].value = std::move(v);
      continue;
    }
    if (result.entries.size() >= kSettingsEntriesMax) {
      result.traces.push_back("System variables: more than " + std::to_string(kSettingsEntriesMax) +
                              " in the settings file, the rest skipped");
      return;
    }
    result.entries.push_back(SettingsEntry{std::string(name), std::move(v)});
    index.Add(hash, static_cast<std::uint32_t>(result.entries.size()));
  }
}

}  // namespace

SettingsText ParseSettings(std::string_view text) {
  SettingsText result;
  Reading reading{result};
  Read(text, reading);
  if (reading.problems > kSettingsProblemsTraced) {
    result.traces.push_back("System variables: " +
                            std::to_string(reading.problems - kSettingsProblemsTraced) +
                            " more problems in the settings file, not traced");
  }
  return result;
}

void AppendSettingsEntry(std::string* out, std::string_view name, const VariableValue& value) {
  out->append(name);
  out->push_back('\n');
  char digits[64];
  switch (value.type) {
    case kVariableBoolean:
      out->append(value.boolean ? "B true" : "B false");
      break;
    case kVariableInteger: {
      auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value.integer);
      out->append("I ");
      if (ec == std::errc()) out->append(digits, end);
      break;
    }
    case kVariableReal: {
      auto [end, ec] = std::to_chars(digits, digits + sizeof digits, static_cast<double>(value.real),
                                     std::chars_format::fixed, 4);
      out->append("F ");
      if (ec == std::errc()) out->append(digits, end);
      break;
    }
    case kVariableString:
      out->append("S ");
      out->append(VariableText(value.text));
      break;
  }
  out->push_back('\n');
}

std::string FormatSettingsEntry(std::string_view name, const VariableValue& value) {
  std::string out;
  AppendSettingsEntry(&out, name, value);
  return out;
}

}  // namespace vnh
