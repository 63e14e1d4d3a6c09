#pragma once
// Ids of the page browser's entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/pageedit/browser_strings.inc"
#undef PLV_STRING
