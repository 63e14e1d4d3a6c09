#include "plintvlr/db/stylebase.h"

stylebase::stylebase(std::span<const TDib> states)
{
    const std::size_t n = states.size() < kMaxStates ? states.size() : kMaxStates;
    states_.assign(states.begin(), states.begin() + static_cast<std::ptrdiff_t>(n));
}

const TDib* stylebase::GetDib(int state) const
{
    if (state < 0 || state >= StateCount())
        return nullptr;
    return &states_[static_cast<std::size_t>(state)];
}

void stylebase::SetPoint(int state, PanelPoint point)
{
    if (state < 0 || state >= StateCount())
        return;
    points_[static_cast<std::size_t>(state)] = point;
}

PanelPoint stylebase::GetPoint(int state) const
{
    if (state < 0 || state >= StateCount())
        return kDefaultPoint;
    return points_[static_cast<std::size_t>(state)].value_or(kDefaultPoint);
}

TSize stylebase::GetSize() const
{
    if (states_.empty())
        return {};
    return {states_.front().Width(), states_.front().Height()};
}

bool stylebase::IsSameDib(int state, const TDib& dib) const
{
    const TDib* own = GetDib(state);
    return own && own->SameImage(dib);
}
