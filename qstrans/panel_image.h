#pragma once
// Whether a file is a whole panel database, as the configuration program
// lays one out: the header's end offset equals the file's length, the mark
// 'S' is in place, every table's chain lies inside the file without a loop,
// each record header names its own table and points back at the record
// before it, and the records fill the file behind the header exactly.
// An upload from a panel replaces the engineer's file only with such a file.

#include <cstdint>
#include <span>
#include <string_view>

bool IsWholePanelImage(std::span<const std::uint8_t> bytes);
// False as well when the file cannot be read.
bool IsWholePanelImageFile(std::string_view path);
