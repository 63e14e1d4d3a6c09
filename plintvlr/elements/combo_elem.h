#pragma once
// The element group: one page element holding other elements (its members,
// groups included) that the page editor moves, resizes, turns, copies,
// deletes and stores as one. Its record (a field record of sub-type 12)
// carries the members' own records, the tags they use and the screen area
// they can cover.

#include "plintvlr/elements/size_rect.h"
#include "plintvlr/elements/size_rect_array.h"

#include <functional>

class ComboElem : public SizeRect {
public:
    static constexpr std::uint16_t kRecordType = 12;
    // Groups inside groups read from a record: deeper nesting is a damaged record.
    static constexpr int kMaxNesting = 8;

    // Reads up to `count` member records (all up to a 0 code byte when count
    // is 0) from the reader into the array; false when a member record is
    // damaged. The page editor installs it: the group does not know the
    // element classes.
    using MemberReader = std::function<bool(SizeRectArray& members, RecordReader& in, int count)>;
    static void SetMemberReader(MemberReader reader);

    ComboElem();
    explicit ComboElem(const SizeRectArray& elements);
    ComboElem(const ComboElem& other);

    // Copies of the elements become the members; the rectangle their union.
    void SetMembers(const SizeRectArray& elements);
    const SizeRectArray& GetMembers() const { return members_; }
    // The members to reorder in place (their union, the group's rectangle, stays).
    SizeRectArray& GetMembers() { return members_; }

    TRect SnapToGrid(int handle, const TSize& offset) override;
    bool CanToggleOrientation() const override;
    TRect ToggleOrientation() override;
    void Draw(TDC& dc) override;
    TRect AnimateStep() override;
    TRect StopAnimation() override;
    std::unique_ptr<SizeRect> Clone() const override;
    bool ReadRecord(RecordReader& in) override;
    // Null when the members' records reach the panel's largest page size:
    // such a group cannot be stored.
    std::uint8_t* WriteRecord(std::uint8_t* at) const override;
    void Edit(TWindow* parent) override;
    void Describe(int number, ReportLines& lines, int subnumber) const override;
    bool IsAllowedOnPanel() const override;
    std::unique_ptr<SizeRect> Duplicate() const override;
    std::string GetTypeName() const override;
    void StartAnimation() override;
    void SetRecipeInUse(bool inUse) override;
    void CountRecipeUse(TIdCounter& counter) const override;

    // The overlap rules of touch regions: only direct members count.
    void ExpandInto(SizeRectArray& target) const;
    bool CanTakeRect(const TRect& rect) const;
    bool DragHandleChecked(const SizeRect& touch, int handle, const TSize& offset) const;
    bool CanDragHandle(const ComboElem& other, int handle, const TSize& offset) const;
    // Copies of the members, last member first.
    void CopyMembersTo(SizeRectArray& target) const;

    // The tags the members use, each once, in order of first appearance.
    std::vector<std::uint16_t> CollectTags() const;
    // The screen area (pixels, y down) the members can cover.
    TRect CollectExtent() const;

private:
    void UniteMembers();

    SizeRectArray members_;
};

// Turns each element of the array by 90 degrees and moves it so that the
// arrangement turns with the reference rectangle: what lay along its top edge
// ends along its left edge, what lay further right ends higher. The union of
// the moved elements' repaint rectangles.
TRect TurnElements(SizeRectArray& elements, const SizeRect& reference);
