#pragma once
// Ids of the recipe texts of the string table (see plintvlr/shell/base/string_table.h).

#include "plintvlr/shell/base/string_table.h"

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/tables/recipe_strings.inc"
#undef PLV_STRING
