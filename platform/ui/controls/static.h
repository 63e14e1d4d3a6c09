#pragma once
// TStatic: a text label (also a frame, a filled rectangle or an icon, as its
// SS_ style says). A single '&' marks the next letter as the mnemonic of the
// control that follows the label; SS_NOPREFIX shows '&' as it is.

#include "platform/ui/control.h"

#include <string>

class TBitmap;

class TStatic : public TControl {
public:
    TStatic(TWindow* parent, int id, const char* title, int x, int y, int w, int h, UINT textLimit = 0,
            TModule* module = nullptr);
    TStatic(TWindow* parent, int resourceId, UINT textLimit = 0, TModule* module = nullptr);

    std::string GetText() const { return GetWindowText(); }
    int GetText(char* buffer, int size) const { return GetWindowText(buffer, size); }
    int GetTextLen() const { return GetWindowTextLength(); }
    void SetText(const char* text) { SetWindowText(text); }
    void Clear() { SetWindowText(""); }
    UINT GetTextLimit() const { return textLimit_; }

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    bool PaintsNatively() const override { return true; }
    void PrepareNativePaint() override;
    void TextChanged() override;
    void StyleChanged(DWORD oldStyle) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    UINT DialogCode(const MSG* msg) const override;

    UINT textLimit_ = 0;

private:
    void ApplyStaticStyle();
    void ShowImage();

    const TBitmap* image_ = nullptr;
};
