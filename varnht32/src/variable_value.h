#pragma once
// The value of a system variable as the library passes it around outside the
// shared table: its type and one of a boolean, an integer, a real or a text.

#include <cstdint>
#include <string>
#include <string_view>

namespace vnh {

enum VariableType : std::uint32_t {
  kVariableBoolean = 0,
  kVariableInteger = 1,
  kVariableReal = 2,
  kVariableString = 3,
};

// A name holds at most 21 characters, a string value at most 139 (the
// storage is 140 bytes with its terminator).
constexpr std::size_t kVariableNameMax = 21;
constexpr std::size_t kVariableTextMax = 139;
constexpr std::size_t kVariableTextStorage = 140;

// The widest numbers a variable may hold: what the settings file takes, the
// range of a variable that only the file defines, and the test variables'.
constexpr std::int32_t kIntegerLimit = 2147483647;
constexpr double kRealLimit = 1e38;

struct VariableValue {
  VariableType type = kVariableBoolean;
  bool boolean = false;
  std::int32_t integer = 0;
  float real = 0.0f;
  std::string text;

  static VariableValue Boolean(bool v) { return {kVariableBoolean, v, 0, 0.0f, {}}; }
  static VariableValue Integer(std::int32_t v) { return {kVariableInteger, false, v, 0.0f, {}}; }
  static VariableValue Real(float v) { return {kVariableReal, false, 0, v, {}}; }
  static VariableValue String(std::string_view v) {
    return {kVariableString, false, 0, 0.0f, std::string(v)};
  }
};

// Without trailing blanks and line ends.
inline std::string_view TrimLineEnd(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\t' || text[n - 1] == '\r' ||
                   text[n - 1] == '\n')) {
    --n;
  }
  return text.substr(0, n);
}

// A variable name as it is stored and compared: cut to 21 characters, then
// without trailing blanks and line ends.
inline std::string_view VariableName(std::string_view text) {
  return TrimLineEnd(text.substr(0, text.size() < kVariableNameMax ? text.size() : kVariableNameMax));
}

// A string value as it is stored: up to its first line end or NUL, at most
// 139 characters, without trailing blanks, the way the settings file gives it
// back. A line end would let a value write lines of its own into the file.
inline std::string_view VariableText(std::string_view text) {
  std::size_t end = text.find_first_of(std::string_view("\r\n\0", 3));
  if (end == std::string_view::npos) end = text.size();
  if (end > kVariableTextMax) end = kVariableTextMax;
  return TrimLineEnd(text.substr(0, end));
}

}  // namespace vnh
