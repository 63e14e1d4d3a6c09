#include "platform/ui/gadget.h"

#include "platform/ui/gadget_window.h"
#include "platform/ui/hint_text.h"

#include <QPainter>
#include <QPalette>
#include <QWidget>

TGadget::TGadget(int id, TBorderStyle borderStyle) : id_(id), borderStyle_(borderStyle)
{
}

TGadget::~TGadget()
{
    if (window_)
        window_->Remove(*this);
}

void TGadget::SetBorderStyle(TBorderStyle style)
{
    borderStyle_ = style;
    SizeChanged();
}

int TGadget::BorderWidth() const
{
    switch (borderStyle_) {
    case None:
        return 0;
    case Embossed:
        return 2;
    default:
        return 1;
    }
}

void TGadget::SetMargins(const TMargins& margins)
{
    margins_ = margins;
    SizeChanged();
}

void TGadget::SetBounds(const TRect& bounds)
{
    bounds_ = bounds;
}

void TGadget::GetDesiredSize(TSize& size)
{
    const TSize contents = ContentsSize();
    const int border = 2 * BorderWidth();
    const TSize wanted(contents.cx + border + margins_.Left + margins_.Right,
                       contents.cy + border + margins_.Top + margins_.Bottom);
    size.cx = shrinkWidth_ ? wanted.cx : size_.cx;
    size.cy = shrinkHeight_ ? wanted.cy : size_.cy;
}

void TGadget::SetShrinkWrap(bool width, bool height)
{
    shrinkWidth_ = width;
    shrinkHeight_ = height;
    SizeChanged();
}

void TGadget::SetSize(const TSize& size)
{
    size_ = size;
    SizeChanged();
}

void TGadget::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    Invalidate();
}

std::string TGadget::GetTooltipText() const
{
    return GetCommandHintText(HintCommand(), THintText::Tooltip);
}

void TGadget::Invalidate()
{
    if (window_)
        window_->InvalidateGadget(*this);
}

void TGadget::SizeChanged()
{
    if (window_)
        window_->GadgetChangedSize(*this);
}

TRect TGadget::GetInnerRect() const
{
    const int b = BorderWidth();
    return {bounds_.left + b + margins_.Left, bounds_.top + b + margins_.Top, bounds_.right - b - margins_.Right,
            bounds_.bottom - b - margins_.Bottom};
}

void TGadget::Paint(QPainter& painter)
{
    const QRect r(bounds_.left, bounds_.top, bounds_.Width(), bounds_.Height());
    const QPalette& palette = window_ && window_->GetWidget() ? window_->GetWidget()->palette() : QPalette();
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    // Raised borders are light at the top left, recessed ones dark there.
    switch (borderStyle_) {
    case None:
        break;
    case Plain:
        painter.setPen(palette.color(QPalette::WindowText));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        break;
    case Raised:
        PaintFrame(painter, r, light, dark);
        break;
    case Recessed:
        PaintFrame(painter, r, dark, light);
        break;
    case Embossed:
        PaintFrame(painter, r, dark, light);
        PaintFrame(painter, r.adjusted(1, 1, -1, -1), light, dark);
        break;
    }
    const TRect inner = GetInnerRect();
    PaintContents(painter, QRect(inner.left, inner.top, inner.Width(), inner.Height()));
}

void TGadget::PaintFrame(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight)
{
    painter.setPen(topLeft);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

void TGadget::PaintContents(QPainter& /*painter*/, const QRect& /*inner*/)
{
}

void TGadget::LButtonDown(UINT /*keys*/, const TPoint& /*point*/)
{
}

void TGadget::LButtonUp(UINT /*keys*/, const TPoint& /*point*/)
{
}

void TGadget::MouseMove(UINT /*keys*/, const TPoint& /*point*/)
{
}

void TGadget::MouseEnter(UINT /*keys*/, const TPoint& /*point*/)
{
}

void TGadget::MouseLeave(UINT /*keys*/, const TPoint& /*point*/)
{
}

TSeparatorGadget::TSeparatorGadget(int size) : TGadget(0, None), size_(size)
{
    SetEnabled(false);
}
