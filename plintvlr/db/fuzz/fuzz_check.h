#pragma once
// What a fuzz target finds wrong ends the run as a crash, which libFuzzer
// reports with the input that led to it.
#include <cstdlib>

inline void Check(bool ok)
{
    if (!ok)
        std::abort();
}
