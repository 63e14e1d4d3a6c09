// Opens a project whose tables hold whatever records another program or a
// damaged disk left there, and loads everything a project's opening loads:
// the project's own settings, tag registries, page summary, comms blocks,
// overview groups, recipe groups, message texts, option flags and bitmaps.
//
// Input: records of [table][key, u16][length, u16][bytes] (fewer bytes when
// the input ends), each written over a freshly made project. The table byte
// picks one of the project's tables (modulo 9); the project information,
// record 102 of table 8, is left as made, so no input asks to convert the
// project.
#include "plintvlr/db/fuzz/scratch_folder.h"
#include "plintvlr/comms/option_flags.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/cb_class.h"
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/ov_class.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/text_pool.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/pageedit/page_summary.h"
#include "plintvlr/tables/recipe_groups.h"

#include "platform/base/files.h"
#include "platform/base/little_endian.h"
#include "platform/base/paths.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* kProject = "FUZZ";


struct Pristine {
    std::string folder;
    std::array<std::string, kProjectFileCount> files;
};

// A project made once in a scratch folder; every input starts again from its
// files.
const Pristine& MadeProject()
{
    static const Pristine pristine = [] {
        const std::string program = MakeScratchFolder("plv-fuzz-program");
        ::setenv("PLV_PROGRAM_DIR", program.c_str(), 1);
        ::setenv("PLV_PROFILE_DIR", (program + "/profile").c_str(), 1);
        _QSglobals.SetProgramDirectory(program);
        adatabase& db = _QSglobals.NewDatabase();
        db.SetPanelType(14);
        Check(db.Create(kProject) == 1);
        _QSglobals.NewDatabase();
        Pristine p;
        p.folder = JoinPath(JoinPath(program, "DBASE"), kProject);
        for (std::size_t i = 0; i < kProjectFileCount; ++i)
            Check(ReadWholeFile(JoinPath(p.folder, TableFileName(kProjectTables[i])), p.files[i]));
        return p;
    }();
    return pristine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Pristine& project = MadeProject();
    std::array<int, kProjectFileCount> handles{};
    for (std::size_t i = 0; i < kProjectFileCount; ++i) {
        const std::string path = JoinPath(project.folder, TableFileName(kProjectTables[i]));
        Check(WriteWholeFile(path, project.files[i]));
        handles[i] = DfOpen(path);
        Check(handles[i] >= 0);
    }
    std::size_t at = 0;
    while (at + 5 <= size) {
        const std::size_t table = data[at] % kProjectFileCount;
        const std::uint16_t key = GetLe16(data + at + 1);
        std::size_t length = GetLe16(data + at + 3);
        at += 5;
        if (length > size - at)
            length = size - at;
        if (!(kProjectTables[table] == kTableSystem && key == kRecProjectInfo))
            DfWriteRecord(handles[table], key, data + at, static_cast<std::uint16_t>(length));
        at += length;
    }
    for (int handle : handles)
        DfClose(handle);

    adatabase& db = _QSglobals.NewDatabase();
    if (db.OpenProject(kProject) == 1) {
        _QSglobals.SetProjectDirectory(project.folder);
        tpsummary pages(db);
        Check(pages.GetCount() <= tpsummary::kMaxPageNumber + 1);
        CbList blocks;
        Check(blocks.Load(db) == 1);
        for (const cbClass& block : blocks)
            (void)block.GetRowText();
        OvList groups;
        Check(groups.Load(db) == 1);
        for (const ovClass& group : groups)
            (void)group.GetRowText();
        TRecipeArray recipes;
        ReloadRecipeGroups(recipes, db);
        Check(recipes.GetCount() <= TRecipeArray::kMaxGroups);
        pile texts;
        texts.Load();
        OptionFlagsRecord flags{};
        ReadOptionFlagsRecord(flags);
        TQSBitmaps bitmaps;
        bitmaps.Load();
    }
    _QSglobals.NewDatabase();
    return 0;
}
