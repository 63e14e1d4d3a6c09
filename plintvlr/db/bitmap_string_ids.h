#pragma once
// Ids of the bitmap library's entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/db/bitmap_strings.inc"
#undef PLV_STRING
