// The bitmap names of a project, "BITMAPS.NAM", a text that any project
// folder may bring: every slot gets a name of at most 14 characters without
// blanks, and the names written back read back the same.
#include "plintvlr/db/fuzz/scratch_folder.h"
#include "plintvlr/db/tqs_bitmaps.h"

#include "platform/base/paths.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string file = JoinPath(FuzzProjectFolder(), "BITMAPS.NAM");
    if (!WriteWholeFile(file, std::string_view(reinterpret_cast<const char*>(data), size)))
        return 0;
    TQSBitmaps bitmaps;
    bitmaps.Load();
    for (int slot = 0; slot < TQSBitmaps::kSlotCount; ++slot) {
        const std::string name = bitmaps.GetName(slot);
        Check(!name.empty() && name.size() <= TQSBitmaps::kMaxName);
        for (char c : name)
            Check(!std::isspace(static_cast<unsigned char>(c)));
    }
    bitmaps.WriteNameFile();
    TQSBitmaps again;
    again.Load();
    for (int slot = 0; slot < TQSBitmaps::kSlotCount; ++slot)
        Check(again.GetName(slot) == bitmaps.GetName(slot));
    return 0;
}
