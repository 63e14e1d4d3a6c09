#include "platform/ui/dialog.h"

#include "platform/ui/controls/button.h"
#include "platform/ui/controls/check_box.h"
#include "platform/ui/controls/combo_box.h"
#include "platform/ui/controls/edit.h"
#include "platform/ui/controls/group_box.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/controls/progress_bar.h"
#include "platform/ui/controls/radio_button.h"
#include "platform/ui/controls/scroll_bar.h"
#include "platform/ui/controls/static.h"
#include "platform/ui/controls/up_down.h"
#include "platform/ui/font_map.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_bridge.h"
#include "platform/ui/window_class.h"

#include <QDialog>
#include <QMenuBar>
#include <QVBoxLayout>
#include <QPointer>
#include <QTimer>

#include <strings.h>

#include <algorithm>

namespace {

TModalHook g_modalHook;

// The Qt side of a top-level dialog. Qt's own ways of ending a dialog go
// through the window's messages instead.
class TDialogWidget : public QDialog {
public:
    void reject() override
    {
        if (TWindow* window = TWindowBridge::WindowFor(this))
            window->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    void accept() override {}
};

TWindow* MakeControl(TWindow* parent, const TDialogItem& item)
{
    if (TWindowFactory factory = FindWindowClass(item.className))
        return factory(parent, item.id);
    const std::string& c = item.className;
    auto is = [&c](const char* name) { return ::strcasecmp(c.c_str(), name) == 0; };
    if (is("BUTTON")) {
        switch (item.style & BS_TYPEMASK) {
        case BS_GROUPBOX:
            return new TGroupBox(parent, item.id);
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return new TCheckBox(parent, item.id);
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return new TRadioButton(parent, item.id);
        default:
            return new TButton(parent, item.id);
        }
    }
    if (is("EDIT"))
        return new TEdit(parent, item.id);
    if (is("STATIC"))
        return new TStatic(parent, item.id);
    if (is("LISTBOX"))
        return new TListBox(parent, item.id);
    if (is("COMBOBOX"))
        return new TComboBox(parent, item.id);
    if (is("SCROLLBAR"))
        return new TScrollBar(parent, item.id);
    if (is("msctls_updown32"))
        return new TUpDown(parent, item.id);
    if (is("msctls_progress32"))
        return new TProgressBar(parent, item.id);
    return new TControl(parent, item.id);
}

bool IsPushButton(UINT code)
{
    return code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
}

}  // namespace

void SetModalHook(TModalHook hook)
{
    g_modalHook = std::move(hook);
}

const TResponseTable TDialog::Responses{&TWindow::Responses, {
    OnCommand<&TDialog::CmOk>(IDOK),
    OnCommand<&TDialog::CmCancel>(IDCANCEL),
    OnMessage<&TDialog::EvClose>(WM_CLOSE),
}};

TDialog::TDialog(TWindow* parent, TResId resId, TModule* module) : TWindow(parent, nullptr, module), resId_(resId)
{
    Attr.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
}

TDialog::TDialog(TWindow* parent, const TDialogTemplate& dialogTemplate, TModule* module)
    : TWindow(parent, nullptr, module), ownTemplate_(std::make_unique<TDialogTemplate>(dialogTemplate))
{
    Attr.Style = dialogTemplate.style;
}

TDialog::~TDialog()
{
    modal_ = false;
    if (IsWindow())
        TWindow::Destroy(IDCANCEL);
}

const TDialogTemplate* TDialog::GetTemplate() const
{
    return ownTemplate_ ? ownTemplate_.get() : FindDialogTemplate(resId_);
}

TDialogUnits TDialog::GetDialogUnits() const
{
    const TDialogTemplate* t = GetTemplate();
    return t ? DialogUnitsOf(t->fontName, t->fontSize) : DialogUnitsOf("MS Sans Serif", 8);
}

TRect TDialog::MapDialogRect(const TRect& rect) const
{
    const TDialogUnits units = GetDialogUnits();
    return {units.XToPixels(rect.left), units.YToPixels(rect.top), units.XToPixels(rect.right),
            units.YToPixels(rect.bottom)};
}

QWidget* TDialog::CreateWidget(QWidget* parent)
{
    const TDialogTemplate* t = GetTemplate();
    QWidget* widget;
    if (Attr.Style & WS_CHILD) {
        widget = TWindow::CreateWidget(parent);
        widget->setFocusPolicy(Qt::NoFocus);
    } else {
        auto* dialog = new TDialogWidget;
        Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (Attr.Style & WS_SYSMENU)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        dialog->setWindowFlags(flags);
        dialog->setModal(false);
        widget = dialog;
        if (menu_) {
            // The bar on top, the controls in a client area below it.
            auto* layout = new QVBoxLayout(dialog);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(0);
            menuBar_ = new QMenuBar(dialog);
            menuBar_->setNativeMenuBar(false);
            layout->setMenuBar(menuBar_);
            auto* client = new QWidget(dialog);
            layout->addWidget(client);
            SetClientWidget(client);
        }
    }
    if (t)
        widget->setFont(PlatformFont(t->fontName, t->fontSize));
    return widget;
}

bool TDialog::Create()
{
    if (IsWindow())
        return true;
    const TDialogTemplate* t = GetTemplate();
    if (!t) {
        qWarning("dialog resource %s not found", resId_.ToString().c_str());
        return false;
    }
    // The template decides the dialog's style, size and caption.
    Attr.Style = t->style | (GetParentO() && (t->style & WS_CHILD) ? WS_CHILD : 0);
    if (modal_)
        Attr.Style &= ~WS_CHILD;
    if (StoredTitle().empty())
        StoreTitle(t->caption.c_str());
    const TDialogUnits units = DialogUnitsOf(t->fontName, t->fontSize);
    const TRect r = units.ToPixels(t->x, t->y, t->cx, t->cy);
    Attr.W = r.Width();
    Attr.H = r.Height();
    const TResId menu = ownTemplate_ ? TResId() : FindDialogMenu(resId_);
    menu_.reset();
    if (!(Attr.Style & WS_CHILD) && !menu.IsNull() && HasMenuTemplate(menu)) {
        menu_ = std::make_unique<TMenu>(menu);
        Attr.H += MenuBarHeight();
    }
    if (Attr.Style & WS_CHILD) {
        Attr.X = r.left;
        Attr.Y = r.top;
    } else if (GetParentO() && GetParentO()->IsWindow() && !(t->style & DS_CENTER) && (t->x || t->y)) {
        // Positions are counted from the owner's client area.
        const TPoint origin = GetParentO()->ClientToScreen({r.left, r.top});
        Attr.X = origin.x;
        Attr.Y = origin.y;
    } else {
        Attr.X = Attr.Y = CW_USEDEFAULT;  // Qt centres the dialog over its owner
    }
    if (!PerformCreate())
        return false;
    if (menu_) {
        menu_->SetOwner(GetHandle());
        DrawMenuBar();
    }
    if (!CreateTemplateControls(*t, units))
        return false;
    const std::shared_ptr<bool> alive = alive_;
    SetupWindow();
    if (!*alive || !IsWindow())
        return false;
    setUp_ = true;
    // Without a sizing frame the dialog keeps the size it has after set-up.
    if (!(Attr.Style & WS_CHILD) && !(t->style & WS_THICKFRAME))
        GetWidget()->setFixedSize(GetWidget()->size());
    if (!modal_ && (Attr.Style & WS_VISIBLE)) {
        ShowWindow(SW_SHOW);
        FocusFirstControl();
    }
    return true;
}

bool TDialog::CreateTemplateControls(const TDialogTemplate& t, const TDialogUnits& units)
{
    std::vector<TWindow*> ordered;
    for (const TDialogItem& item : t.items) {
        TWindow* control = nullptr;
        for (TWindow* child : children_) {
            if (child->IsFromResource() && !child->IsWindow() && child->GetId() == item.id &&
                std::find(ordered.begin(), ordered.end(), child) == ordered.end()) {
                control = child;
                break;
            }
        }
        if (!control) {
            control = MakeControl(this, item);
            control->SetWindowLifetime(true);
        }
        const TRect r = units.ToPixels(item.x, item.y, item.cx, item.cy);
        control->Attr.Id = item.id;
        control->Attr.Style = (item.style | WS_CHILD | WS_VISIBLE) & ~control->GetRemovedTemplateStyle();
        control->Attr.ExStyle = item.exStyle;
        control->Attr.X = r.left;
        control->Attr.Y = r.top;
        control->Attr.W = r.Width();
        control->Attr.H = r.Height();
        control->StoreTitle(item.text.c_str());
        if (!control->PerformCreate()) {
            qWarning("dialog %s: control %d of class %s could not be created", resId_.ToString().c_str(), item.id,
                     item.className.c_str());
            continue;
        }
        if ((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && ::strcasecmp(item.className.c_str(), "BUTTON") == 0 &&
            !defaultId_)
            defaultId_ = item.id;
        ordered.push_back(control);
    }
    // Template controls come first, in template order (their tab order),
    // then the windows the dialog makes itself.
    for (TWindow* child : children_) {
        if (std::find(ordered.begin(), ordered.end(), child) == ordered.end())
            ordered.push_back(child);
    }
    children_ = ordered;
    for (TWindow* child : children_) {
        if (dynamic_cast<TGroupBox*>(child) && child->IsWindow())
            child->GetWidget()->lower();  // a group box lies behind the controls it frames
        if (child->IsFromResource() && !child->IsWindow())
            qWarning("dialog %s has no control %d", resId_.ToString().c_str(), child->GetId());
    }
    return true;
}

int TDialog::Execute()
{
    modal_ = true;
    ending_ = false;
    returnValue_ = IDCANCEL;
    const std::shared_ptr<bool> alive = alive_;
    if (!Create()) {
        if (*alive)
            modal_ = false;
        return -1;
    }
    auto* dialog = qobject_cast<QDialog*>(GetWidget());
    if (!dialog) {
        modal_ = false;
        TWindow::Destroy(IDCANCEL);
        return -1;
    }
    dialog->setWindowModality(Qt::ApplicationModal);
    Attr.Style |= WS_VISIBLE;  // the modal loop shows it
    // Runs inside the modal loop, once the dialog shows.
    QTimer::singleShot(0, dialog, [this, alive] {
        if (!*alive || !IsWindow() || ending_)
            return;
        FocusFirstControl();
        if (g_modalHook)
            g_modalHook(*this);
    });
    if (!ending_)
        dialog->exec();
    if (!*alive)
        return IDCANCEL;
    modal_ = false;
    const int result = returnValue_;
    TWindow::Destroy(result);
    // The owner's window is the active one again, with its focus where it was.
    if (TWindow* owner = GetParentO(); owner && owner->IsWindow())
        owner->GetTopLevel()->GetWidget()->activateWindow();
    return result;
}

void TDialog::Destroy(int retVal)
{
    if (modal_) {
        if (!IsWindow() || ending_)
            return;
        returnValue_ = retVal;
        ending_ = true;
        if (auto* dialog = qobject_cast<QDialog*>(GetWidget()))
            dialog->done(retVal);
        return;
    }
    TWindow::Destroy(retVal);
}

void TDialog::CloseWindow(int retVal)
{
    if (CanClose())
        Destroy(retVal);
}

void TDialog::CmOk()
{
    CloseWindow(IDOK);
}

void TDialog::CmCancel()
{
    Destroy(IDCANCEL);
}

void TDialog::EvClose()
{
    // The close box acts as the Cancel button.
    SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), HandleToLParam(GetDlgItem(IDCANCEL)));
}

void TDialog::DrawMenuBar()
{
    if (menuBar_)
        FillMenuBar(menuBar_, menu_.get());
}

void TDialog::WidgetReleased()
{
    menuBar_ = nullptr;
    if (menu_)
        SetClientWidget(nullptr);
}

int TDialog::MenuBarHeight()
{
    QMenuBar probe;
    probe.setNativeMenuBar(false);
    probe.addMenu(QStringLiteral("&File"));
    return probe.sizeHint().height();
}

void TDialog::SetDefaultId(int id)
{
    if (id == defaultId_)
        return;
    if (HWND old = GetDlgItem(defaultId_))
        ::SendMessage(old, BM_SETSTYLE, BS_PUSHBUTTON, 1);
    defaultId_ = id;
    if (HWND button = GetDlgItem(id))
        ::SendMessage(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, 1);
}

LRESULT TDialog::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case DM_GETDEFID:
        return defaultId_ ? MAKELRESULT(static_cast<WORD>(defaultId_), DC_HASDEFID) : 0;
    case DM_SETDEFID:
        SetDefaultId(static_cast<int>(wParam));
        return 1;
    case WM_NEXTDLGCTL:
        if (LOWORD(static_cast<std::uintptr_t>(lParam))) {
            MoveFocusTo(GetWindowPtr(reinterpret_cast<HWND>(wParam)), true);
        } else {
            MoveFocusTo(NextTabItem(FocusedControl(), wParam != 0), true, true);
        }
        return 0;
    default:
        return TWindow::DefWindowProc(msg, wParam, lParam);
    }
}

// ---------------------------------------------------------------- keyboard

std::vector<TWindow*> TDialog::TabList()
{
    // Controls of child dialogs (pages) are walked as if they were the dialog's own.
    std::vector<TWindow*> list;
    std::function<void(TWindow*)> collect = [&](TWindow* parent) {
        for (TWindow* child : parent->GetChildren()) {
            if (!child->IsWindow() || !(child->GetStyle() & WS_CHILD))
                continue;  // owned pop-ups (message boxes) are not the dialog's controls
            if (dynamic_cast<TDialog*>(child) && (child->GetStyle() & WS_CHILD)) {
                if (child->IsWindowVisible() && child->IsWindowEnabled())
                    collect(child);
                continue;
            }
            list.push_back(child);
        }
    };
    collect(this);
    return list;
}

TWindow* TDialog::FocusedControl()
{
    TWindow* focus = GetWindowPtr(GetFocus());
    if (!focus || (focus != this && !focus->IsChildOf(this)))
        return nullptr;
    const std::vector<TWindow*> list = TabList();
    for (TWindow* w = focus; w && w != this; w = w->GetParentO()) {
        if (std::find(list.begin(), list.end(), w) != list.end())
            return w;
    }
    return nullptr;
}

TWindow* TDialog::NextTabItem(TWindow* from, bool previous)
{
    const std::vector<TWindow*> list = TabList();
    const int n = static_cast<int>(list.size());
    if (n == 0)
        return nullptr;
    auto it = std::find(list.begin(), list.end(), from);
    int start = it == list.end() ? (previous ? 0 : n - 1) : static_cast<int>(it - list.begin());
    for (int step = 1; step <= n; ++step) {
        const int i = ((start + (previous ? -step : step)) % n + n) % n;
        TWindow* w = list[static_cast<std::size_t>(i)];
        if ((w->GetStyle() & WS_TABSTOP) && w->IsWindowVisible() && w->IsWindowEnabled())
            return w;
    }
    return nullptr;
}

TWindow* TDialog::NextGroupItem(TWindow* from, bool previous)
{
    const std::vector<TWindow*> group = GroupOf(TabList(), from);
    const auto it = std::find(group.begin(), group.end(), from);
    if (it == group.end())
        return nullptr;
    const int n = static_cast<int>(group.size());
    const int start = static_cast<int>(it - group.begin());
    for (int step = 1; step < n; ++step) {
        const int i = ((start + (previous ? -step : step)) % n + n) % n;
        TWindow* w = group[static_cast<std::size_t>(i)];
        if (w->IsWindowVisible() && w->IsWindowEnabled() &&
            !(w->SendMessage(WM_GETDLGCODE) & DLGC_STATIC))
            return w;
    }
    return nullptr;
}

void TDialog::MoveFocusTo(TWindow* control, bool selectText, bool toCheckedRadio)
{
    if (!control || !control->IsWindow())
        return;
    // Tabbing into a group of radio buttons lands on the checked one.
    if (toCheckedRadio && (control->SendMessage(WM_GETDLGCODE) & DLGC_RADIOBUTTON)) {
        if (control->SendMessage(BM_GETCHECK) != BST_CHECKED) {
            for (TWindow* w = NextGroupItem(control, false); w && w != control; w = NextGroupItem(w, false)) {
                if ((w->SendMessage(WM_GETDLGCODE) & DLGC_RADIOBUTTON) && w->SendMessage(BM_GETCHECK) == BST_CHECKED) {
                    control = w;
                    break;
                }
            }
        }
    }
    control->GetWidget()->setFocus(Qt::TabFocusReason);
    if (selectText && (control->SendMessage(WM_GETDLGCODE) & DLGC_HASSETSEL))
        control->SendMessage(EM_SETSEL, 0, -1);
}

TWindow* TDialog::FirstFocus()
{
    return NextTabItem(nullptr, false);
}

void TDialog::FocusFirstControl()
{
    if (FocusedControl())
        return;
    MoveFocusTo(FirstFocus(), true);
}

bool TDialog::PressButton(int id)
{
    HWND button = GetDlgItem(id);
    if (button && !::IsWindowEnabled(button))
        return true;  // a greyed default button does nothing
    SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), HandleToLParam(button));
    return true;
}

bool TDialog::HandleMnemonic(UINT ch)
{
    if (ch < 0x20)
        return false;
    const QChar wanted = QChar(static_cast<char16_t>(ch)).toLower();
    const std::vector<TWindow*> list = TabList();
    for (std::size_t i = 0; i < list.size(); ++i) {
        TWindow* w = list[i];
        if (!w->IsWindowVisible() || !w->IsWindowEnabled())
            continue;
        if (MnemonicOf(ToQString(w->GetWindowText())) != wanted)
            continue;
        const UINT code = static_cast<UINT>(w->SendMessage(WM_GETDLGCODE));
        if (code & DLGC_STATIC) {
            // A label's mnemonic goes to the control after it.
            for (std::size_t j = i + 1; j < list.size(); ++j) {
                if ((list[j]->GetStyle() & WS_TABSTOP) && list[j]->IsWindowVisible() && list[j]->IsWindowEnabled()) {
                    MoveFocusTo(list[j], true);
                    break;
                }
            }
            return true;
        }
        if (code & (DLGC_BUTTON | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_RADIOBUTTON)) {
            MoveFocusTo(w, false);
            w->SendMessage(BM_CLICK);
            return true;
        }
        MoveFocusTo(w, true);
        return true;
    }
    return false;
}

bool TDialog::PreProcessMsg(MSG& msg)
{
    if (TWindow::PreProcessMsg(msg))
        return true;
    // Pages inside a dialog leave the keyboard to the dialog around them.
    if (Attr.Style & WS_CHILD)
        return false;
    if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR)
        return false;
    TWindow* focus = GetWindowPtr(GetFocus());
    if (focus && focus != this && !focus->IsChildOf(this))
        focus = nullptr;
    const UINT code = focus ? static_cast<UINT>(focus->SendMessage(WM_GETDLGCODE, msg.wParam,
                                                                   reinterpret_cast<LPARAM>(&msg)))
                            : 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    // Alt with a letter reaches a label's or a button's mnemonic from any
    // control, even one that takes every key, such as a multi-line edit.
    if (msg.message == WM_CHAR && alt && !ctrl)
        return HandleMnemonic(static_cast<UINT>(msg.wParam));
    if (code & DLGC_WANTALLKEYS)
        return false;
    if (msg.message == WM_CHAR) {
        if ((code & DLGC_WANTCHARS) || ctrl || alt)
            return false;
        return HandleMnemonic(static_cast<UINT>(msg.wParam));
    }
    switch (msg.wParam) {
    case VK_TAB:
        if ((code & DLGC_WANTTAB) || ctrl || alt)
            return false;
        MoveFocusTo(NextTabItem(FocusedControl(), GetKeyState(VK_SHIFT) < 0), true, true);
        return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        if (code & DLGC_WANTARROWS)
            return false;
        TWindow* next = NextGroupItem(FocusedControl(), msg.wParam == VK_LEFT || msg.wParam == VK_UP);
        if (next) {
            MoveFocusTo(next, true);
            if (next->SendMessage(WM_GETDLGCODE) & DLGC_RADIOBUTTON)
                next->SendMessage(BM_CLICK);
        }
        return true;
    }
    case VK_RETURN: {
        const int id = (focus && IsPushButton(code)) ? focus->GetId() : (defaultId_ ? defaultId_ : IDOK);
        return PressButton(id);
    }
    case VK_ESCAPE:
        return PressButton(IDCANCEL);
    default:
        return false;
    }
}
