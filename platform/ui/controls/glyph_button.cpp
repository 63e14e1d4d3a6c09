#include "platform/ui/controls/glyph_button.h"

#include "platform/ui/resources_qt.h"

#include <QPixmap>
#include <QPushButton>

TGlyphButton::TGlyphButton(TWindow* parent, int id, const char* text, int x, int y, int w, int h, TResId glyph,
                           bool isDefault, TModule* module)
    : TButton(parent, id, text, x, y, w, h, isDefault, module), glyph_(glyph)
{
}

TGlyphButton::TGlyphButton(TWindow* parent, int resourceId, TResId glyph, TModule* module)
    : TButton(parent, resourceId, module), glyph_(glyph)
{
}

void TGlyphButton::SetGlyph(TResId glyph)
{
    glyph_ = glyph;
    TextChanged();
}

void TGlyphButton::TextChanged()
{
    TButton::TextChanged();
    auto* button = qobject_cast<QPushButton*>(GetWidget());
    if (!button)
        return;
    const QImage image = glyph_.IsNull() ? QImage() : BitmapResourceImage(glyph_);
    button->setIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
    if (!image.isNull())
        button->setIconSize(image.size());
}
