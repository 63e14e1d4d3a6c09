#pragma once
// Ids of the project dialogs' and the Transfer command's string-table entries.

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/shell/project_dialogs_strings.inc"
#undef PLV_STRING
