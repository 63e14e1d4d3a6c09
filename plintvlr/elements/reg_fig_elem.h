#pragma once
// The regular figures of the page editor: a rectangle or circle, unfilled
// (an outline of the line width) or filled with the element colour, and a
// bevelled frame of a side width, raised or recessed. Rectangles and circles
// animate through their nodes (the corners, or the centre); a circle stays
// square.

#include "plintvlr/elements/line_style.h"
#include "plintvlr/elements/node_array.h"
#include "plintvlr/elements/size_rect.h"
#include "plintvlr/elements/tag_mask.h"

class TRegFigElem : public SizeRect, public TLineStyle {
public:
    enum Kind : int { kRectangle = 0, kCircle = 1, kFrame = 2 };
    // Field record types: rectangles and circles, frames.
    static constexpr std::uint16_t kFigureRecordType = 21;
    static constexpr std::uint16_t kFrameRecordType = 14;
    static constexpr std::uint8_t kRestingStep = 6;

    // The factory makes figures on (0, 0)-(80, 80) before reading them.
    explicit TRegFigElem(int kind = kRectangle, const TPoint& a = {0, 0}, const TPoint& b = {80, 80});
    TRegFigElem(const TRegFigElem& other);

    TRect SnapToGrid(int handle, const TSize& offset) override;
    TSize GetMinSize() const override;
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
    std::uint16_t GetShowHideTag() const override;
    // Only an active show/hide changes: an inactive one keeps no tag.
    void SetShowHideTag(std::uint16_t tag) override;
    std::string GetTypeName() const override;
    TRect MoveBy(const TSize& offset) override;

    bool IsFilled() const override { return filled_; }
    void SetFilled(bool filled) override;
    int GetLineWidth() const override { return width_; }
    void SetLineWidth(int width) override { width_ = width; }

    int GetKind() const { return kind_; }
    const NodeArray& GetNodes() const { return nodes_; }
    DynamicData& GetShowHide() { return showHide_; }
    const DynamicData& GetShowHide() const { return showHide_; }

    // Rebuilds the nodes from the rectangle.
    void UpdateNodes();
    void SetSquare(int side);

private:
    int SmallestPixels() const { return kind_ == kFrame ? 3 : 2; }
    // Grows a rectangle below the smallest size of the kind.
    void GrowToSmallest();
    bool ReadFigure(RecordReader& in);
    bool ReadFrame(RecordReader& in);
    std::uint8_t* WriteFigure(std::uint8_t* at) const;
    std::uint8_t* WriteFrame(std::uint8_t* at) const;
    void DrawFrame(TDC& dc) const;
    void DrawFigure(TDC& dc) const;

    int kind_ = kRectangle;
    bool filled_ = false;
    int width_ = 1;
    NodeArray nodes_;
    DynamicData showHide_;
};
