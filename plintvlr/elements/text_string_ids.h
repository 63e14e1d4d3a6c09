#pragma once
// Ids of the text elements' and panel fonts' entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/elements/text_strings.inc"
#undef PLV_STRING
