#pragma once
// Ids of the tag texts of the string table (see plintvlr/shell/base/string_table.h).

#include "plintvlr/shell/base/string_table.h"

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/db/db_strings.inc"
#undef PLV_STRING

// The text of an entry; empty when the table lacks it.
inline const char* DbText(int id)
{
    const char* text = FindStringText(id);
    return text ? text : "";
}
