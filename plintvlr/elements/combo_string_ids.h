#pragma once
// Ids of the element group's entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/elements/combo_strings.inc"
#undef PLV_STRING
