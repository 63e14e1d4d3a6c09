#include "plintvlr/pageedit/fkey_bar.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/sys_colors.h"

#include <algorithm>
#include <string>

namespace {

constexpr TSize kButtonSize{40, 20};
constexpr int kSeparatorSize = 10;

// The keys that get a button on a bar, and whether they are labelled "Fn".
struct KeyButtons {
    int first = 0;
    int last = -1;
    bool labelled = false;
};

KeyButtons ButtonsOf(int panelType, TFKeyBar::TRow row)
{
    if (row == TFKeyBar::TRow::Second)
        return TFKeyBar::HasSecondRow(panelType) ? KeyButtons{5, 8, true} : KeyButtons{};
    switch (panelType) {
    case 15:
    case 17:
    case 20:  // the fifth lies beyond the bar's width; the second bar shows it
    case 23:
        return {1, 5, true};
    case 19:
    case 22:
        return {1, 6, true};
    case 21:
    case 24:
        return {1, 8, true};
    case 16:
    case 18:
        return {};
    default:
        // Graphic panels show the keys' legends; panels with eight keys
        // have room for six.
        return {1, 6, false};
    }
}

// Button slots across the bar and the divisor that gives the separators.
struct Slots {
    int count;
    int divisor;
};

Slots SlotsOf(int panelType)
{
    switch (panelType) {
    case 20:
    case 23:
        return {4, 6};
    case 15:
    case 17:
        return {5, 6};
    case 21:
    case 24:
        return {8, 8};
    default:
        return {6, 8};
    }
}

}  // namespace

// ------------------------------------------------------------ TTextButtonGadget

TTextButtonGadget::TTextButtonGadget(int id, const TSize& size, const char* text, std::unique_ptr<TFont> font)
    : TButtonGadget(TResId(), id, Command, true, Up), text_(text ? text : ""), font_(std::move(font))
{
    // The label fills the button: no glyph, no room kept around it.
    SetMargins({});
    SetShrinkWrap(false, false);
    SetSize(size);
}

void TTextButtonGadget::SetText(const char* text)
{
    const std::string newText = text ? text : "";
    if (newText == text_)
        return;
    text_ = newText;
    if (TGadgetWindow* window = GetGadgetWindow())
        window->GadgetChangedSize(*this);
    Invalidate();
}

void TTextButtonGadget::PaintDC(TDC& dc)
{
    if (font_)
        dc.SelectObject(*font_);
    const TRect inner = GetInnerRect();
    dc.SetBkColor(TColor::Sys(COLOR_3DFACE));
    dc.SetTextColor(TColor::Sys(GetEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    const TSize extent = dc.GetTextExtent(text_.c_str(), static_cast<int>(text_.size()));
    int x = inner.left + (inner.Width() - extent.cx) / 2;
    int y = inner.top + (inner.Height() - extent.cy) / 2;
    if (IsPressed() || GetButtonState() == Down) {
        x += BorderWidth();
        y += BorderWidth();
    }
    dc.SaveDC();
    dc.IntersectClipRect(inner);
    dc.FillRect(inner, TBrush(TColor::Sys(COLOR_3DFACE)));
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(x, y, text_.c_str(), static_cast<int>(text_.size()));
    dc.RestoreDC();
}

void TTextButtonGadget::LButtonUp(UINT keys, const TPoint& point)
{
    TButtonGadget::LButtonUp(keys, point);
    // The framed current key may have moved to another button.
    if (TGadgetWindow* window = GetGadgetWindow(); window && window->IsWindow())
        window->Invalidate();
}

// -------------------------------------------------------------------- TFKeyBar

const TResponseTable TFKeyBar::Responses{&TGadgetWindow::Responses, {
    OnMessage<&TFKeyBar::EvSize>(WM_SIZE),
}};

TFKeyBar::TFKeyBar(TWindow* parent, int panelType, TRow row, std::function<int()> currentKey)
    : TGadgetWindow(parent, Horizontal), panelType_(panelType), currentKey_(std::move(currentKey))
{
    // The bar's font is the default user-interface font, the gadget
    // window's own.
    const KeyButtons keys = ButtonsOf(panelType, row);
    Insert(*new TSeparatorGadget(kSeparatorSize));
    for (int key = keys.first; key <= keys.last; ++key) {
        const std::string label = keys.labelled ? "F" + std::to_string(key) : std::string();
        Insert(*new TTextButtonGadget(kFirstKeyCommand + key - 1, kButtonSize, label.c_str()));
        if (key != keys.last) {
            Insert(*new TSeparatorGadget(kSeparatorSize));
            Insert(*new TSeparatorGadget(kSeparatorSize));
        }
    }
}

TTextButtonGadget* TFKeyBar::KeyButton(int key) const
{
    return dynamic_cast<TTextButtonGadget*>(GadgetWithId(kFirstKeyCommand + key - 1));
}

void TFKeyBar::SetKeyText(int key, const char* text)
{
    if (TTextButtonGadget* button = KeyButton(key))
        button->SetText(text);
}

void TFKeyBar::LayoutButtons()
{
    if (!IsWindow())
        return;
    const Slots layout = SlotsOf(panelType_);
    const int slot = GetClientRect().Width() / layout.count;
    const int separator = slot / layout.divisor;
    const int buttonWidth = slot - 2 * separator;
    laidOutWidth_ = GetClientRect().Width();
    for (TGadget* gadget : GetGadgets()) {
        if (dynamic_cast<TTextButtonGadget*>(gadget)) {
            gadget->SetSize({buttonWidth, kButtonSize.cy});
        } else {
            // Square gaps, but no taller than nothing: the buttons alone
            // give the bar its height.
            gadget->SetShrinkWrap(false, false);
            gadget->SetSize({separator, 0});
        }
    }
}

void TFKeyBar::EvSize(UINT sizeType, const TSize& size)
{
    TGadgetWindow::EvSize(sizeType, size);
    if (GetClientRect().Width() != laidOutWidth_)
        LayoutButtons();
}

void TFKeyBar::Paint(TDC& dc, bool /*erase*/, TRect& /*rect*/)
{
    const int key = currentKey_ ? currentKey_() : 0;
    const TTextButtonGadget* button = key > 0 ? KeyButton(key) : nullptr;
    if (!button)
        return;
    const TRect& b = button->GetBounds();
    dc.SelectObject(TPen(TColor::Black, 1, PS_SOLID));
    dc.SelectStockObject(NULL_BRUSH);
    dc.Rectangle(b.left - 1, b.top - 1, b.right, b.bottom);
}
