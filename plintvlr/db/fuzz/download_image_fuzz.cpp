// Extracts arbitrary bytes as a panel database file uploaded from a panel,
// into a project folder that already holds a table. Whatever the header and
// the chains say, the extractor must answer, stay inside the file, and either
// refuse the file with the folder untouched or write tables that read back.
#include "plintvlr/db/download_image.h"
#include "plintvlr/db/fuzz/scratch_folder.h"

#include "platform/base/files.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/keyed_record_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

std::uint8_t g_buffer[65535];

// Walks a table file to its end: every record the extractor wrote reads back.
void CheckTable(const std::string& path)
{
    const int handle = DfOpenReadOnly(path);
    if (handle < 0)
        return;
    std::uint16_t length = sizeof g_buffer;
    std::uint32_t key = 0;
    std::uint32_t next = 0;
    int rc = DfFirstRecord(handle, g_buffer, length, key, next);
    while (rc == DF_OK && next != 0) {
        length = sizeof g_buffer;
        rc = DfNextRecord(handle, g_buffer, length, key, next);
    }
    Check(rc == DF_OK || rc == DF_NOT_FOUND);
    DfClose(handle);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string scratch = MakeScratchFolder("plv-fuzz-dtb");
    static const std::string folder = scratch + "/project";
    static const std::string file = scratch + "/panel.dtb";
    static const std::string kept = folder + "/" + TableFileName(kTableAnalogTags);
    if (!MakeDir(folder) || !WriteWholeFile(file, std::string_view(reinterpret_cast<const char*>(data), size)))
        return 0;
    Check(DfCreate(kept) == DF_OK);
    const int handle = DfOpen(kept);
    Check(handle >= 0);
    const std::uint8_t tag[] = {1, 0, 'K', 'E', 'P', 'T'};
    Check(DfWriteRecord(handle, 1, tag, sizeof tag) == DF_OK);
    DfClose(handle);
    std::string before;
    Check(ReadWholeFile(kept, before));

    const int rc = ExtractDownloadImage(folder, file, true);
    if (rc == kImageSourceError || rc == kImageTooOld || rc == kImageDamaged) {
        std::string after;
        Check(ReadWholeFile(kept, after) && after == before);
    } else {
        Check(rc == 0);
        for (int table = 1; table < ImageHeader::kTables; ++table)
            CheckTable(folder + "/" + TableFileName(table));
    }

    // The stream operations on their own, past the extractor's checks.
    if (ImageOpen(file) == DF_OK) {
        std::uint16_t length = 16;
        std::uint16_t key = 0;
        std::uint32_t next = 0;
        for (int table = 0; table < ImageHeader::kTables; ++table) {
            length = 16;
            int step = ImageFirstRecord(table, g_buffer, length, key, next);
            while (step == DF_OK || step == DF_BUFFER_SMALL) {
                Check(length <= 16);
                length = 16;
                step = ImageNextRecord(g_buffer, length, key, next);
            }
        }
        ImageGetVersion();
        ImageClose();
    }
    RemoveDirTree(folder);
    FileDelete(file);
    return 0;
}
