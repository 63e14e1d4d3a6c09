// The half of the editing model that changes the selection as a whole and
// keeps the undo stack: delete, drags and align moves, group and ungroup,
// undo, the font of the selection, and copy and paste of elements.
//
// A snapshot holds copies of the elements an operation touched, as they
// were; undo takes the current versions of those elements (found by id) off
// the page and puts the copies back on top. Paste, the font change and the
// cut of a function key store no snapshot.

#include "plintvlr/pageedit/size_rect_manager.h"

#include "plintvlr/dataelements/data_elements.h"
#include "plintvlr/dataelements/touch_grid.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/bitmap_paster.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/combo_elem.h"
#include "plintvlr/pageedit/pageedit_string_ids.h"
#include "plintvlr/pageedit/selection_string_ids.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"

#include <algorithm>

namespace {

bool IsMove(int handle)
{
    return handle == kDragMove || handle == kProgramMove;
}

// The offset as the element's drag rounds it to the element's step. The
// selection shares one offset: once an element has rounded it, the elements
// after it move by the rounded value, so they keep their places to it.
TSize RoundedOffset(const SizeRect& element, int handle, const TSize& offset)
{
    const TSize step = IsMove(handle) ? element.GetMoveStep(handle == kDragMove) : element.GetSizeStep(true);
    return step == TSize(kUnitsPerPixel, kUnitsPerPixel) ? offset : SnapOffset(offset, step);
}

void Tell(const char* text, const char* caption, UINT flags)
{
    TApp::MessageBox(nullptr, GetMainWindowHandle(), text, caption, flags);
}

}  // namespace

// --- Undo stack -------------------------------------------------------------

void SizeRectManager::PushUndo(std::unique_ptr<SizeRectArray> snapshot)
{
    if (!snapshot)
        return;
    for (const auto& element : *snapshot)
        element->SetRecipeInUse(false);
    undo_.Push(std::move(snapshot));
}

// --- Delete, drags and align moves ------------------------------------------

void SizeRectManager::DeleteSelection()
{
    auto snapshot = std::make_unique<SizeRectArray>();
    if (SelectionCount() == 0) {
        EFKeyElem* key = CurrentFunctionKey();
        if (!key)
            return;
        modified_ = true;
        const int number = key->GetKeyNumber();
        AddClone(*key, *snapshot);
        PushUndo(std::move(snapshot));
        elements_.Destroy(elements_.Find(key));
        if (ownerIsCanvas_)
            RefreshFunctionKeyBar(number);
        return;
    }
    modified_ = true;
    TakeOutSelection(*snapshot);
    TRect area;
    for (const auto& element : *snapshot)
        area |= element->GetRepaintRect();
    PushUndo(std::move(snapshot));
    Invalidate(area);
}

bool SizeRectManager::MoveWouldOverlapTouch(const SizeRect& element, int handle, const TSize& offset) const
{
    if (element.IsTouchRegion())
        return TouchRegionWouldOverlap(element, handle, offset);
    const auto* group = dynamic_cast<const ComboElem*>(&element);
    return group && GroupWouldOverlapTouch(*group, handle, offset);
}

void SizeRectManager::StoreBeforeMove(const SizeRect& element, SizeRectArray& snapshot) const
{
    std::unique_ptr<SizeRect> copy = element.Clone();
    if (!copy)
        return;
    // While the preview runs the element stands displaced; undo puts back
    // where it rests.
    if (ownerIsCanvas_ && IsPageAnimating())
        copy->StopAnimation();
    snapshot.Add(std::move(copy));
}

void SizeRectManager::MoveSelection(int handle, const TSize& offset)
{
    if (offset == TSize() || !ownerIsCanvas_)
        return;
    TSize shared = offset;
    auto snapshot = std::make_unique<SizeRectArray>();
    for (const auto& element : elements_) {
        if (!element->IsSelected() || MoveWouldOverlapTouch(*element, handle, shared))
            continue;
        StoreBeforeMove(*element, *snapshot);
        Invalidate(element->GetRepaintRect().Inflate(kUnitsPerPixel, kUnitsPerPixel));
        shared = RoundedOffset(*element, handle, shared);
        element->SnapToGrid(handle, shared);
        if (IsMove(handle)) {
            const TPoint corner(element->left, element->bottom);
            TPoint snapped = corner;
            SnapToPageGrid(snapped);
            if (snapped != corner)
                element->SnapToGrid(handle, TSize(snapped.x - corner.x, snapped.y - corner.y));
        }
        Invalidate(element->GetRepaintRect());
    }
    if (!snapshot->IsEmpty())
        PushUndo(std::move(snapshot));
    modified_ = true;
}

void SizeRectManager::ApplyRectToSelection(const TRect& alignRect)
{
    auto snapshot = std::make_unique<SizeRectArray>();
    for (const auto& element : elements_) {
        if (!element->IsSelected())
            continue;
        const TSize offset = element->GetAlignOffset(alignRect);
        if (MoveWouldOverlapTouch(*element, kProgramMove, offset))
            continue;
        StoreBeforeMove(*element, *snapshot);
        Invalidate(element->GetRepaintRect().Inflate(kUnitsPerPixel, kUnitsPerPixel));
        Invalidate(element->SnapToGrid(kProgramMove, offset));
    }
    if (!snapshot->IsEmpty())
        PushUndo(std::move(snapshot));
    modified_ = true;
}

// --- Group and ungroup ------------------------------------------------------

void SizeRectManager::UngroupSelection()
{
    SizeRectArray groups;
    TakeOutSelection(groups, true);
    if (groups.IsEmpty())
        return;
    auto snapshot = std::make_unique<SizeRectArray>();
    for (const auto& group : groups)
        AddClone(*group, *snapshot);
    PushUndo(std::move(snapshot));
    // The groups go; their members themselves come onto the top of the
    // page, in member order, selected.
    TRect area;
    for (const auto& element : groups) {
        area |= element->GetRepaintRect();
        SizeRectArray& members = static_cast<ComboElem&>(*element).GetMembers();
        while (!members.IsEmpty()) {
            members[0]->Select(true);
            members.MoveTo(0, elements_);
        }
    }
    Invalidate(area);
    modified_ = true;
}

void SizeRectManager::GroupSelection()
{
    // A group never holds a group made in the editor: selected groups are
    // dissolved first (their own snapshot), and their members join.
    UngroupSelection();
    SizeRectArray taken;
    TakeOutSelection(taken);
    if (taken.IsEmpty())
        return;
    auto snapshot = std::make_unique<SizeRectArray>();
    for (const auto& element : taken)
        AddClone(*element, *snapshot);
    PushUndo(std::move(snapshot));
    auto group = std::make_unique<ComboElem>(taken);
    group->Select(true);
    AddElement(std::move(group));
}

// --- Undo -------------------------------------------------------------------

void SizeRectManager::Undo()
{
    std::unique_ptr<SizeRectArray> snapshot = undo_.Pop();
    if (!snapshot)
        return;
    for (const auto& element : *snapshot)
        element->SetRecipeInUse(true);
    DeselectAll();
    for (const auto& element : *snapshot) {
        SelectById(element->GetId());
        if (const auto* group = dynamic_cast<const ComboElem*>(element.get())) {
            for (const auto& member : group->GetMembers())
                SelectById(member->GetId());
        }
    }
    // The current versions of what the snapshot touched leave the page; they
    // give up their recipe use, so the use counts stay true.
    SizeRectArray replaced;
    TakeOutSelection(replaced);
    for (const auto& element : replaced)
        element->SetRecipeInUse(false);

    const auto* key = dynamic_cast<const EFKeyElem*>(snapshot->At(0));
    const int keyNumber = key ? key->GetKeyNumber() : 0;
    InsertElements(*snapshot, false);
    if (key && ownerIsCanvas_)
        RefreshFunctionKeyBar(keyNumber);
    modified_ = true;
}

void SizeRectManager::SelectById(std::int32_t id)
{
    for (const auto& element : elements_) {
        const auto* group = dynamic_cast<const ComboElem*>(element.get());
        const bool matches =
            element->GetId() == id || (group && !group->GetMembers().IsEmpty() && group->GetMembers()[0]->GetId() == id);
        if (!matches)
            continue;
        // Undo must find an element locked since the snapshot was taken, or
        // the element would stay beside its restored copy.
        const bool locked = !element->IsSelectable();
        element->SetSelectable(true);
        Invalidate(element->Select(true));
        element->SetSelectable(!locked);
        return;
    }
}

// --- Font, copy and paste ---------------------------------------------------

void SizeRectManager::SetFontOfSelection(int fontNumber)
{
    if (!ownerIsCanvas_)
        return;
    bool accepted = false;
    for (const auto& element : elements_) {
        if (!element->IsSelected())
            continue;
        const TRect before = element->GetRepaintRect();
        if (element->SetFont(fontNumber)) {
            Invalidate(before);
            accepted = true;
        }
    }
    if (accepted) {
        DeselectAll();
        modified_ = true;
    }
}

void SizeRectManager::CopySelectionTo(SizeRectArray& target, BitmapPaster& bitmaps) const
{
    for (const auto& element : elements_) {
        if (!element->IsSelected())
            continue;
        std::unique_ptr<SizeRect> copy = element->Clone();
        if (!copy)
            continue;
        copy->SetRecipeInUse(false);
        target.Add(std::move(copy));
        if (const auto* bitmap = dynamic_cast<const BitmapElem*>(element.get()))
            bitmap->CopyBitmapsTo(bitmaps);
    }
}

bool SizeRectManager::FitPastedTouchRegion(SizeRect& region) const
{
    if (!ownerIsCanvas_)
        return true;
    if (const TouchGrid* grid = GetPageTouchGrid()) {
        TRect cells = grid->SnapRect(region);
        // A region smaller than a cell takes the cell it stands in.
        if (cells.IsEmpty())
            cells = grid->CellAt(TPoint((region.left + region.right) / 2, (region.top + region.bottom) / 2));
        if (cells.IsEmpty())
            return false;
        static_cast<TRect&>(region) = cells;
        return true;
    }
    if (dynamic_cast<const ButtonElem*>(&region)) {
        const TSize least = region.GetMinSize();
        TRect grown = region;
        grown.right = std::max(grown.right, grown.left + least.cx);
        grown.bottom = std::max(grown.bottom, grown.top + least.cy);
        if (grown != region.GetRect()) {
            static_cast<TRect&>(region) = grown;
            region.KeepOnScreen();
        }
    }
    return true;
}

void SizeRectManager::Paste(const SizeRectArray& clipboard, const BitmapPaster& bitmaps)
{
    if (clipboard.IsEmpty())
        return;
    const adatabase& db = _QSglobals.GetDatabase();
    const std::string project = ClipboardProjectName(db.GetName());
    const bool otherProject = !bitmaps.GetText().empty() && bitmaps.GetText() != project;
    SizeRectArray pasted;
    bool keyPasted = false;
    bool toldPickKey = false;
    for (const auto& source : clipboard) {
        if (!source->IsAllowedOnPanel())
            continue;
        std::unique_ptr<SizeRect> copy = source->Duplicate();
        if (!copy)
            continue;
        if (copy->IsTouchRegion() && !FitPastedTouchRegion(*copy))
            continue;
        const auto* group = dynamic_cast<const ComboElem*>(copy.get());
        if ((copy->IsTouchRegion() && OverlapsTouchRegion(*copy)) ||
            (group && GroupWouldOverlapTouch(*group, kDragMove, TSize()))) {
            Tell(Str(kStrTouchPasteOverlap), Str(kStrTouchPasteCaption), MB_OK);
            continue;
        }
        if (auto* key = dynamic_cast<EFKeyElem*>(copy.get())) {
            // A key goes onto the key picked in the key bar; with none picked
            // it would be stored as key 0, which no panel has.
            if (currentKey_ == 0) {
                if (!toldPickKey)
                    Tell(Str(kStrPickKeyBeforePaste), Str(kStrApplicationMessage), MB_OK | MB_ICONINFORMATION);
                toldPickKey = true;
                continue;
            }
            if (FindFunctionKeyIn(pasted, currentKey_))
                continue;
            if (EFKeyElem* existing = FindFunctionKey(currentKey_)) {
                const int answer = TApp::MessageBox(nullptr, GetMainWindowHandle(), Str(kStrRemoveCurrentKey),
                                                    Str(kStrApplicationMessage), MB_YESNO | MB_ICONQUESTION);
                if (answer != IDYES)
                    continue;
                elements_.Destroy(elements_.Find(existing));
            }
            key->SetKeyNumber(currentKey_);
            keyPasted = true;
        }
        if (auto* bitmap = dynamic_cast<BitmapElem*>(copy.get()); bitmap && otherProject) {
            bitmap->PasteBitmapsFrom(bitmaps);
            Invalidate(bitmap->UpdateImage(bitmap->GetAnimationStep()));
        }
        copy->SetRecipeInUse(true);
        pasted.Add(std::move(copy));
    }
    DeselectAll();
    const int leftOut = InsertElements(pasted, true);
    modified_ = true;
    if (leftOut > 0)
        Tell(Str(kStrNoMoreDriveOuts), Str(kStrApplicationMessage), MB_OK | MB_ICONEXCLAMATION);
    if (keyPasted && ownerIsCanvas_)
        RefreshFunctionKeyBar(currentKey_);
}

std::string SizeRectManager::ClipboardProjectName(const std::string& name)
{
    return name.substr(0, kClipboardProjectNameLength);
}
