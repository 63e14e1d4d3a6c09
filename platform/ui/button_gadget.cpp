#include "platform/ui/button_gadget.h"

#include "platform/ui/gadget_window.h"
#include "platform/ui/resources_qt.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace {

// The size of a glyph when its resource is missing.
constexpr int kDefaultGlyphWidth = 16;
constexpr int kDefaultGlyphHeight = 15;

}  // namespace

TButtonGadget::TButtonGadget(TResId glyphResId, int id, TType type, bool enabled, TState state)
    : TGadget(id, Raised), glyph_(glyphResId), type_(type), state_(state)
{
    SetMargins({3, 3, 3, 3});
    SetEnabled(enabled);
}

void TButtonGadget::SetButtonState(TState state)
{
    if (state == state_)
        return;
    state_ = state;
    Invalidate();
}

TSize TButtonGadget::ContentsSize()
{
    const QImage image = BitmapResourceImage(glyph_);
    if (image.isNull())
        return {kDefaultGlyphWidth, kDefaultGlyphHeight};
    return {image.width(), image.height()};
}

void TButtonGadget::Paint(QPainter& painter)
{
    const TRect& b = GetBounds();
    const QRect r(b.left, b.top, b.Width(), b.Height());
    QWidget* widget = GetGadgetWindow() ? GetGadgetWindow()->GetWidget() : nullptr;
    const QPalette palette = widget ? widget->palette() : QPalette();
    const bool sunken = pressed_ || state_ != Up;
    if (state_ == Indeterminate)
        painter.fillRect(r.adjusted(1, 1, -1, -1), QBrush(palette.color(QPalette::Light), Qt::Dense4Pattern));
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    PaintFrame(painter, r, sunken ? dark : light, sunken ? light : dark);

    const QImage image = BitmapResourceImage(glyph_);
    if (image.isNull())
        return;
    QPixmap pixmap = QPixmap::fromImage(image);
    if (!GetEnabled())
        pixmap = QIcon(pixmap).pixmap(pixmap.size(), QIcon::Disabled);
    QPoint at(r.left() + (r.width() - pixmap.width()) / 2, r.top() + (r.height() - pixmap.height()) / 2);
    if (sunken)
        at += QPoint(1, 1);
    painter.drawPixmap(at, pixmap);
}

void TButtonGadget::LButtonDown(UINT /*keys*/, const TPoint& /*point*/)
{
    pressed_ = true;
    if (GetGadgetWindow())
        GetGadgetWindow()->CaptureMouse(*this);
    Invalidate();
}

void TButtonGadget::MouseMove(UINT /*keys*/, const TPoint& point)
{
    const bool inside = GetBounds().Contains(point);
    if (inside != pressed_ && GetGadgetWindow() && GetGadgetWindow()->GetCaptured() == this) {
        pressed_ = inside;
        Invalidate();
    }
}

void TButtonGadget::LButtonUp(UINT /*keys*/, const TPoint& point)
{
    if (GetGadgetWindow())
        GetGadgetWindow()->ReleaseMouse(*this);
    const bool activate = pressed_ && GetBounds().Contains(point) && GetEnabled();
    pressed_ = false;
    Invalidate();
    if (activate)
        Activate();
}

void TButtonGadget::Click()
{
    if (GetEnabled())
        Activate();
}

void TButtonGadget::Activate()
{
    TGadgetWindow* window = GetGadgetWindow();
    if (type_ == NonExclusive) {
        SetButtonState(state_ == Down ? Up : Down);
    } else if (type_ == Exclusive && window) {
        // The exclusive buttons next to this one form its group.
        const std::vector<TGadget*>& all = window->GetGadgets();
        auto self = std::find(all.begin(), all.end(), this);
        auto isExclusive = [](TGadget* g) {
            auto* b = dynamic_cast<TButtonGadget*>(g);
            return b && b->GetButtonType() == Exclusive;
        };
        auto first = self;
        while (first != all.begin() && isExclusive(*(first - 1)))
            --first;
        for (auto it = first; it != all.end() && isExclusive(*it); ++it)
            static_cast<TButtonGadget*>(*it)->SetButtonState(*it == this ? Down : Up);
    }
    if (!window)
        return;
    if (TWindow* target = window->GetCommandTarget(); target && target->IsWindow())
        target->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetId()), 0), 0);
}

void TButtonGadget::CommandEnable()
{
    TGadgetWindow* window = GetGadgetWindow();
    TWindow* target = window ? window->GetCommandTarget() : nullptr;
    if (!target || !target->IsWindow())
        return;
    TButtonGadgetEnabler enabler(*this, target->GetHandle());
    target->EvCommandEnable(enabler);
    // A handler that only checks or unchecks the button answered for its
    // command: the button is available, as a menu item would be.
    if (!enabler.EnableWasCalled())
        SetEnabled(true);
}

void TButtonGadgetEnabler::Enable(bool enable)
{
    TCommandEnabler::Enable(enable);
    enableCalled_ = true;
    gadget_.SetEnabled(enable);
}

void TButtonGadgetEnabler::SetCheck(int state)
{
    TCommandEnabler::SetCheck(state);
    gadget_.SetButtonState(state == Checked         ? TButtonGadget::Down
                           : state == Indeterminate ? TButtonGadget::Indeterminate
                                                    : TButtonGadget::Up);
}
