#include "platform/ui/controls/static.h"

#include "platform/gdi/bitmap.h"

#include "platform/ui/qt_text.h"
#include "platform/ui/resources_qt.h"

#include <QLabel>
#include <QPixmap>

TStatic::TStatic(TWindow* parent, int id, const char* title, int x, int y, int w, int h, UINT textLimit,
                 TModule* module)
    : TControl(parent, id, title, x, y, w, h, module), textLimit_(textLimit)
{
    Attr.Style = (Attr.Style | SS_LEFT) & ~WS_TABSTOP;
}

TStatic::TStatic(TWindow* parent, int resourceId, UINT textLimit, TModule* module)
    : TControl(parent, resourceId, module), textLimit_(textLimit)
{
}

QWidget* TStatic::CreateWidget(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

void TStatic::ApplyStaticStyle()
{
    auto* label = qobject_cast<QLabel*>(GetWidget());
    if (!label)
        return;
    const DWORD type = Attr.Style & SS_TYPEMASK;
    Qt::Alignment align = Qt::AlignTop;
    align |= type == SS_CENTER ? Qt::AlignHCenter : type == SS_RIGHT ? Qt::AlignRight : Qt::AlignLeft;
    if (Attr.Style & SS_CENTERIMAGE)
        align = (align & ~Qt::AlignTop) | Qt::AlignVCenter;
    label->setAlignment(align);
    label->setWordWrap(type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
    int frame = QFrame::NoFrame;
    switch (type) {
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
        frame = QFrame::Box | QFrame::Plain;
        break;
    case SS_ETCHEDFRAME:
    case SS_ETCHEDHORZ:
    case SS_ETCHEDVERT:
        frame = QFrame::Box | QFrame::Sunken;
        break;
    default:
        if (Attr.Style & SS_SUNKEN)
            frame = QFrame::Panel | QFrame::Sunken;
        else if (Attr.Style & WS_BORDER)
            frame = QFrame::Box | QFrame::Plain;
        break;
    }
    label->setFrameStyle(frame);
    if (type == SS_BLACKRECT || type == SS_GRAYRECT || type == SS_WHITERECT) {
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, type == SS_BLACKRECT  ? QColor(Qt::black)
                                           : type == SS_GRAYRECT ? QColor(Qt::gray)
                                                                 : QColor(Qt::white));
        label->setPalette(palette);
    }
}

void TStatic::PrepareNativePaint()
{
    AskParentColors(WM_CTLCOLORSTATIC, GetWidget());
}

void TStatic::TextChanged()
{
    auto* label = qobject_cast<QLabel*>(GetWidget());
    if (!label)
        return;
    ApplyStaticStyle();
    const DWORD type = Attr.Style & SS_TYPEMASK;
    if (type == SS_ICON) {
        // The text names the icon resource ("#32515" or a name).
        const std::string& name = StoredTitle();
        const TResId icon = (!name.empty() && name[0] == '#') ? TResId(std::atoi(name.c_str() + 1))
                                                              : TResId(name.c_str());
        label->setPixmap(IconResource(icon).pixmap(32, 32));
        return;
    }
    if (type == SS_BITMAP) {
        ShowImage();
        return;
    }
    if ((type >= SS_BLACKRECT && type <= SS_WHITEFRAME) || type >= SS_ETCHEDHORZ) {
        label->clear();
        return;
    }
    const QString text = ToQString(StoredTitle());
    const bool prefix = !(Attr.Style & SS_NOPREFIX);
    const bool underline = prefix && !MnemonicOf(text).isNull();
    label->setTextFormat(underline ? Qt::RichText : Qt::PlainText);
    label->setText(underline ? MnemonicHtml(text) : prefix ? StripMnemonic(text) : text);
}

void TStatic::StyleChanged(DWORD oldStyle)
{
    TControl::StyleChanged(oldStyle);
    if (GetWidget()) {
        GetWidget()->setFocusPolicy(Qt::NoFocus);
        TextChanged();
    }
}

void TStatic::ShowImage()
{
    auto* label = qobject_cast<QLabel*>(GetWidget());
    if (!label)
        return;
    if (image_ && image_->IsOK())
        label->setPixmap(QPixmap::fromImage(image_->Image()));
    else
        label->clear();
}

LRESULT TStatic::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == STM_SETIMAGE || msg == STM_GETIMAGE) {
        if (wParam != IMAGE_BITMAP)
            return 0;
        const TBitmap* previous = image_;
        if (msg == STM_SETIMAGE) {
            image_ = reinterpret_cast<const TBitmap*>(lParam);
            if ((Attr.Style & SS_TYPEMASK) == SS_BITMAP)
                ShowImage();
        }
        return reinterpret_cast<LRESULT>(previous);
    }
    const LRESULT result = TControl::DefWindowProc(msg, wParam, lParam);
    if (msg == WM_LBUTTONUP && (Attr.Style & SS_NOTIFY))
        NotifyParent(STN_CLICKED);
    return result;
}

UINT TStatic::DialogCode(const MSG* /*msg*/) const
{
    return DLGC_STATIC;
}
