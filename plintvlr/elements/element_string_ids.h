#pragma once
// Ids of the graphic elements' entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/elements/element_strings.inc"
#undef PLV_STRING
