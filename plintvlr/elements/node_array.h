#pragma once
// The nodes of a lines element or a regular figure, and what the editor's
// animation preview does to them: a move towards the position offset in 20
// steps and a turn of 6 degrees a step round the rotation centre.
//
// The resting nodes are never changed by the animation. Each shown frame is
// computed from them, the accumulated move and the total angle, so taking the
// animation back gives the resting nodes exactly however long it ran; the
// truncation of a turned frame never feeds into the next one.

#include "platform/base/geometry.h"

#include <cstdint>
#include <vector>

struct Node {
    std::int32_t x = 0;
    std::int32_t y = 0;
    // A segment that begins at a node with a non-zero flag is not hit.
    std::uint8_t flag = 0;

    TPoint Point() const { return {x, y}; }
    bool operator==(const Node&) const = default;
};

class NodeArray {
public:
    NodeArray() { nodes_.reserve(11); }

    // --- The nodes as shown (resting nodes moved and turned) ---------------
    int Count() const { return static_cast<int>(nodes_.size()); }
    const Node& operator[](int i) const { return shown_[static_cast<std::size_t>(i)]; }
    const std::vector<Node>& Shown() const { return shown_; }
    std::vector<TPoint> ShownPoints() const;
    // The union of the normalised rectangles of consecutive shown nodes.
    TRect Bounds() const;

    // --- Editing: the change becomes part of the resting nodes --------------
    // An edit while a move or turn is shown keeps what is shown.
    void Add(const Node& node);
    void Insert(int index, const Node& node);
    void Remove(int index);
    void Set(int index, const Node& node);
    void Clear();
    const std::vector<Node>& Resting() const { return nodes_; }

    // Scales the nodes from their bounds into the rectangle.
    void Fit(const TRect& rect);
    // Maps the nodes from the old rectangle to the new, a quarter turn
    // anticlockwise when asked.
    void Map(const TRect& from, const TRect& to, bool quarterTurn);

    // --- The animation ---------------------------------------------------------
    void SetOffset(const TSize& offset);
    void PositionStep();
    void Translate(const TSize& delta);
    void UndoMove();
    void SetCentre(const TPoint& centre);
    void Rotate(int degrees);
    void RotateStep() { Rotate(6); }
    void UndoRotation();

    TSize GetOffset() const { return offset_; }
    TSize GetAccumulatedMove() const { return moved_; }
    int GetAngle() const { return angle_; }
    TPoint GetCentre() const { return centre_; }

    bool operator==(const NodeArray& o) const
    {
        return nodes_ == o.nodes_ && offset_ == o.offset_ && moved_ == o.moved_ && angle_ == o.angle_ &&
               centre_ == o.centre_;
    }

private:
    // Makes what is shown the resting nodes (before an edit).
    void Settle();
    void Refresh();

    std::vector<Node> nodes_;
    std::vector<Node> shown_;
    TSize offset_;
    TSize moved_;
    std::int32_t angle_ = 0;
    TPoint centre_;
};
