#pragma once
// Ids of the editor bases' entries of the string table (see base/string_table.h).

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/shell/editor_bases_strings.inc"
#undef PLV_STRING
