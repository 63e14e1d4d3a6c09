#include "plintvlr/pageedit/page_clipboard_rules.h"

#include "plintvlr/dataelements/data_elements.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/bitmap_paster.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "plintvlr/shell/main_frame.h"

#include <algorithm>
#include <optional>

namespace {

std::optional<ElementClipboard> FrameClipboard()
{
    MDIFrame* frame = MDIFrame::GetMainFrame();
    if (!frame)
        return std::nullopt;
    return ElementClipboard{frame->GetElementClipboard(), frame->GetBitmapPaster()};
}

}  // namespace

void EditCopy(SizeRectManager& model, ElementClipboard clipboard)
{
    if (model.SelectionCount() == 0) {
        const EFKeyElem* key = model.CurrentFunctionKey();
        if (!key)
            return;
        clipboard.elements.Flush();
        if (std::unique_ptr<SizeRect> copy = key->Clone()) {
            copy->SetRecipeInUse(false);
            clipboard.elements.Add(std::move(copy));
        }
        return;
    }
    clipboard.elements.Flush();
    clipboard.bitmaps.ClearNumbers();
    clipboard.bitmaps.SetText(SizeRectManager::ClipboardProjectName(_QSglobals.GetDatabase().GetName()));
    model.CopySelectionTo(clipboard.elements, clipboard.bitmaps);
}

void EditCut(SizeRectManager& model, ElementClipboard clipboard)
{
    if (model.SelectionCount() == 0) {
        const EFKeyElem* key = model.CurrentFunctionKey();
        if (!key)
            return;
        const int number = key->GetKeyNumber();
        EditCopy(model, clipboard);
        model.RemoveFunctionKey(number);
        model.SetModified();
        return;
    }
    EditCopy(model, clipboard);
    model.DeleteSelection();
    model.SetModified();
}

void EditPaste(SizeRectManager& model, ElementClipboard clipboard)
{
    model.Paste(clipboard.elements, clipboard.bitmaps);
}

bool CanEditPaste(const ElementClipboard& clipboard, bool pickupMode)
{
    return !pickupMode && std::any_of(clipboard.elements.begin(), clipboard.elements.end(),
                                      [](const auto& element) { return element->IsAllowedOnPanel(); });
}

void EditCopy(SizeRectManager& model)
{
    if (const auto clipboard = FrameClipboard())
        EditCopy(model, *clipboard);
}

void EditCut(SizeRectManager& model)
{
    if (const auto clipboard = FrameClipboard())
        EditCut(model, *clipboard);
}

void EditPaste(SizeRectManager& model)
{
    if (const auto clipboard = FrameClipboard())
        EditPaste(model, *clipboard);
}

bool CanEditPaste(bool pickupMode)
{
    const auto clipboard = FrameClipboard();
    return clipboard && CanEditPaste(*clipboard, pickupMode);
}
