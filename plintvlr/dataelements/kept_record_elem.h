#pragma once
// The base of the data and operator elements while they are only carried by
// the page editor: an element read from a page record keeps its record bytes
// and writes them back unchanged, so opening and saving a page loses nothing.
// Such an element stands where its record places it (or off the page when
// the record gives no place), is drawn as a dotted outline, and cannot be
// selected, moved, turned or pasted. An element made by the program rather
// than read has no record and writes nothing.

#include "plintvlr/elements/size_rect.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class KeptRecordElem : public SizeRect {
public:
    // All four sides of an element whose record gives no place.
    static constexpr int kOffPage = -100;

    bool HasKeptRecord() const { return !record_.empty(); }
    const std::vector<std::uint8_t>& GetKeptRecord() const { return record_; }

    TRect SnapToGrid(int handle, const TSize& offset) override;
    bool CanToggleOrientation() const override;
    TRect ToggleOrientation() override;
    TRect KeepOnScreen() override;
    void Draw(TDC& dc) override;
    bool ReadRecord(RecordReader& in) override;
    std::uint8_t* WriteRecord(std::uint8_t* at) const override;
    std::unique_ptr<SizeRect> Duplicate() const override;
    TRect MoveBy(const TSize& offset) override;
    void CountRecipeUse(TIdCounter& counter) const override;

protected:
    KeptRecordElem();
    KeptRecordElem(const TPoint& a, const TPoint& b) : SizeRect(a, b) {}
    KeptRecordElem(const KeptRecordElem& other) = default;

    // The length of the record at the reader's position (the reader is a
    // copy, free to move); 0 when the record is damaged or cut short.
    virtual std::size_t MeasureRecord(RecordReader in) const = 0;
    // Takes the element's place and other fields from the kept record.
    virtual void TakeFromRecord() {}

    // The recipe group that the record's stored operation names (0: none).
    void SetRecipeGroup(std::uint16_t group) { recipeGroup_ = group; }
    void PlaceOffPage() { SetRect({kOffPage, kOffPage, kOffPage, kOffPage}); }
    std::vector<std::uint8_t>& MutableRecord() { return record_; }

private:
    std::vector<std::uint8_t> record_;
    std::uint16_t recipeGroup_ = 0;
};

// Record measuring shared by the element classes. Each takes a reader at the
// piece's first byte and steps over it; false when it is damaged or cut short.
namespace kept_record {
// A stored operation: a recipe operation (0x1C and '&', ''' or '(') by its
// sub-code and byte count, else a function string up to its terminator.
bool SkipOperation(RecordReader& in);
// The colour spec on colour panels, the two fixed bytes on monochrome ones.
bool SkipColorSpec(RecordReader& in);
// The group number of the stored operation at `offset` of the record when it
// is a recipe operation; 0 otherwise.
std::uint16_t RecipeGroupAt(const std::vector<std::uint8_t>& record, int offset);
// The length of the field record at the reader's position; 0 when it runs
// past the reader's end.
std::size_t FieldRecordLength(const RecordReader& in);
}  // namespace kept_record
