#pragma once
// The one-line text element of a fixed character count: its rectangle is a
// whole multiple of the text's one-size block, so its size multipliers follow
// from the rectangle. No tool places it and no page record is read back as
// one (the page reads its record as a formatted text); the drive-out element
// builds on it and caption labels store themselves through it.
//
// LabelRect is a small text label in a rectangle that meters and their scales
// own for titles and scale numbers: no element, no selection, always in
// panel font 0, showing the leading characters that fit its rectangle.

#include "plintvlr/elements/panel_text.h"
#include "plintvlr/elements/size_rect.h"

#include <string>

class TextElem : public SizeRect {
public:
    static constexpr std::uint8_t kCode = 0x3F;
    static constexpr std::size_t kMaxText = 80;
    // Flags-byte bit of the derived elements' second flag.
    static constexpr std::uint8_t kSecondFlag = 0x04;

    // At most 80 characters of the text; an empty text becomes one blank.
    // No layout.
    TextElem(const TRect& rect, const char* text, bool horizontal);
    // The text "text" sized to fill the box between the corners.
    TextElem(const TPoint& a, const TPoint& b);
    TextElem(const TextElem& other);

    TRect SnapToGrid(int handle, const TSize& offset) override;
    TSize GetMinSize() const override;
    TSize GetMaxSize() const override;
    TSize GetSizeStep(bool dragged) const override;
    TRect ToggleOrientation() override;
    void Draw(TDC& dc) override;
    std::unique_ptr<SizeRect> Clone() const override;
    bool ReadRecord(RecordReader& in) override;
    std::uint8_t* WriteRecord(std::uint8_t* at) const override;
    void Edit(TWindow* parent) override;
    void Describe(int number, ReportLines& lines, int subnumber) const override;
    std::unique_ptr<SizeRect> Duplicate() const override;
    std::uint16_t GetTag() const override;
    std::uint16_t GetShowHideTag() const override;
    void SetShowHideTag(std::uint16_t tag) override;
    std::string GetPositionText() const override;
    std::string GetTypeName() const override;
    bool SetFont(int fontNumber) override;
    virtual std::string GetText() const { return text_; }
    // Keeps the multipliers the rectangle has; the text is cut to what fits
    // the screen and to 80 characters.
    virtual TRect SetText(const char* text);

    bool GetHorizontal() const { return horizontal_; }
    TRect SetHorizontal(bool horizontal);
    bool GetSecondFlag() const { return flag_; }
    void SetSecondFlag(bool on) { flag_ = on; }
    TSize GetTextSize() const { return {sizeX_, sizeY_}; }
    // The rectangle from the text and the multipliers, keeping its left and
    // bottom edges.
    TRect SetTextSize(int x, int y);
    // The multipliers (1-6) that make the text fill the rectangle.
    TSize GetTextExtent() const;
    DynamicData& GetShowHide() { return showHide_; }
    const DynamicData& GetShowHide() const { return showHide_; }

    // Record pieces of the derived elements: the code and size byte; the
    // orientation (0x20 vertical) and second flag (0x04) bits of the flags byte.
    std::uint8_t* PackTextSize(std::uint8_t code, std::uint8_t* at) const;
    bool UnpackTextSize(std::uint8_t code, RecordReader& in);
    void PackOrientation(std::uint8_t& flags) const;
    void UnpackOrientation(std::uint8_t flags);
    // The record with these multipliers (the label writes its own).
    std::uint8_t* WriteRecordBody(std::uint8_t* at, int sizeX, int sizeY) const;

private:
    friend class LabelRect;
    int Length() const { return std::max(static_cast<int>(text_.size()), 1); }
    // The one-size block: (length along, thickness across) in page units.
    TSize OneSizeBlock() const;
    void PlaceBlock(int x, int y);

    std::string text_;
    bool horizontal_ = true;
    bool flag_ = false;
    int sizeX_ = 1;
    int sizeY_ = 1;
    DynamicData showHide_;
    TPanelTextPicture picture_;
};

class LabelRect : public TRect {
public:
    LabelRect();
    LabelRect(const TRect& rect, const std::string& text, bool horizontal);
    LabelRect(const LabelRect& other);
    LabelRect& operator=(const LabelRect& other);

    const std::string& GetText() const { return text_; }
    void SetText(const std::string& text);
    bool GetHorizontal() const { return horizontal_; }
    void SetHorizontal(bool horizontal);
    bool GetCentered() const { return centered_; }
    void SetCentered(bool centered);
    TSize GetTextSize() const { return {sizeX_, sizeY_}; }
    // The extent across becomes one line of the font at y times its height.
    void SetTextSize(int x, int y);
    int GetColor() const { return color_; }
    void SetColor(int index);
    // Left and top at the point, then one line thick.
    void SetOrigin(const TPoint& point);
    // As SetOrigin, with the point the bottom-left corner.
    void SetBottomLeft(const TPoint& point);
    // The extent along the text; values below 1 count as 0.
    void SetLength(int length);
    void Offset(int dx, int dy);
    long long GetTextWidth() const;

    const TRect& GetDrawRect() const { return drawRect_; }
    int GetShown() const { return shown_; }
    void Draw(TDC& dc) const;

    // A text-element record of the shown characters, the orientation, the
    // colour and the multipliers; reading takes those back and keeps the
    // label's place.
    std::uint8_t* WriteRecord(std::uint8_t* at) const;
    bool ReadRecord(RecordReader& in);

private:
    void Layout();

    std::string text_;
    int sizeX_ = 1;
    int sizeY_ = 1;
    int color_ = 0;
    bool horizontal_ = true;
    bool centered_ = true;
    TRect drawRect_;
    int shown_ = 0;
};
