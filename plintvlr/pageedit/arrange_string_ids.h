#pragma once
// Ids of the page editor's arrangement entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/pageedit/arrange_strings.inc"
#undef PLV_STRING
