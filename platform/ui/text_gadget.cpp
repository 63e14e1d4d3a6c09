#include "platform/ui/text_gadget.h"

#include "platform/ui/gadget_window.h"
#include "platform/ui/qt_text.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

TTextGadget::TTextGadget(int id, TBorderStyle borderStyle, TAlign align, UINT numChars, const char* text)
    : TGadget(id, borderStyle), text_(text ? text : ""), align_(align), numChars_(numChars)
{
    SetMargins({2, 2, 1, 1});
}

void TTextGadget::SetText(const char* text)
{
    const std::string newText = text ? text : "";
    if (newText == text_)
        return;
    text_ = newText;
    Invalidate();
}

void TTextGadget::SetAlign(TAlign align)
{
    align_ = align;
    Invalidate();
}

void TTextGadget::SetNumChars(UINT numChars)
{
    numChars_ = numChars;
    SizeChanged();
}

TSize TTextGadget::ContentsSize()
{
    const QFont font = GetGadgetWindow() ? GetGadgetWindow()->GetFont() : QFont();
    const QFontMetrics metrics(font);
    return {static_cast<int>(numChars_) * metrics.averageCharWidth(), metrics.height()};
}

void TTextGadget::PaintContents(QPainter& painter, const QRect& inner)
{
    int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    flags |= align_ == Left ? Qt::AlignLeft : align_ == Center ? Qt::AlignHCenter : Qt::AlignRight;
    if (GetGadgetWindow() && GetGadgetWindow()->GetWidget())
        painter.setPen(GetGadgetWindow()->GetWidget()->palette().color(GetEnabled() ? QPalette::Active : QPalette::Disabled,
                                                                       QPalette::WindowText));
    // A text wider than its pane is cut at the pane's edge.
    painter.setClipRect(inner);
    painter.drawText(inner, flags, ToQString(text_));
}
