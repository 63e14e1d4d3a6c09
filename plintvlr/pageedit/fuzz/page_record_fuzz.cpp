// The page record on hostile bytes. The first byte picks the panel type (its
// low bits) and the mode (bit 7: a function-key set); the rest is the record.
// It is loaded into a model and saved into memory; that is loaded again and
// saved again, and the two saved records must be equal.

#include "plintvlr/db/id_counter.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "platform/base/prompt.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

class PanelEditor : public PanelPageEditor {
public:
    using PanelPageEditor::PanelPageEditor;
    int GetBackgroundColor() const override { return background; }
    void SetBackgroundColor(int index) override { background = index; }

    int background = 0;
};

// Refusals (a page too large) are answered at once, without a word.
class SilentPrompts : public PromptBackend {
public:
    int Show(const PromptRequest& request) override { return PromptDefaultAnswer(request.flags); }
};

constexpr int kPanelTypes[] = {9, 14, 5, 6, 11, 16, 8, 3};

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
    static SilentPrompts prompts;
    SetPromptBackend(&prompts);
    const int type = kPanelTypes[data[0] % (sizeof kPanelTypes / sizeof kPanelTypes[0])];
    const int mode = data[0] & 0x80 ? SizeRectManager::kKeySetMode : SizeRectManager::kPageMode;
    _QSglobals.GetDatabase().SetPanelType(type);
    PanelEditor editor(type);
    SetActivePageEditor(&editor);
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
    SetActivePageEditor(nullptr);
    return 0;
}
