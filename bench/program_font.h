#pragma once

// The program's font file, which holds the panel fonts: PLV_PROGRAM_FONT
// when set, else the one the build makes beside the benchmarks.

#include "platform/base/paths.h"

#include <cstdlib>
#include <filesystem>
#include <string>

inline std::string ProgramFont()
{
    if (const char* env = std::getenv("PLV_PROGRAM_FONT"))
        return env;
    return (std::filesystem::path(ProgramFolder()) / ".." / "data" / "Plintvlr.fon").string();
}
