#pragma once
// An array that owns its elements. On a page the order is the drawing order:
// index 0 is drawn first, the last element lies on top. Elements can move
// from one array to another as objects, without copies, so an element keeps
// its identity when it goes from the page to the selection or a group and back.

#include "plintvlr/elements/size_rect.h"

#include <cstddef>
#include <memory>
#include <vector>

class SizeRectArray {
public:
    using Items = std::vector<std::unique_ptr<SizeRect>>;

    SizeRectArray() = default;
    SizeRectArray(SizeRectArray&&) = default;
    SizeRectArray& operator=(SizeRectArray&&) = default;

    int Count() const { return static_cast<int>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }
    SizeRect* operator[](int index) const { return items_[static_cast<std::size_t>(index)].get(); }
    SizeRect* At(int index) const;  // null outside the array

    // Takes ownership: at the end (on top) or before an index (clamped).
    SizeRect* Add(std::unique_ptr<SizeRect> element);
    SizeRect* AddAt(std::unique_ptr<SizeRect> element, int index);
    // The index of an element object; -1 when the array does not hold it.
    int Find(const SizeRect* element) const;

    // Hands an element out of the array without deleting it.
    std::unique_ptr<SizeRect> Detach(int index);
    std::unique_ptr<SizeRect> Detach(const SizeRect* element);
    // Deletes an element; false when there is none there.
    bool Destroy(int index);
    void Flush() { items_.clear(); }

    // Moves one element object (or all of them, in order) onto the end of
    // another array; false when there is none at the index.
    bool MoveTo(int index, SizeRectArray& target);
    void MoveAllTo(SizeRectArray& target);

    Items::const_iterator begin() const { return items_.begin(); }
    Items::const_iterator end() const { return items_.end(); }

private:
    Items items_;
};
