// The half of the editing model that arranges elements rather than making,
// reading or storing them: the reference rectangle and the align commands,
// the drawing order (shuffle, send to back, locking, the z-order moves),
// the array moves the other editing operations are built from, the rule
// that touch regions never overlap, Select All and Tab, the animation, and
// the numbering of drive-outs.
//
// Elements change arrays as objects: an element keeps its identity (and so
// its id, flags and contents) when it goes to another place in the order.

#include "plintvlr/pageedit/size_rect_manager.h"

#include "plintvlr/dataelements/data_elements.h"
#include "plintvlr/elements/combo_elem.h"

#include <algorithm>
#include <array>

namespace {

bool IsFunctionKey(const SizeRect& element)
{
    return dynamic_cast<const EFKeyElem*>(&element) != nullptr;
}

// The bounding box of both; a rectangle whose four sides are 0 counts as no
// rectangle at all, so an element of no width or height still counts.
TRect Unite(const TRect& a, const TRect& b)
{
    if (a == TRect())
        return b;
    if (b == TRect())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// Whether a touch region of the page, or one among the direct members of its
// groups, overlaps the rectangle; the element `except` (a touch region or a
// group) is not looked at.
bool TouchRegionMeets(const SizeRectArray& page, const TRect& rect, const SizeRect* except)
{
    return std::any_of(page.begin(), page.end(), [&](const auto& element) {
        if (element.get() == except)
            return false;
        if (element->IsTouchRegion())
            return element->GetRect().Touches(rect);
        const auto* group = dynamic_cast<const ComboElem*>(element.get());
        return group && group->CanTakeRect(rect);
    });
}

// The page's elements, then the template page's beneath them.
template <class Action>
void ForPageAndTemplate(const SizeRectArray& page, const SizeRectArray* underneath, Action action)
{
    for (const auto& element : page)
        action(*element);
    if (underneath) {
        for (const auto& element : *underneath)
            action(*element);
    }
}

}  // namespace

bool ContainsIndex(int index, int count, const int* list)
{
    if (!list || count <= 0)
        return false;
    return std::find(list, list + count, index) != list + count;
}

// --- Reference rectangle ----------------------------------------------------

TRect SizeRectManager::ReferenceRect(int handle, const TSize& offset) const
{
    TRect united(0, 0, 0, 0);
    for (const auto& element : elements_) {
        if (element->IsSelected())
            united = Unite(united, element->DragHandle(handle, offset));
    }
    return united;
}

// --- Align commands ---------------------------------------------------------
// Each names the sides of the reference that count; the others are unused.

void SizeRectManager::AlignLeft()
{
    const TRect r = ReferenceRect(kProgramMove, {0, 0});
    ApplyRectToSelection({r.left, kAlignUnused, kAlignUnused, kAlignUnused});
}

void SizeRectManager::AlignTop()
{
    const TRect r = ReferenceRect(kProgramMove, {0, 0});
    ApplyRectToSelection({kAlignUnused, r.top, kAlignUnused, kAlignUnused});
}

void SizeRectManager::AlignRight()
{
    const TRect r = ReferenceRect(kProgramMove, {0, 0});
    ApplyRectToSelection({kAlignUnused, kAlignUnused, r.right, kAlignUnused});
}

void SizeRectManager::AlignBottom()
{
    const TRect r = ReferenceRect(kProgramMove, {0, 0});
    ApplyRectToSelection({kAlignUnused, kAlignUnused, kAlignUnused, r.bottom});
}

void SizeRectManager::CenterHorizontally()
{
    const TRect r = ReferenceRect(kProgramMove, {0, 0});
    ApplyRectToSelection({r.left, kAlignUnused, r.right, kAlignUnused});
}

void SizeRectManager::CenterVertically()
{
    const TRect r = ReferenceRect(kProgramMove, {0, 0});
    ApplyRectToSelection({kAlignUnused, r.top, kAlignUnused, r.bottom});
}

// --- Drawing order ----------------------------------------------------------

void SizeRectManager::ShuffleOverlayed()
{
    SizeRect* rearmost = FirstSelected();
    if (!rearmost)
        return;
    Invalidate(rearmost->GetRepaintRect());
    elements_.MoveTo(elements_.Find(rearmost), elements_);
}

void SizeRectManager::SendToBack()
{
    SizeRectArray back;
    SizeRectArray rest;
    while (!elements_.IsEmpty()) {
        SizeRect* element = elements_[0];
        if (element->IsSelected()) {
            element->Select(false);
            elements_.MoveTo(0, back);
        } else {
            elements_.MoveTo(0, rest);
        }
    }
    InsertElements(back, false);
    InsertElements(rest, false);
    modified_ = true;
}

void SizeRectManager::LockSelection()
{
    for (const auto& element : elements_) {
        if (element->IsSelected())
            element->SetSelectable(false);
    }
    SendToBack();
}

void SizeRectManager::UnlockAll()
{
    DeselectAll();
    TRect area;
    bool unlocked = false;
    for (const auto& element : elements_) {
        if (element->IsSelectable())
            continue;
        element->SetSelectable(true);
        area |= element->Select(true);
        unlocked = true;
    }
    Invalidate(area);
    RaiseSelection();
    if (unlocked)
        modified_ = true;
}

bool SizeRectManager::HasLockedElements() const
{
    return std::any_of(elements_.begin(), elements_.end(), [](const auto& e) { return !e->IsSelectable(); });
}

SizeRectManager::MovedBlock SizeRectManager::MoveElements(int count, const int* positions, int dropPosition)
{
    SizeRectArray taken;
    TakeOutSelection(taken);
    if (taken.IsEmpty())
        return {};
    // One selected group: its members are what the positions count.
    auto* group = taken.Count() == 1 ? dynamic_cast<ComboElem*>(taken[0]) : nullptr;
    SizeRectArray& list = group ? group->GetMembers() : taken;

    SizeRectArray before;
    SizeRectArray moved;
    SizeRectArray after;
    for (int p = 0; !list.IsEmpty(); ++p) {
        if (ContainsIndex(p, count, positions)) {
            Invalidate(list[0]->GetRepaintRect());
            list.MoveTo(0, moved);
        } else {
            list.MoveTo(0, p < dropPosition ? before : after);
        }
    }
    MovedBlock block;
    AppendAll(list, before);
    block.first = list.Count();
    AppendAll(list, moved);
    block.last = list.Count() - 1;
    AppendAll(list, after);

    Invalidate(AppendAll(elements_, taken));
    modified_ = true;
    return block;
}

// --- Array moves ------------------------------------------------------------

void SizeRectManager::TakeOutSelection(SizeRectArray& target, bool groupsOnly)
{
    for (int i = 0; i < elements_.Count();) {
        const SizeRect* element = elements_[i];
        const bool leaves = element->IsSelected() && (!groupsOnly || dynamic_cast<const ComboElem*>(element));
        if (leaves)
            elements_.MoveTo(i, target);
        else
            ++i;
    }
}

int SizeRectManager::InsertElements(SizeRectArray& source, bool renumber)
{
    int leftOut = 0;
    while (!source.IsEmpty()) {
        if (auto* driveOut = dynamic_cast<DriveOutElem*>(source[0]); driveOut && renumber) {
            // The number is looked up after each append, so several
            // drive-outs of one source get different numbers.
            const int number = FreeDriveOutNumber();
            if (number == 0) {
                source.Destroy(0);
                ++leftOut;
                continue;
            }
            driveOut->SetNumber(number);
        }
        const TRect repaint = source[0]->GetRepaintRect();
        source.MoveTo(0, elements_);
        Invalidate(repaint);
    }
    return leftOut;
}

TRect SizeRectManager::AppendAll(SizeRectArray& target, SizeRectArray& source)
{
    TRect area;
    for (const auto& element : source)
        area |= element->GetRepaintRect();
    source.MoveAllTo(target);
    return area;
}

void SizeRectManager::CollectSelected(SizeRectArray& target) const
{
    for (const auto& element : elements_) {
        if (element->IsSelected())
            AddClone(*element, target);
    }
}

void SizeRectManager::CollectSelectedTopFirst(SizeRectArray& target) const
{
    for (int i = elements_.Count() - 1; i >= 0; --i) {
        if (elements_[i]->IsSelected())
            AddClone(*elements_[i], target);
    }
}

ComboElem* SizeRectManager::FirstSelectedGroup() const
{
    for (const auto& element : elements_) {
        if (auto* group = dynamic_cast<ComboElem*>(element.get()); group && group->IsSelected())
            return group;
    }
    return nullptr;
}

// --- Touch regions ----------------------------------------------------------

bool SizeRectManager::OverlapsTouchRegion(const TRect& rect) const
{
    return TouchRegionMeets(elements_, rect, nullptr);
}

bool SizeRectManager::TouchRegionWouldOverlap(const SizeRect& touch, int handle, const TSize& offset) const
{
    return TouchRegionMeets(elements_, touch.DragHandle(handle, offset), &touch);
}

bool SizeRectManager::GroupWouldOverlapTouch(const ComboElem& group, int handle, const TSize& offset) const
{
    return std::any_of(group.GetMembers().begin(), group.GetMembers().end(), [&](const auto& member) {
        return member->IsTouchRegion() && TouchRegionMeets(elements_, member->DragHandle(handle, offset), &group);
    });
}

// --- Select All and Tab -----------------------------------------------------

void SizeRectManager::SelectAll()
{
    TRect area;
    for (const auto& element : elements_)
        area |= element->Select(true);
    Invalidate(area);
}

void SizeRectManager::SelectNext()
{
    const int count = elements_.Count();
    int first = -1;
    for (int i = 0; i < count && first < 0; ++i) {
        if (elements_[i]->IsSelected())
            first = i;
    }
    SizeRect* next = nullptr;
    for (int i = first + 1; i < count && !next; ++i) {
        if (!IsFunctionKey(*elements_[i]))
            next = elements_[i];
    }
    for (int i = 0; i < count && !next; ++i) {
        if (!IsFunctionKey(*elements_[i]))
            next = elements_[i];
    }
    if (!next)
        return;
    DeselectAll();
    Invalidate(next->Select(true));
    RaiseSelection();
}

// --- Animation --------------------------------------------------------------

void SizeRectManager::StartAnimation()
{
    ForPageAndTemplate(elements_, templateElements_.get(), [](SizeRect& e) { e.StartAnimation(); });
}

void SizeRectManager::AnimateStep()
{
    ForPageAndTemplate(elements_, templateElements_.get(), [this](SizeRect& e) { Invalidate(e.AnimateStep()); });
}

void SizeRectManager::StopAnimation()
{
    ForPageAndTemplate(elements_, templateElements_.get(), [this](SizeRect& e) { Invalidate(e.StopAnimation()); });
}

// --- Drive-out numbers and trends -------------------------------------------

int SizeRectManager::FreeDriveOutNumber() const
{
    std::array<bool, DriveOutElem::kMaxNumber> used{};
    for (const auto& element : elements_) {
        if (const auto* driveOut = dynamic_cast<const DriveOutElem*>(element.get())) {
            const int n = driveOut->GetNumber();
            if (n >= 1 && n <= DriveOutElem::kMaxNumber)
                used[static_cast<std::size_t>(n - 1)] = true;
        }
    }
    const auto free = std::find(used.begin(), used.end(), false);
    return free == used.end() ? 0 : static_cast<int>(free - used.begin()) + 1;
}

int SizeRectManager::CountTrends() const
{
    return static_cast<int>(std::count_if(elements_.begin(), elements_.end(), [](const auto& e) {
        return dynamic_cast<const TrendElem*>(e.get()) != nullptr;
    }));
}
