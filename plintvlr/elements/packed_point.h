#pragma once
// Points in 3 bytes, as element records store them: x and y of 12 bits each,
// byte 0 the high nibbles (x's on top), bytes 1 and 2 the low bytes.
// Values are stored modulo 4096 and read as 0-4095. PackPoint adds the open
// panel model's vertical origin to y and UnpackPoint takes it off again.

#include "plintvlr/elements/record_reader.h"

#include <cstdint>

std::uint8_t* PackXY(int x, int y, std::uint8_t* at);
bool UnpackXY(int& x, int& y, RecordReader& in);
std::uint8_t* PackPoint(int x, int y, std::uint8_t* at);
bool UnpackPoint(int& x, int& y, RecordReader& in);
