#pragma once
// Ids of the printouts' and the frame printer's entries of the string table
// (see base/string_table.h).

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/shell/printing_strings.inc"
#undef PLV_STRING
