#include "plintvlr/elements/node_array.h"

#include <algorithm>
#include <cmath>

namespace {

// 3.1416 / 180: the turn a degree makes in the preview.
constexpr double kRadiansPerDegree = 0.017453333333333335;

}  // namespace

std::vector<TPoint> NodeArray::ShownPoints() const
{
    std::vector<TPoint> points;
    points.reserve(shown_.size());
    for (const Node& n : shown_)
        points.push_back(n.Point());
    return points;
}

TRect NodeArray::Bounds() const
{
    // Kept by hand: a level segment spans an empty rectangle, which a
    // rectangle union would leave out.
    if (shown_.size() < 2)
        return {};
    TRect b(shown_[0].x, shown_[0].y, shown_[0].x, shown_[0].y);
    for (const Node& n : shown_) {
        b.left = std::min(b.left, n.x);
        b.top = std::min(b.top, n.y);
        b.right = std::max(b.right, n.x);
        b.bottom = std::max(b.bottom, n.y);
    }
    return b;
}

void NodeArray::Settle()
{
    if (moved_ == TSize() && angle_ == 0)
        return;
    nodes_ = shown_;
    moved_ = TSize();
    angle_ = 0;
}

void NodeArray::Refresh()
{
    shown_ = nodes_;
    if (moved_ == TSize() && angle_ == 0)
        return;
    const double r = angle_ * kRadiansPerDegree;
    const float s = static_cast<float>(std::sin(r));
    const float c = static_cast<float>(std::cos(r));
    for (Node& n : shown_) {
        if (angle_ != 0) {
            const double dx = n.x - centre_.x;
            const double dy = n.y - centre_.y;
            n.x = static_cast<std::int32_t>(dx * c - dy * s + centre_.x);
            n.y = static_cast<std::int32_t>(dx * s + dy * c + centre_.y);
        }
        n.x += moved_.cx;
        n.y += moved_.cy;
    }
}

void NodeArray::Add(const Node& node)
{
    Settle();
    nodes_.push_back(node);
    Refresh();
}

void NodeArray::Insert(int index, const Node& node)
{
    Settle();
    index = std::clamp(index, 0, Count());
    nodes_.insert(nodes_.begin() + index, node);
    Refresh();
}

void NodeArray::Remove(int index)
{
    if (index < 0 || index >= Count())
        return;
    Settle();
    nodes_.erase(nodes_.begin() + index);
    Refresh();
}

void NodeArray::Set(int index, const Node& node)
{
    if (index < 0 || index >= Count())
        return;
    Settle();
    nodes_[static_cast<std::size_t>(index)] = node;
    Refresh();
}

void NodeArray::Clear()
{
    nodes_.clear();
    moved_ = TSize();
    angle_ = 0;
    Refresh();
}

void NodeArray::Fit(const TRect& rect)
{
    Settle();
    const TRect b = Bounds();
    const float sx = b.Width() != 0 ? static_cast<float>(rect.Width()) / static_cast<float>(b.Width()) : 0.0f;
    const float sy = b.Height() != 0 ? static_cast<float>(rect.Height()) / static_cast<float>(b.Height()) : 0.0f;
    for (Node& n : nodes_) {
        n.x = static_cast<std::int32_t>(static_cast<float>(n.x - b.left) * sx + static_cast<float>(rect.left));
        n.y = static_cast<std::int32_t>(static_cast<float>(n.y - b.top) * sy + static_cast<float>(rect.top));
    }
    Refresh();
}

void NodeArray::Map(const TRect& from, const TRect& to, bool quarterTurn)
{
    Settle();
    for (Node& n : nodes_) {
        float fx = from.Width() != 0 ? static_cast<float>(n.x - from.left) / static_cast<float>(from.Width()) : 0.0f;
        float fy = from.Height() != 0 ? static_cast<float>(n.y - from.top) / static_cast<float>(from.Height()) : 0.0f;
        if (quarterTurn) {
            const float t = fx;
            fx = fy;
            fy = 1.0f - t;
        }
        n.x = static_cast<std::int32_t>(static_cast<float>(to.Width()) * fx + static_cast<float>(to.left));
        n.y = static_cast<std::int32_t>(static_cast<float>(to.Height()) * fy + static_cast<float>(to.top));
    }
    Refresh();
}

void NodeArray::SetOffset(const TSize& offset)
{
    if (offset == offset_)
        return;
    UndoMove();
    offset_ = offset;
}

void NodeArray::PositionStep()
{
    const TSize step(offset_.cx / 20, offset_.cy / 20);
    // The nodes travel right and up only; other offsets leave them still.
    if (moved_.cx + step.cx <= offset_.cx && moved_.cy + step.cy >= offset_.cy)
        Translate(step);
    else
        UndoMove();
}

void NodeArray::Translate(const TSize& delta)
{
    moved_ = moved_ + delta;
    Refresh();
}

void NodeArray::UndoMove()
{
    if (moved_ == TSize())
        return;
    moved_ = TSize();
    Refresh();
}

void NodeArray::SetCentre(const TPoint& centre)
{
    if (centre == centre_)
        return;
    UndoRotation();
    centre_ = centre;
}

void NodeArray::Rotate(int degrees)
{
    angle_ += degrees;
    // A full turn stays 360 until the next step.
    while (angle_ > 360)
        angle_ -= 360;
    while (angle_ < -360)
        angle_ += 360;
    Refresh();
}

void NodeArray::UndoRotation()
{
    if (angle_ == 0)
        return;
    angle_ = 0;
    Refresh();
}
