#include "platform/ui/window_font.h"

#include "platform/ui/font_map.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/window.h"

#include <QFont>
#include <QFontInfo>
#include <QWidget>

#include <cstdlib>

bool SetWindowFont(HWND hwnd, const TFont& font)
{
    TWindow* window = GetWindowPtr(hwnd);
    if (!window)
        return false;
    QWidget* widget = window->GetWidget();
    const LOGFONT& lf = font.GetObject();
    QFont qfont = PlatformFont(lf.lfFaceName, 0, lf.lfWeight, lf.lfItalic != 0);
    if (lf.lfHeight == 0) {
        const QFont present = widget->font();
        if (present.pixelSize() > 0)
            qfont.setPixelSize(present.pixelSize());
        else
            qfont.setPointSizeF(present.pointSizeF());
    } else {
        qfont.setPixelSize(std::abs(lf.lfHeight));
    }
    qfont.setUnderline(lf.lfUnderline != 0);
    qfont.setStrikeOut(lf.lfStrikeOut != 0);
    widget->setFont(qfont);
    return true;
}

TFont GetWindowFont(HWND hwnd)
{
    TWindow* window = GetWindowPtr(hwnd);
    if (!window)
        return TFont();
    const QFontInfo info(window->GetWidget()->font());
    const QFont font = window->GetWidget()->font();
    return TFont(FromQString(info.family()).c_str(), -info.pixelSize(), 0, 0, 0, font.weight(),
                 DEFAULT_PITCH | FF_DONTCARE, font.italic() ? 1 : 0, font.underline() ? 1 : 0,
                 font.strikeOut() ? 1 : 0);
}
