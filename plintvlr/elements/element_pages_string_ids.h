#pragma once
// Ids of the element pages' and shape sheets' entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/elements/element_pages_strings.inc"
#undef PLV_STRING
