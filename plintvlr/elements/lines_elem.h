#pragma once
// The lines element: a polyline through its nodes ("Lines"), or a closed
// polygon through them filled with the element colour ("Shape"). Its
// rectangle follows the nodes. The page canvas drags, inserts and deletes
// nodes unless "Freeze Nodes" is set; the animation preview moves and turns
// the nodes.

#include "plintvlr/elements/line_style.h"
#include "plintvlr/elements/node_array.h"
#include "plintvlr/elements/size_rect.h"
#include "plintvlr/elements/tag_mask.h"

#include <vector>

// Element record codes; bit 0x40 marks the short forms without the byte
// that follows the code.
inline constexpr std::uint8_t kLinesCode = 0x08;
inline constexpr std::uint8_t kShapeCode = 0x0C;
inline constexpr std::uint8_t kLinesWidth1Code = 0x48;
inline constexpr std::uint8_t kShapeNoFillCode = 0x4C;
// The byte before each node after the first.
inline constexpr std::uint8_t kNodeMarker = 0x10;

// What HitTestNode found.
enum NodeHit : int {
    kHitNothing = 0,
    kHitFirstNode = 1,
    kHitInnerNode = 2,
    kHitLastNode = 3,
    kHitSegment = 4,
};

class LinesElem : public SizeRect, public TLineStyle {
public:
    static constexpr int kMaxInsertedNodes = 40;
    static constexpr std::uint8_t kRestingStep = 6;

    LinesElem();
    // The points drawn with the tool, in page units.
    explicit LinesElem(const std::vector<TPoint>& points);
    LinesElem(const LinesElem& other);

    TRect Select(bool select) override;
    TRect SnapToGrid(int handle, const TSize& offset) override;
    TSize GetMinSize() const override;
    TRect ToggleOrientation() override;
    void Draw(TDC& dc) override;
    bool DrawsInto(const TRect& area) const override;
    TRect AnimateStep() override;
    TRect StopAnimation() override;
    std::unique_ptr<SizeRect> Clone() const override;
    bool ReadRecord(RecordReader& in) override;
    std::uint8_t* WriteRecord(std::uint8_t* at) const override;
    // Opens the element's sheet in the MDI client (the parent, or the page
    // editor's) over the active page editor.
    void Edit(TWindow* parent) override;
    void Describe(int number, ReportLines& lines, int subnumber) const override;
    std::unique_ptr<SizeRect> Duplicate() const override;
    std::uint16_t GetTag() const override;
    std::uint16_t GetShowHideTag() const override;
    // Only an active show/hide changes: an inactive one keeps no tag.
    void SetShowHideTag(std::uint16_t tag) override;
    std::string GetTypeName() const override;
    TRect MoveBy(const TSize& offset) override;

    bool IsFilled() const override { return closed_; }
    void SetFilled(bool filled) override;
    int GetLineWidth() const override { return width_; }
    void SetLineWidth(int width) override;

    // --- Node editing on the canvas -------------------------------------------
    NodeHit HitTestNode(const TPoint& point, int& index) const;
    void MoveNode(int index, const TPoint& point);
    void InsertNode(int index, const Node& node);
    void SelectNode(int index);
    TRect DeleteNode();
    TRect DeselectNode();
    TRect GetNodeMarkRect() const;
    // The selected node's marker, in XOR: drawn again it takes itself away.
    void DrawNodeMarker(TDC& dc) const;

    int GetSelectedNode() const { return selectedNode_; }
    bool AreNodesFrozen() const { return freezeNodes_; }
    void SetNodesFrozen(bool frozen) { freezeNodes_ = frozen; }
    const NodeArray& GetNodes() const { return nodes_; }
    DynamicData& GetShowHide() { return showHide_; }
    const DynamicData& GetShowHide() const { return showHide_; }

    // Sets the rectangle from the nodes and the pen; the repaint rectangle.
    TRect RecalcBounds();
    void FitNodes(const TRect& rect) { nodes_.Fit(rect); }
    void MapNodes(const TRect& from, bool quarterTurn) { nodes_.Map(from, *this, quarterTurn); }

private:
    int HalfPen() const { return width_ * kUnitsPerPixel / 2; }

    NodeArray nodes_;
    int selectedNode_ = -1;
    int width_ = 1;
    bool freezeNodes_ = true;
    bool closed_ = false;
    DynamicData showHide_;
};
