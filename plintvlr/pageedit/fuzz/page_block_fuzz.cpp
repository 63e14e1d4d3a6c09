// A whole page from the desktop clipboard on hostile bytes. The first byte
// picks the panel type (its low bits) and, with bit 7, that the next byte is
// the panel type the block claims to come from; the rest is the block. A
// block that passes the check is pasted into a model, which must read it to
// its end byte, and saved into memory.

#include "plintvlr/db/id_counter.h"
#include "plintvlr/pageedit/fuzz/fuzz_panel.h"
#include "plintvlr/pageedit/page_transfer.h"
#include "plintvlr/pageedit/size_rect_manager.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    std::size_t at = 1;
    std::optional<ClipboardData> panelBlock;
    if (data[0] & 0x80) {
        if (size < 2)
            return 0;
        panelBlock = ClipboardData{data[1], 0};
        at = 2;
    }
    const FuzzPanelScope scope(data[0]);
    {
        const Quellstor panel(scope.Type());
        std::vector<std::uint8_t> record;
        const PageBlock result =
            CheckPageBlock(panel, std::span<const std::uint8_t>(data + at, size - at), panelBlock, record);
        if (result == PageBlock::Good) {
            SizeRectManager model(nullptr, true);
            if (model.LoadFromRecord(record) != record.size() - 1) {
                std::fprintf(stderr, "a checked page was not read to its end byte\n");
                std::abort();
            }
            std::vector<std::uint8_t> saved;
            TIdCounter usage;
            model.BuildPageRecord(SizeRectManager::kPageMode, 1, saved, usage);
        } else if (!record.empty()) {
            std::fprintf(stderr, "a refused block left a record\n");
            std::abort();
        }
    }
    return 0;
}
