#include "plintvlr/elements/size_rect_array.h"

#include <algorithm>

SizeRect* SizeRectArray::At(int index) const
{
    return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)].get() : nullptr;
}

SizeRect* SizeRectArray::Add(std::unique_ptr<SizeRect> element)
{
    return AddAt(std::move(element), Count());
}

SizeRect* SizeRectArray::AddAt(std::unique_ptr<SizeRect> element, int index)
{
    if (!element)
        return nullptr;
    index = std::clamp(index, 0, Count());
    SizeRect* added = element.get();
    items_.insert(items_.begin() + index, std::move(element));
    return added;
}

int SizeRectArray::Find(const SizeRect* element) const
{
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<std::size_t>(i)].get() == element)
            return i;
    return -1;
}

std::unique_ptr<SizeRect> SizeRectArray::Detach(int index)
{
    if (!At(index))
        return nullptr;
    std::unique_ptr<SizeRect> element = std::move(items_[static_cast<std::size_t>(index)]);
    items_.erase(items_.begin() + index);
    return element;
}

std::unique_ptr<SizeRect> SizeRectArray::Detach(const SizeRect* element)
{
    return Detach(Find(element));
}

bool SizeRectArray::Destroy(int index)
{
    return Detach(index) != nullptr;
}

bool SizeRectArray::MoveTo(int index, SizeRectArray& target)
{
    std::unique_ptr<SizeRect> element = Detach(index);
    if (!element)
        return false;
    target.Add(std::move(element));
    return true;
}

void SizeRectArray::MoveAllTo(SizeRectArray& target)
{
    if (&target == this)
        return;
    for (auto& element : items_)
        target.items_.push_back(std::move(element));
    items_.clear();
}
