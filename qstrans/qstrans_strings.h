#pragma once
// The transfer program's string table (qstrans_strings.inc): every text it
// shows, by id.

#include <string>

#define QS_STRING(name, id, text) inline constexpr int name = id;
#include "qstrans/qstrans_strings.inc"
#undef QS_STRING

// The text of entry `id`; empty for an id the table lacks.
const char* QsString(int id);
// The entry used as a printf format with the arguments.
std::string QsFormat(int id, ...);
