#include "platform/ui/controls/radio_button.h"

#include "platform/ui/window_bridge.h"

#include <QRadioButton>

namespace {

class RadioWidget : public QRadioButton {
public:
    explicit RadioWidget(QWidget* parent) : QRadioButton(parent) { setAutoExclusive(false); }

protected:
    void nextCheckState() override
    {
        auto* radio = dynamic_cast<TRadioButton*>(TWindowBridge::WindowFor(this));
        if (!radio || (radio->GetStyle() & BS_TYPEMASK) != BS_AUTORADIOBUTTON)
            return;  // a plain radio button waits for the program
        setChecked(true);
        radio->ClearGroup();
    }
};

}  // namespace

TRadioButton::TRadioButton(TWindow* parent, int id, const char* title, int x, int y, int w, int h,
                           TGroupBox* group, TModule* module)
    : TCheckBox(parent, id, title, x, y, w, h, group, module)
{
    Attr.Style = (Attr.Style & ~(BS_TYPEMASK | WS_TABSTOP)) | BS_AUTORADIOBUTTON;
}

TRadioButton::TRadioButton(TWindow* parent, int resourceId, TGroupBox* group, TModule* module)
    : TCheckBox(parent, resourceId, group, module)
{
}

QWidget* TRadioButton::CreateWidget(QWidget* parent)
{
    auto* radio = new RadioWidget(parent);
    QObject::connect(radio, &QRadioButton::clicked, SignalContext(), [this] { NotifyParent(BN_CLICKED); });
    ApplyFocusPolicy(radio);
    return radio;
}

void TRadioButton::ClearGroup()
{
    TWindow* parent = GetParentO();
    if (!parent)
        return;
    for (TWindow* sibling : GroupOf(parent->GetChildren(), this)) {
        auto* other = dynamic_cast<TRadioButton*>(sibling);
        if (other && other != this && other->IsWindow() && (other->GetStyle() & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            other->SetCheck(BST_UNCHECKED);
    }
}

UINT TRadioButton::DialogCode(const MSG* /*msg*/) const
{
    return DLGC_BUTTON | DLGC_RADIOBUTTON;
}
