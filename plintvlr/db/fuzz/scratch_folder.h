#pragma once
// Folders of the fuzz process's own for the files an input becomes, in
// memory where the system has a memory file system (so an input costs no disk
// writes), removed when the process ends.
#include "platform/base/files.h"
#include "plintvlr/db/fuzz/fuzz_check.h"
#include "plintvlr/db/qs_globals.h"

#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

// A new folder whose name begins with `stem`.
inline std::string MakeScratchFolder(const std::string& stem)
{
    static std::vector<std::string> made;
    std::string pattern = (DirExists("/dev/shm") ? "/dev/shm/" : "/tmp/") + stem + "-XXXXXX";
    Check(::mkdtemp(pattern.data()) != nullptr);
    if (made.empty()) {
        std::atexit([] {
            for (const std::string& folder : made)
                RemoveDirTree(folder);
        });
    }
    made.push_back(pattern);
    return pattern;
}

// One scratch folder made the project folder.
inline const std::string& FuzzProjectFolder()
{
    static const std::string folder = [] {
        std::string made = MakeScratchFolder("plv-fuzz-project");
        _QSglobals.SetProjectDirectory(made);
        return made;
    }();
    return folder;
}
