#include "platform/ui/controls/group_box.h"

#include "platform/ui/qt_text.h"

#include <QGroupBox>

TGroupBox::TGroupBox(TWindow* parent, int id, const char* text, int x, int y, int w, int h, TModule* module)
    : TControl(parent, id, text, x, y, w, h, module)
{
    Attr.Style = (Attr.Style | BS_GROUPBOX) & ~WS_TABSTOP;
}

TGroupBox::TGroupBox(TWindow* parent, int resourceId, TModule* module) : TControl(parent, resourceId, module)
{
}

QWidget* TGroupBox::CreateWidget(QWidget* parent)
{
    auto* box = new QGroupBox(parent);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    return box;
}

void TGroupBox::TextChanged()
{
    if (auto* box = qobject_cast<QGroupBox*>(GetWidget())) {
        box->setTitle(ToQString(StoredTitle()));
        box->setFocusPolicy(Qt::NoFocus);
    }
}

UINT TGroupBox::DialogCode(const MSG* /*msg*/) const
{
    return DLGC_STATIC;
}
