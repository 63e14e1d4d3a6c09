#pragma once
// Ids of the project database's entries of the string table.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/db/project_strings.inc"
#undef PLV_STRING
