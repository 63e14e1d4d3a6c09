#pragma once
// Ids of the status line's, the about box's and the message holder's entries
// of the string table (see base/string_table.h).

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/shell/places_strings.inc"
#undef PLV_STRING
