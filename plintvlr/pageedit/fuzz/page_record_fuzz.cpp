// The page record on hostile bytes. The first byte picks the panel type (its
// low bits) and the mode (bit 7: a function-key set); the rest is the record.
// It is loaded into a model and saved into memory; that is loaded again and
// saved again, and the two saved records must be equal.

#include "plintvlr/db/id_counter.h"
#include "plintvlr/pageedit/fuzz/fuzz_panel.h"
#include "plintvlr/pageedit/size_rect_manager.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Loads the record and saves it; false when the save is refused.
bool LoadAndSave(SizeRectManager& model, int mode, const std::vector<std::uint8_t>& record,
                 std::vector<std::uint8_t>& saved)
{
    const std::uint32_t key = mode == SizeRectManager::kPageMode ? 1 : SizeRectManager::kFirstKeySet;
    model.LoadRecord(mode, key, record);
    TIdCounter usage;
    return model.BuildPageRecord(mode, key, saved, usage);
}

void Print(const char* what, const std::vector<std::uint8_t>& bytes)
{
    std::fprintf(stderr, "%s:", what);
    for (std::uint8_t b : bytes)
        std::fprintf(stderr, " %02X", b);
    std::fprintf(stderr, "\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int mode = data[0] & 0x80 ? SizeRectManager::kKeySetMode : SizeRectManager::kPageMode;
    const FuzzPanelScope panel(data[0]);
    {
        SizeRectManager model(nullptr, true);
        const std::vector<std::uint8_t> record(data + 1, data + size);
        std::vector<std::uint8_t> first;
        std::vector<std::uint8_t> second;
        if (LoadAndSave(model, mode, record, first)) {
            const bool again = LoadAndSave(model, mode, first, second);
            if (!again || first != second) {
                Print("first save ", first);
                Print("second save", second);
                std::abort();
            }
        }
    }
    return 0;
}
