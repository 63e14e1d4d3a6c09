#pragma once
// Ids of the shape elements' entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/elements/shape_strings.inc"
#undef PLV_STRING
