#include "varnht32/src/settings_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>

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

std::string Quoted(std::string_view name) { return "System variable: " + std::string(name); }

}  // namespace

SettingsText ParseSettings(std::string_view text) {
  SettingsText result;
  // Names are found as views into the text, which outlives the parse.
  std::unordered_map<std::string_view, std::size_t> index;
  // Two lines an entry at the least.
  const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  const std::size_t room = std::min<std::size_t>(lines / 2 + 1, kSettingsEntriesMax);
  result.entries.reserve(room);
  index.reserve(room);
  std::size_t at = 0;
  std::string_view line;
  auto skipped = [&result](std::string_view name, const char* why) {
    result.traces.push_back(Quoted(name) + " skipped: " + why);
  };
  while (NextLine(text, &at, &line)) {
    std::string_view name = VariableName(line);
    if (name.empty()) continue;  // a blank line is neither a name nor a value
    std::string_view value;
    do {
      if (!NextLine(text, &at, &line)) {
        skipped(name, "no value line");
        return result;
      }
      value = TrimLineEnd(line.substr(0, line.size() < kVariableTextMax ? line.size() : kVariableTextMax));
    } while (value.empty());
    if (HasControlCharacter(name)) {
      skipped("?", "the name holds control characters");
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
          skipped(name, "not an integer from -2147483647 to 2147483647");
          continue;
        }
        break;
      case 'f':
      case 'F':
        v.type = kVariableReal;
        if (!ParseReal(rest, &v.real)) {
          skipped(name, "not a real from -1e38 to 1e38");
          continue;
        }
        break;
      case 's':
      case 'S':
        v = VariableValue::String(VariableText(rest));
        break;
      default:
        result.traces.push_back("\n*** Error reading systemsetup ***");
        result.traces.push_back(Quoted(name));
        result.traces.push_back("Value: " + std::string(value));
        result.bad_type_letter = true;
        continue;
    }
    auto found = index.find(name);
    if (found != index.end()) {
      result.traces.push_back(Quoted(name) + " is given twice: the later value counts");
      result.entries[found->second].value = std::move(v);
      continue;
    }
    if (result.entries.size() >= kSettingsEntriesMax) {
      result.traces.push_back("System variables: more than " + std::to_string(kSettingsEntriesMax) +
                              " in the settings file, the rest skipped");
      return result;
    }
    index.emplace(name, result.entries.size());
    result.entries.push_back(SettingsEntry{std::string(name), std::move(v)});
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
