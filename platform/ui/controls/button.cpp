#include "platform/ui/controls/button.h"

#include "platform/ui/paint_bridge.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_bridge.h"

#include <QPainter>
#include <QPushButton>

namespace {

// A button whose owner draws it.
class OwnerDrawButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override
    {
        TWindow* window = TWindowBridge::WindowFor(this);
        if (!window || !window->GetParentO())
            return;
        DRAWITEMSTRUCT item;
        item.CtlType = ODT_BUTTON;
        item.CtlID = static_cast<UINT>(window->GetId());
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = (isDown() ? ODS_SELECTED : 0) | (hasFocus() ? ODS_FOCUS : 0) | (isEnabled() ? 0 : ODS_DISABLED);
        item.hwndItem = window->GetHandle();
        item.rcItem = TRect(0, 0, width(), height());
        const HWND owner = window->GetParent();
        QPainter painter(this);
        PaintWithDC(painter, [&](TDC& dc) {
            item.hDC = &dc;
            SendMessage(owner, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        });
    }
};

}  // namespace

TButton::TButton(TWindow* parent, int id, const char* text, int x, int y, int w, int h, bool isDefault,
                 TModule* module)
    : TControl(parent, id, text, x, y, w, h, module)
{
    Attr.Style = (Attr.Style | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON)) & ~WS_GROUP;
}

TButton::TButton(TWindow* parent, int resourceId, TModule* module) : TControl(parent, resourceId, module)
{
}

QWidget* TButton::CreateWidget(QWidget* parent)
{
    QPushButton* button = (Attr.Style & BS_TYPEMASK) == BS_OWNERDRAW ? new OwnerDrawButton(parent)
                                                                      : new QPushButton(parent);
    // The dialog, not Qt, decides which button Enter presses.
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, SignalContext(), [this] { NotifyParent(BN_CLICKED); });
    ApplyFocusPolicy(button);
    return button;
}

void TButton::TextChanged()
{
    if (auto* button = qobject_cast<QAbstractButton*>(GetWidget()))
        button->setText(ToQString(StoredTitle()));
}

void TButton::StyleChanged(DWORD oldStyle)
{
    TControl::StyleChanged(oldStyle);
    if (auto* button = qobject_cast<QPushButton*>(GetWidget()))
        button->setDefault(IsDefault());
}

void TButton::SetIsDefault(bool isDefault)
{
    SendMessage(BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 1);
}

void TButton::Click()
{
    SendMessage(BM_CLICK);
}

LRESULT TButton::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* button = qobject_cast<QAbstractButton*>(GetWidget());
    switch (msg) {
    case BM_CLICK:
        if (button && IsWindowEnabled())
            button->click();
        return 0;
    case BM_SETSTYLE:
        // Only the kind of button changes; the other style bits stay.
        SetStyle((Attr.Style & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK));
        return 0;
    case BM_GETSTATE:
        return button ? ((button->isDown() ? BST_PUSHED : 0) | (button->hasFocus() ? BST_FOCUS : 0)) : 0;
    case BM_SETSTATE:
        if (button)
            button->setDown(wParam != 0);
        return 0;
    default:
        return TControl::DefWindowProc(msg, wParam, lParam);
    }
}

UINT TButton::DialogCode(const MSG* /*msg*/) const
{
    return DLGC_BUTTON | (IsDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}
