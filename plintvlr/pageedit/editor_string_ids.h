#pragma once
// Ids of the page editor window's entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/pageedit/editor_strings.inc"
#undef PLV_STRING
