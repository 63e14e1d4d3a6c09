#pragma once
// The Windows-1252 code page in which texts are stored and panel fonts are
// laid out.

#include <cstdint>

// The Unicode code point of a Windows-1252 character; 0 for the control
// codes and the five codes that have no character.
std::uint32_t Cp1252ToUnicode(int ch);
