#include "plintvlr/elements/text_elem.h"

#include "platform/gdi/dc.h"
#include "plintvlr/db/field_record.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/palette.h"
#include "plintvlr/elements/panel_text.h"
#include "plintvlr/elements/shape_drawing.h"
#include "plintvlr/elements/text_string_ids.h"
#include "plintvlr/elements/text_support.h"
#include "plintvlr/shell/base/str.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kPixel = kUnitsPerPixel;
constexpr int kMaxMultiplier = 6;
constexpr int kFontField = 1;

TSize CellOf(int fontNumber)
{
    const TSize cell = GetFontSize(fontNumber);
    return {std::max(cell.cx, 1), std::max(cell.cy, 1)};
}

std::string LimitedText(const char* text, std::size_t limit)
{
    std::string kept = text ? std::string(text).substr(0, limit) : std::string();
    return kept.empty() ? std::string(" ") : kept;
}

int Clamp(long long value, int low, int high)
{
    return static_cast<int>(std::clamp<long long>(value, low, high));
}

}  // namespace

// --- TextElem ---------------------------------------------------------------

TextElem::TextElem(const TRect& rect, const char* text, bool horizontal)
    : SizeRect(rect.TopLeft(), rect.BottomRight()), text_(LimitedText(text, kMaxText)), horizontal_(horizontal)
{
    SetFontNumber(GetDefaultFontNumber());
}

TextElem::TextElem(const TPoint& a, const TPoint& b) : SizeRect(a, b), text_("text")
{
    SetFontNumber(GetDefaultFontNumber());
    horizontal_ = Height() < Width() + 80;
    const TSize extent = GetTextExtent();
    SetTextSize(extent.cx, extent.cy);
}

TextElem::TextElem(const TextElem& other)
    : SizeRect(other),
      text_(other.text_),
      horizontal_(other.horizontal_),
      flag_(other.flag_),
      sizeX_(other.sizeX_),
      sizeY_(other.sizeY_),
      showHide_(other.showHide_)
{
}

std::unique_ptr<SizeRect> TextElem::Clone() const
{
    return std::make_unique<TextElem>(*this);
}

TSize TextElem::OneSizeBlock() const
{
    const TSize cell = CellOf(GetFontNumber());
    return {Clamp(1LL * Length() * cell.cx * kPixel, 0, INT_MAX / 8), Clamp(1LL * cell.cy * kPixel, 0, INT_MAX / 8)};
}

TSize TextElem::GetTextExtent() const
{
    const TSize block = OneSizeBlock();
    const int along = horizontal_ ? Width() : Height();
    const int across = horizontal_ ? Height() : Width();
    return {std::clamp(along / std::max(block.cx, 1), 1, kMaxMultiplier),
            std::clamp(across / std::max(block.cy, 1), 1, kMaxMultiplier)};
}

TRect TextElem::SetTextSize(int x, int y)
{
    const TSize block = OneSizeBlock();
    const int length = Clamp(1LL * block.cx * x, 0, INT_MAX / 4);
    const int thickness = Clamp(1LL * block.cy * y, 0, INT_MAX / 4);
    const int width = horizontal_ ? length : thickness;
    const int height = horizontal_ ? thickness : length;
    right = left + width;
    top = bottom - height;
    sizeX_ = x;
    sizeY_ = y;
    return KeepOnScreen();
}

TRect TextElem::SetText(const char* text)
{
    const TRect before = GetRepaintRect();
    const TSize size = GetTextExtent();
    const TSize cell = CellOf(GetFontNumber());
    const TSize screen = GetScreenSize();
    const int fits = std::max((horizontal_ ? screen.cx : screen.cy) / cell.cx, 1);
    text_ = LimitedText(text, std::min<std::size_t>(kMaxText, static_cast<std::size_t>(fits)));
    return before | SetTextSize(size.cx, size.cy);
}

TRect TextElem::SetHorizontal(bool horizontal)
{
    if (horizontal == horizontal_)
        return {};
    return ToggleOrientation();
}

TRect TextElem::ToggleOrientation()
{
    const TRect before = GetRepaintRect();
    horizontal_ = !horizontal_;
    SizeRect::ToggleOrientation();
    const std::string text = text_;
    SetText(text.c_str());
    return before | GetRepaintRect();
}

TSize TextElem::GetMinSize() const
{
    const TSize block = OneSizeBlock();
    return horizontal_ ? block : TSize(block.cy, block.cx);
}

TSize TextElem::GetSizeStep(bool) const
{
    return GetMinSize();
}

TSize TextElem::GetMaxSize() const
{
    const TSize minimum = GetMinSize();
    const TSize screen = GetScreenSize();
    auto axis = [](int step, int room) {
        if (step <= 0)
            return room;
        return std::min(room / step, kMaxMultiplier) * step;
    };
    return {axis(minimum.cx, screen.cx * kPixel), axis(minimum.cy, screen.cy * kPixel)};
}

TRect TextElem::SnapToGrid(int handle, const TSize& offset)
{
    const TRect repaint = SizeRect::SnapToGrid(handle, offset);
    if (handle != kDragMove && handle != kProgramMove) {
        const TSize block = OneSizeBlock();
        const int along = horizontal_ ? Width() : Height();
        const int across = horizontal_ ? Height() : Width();
        sizeX_ = std::max(along / std::max(block.cx, 1), 1);
        sizeY_ = std::max(across / std::max(block.cy, 1), 1);
    }
    return repaint;
}

bool TextElem::SetFont(int fontNumber)
{
    SetFontNumber(fontNumber);
    const std::string text = text_;
    SetText(text.c_str());
    return true;
}

std::unique_ptr<SizeRect> TextElem::Duplicate() const
{
    std::unique_ptr<SizeRect> copy = SizeRect::Duplicate();
    if (auto* text = dynamic_cast<TextElem*>(copy.get())) {
        const TSize maximum = text->GetMaxSize();
        const TSize minimum = text->GetMinSize();
        const int most = horizontal_ ? maximum.cx / std::max(minimum.cx, 1) : maximum.cy / std::max(minimum.cy, 1);
        text->SetTextSize(std::min(text->sizeX_, std::max(most, 1)), text->sizeY_);
    }
    return copy;
}

std::uint16_t TextElem::GetTag() const
{
    return 0;
}

std::uint16_t TextElem::GetShowHideTag() const
{
    return showHide_.GetActiveTag();
}

void TextElem::SetShowHideTag(std::uint16_t tag)
{
    if (showHide_.IsActive())
        showHide_.SetReference(tag);
}

std::string TextElem::GetPositionText() const
{
    return text_;
}

std::string TextElem::GetTypeName() const
{
    return "obj_txt";
}

void TextElem::Edit(TWindow*) {}

void TextElem::Draw(TDC& dc)
{
    DrawPanelText(dc, *this, text_, ShapeColor(*this, dc), horizontal_, Length(), 1, 0, GetFontNumber(),
                  &picture_);
}

void TextElem::Describe(int number, ReportLines& lines, int subnumber) const
{
    AddDescriptionLine(*this, number, lines, subnumber, Str(kStrTextType));
    lines.push_back(FormatText(Str(kStrTextStringLine), text_.c_str()));
    lines.push_back(Str(horizontal_ ? kStrHorizontal : kStrVertical));
    DescribeColorOrShowHide(GetColors(), showHide_, lines);
    lines.emplace_back();
}

// --- Records ----------------------------------------------------------------

std::uint8_t* TextElem::PackTextSize(std::uint8_t code, std::uint8_t* at) const
{
    return ::PackTextSize(code, sizeX_, sizeY_, at);
}

bool TextElem::UnpackTextSize(std::uint8_t code, RecordReader& in)
{
    return ::UnpackTextSize(code, sizeX_, sizeY_, in);
}

void TextElem::PackOrientation(std::uint8_t& flags) const
{
    if (!horizontal_)
        flags |= kTextVerticalFlag;
    if (flag_)
        flags |= kSecondFlag;
}

void TextElem::UnpackOrientation(std::uint8_t flags)
{
    horizontal_ = !(flags & kTextVerticalFlag);
    flag_ = (flags & kSecondFlag) != 0;
}

std::uint8_t* TextElem::WriteRecordBody(std::uint8_t* at, int sizeX, int sizeY) const
{
    at = ::PackTextSize(kCode, sizeX, sizeY, at);
    std::uint8_t* flags = at++;
    *flags = horizontal_ ? 0 : kTextVerticalFlag;
    at = PackColorOrShowHide(GetColors(), showHide_, at);
    const int x = horizontal_ ? left / kPixel : (right + kPixel / 2) / kPixel;
    at = PackPoint(x, GetScreenSize().cy - bottom / kPixel, at);
    at = PackDynamics(*this, at, *flags);
    at = CopyBytes(at, text_.c_str(), text_.size() + 1);
    if (GetFontNumber() == 0)
        return at;
    *flags |= kTextTailFlag;
    FieldRecordCursor cursor;
    FieldRecordBeginRaw(cursor, at);
    const std::uint8_t font = static_cast<std::uint8_t>(GetFontNumber());
    if (FieldRecordPutBytes(cursor, kFontField, &font, 1) != FR_OK)
        return nullptr;
    return FieldRecordEnd(cursor);
}

std::uint8_t* TextElem::WriteRecord(std::uint8_t* at) const
{
    const TSize size = GetTextExtent();
    return WriteRecordBody(at, size.cx, size.cy);
}

void TextElem::PlaceBlock(int x, int y)
{
    left = x * kPixel;
    bottom = (GetScreenSize().cy - y) * kPixel;
    const TSize block = OneSizeBlock();
    const int length = Clamp(1LL * block.cx * sizeX_, 0, INT_MAX / 4);
    const int thickness = Clamp(1LL * block.cy * sizeY_, 0, INT_MAX / 4);
    right = left + (horizontal_ ? length : thickness);
    top = bottom - (horizontal_ ? thickness : length);
    if (!horizontal_)
        SetRect(TRect::Offset(-Width(), 0));
}

bool TextElem::ReadRecord(RecordReader& in)
{
    std::uint8_t code = 0;
    std::uint8_t flags = 0;
    int x = 0;
    int y = 0;
    std::string text;
    if (!in.ReadByte(code) || !UnpackTextSize(code, in) || !in.ReadByte(flags))
        return false;
    horizontal_ = !(flags & kTextVerticalFlag);
    if (!UnpackColorOrShowHide(GetColors(), showHide_, in) || !UnpackPoint(x, y, in) ||
        !UnpackDynamics(*this, in, flags) || !UnpackText(in, text))
        return false;
    text_ = LimitedText(text.c_str(), kMaxText);
    std::uint8_t font = 0;
    if (flags & kTextTailFlag) {
        FieldRecordCursor cursor;
        FieldRecordBeginReadRaw(cursor, in.Position(), in.Remaining());
        const int rc = FieldRecordGetBytes(cursor, kFontField, &font, 1);
        const std::uint8_t* after = FieldRecordEnd(cursor);
        if ((rc != FR_OK && rc != FR_ABSENT) || !after) {
            in.Fail();
            return false;
        }
        if (!in.MoveTo(after))
            return false;
    }
    SetFontNumber(font);
    PlaceBlock(x, y);
    return true;
}

// --- LabelRect --------------------------------------------------------------

LabelRect::LabelRect() : color_(IsColorPanel() ? 4 : 0)
{
    Layout();
}

LabelRect::LabelRect(const TRect& rect, const std::string& text, bool horizontal)
    : TRect(rect), text_(text), color_(IsColorPanel() ? 4 : 0), horizontal_(horizontal)
{
    Layout();
}

LabelRect::LabelRect(const LabelRect& other)
    : TRect(other),
      text_(other.text_),
      sizeX_(other.sizeX_),
      sizeY_(other.sizeY_),
      color_(other.color_),
      horizontal_(other.horizontal_),
      centered_(other.centered_)
{
    Layout();
}

LabelRect& LabelRect::operator=(const LabelRect& other)
{
    if (this != &other) {
        static_cast<TRect&>(*this) = other;
        text_ = other.text_;
        sizeX_ = other.sizeX_;
        sizeY_ = other.sizeY_;
        color_ = other.color_;
        horizontal_ = other.horizontal_;
        centered_ = other.centered_;
        Layout();
    }
    return *this;
}

void LabelRect::Layout()
{
    const long long w = 1LL * CellOf(0).cx * std::max(sizeX_, 1) * kPixel;
    long long shown = static_cast<long long>(text_.size());
    drawRect_ = *this;
    const int along = horizontal_ ? Width() : Height();
    if (along < shown * w)
        shown = std::max(along, 0) / w;
    shown_ = static_cast<int>(shown);
    const int span = Clamp(shown * w, 0, INT_MAX / 4);
    if (horizontal_) {
        if (centered_) {
            const int d = (span - Width()) / 2;
            drawRect_.left -= d;
            drawRect_.right += d;
        } else {
            drawRect_.right = drawRect_.left + span;
        }
    } else {
        if (centered_) {
            const int d = (span - Height()) / 2;
            drawRect_.top -= d;
            drawRect_.bottom += d;
        } else {
            drawRect_.top = drawRect_.bottom - span;
        }
    }
}

void LabelRect::SetText(const std::string& text)
{
    text_ = text;
    Layout();
}

void LabelRect::SetHorizontal(bool horizontal)
{
    horizontal_ = horizontal;
    Layout();
}

void LabelRect::SetCentered(bool centered)
{
    centered_ = centered;
    Layout();
}

void LabelRect::SetColor(int index)
{
    color_ = index;
    Layout();
}

void LabelRect::SetTextSize(int x, int y)
{
    sizeX_ = x;
    sizeY_ = y;
    const int across = Clamp(1LL * y * CellOf(0).cy * kPixel, INT_MIN / 4, INT_MAX / 4);
    if (horizontal_)
        bottom = top + across;
    else
        right = left + across;
    Layout();
}

void LabelRect::SetOrigin(const TPoint& point)
{
    left = point.x;
    top = point.y;
    SetTextSize(sizeX_, sizeY_);
}

void LabelRect::SetBottomLeft(const TPoint& point)
{
    SetOrigin(point);
    static_cast<TRect&>(*this) = TRect::Offset(0, -Height());
    Layout();
}

void LabelRect::SetLength(int length)
{
    const int n = length < 1 ? 0 : length;
    if (horizontal_)
        right = left + n;
    else
        bottom = top + n;
    Layout();
}

void LabelRect::Offset(int dx, int dy)
{
    static_cast<TRect&>(*this) = TRect::Offset(dx, dy);
    Layout();
}

long long LabelRect::GetTextWidth() const
{
    return 1LL * CellOf(0).cx * sizeX_ * kPixel * static_cast<long long>(text_.size());
}

void LabelRect::Draw(TDC& dc) const
{
    if (shown_ <= 0)
        return;
    const TColor color = IsColorPanel() ? PaletteColor(color_) : PaletteColor(kBlack);
    DrawPanelText(dc, drawRect_, text_.substr(0, static_cast<std::size_t>(shown_)), color, horizontal_, shown_, 1, 0, 0);
}

std::uint8_t* LabelRect::WriteRecord(std::uint8_t* at) const
{
    TextElem temporary(drawRect_, text_.substr(0, static_cast<std::size_t>(std::max(shown_, 0))).c_str(), horizontal_);
    temporary.SetFontNumber(0);
    temporary.GetColors().SetCount(1);
    temporary.GetColors().SetColorIndex(0, color_);
    return temporary.WriteRecordBody(at, sizeX_, sizeY_);
}

bool LabelRect::ReadRecord(RecordReader& in)
{
    TextElem temporary(TRect(), "", true);
    if (!temporary.ReadRecord(in))
        return false;
    text_ = temporary.GetText();
    const TSize size = temporary.GetTextSize();
    sizeX_ = size.cx;
    sizeY_ = size.cy;
    // Monochrome records carry the show/hide spec instead of a colour.
    if (IsColorPanel())
        color_ = temporary.GetColors().GetColorIndex(0);
    horizontal_ = temporary.GetHorizontal();
    Layout();
    return true;
}
