#pragma once
// Ids of the shell's entries of the string table (see string_table.h).

#define PLV_STRING(name, id, text) inline constexpr int name = id;
#include "plintvlr/shell/base/shell_strings.inc"
#undef PLV_STRING

// The message for a failed load of the protocol information file is this plus
// the loader's result code (2 to 8).
inline constexpr int kStrProtocolLoadFailureBase = kStrProtocolNoMemory - 2;
