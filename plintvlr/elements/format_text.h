#pragma once
// The text element of the page editor's text tool: one or more lines in one
// panel font, horizontal or vertical (read from bottom to top), justified
// inside its rectangle, with whole-number character size multipliers. Its
// layout is a block of columns x rows character cells: the text word-wraps
// into the rectangle's extent along the text, and the rectangle grows to
// hold the block (on text panels it is exactly the block). The tag display
// builds on it.
//
// Record: the code byte 0x3F (0x7F at 1 x 1), the size byte, the flags
// byte, the colour or show/hide spec, the point (x of the right edge for
// vertical text), the dynamics, the text and its zero, then an optional raw
// field record: field 1 the font, field 2 the extents and justification,
// field 3 a byte of the derived element.

#include "plintvlr/elements/panel_text.h"
#include "plintvlr/elements/size_rect.h"
#include "plintvlr/elements/text_style.h"

#include <string>

// Flags-byte bits of text records.
inline constexpr std::uint8_t kTextTailFlag = 0x10;
inline constexpr std::uint8_t kTextVerticalFlag = 0x20;

class TFormatText : public SizeRect, public TTextStyle {
public:
    static constexpr std::uint8_t kCode = 0x3F;

    // A new text "Text" between two corners, laid out.
    TFormatText(const TPoint& a = {0, 0}, const TPoint& b = {80, 80});
    // On a rectangle with a text, not laid out.
    TFormatText(const TRect& rect, const char* text, bool horizontal);
    TFormatText(const TFormatText& other);

    unsigned GetHandleStyle() const override;
    TRect SnapToGrid(int handle, const TSize& offset) override;
    TSize GetMinSize() const override;
    TRect ToggleOrientation() override;
    void Draw(TDC& dc) override;
    bool DrawsInto(const TRect& area) const override;
    std::unique_ptr<SizeRect> Clone() const override;
    bool ReadRecord(RecordReader& in) override;
    std::uint8_t* WriteRecord(std::uint8_t* at) const override;
    void Edit(TWindow* parent) override;
    void Describe(int number, ReportLines& lines, int subnumber) const override;
    std::uint16_t GetShowHideTag() const override;
    // Only an active show/hide changes: an inactive one keeps no tag.
    void SetShowHideTag(std::uint16_t tag) override;
    std::string GetPositionText() const override;
    std::string GetTypeName() const override;
    bool SetFont(int fontNumber) override;

    bool GetHorizontal() const override { return horizontal_; }
    TRect SetHorizontal(bool horizontal) override;
    TSize GetTextSize() const override { return {sizeX_, sizeY_}; }
    TRect SetTextSize(int x, int y) override;
    int GetJustify() const override { return justify_; }
    TRect SetJustify(int justify) override;

    const std::string& GetText() const { return text_; }
    // Refused (empty rectangle) beyond 20 characters on panel types 15-18 and
    // 16 on 19, 20, 22, 23, and when unchanged.
    TRect SetText(const std::string& text);
    int GetColumns() const { return columns_; }
    int GetRows() const { return rows_; }
    DynamicData& GetShowHide() { return showHide_; }
    const DynamicData& GetShowHide() const { return showHide_; }

    // Columns and rows from the text, the rectangle and the font.
    void Measure();
    // Measures and grows the rectangle to the block; the repaint rectangle.
    TRect Relayout();
    // The block of columns x rows cells in page units (length along the
    // text, thickness across).
    TSize GetBlockSize() const;
    // Whether a line of the block is longer than the screen allows.
    bool IsLineTooLong() const;
    // The pieces of the report's "Text string:" lines.
    static void AddTextPieces(const std::string& text, ReportLines& lines);

protected:
    // Where the text stands: its block of cells, placed in the element by
    // the orientation and justification.
    TRect TextBlock() const;
    // The record's point: x of the left edge, or of the right edge when vertical.
    std::uint8_t* PackTextPoint(std::uint8_t* at) const;
    // Places the rectangle's left (or, when vertical, right) and bottom edges.
    bool UnpackTextPoint(RecordReader& in);
    // The optional field record behind the text; the flags byte gets 0x10
    // when it is written.
    bool HasTail(int defaultJustify, std::uint8_t extra) const;
    std::uint8_t* WriteTail(std::uint8_t* at, int defaultJustify, std::uint8_t extra) const;
    // Reads the tail when the flags announce it and lays the element out
    // from it; the rectangle's left (right when vertical) and bottom must be
    // placed already.
    bool ReadTail(RecordReader& in, std::uint8_t flags, int defaultJustify, std::uint8_t& extra);
    // The "line too long" warning, shown before a record is written.
    void WarnIfLineTooLong() const;
    // The old-kind question of Edit for the show/hide or colour attribute;
    // false when the engineer declines.
    bool ConvertOldKinds(TWindow* parent);
    void SetTextOnly(const std::string& text) { text_ = text; }
    // The code, the size byte and the flags byte, which give the orientation
    // and the multipliers; no layout.
    bool ReadRecordHead(RecordReader& in, std::uint8_t& code, std::uint8_t& flags);
    // The orientation and multipliers as a record holds them, no layout.
    void SetStoredStyle(bool horizontal, int sizeX, int sizeY)
    {
        horizontal_ = horizontal;
        sizeX_ = sizeX;
        sizeY_ = sizeY;
    }
    void DescribeStyle(ReportLines& lines) const;

private:
    // Whether the tail carries the extents field; without it a record reads
    // back as one row of the text's block, default justification.
    bool ExtentsWritten(int defaultJustify) const;

    std::string text_ = "Text";
    bool horizontal_ = true;
    int justify_ = 0;
    int sizeX_ = 1;
    int sizeY_ = 1;
    int columns_ = 1;
    int rows_ = 1;
    DynamicData showHide_;
    TPanelTextPicture picture_;
};
