#pragma once
// Ids of the grid's entries of the string table (see string_table.h).

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/shell/controls/grid_strings.inc"
#undef PLV_STRING
