#pragma once
// The page editor's function-key bars: one button a key, labelled with the
// key's legend on graphic panels and "F1" ... on text panels, laid out to
// fill the bar's width after every resize, the current key framed. The
// buttons send commands 49.. (48 + key number).

#include "platform/gdi/font.h"
#include "platform/ui/button_gadget.h"
#include "platform/ui/gadget_window.h"

#include <functional>
#include <memory>
#include <string>

// A command button with a text label instead of a glyph, of a fixed size.
class TTextButtonGadget : public TButtonGadget {
public:
    // `font`, when given, is the gadget's own (else the window's font is used).
    TTextButtonGadget(int id, const TSize& size, const char* text, std::unique_ptr<TFont> font = nullptr);

    const std::string& GetText() const { return text_; }
    // An empty or absent text clears the label.
    void SetText(const char* text);

protected:
    bool DrawsWithDC() const override { return true; }
    void PaintDC(TDC& dc) override;
    void LButtonUp(UINT keys, const TPoint& point) override;

private:
    std::string text_;
    std::unique_ptr<TFont> font_;
};

class TFKeyBar : public TGadgetWindow {
public:
    // The command of key 1's button; key k's is this plus k - 1.
    static constexpr int kFirstKeyCommand = 49;

    enum class TRow { Main, Second };
    // The main bar, or the second bar of the panels whose keys stand in two
    // rows (types 20 and 23). `currentKey` answers the key being edited on
    // the page (0: none); the bar frames that key's button.
    TFKeyBar(TWindow* parent, int panelType, TRow row, std::function<int()> currentKey = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    // Whether panels of this type stand their keys in two bars.
    static bool HasSecondRow(int panelType) { return panelType == 20 || panelType == 23; }

    // The button of `key` takes the text, when the bar has one.
    void SetKeyText(int key, const char* text);
    TTextButtonGadget* KeyButton(int key) const;
    // Sizes buttons and separators so that the panel's count of button
    // slots fills the bar's width.
    void LayoutButtons();

protected:
    void Paint(TDC& dc, bool erase, TRect& rect) override;
    void EvSize(UINT sizeType, const TSize& size);

private:
    int panelType_;
    std::function<int()> currentKey_;
    int laidOutWidth_ = -1;
};
