#pragma once
// TGlyphButton: a push button that shows a picture (a bitmap resource)
// beside or instead of its text.

#include "platform/ui/controls/button.h"

class TGlyphButton : public TButton {
public:
    TGlyphButton(TWindow* parent, int id, const char* text, int x, int y, int w, int h, TResId glyph = TResId(),
                 bool isDefault = false, TModule* module = nullptr);
    TGlyphButton(TWindow* parent, int resourceId, TResId glyph = TResId(), TModule* module = nullptr);

    void SetGlyph(TResId glyph);
    TResId GetGlyph() const { return glyph_; }

protected:
    void TextChanged() override;

private:
    TResId glyph_;
};
