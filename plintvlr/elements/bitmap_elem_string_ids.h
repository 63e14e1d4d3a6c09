#pragma once
// Ids of the bitmap element's, its sheet's and the bitmap picker's entries
// of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/elements/bitmap_elem_strings.inc"
#undef PLV_STRING
