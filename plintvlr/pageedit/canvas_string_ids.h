#pragma once
// Ids of the page canvas's entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/pageedit/canvas_strings.inc"
#undef PLV_STRING
