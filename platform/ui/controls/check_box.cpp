#include "platform/ui/controls/check_box.h"

#include "platform/ui/window_bridge.h"

#include <QCheckBox>

namespace {

class CheckWidget : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override
    {
        TWindow* window = TWindowBridge::WindowFor(this);
        const DWORD type = window ? (window->GetStyle() & BS_TYPEMASK) : BS_AUTOCHECKBOX;
        if (type == BS_AUTOCHECKBOX)
            setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        else if (type == BS_AUTO3STATE)
            setCheckState(checkState() == Qt::Unchecked ? Qt::Checked
                          : checkState() == Qt::Checked ? Qt::PartiallyChecked
                                                        : Qt::Unchecked);
        // A plain check box waits for the program to set it.
    }
};

}  // namespace

TCheckBox::TCheckBox(TWindow* parent, int id, const char* title, int x, int y, int w, int h, TGroupBox* group,
                     TModule* module)
    : TButton(parent, id, title, x, y, w, h, false, module), group_(group)
{
    Attr.Style = (Attr.Style & ~BS_TYPEMASK) | BS_AUTOCHECKBOX;
}

TCheckBox::TCheckBox(TWindow* parent, int resourceId, TGroupBox* group, TModule* module)
    : TButton(parent, resourceId, module), group_(group)
{
}

QWidget* TCheckBox::CreateWidget(QWidget* parent)
{
    auto* box = new CheckWidget(parent);
    QObject::connect(box, &QCheckBox::clicked, SignalContext(), [this] { NotifyParent(BN_CLICKED); });
    ApplyFocusPolicy(box);
    return box;
}

void TCheckBox::StyleChanged(DWORD oldStyle)
{
    TControl::StyleChanged(oldStyle);
    if (auto* box = qobject_cast<QCheckBox*>(GetWidget())) {
        const DWORD type = Attr.Style & BS_TYPEMASK;
        box->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
        box->setLayoutDirection((Attr.Style & BS_LEFTTEXT) ? Qt::RightToLeft : Qt::LeftToRight);
    }
}

void TCheckBox::Toggle()
{
    const DWORD type = Attr.Style & BS_TYPEMASK;
    const UINT state = GetCheck();
    if (type == BS_3STATE || type == BS_AUTO3STATE)
        SetCheck((state + 1) % 3);
    else
        SetCheck(state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
}

UINT TCheckBox::GetCheck() const
{
    return static_cast<UINT>(const_cast<TCheckBox*>(this)->SendMessage(BM_GETCHECK));
}

void TCheckBox::SetCheck(UINT state)
{
    SendMessage(BM_SETCHECK, state);
}

LRESULT TCheckBox::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* button = qobject_cast<QAbstractButton*>(GetWidget());
    switch (msg) {
    case BM_GETCHECK:
        if (auto* box = qobject_cast<QCheckBox*>(button))
            return box->checkState() == Qt::Checked          ? BST_CHECKED
                   : box->checkState() == Qt::PartiallyChecked ? BST_INDETERMINATE
                                                                : BST_UNCHECKED;
        return button && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
        if (auto* box = qobject_cast<QCheckBox*>(button)) {
            const DWORD type = Attr.Style & BS_TYPEMASK;
            const bool threeState = type == BS_3STATE || type == BS_AUTO3STATE;
            box->setCheckState(wParam == BST_CHECKED                      ? Qt::Checked
                               : (wParam == BST_INDETERMINATE && threeState) ? Qt::PartiallyChecked
                                                                             : Qt::Unchecked);
        } else if (button) {
            button->setChecked(wParam == BST_CHECKED);
        }
        return 0;
    default:
        return TButton::DefWindowProc(msg, wParam, lParam);
    }
}

UINT TCheckBox::DialogCode(const MSG* /*msg*/) const
{
    return DLGC_BUTTON;
}
