#pragma once
// Starting another program from a command line, as the programs do with
// the platform's result codes: a value above 31 when it started, else
//   0   it could not be started (no resources),
//   2   the program file was not found,
//   3   the folder named was not found,
//   11  the file is no program (not executable),
//   16  the program runs already and allows one instance (single_instance.h).
// A program named with its ".EXE" ("QSTRANS.EXE") is also found without it
// ("qstrans"), names match without regard to case, and a bare name is looked
// for in the working folder, the program's own folder and the PATH. The
// program runs on its own; nobody waits for it. How its window first shows
// is the started program's own affair here (the show command is not passed on).

#include "platform/base/win_types.h"

constexpr UINT kWinExecStarted = 33;

UINT WinExec(const char* commandLine, UINT showCommand);
// The same, telling the caller the process it started (0 when none), so
// that a test can end a program it started.
UINT WinExec(const char* commandLine, UINT showCommand, long long* processId);
