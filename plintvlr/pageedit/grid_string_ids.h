#pragma once
// Ids of the graphics grid's entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/pageedit/grid_strings.inc"
#undef PLV_STRING
