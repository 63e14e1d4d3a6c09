#pragma once
// Ids of Convert To Tags' entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/pageedit/convert_strings.inc"
#undef PLV_STRING
