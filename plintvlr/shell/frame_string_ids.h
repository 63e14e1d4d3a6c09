#pragma once
// Ids of the main frame's and MDI client's entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/shell/frame_strings.inc"
#undef PLV_STRING
