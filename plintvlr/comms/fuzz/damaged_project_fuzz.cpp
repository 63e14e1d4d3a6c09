// Opens a project whose tables hold whatever records another program or a
// damaged disk left there, and loads everything a project's opening loads:
// the project's own settings, tag registries, page summary, comms blocks,
// overview groups, recipe groups, message texts, option flags and bitmaps.
//
// Input: records of [table][key, u16][length, u16][bytes] (fewer bytes when
// the input ends), each written over a freshly made project: it replaces the
// record of its key, and a length of 0 deletes it, as a write of the table
// would. The table byte picks one of the project's tables (modulo 9); the
// project information, record 102 of table 8, is left as made, so no input
// asks to convert the project. Each table is written afresh in key order.
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
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kProject = "FUZZ";


using Records = std::map<std::uint32_t, std::vector<std::uint8_t>>;

struct Pristine {
    std::string folder;
    std::array<Records, kProjectFileCount> tables;
};

// A project made once in a scratch folder; every input starts again from its
// records.
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
        static std::vector<std::uint8_t> buffer(0xFFFF);
        for (std::size_t i = 0; i < kProjectFileCount; ++i) {
            const int handle = DfOpenReadOnly(JoinPath(p.folder, TableFileName(kProjectTables[i])));
            Check(handle >= 0);
            std::uint16_t length = static_cast<std::uint16_t>(buffer.size());
            std::uint32_t key = 0, position = 0;
            for (int rc = DfFirstRecord(handle, buffer.data(), length, key, position); rc == DF_OK;
                 rc = DfNextRecord(handle, buffer.data(), length, key, position)) {
                p.tables[i][key].assign(buffer.data(), buffer.data() + length);
                if (position == 0)
                    break;
                length = static_cast<std::uint16_t>(buffer.size());
            }
            DfClose(handle);
        }
        return p;
    }();
    return pristine;
}

// The table file holding exactly these records, written in one pass.
void WriteTable(const std::string& path, const Records& records)
{
    if (records.empty()) {
        Check(DfCreate(path) == DF_OK);
        return;
    }
    const int handle = DfCreateOpen(path);
    Check(handle >= 0);
    std::uint32_t previous = 0;
    std::size_t left = records.size();
    for (const auto& [key, bytes] : records)
        Check(DfAppendRecord(handle, key, bytes.data(), static_cast<std::uint16_t>(bytes.size()), previous, --left == 0) ==
              DF_OK);
    DfClose(handle);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Pristine& project = MadeProject();
    std::array<Records, kProjectFileCount> tables = project.tables;
    std::size_t at = 0;
    while (at + 5 <= size) {
        const std::size_t table = data[at] % kProjectFileCount;
        const std::uint16_t key = GetLe16(data + at + 1);
        std::size_t length = GetLe16(data + at + 3);
        at += 5;
        if (length > size - at)
            length = size - at;
        if (!(kProjectTables[table] == kTableSystem && key == kRecProjectInfo)) {
            if (length == 0)
                tables[table].erase(key);
            else
                tables[table][key].assign(data + at, data + at + length);
        }
        at += length;
    }
    for (std::size_t i = 0; i < kProjectFileCount; ++i)
        WriteTable(JoinPath(project.folder, TableFileName(kProjectTables[i])), tables[i]);

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
