#pragma once
// Ids of the selection editing's entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/pageedit/selection_strings.inc"
#undef PLV_STRING
