#include "platform/gdi/sys_colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

COLORREF FromQColor(const QColor& c)
{
    return RGB(c.red(), c.green(), c.blue());
}

// Where a system colour comes from in the application's palette; the classic
// value stands when there is no application yet.
struct Source {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    COLORREF classic;
};

const Source kSources[kSysColorCount] = {
    {QPalette::Active, QPalette::Mid, RGB(192, 192, 192)},               // COLOR_SCROLLBAR
    {QPalette::Active, QPalette::Dark, RGB(0, 128, 128)},                // COLOR_BACKGROUND
    {QPalette::Active, QPalette::Highlight, RGB(0, 0, 128)},             // COLOR_ACTIVECAPTION
    {QPalette::Inactive, QPalette::Mid, RGB(128, 128, 128)},             // COLOR_INACTIVECAPTION
    {QPalette::Active, QPalette::Window, RGB(192, 192, 192)},            // COLOR_MENU
    {QPalette::Active, QPalette::Base, RGB(255, 255, 255)},              // COLOR_WINDOW
    {QPalette::Active, QPalette::Shadow, RGB(0, 0, 0)},                  // COLOR_WINDOWFRAME
    {QPalette::Active, QPalette::WindowText, RGB(0, 0, 0)},              // COLOR_MENUTEXT
    {QPalette::Active, QPalette::Text, RGB(0, 0, 0)},                    // COLOR_WINDOWTEXT
    {QPalette::Active, QPalette::HighlightedText, RGB(255, 255, 255)},   // COLOR_CAPTIONTEXT
    {QPalette::Active, QPalette::Button, RGB(192, 192, 192)},            // COLOR_ACTIVEBORDER
    {QPalette::Inactive, QPalette::Button, RGB(192, 192, 192)},          // COLOR_INACTIVEBORDER
    {QPalette::Active, QPalette::Dark, RGB(128, 128, 128)},              // COLOR_APPWORKSPACE
    {QPalette::Active, QPalette::Highlight, RGB(0, 0, 128)},             // COLOR_HIGHLIGHT
    {QPalette::Active, QPalette::HighlightedText, RGB(255, 255, 255)},   // COLOR_HIGHLIGHTTEXT
    {QPalette::Active, QPalette::Button, RGB(192, 192, 192)},            // COLOR_BTNFACE
    {QPalette::Active, QPalette::Dark, RGB(128, 128, 128)},              // COLOR_BTNSHADOW
    {QPalette::Disabled, QPalette::Text, RGB(128, 128, 128)},            // COLOR_GRAYTEXT
    {QPalette::Active, QPalette::ButtonText, RGB(0, 0, 0)},              // COLOR_BTNTEXT
    {QPalette::Inactive, QPalette::HighlightedText, RGB(192, 192, 192)}, // COLOR_INACTIVECAPTIONTEXT
    {QPalette::Active, QPalette::Light, RGB(255, 255, 255)},             // COLOR_BTNHIGHLIGHT
    {QPalette::Active, QPalette::Shadow, RGB(0, 0, 0)},                  // COLOR_3DDKSHADOW
    {QPalette::Active, QPalette::Midlight, RGB(223, 223, 223)},          // COLOR_3DLIGHT
    {QPalette::Active, QPalette::ToolTipText, RGB(0, 0, 0)},             // COLOR_INFOTEXT
    {QPalette::Active, QPalette::ToolTipBase, RGB(255, 255, 225)},       // COLOR_INFOBK
};

}  // namespace

COLORREF GetSysColor(int index)
{
    if (index < 0 || index >= kSysColorCount)
        return RGB(0, 0, 0);
    const Source& s = kSources[index];
    if (!qGuiApp)
        return s.classic;
    return FromQColor(QGuiApplication::palette().color(s.group, s.role));
}
