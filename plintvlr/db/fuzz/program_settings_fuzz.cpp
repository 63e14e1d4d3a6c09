// The values of the program's profile files as the program interprets them,
// past the profile text layer (which the profile target covers): the
// "TRANSFER" and "DATABASE" sections of "PLINTVLR.INI", and the button styles
// of "styles.cfg", whose "S<n>Bmps" name picture files and "S<n>Centers"
// give points as numbers. Any text must load without harm, and every style
// it makes has its two points.
//
// Input: the "PLINTVLR.INI" text, a NUL byte, then the "styles.cfg" text (all
// of it "styles.cfg" without a NUL). The program folder holds the monochrome
// pictures "a.bmp" to "d.bmp" that a style may name.
#include "plintvlr/db/fuzz/scratch_folder.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/tqs_bitmaps.h"

#include "platform/base/files.h"
#include "platform/base/paths.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

// The smallest monochrome picture: 1 x 1, one white pixel.
constexpr std::uint8_t kPicture[] = {
    'B', 'M', 66, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0,
    1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0, 128, 0, 0, 0,
};

struct Folders {
    std::string program;
    std::string profile;
};

const Folders& MadeFolders()
{
    static const Folders folders = [] {
        const std::string made = MakeScratchFolder("plv-fuzz-settings");
        Folders f{made, JoinPath(made, "profile")};
        MakeDir(f.profile);
        ::setenv("PLV_PROGRAM_DIR", f.program.c_str(), 1);
        ::setenv("PLV_PROFILE_DIR", f.profile.c_str(), 1);
        _QSglobals.SetProgramDirectory(f.program);
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"})
            WriteWholeFile(JoinPath(f.program, name), std::string_view(reinterpret_cast<const char*>(kPicture), sizeof kPicture));
        return f;
    }();
    return folders;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Folders& folders = MadeFolders();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string_view program = nul == std::string_view::npos ? std::string_view() : input.substr(0, nul);
    const std::string_view styles = nul == std::string_view::npos ? input : input.substr(nul + 1);
    if (!WriteWholeFile(JoinPath(folders.profile, "PLINTVLR.INI"), program) ||
        !WriteWholeFile(JoinPath(folders.profile, "styles.cfg"), styles))
        return 0;

    _QSglobals.NewDatabase();
    _QSglobals.LoadSettings();
    BYTE transfer[5];
    _QSglobals.GetTransferSettings(transfer[0], transfer[1], transfer[2], transfer[3], transfer[4]);

    TQSBitmaps bitmaps;
    ProjectHooks& hooks = GetProjectHooks();
    hooks.bitmapLibrary = &bitmaps;
    _QSglobals.LoadStyleBitmaps("styles.cfg", 'S');
    for (int style = 0; style < TQSBitmaps::kStyleCount; ++style) {
        for (int state = 0; state < 2; ++state)
            (void)bitmaps.GetStylePoint(style, state);
        (void)bitmaps.GetStyleSize(style);
    }
    hooks.bitmapLibrary = nullptr;
    _QSglobals.NewDatabase();
    return 0;
}
