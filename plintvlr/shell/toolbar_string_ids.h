#pragma once
// Ids of the docking tool bars' entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/shell/toolbar_strings.inc"
#undef PLV_STRING
