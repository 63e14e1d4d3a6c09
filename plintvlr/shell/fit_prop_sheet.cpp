#include "plintvlr/shell/fit_prop_sheet.h"

#include "plintvlr/shell/win_positioner.h"
#include "platform/ui/messages.h"
#include "platform/ui/property_page.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_api.h"

#include <vector>

namespace {

// Moves and sizes without touching the z-order, redrawing or activating.
constexpr UINT kQuietPlace = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

// Tab, Enter and Escape, as keys and as the characters they type.
bool IsKeyTheControlsTake(UINT key)
{
    return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE;
}

bool IsKeyTheControlsTake(const MSG* msg)
{
    return msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) &&
           IsKeyTheControlsTake(static_cast<UINT>(msg->wParam));
}

// Escape on any of the sheet's controls is the sheet's Cancel.
void SendCancel(TWindow& sheet)
{
    sheet.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), HandleToLParam(sheet.GetDlgItem(IDCANCEL)));
}

}  // namespace

// ---------------------------------------------------------------- TFitPropSheet

const TResponseTable TFitPropSheet::Responses{&TPropertySheet::Responses, {
    OnMessage<&TFitPropSheet::EvTabFocus>(WM_TABFOCUS),
}};

TFitPropSheet::TFitPropSheet(TWindow* parent, const char* title, int startPage, int positionId, bool wizard,
                             DWORD flags, TModule* module)
    : TPropertySheet(parent, title, 0, wizard, flags, module), startPage_(startPage), positionId_(positionId)
{
}

TFitPropSheet::~TFitPropSheet() = default;

TTabControl* TFitPropSheet::CreateTabControl(int id)
{
    return new TTabTabCtrl(this, id);
}

TButton* TFitPropSheet::CreateButton(int id, const char* text, bool isDefault)
{
    return new TTabButton(this, id, text, isDefault);
}

void TFitPropSheet::SetupWindow()
{
    TPropertySheet::SetupWindow();
    Fit();
    if (positionId_ != 0)
        TWinPositioner(positionId_).Restore(GetParentO() ? GetParentO()->GetHandle() : nullptr, GetHandle(), false);
    ModifyExStyle(WS_EX_CONTEXTHELP, 0);
    SendMessage(WM_NCPAINT);
    PostMessage(PSM_SETCURSEL, static_cast<WPARAM>(startPage_), 0);
    MoveCursorToDefaultButton(GetHandle());
}

void TFitPropSheet::CleanupWindow()
{
    if (positionId_ != 0 && GetParentO())
        TWinPositioner(positionId_).Save(GetParentO()->GetHandle(), GetHandle());
    TPropertySheet::CleanupWindow();
}

void TFitPropSheet::Fit()
{
    TTabControl* tabs = GetTabControl();
    TPropertyPage* page = GetCurrentPage();
    if (!tabs || !page || !page->IsWindow())
        return;
    TRect sheet = GetWindowRect();
    TRect tab = tabs->GetWindowRect();
    const TRect pageRect = page->GetWindowRect();
    const int a = tab.left - sheet.left;
    const int b = pageRect.left - sheet.left;
    const int c = GetSystemMetrics(SM_CXBORDER);
    const int needed = pageRect.Width() + 2 * (a + b + c);
    // A sheet is only ever narrowed.
    if (sheet.Width() <= needed)
        return;
    sheet.right = sheet.left + needed;
    tab.right = sheet.right - a;
    MoveChildTo(*tabs, tab);
    SetWindowPos(nullptr, 0, 0, sheet.Width(), sheet.Height(), kQuietPlace | SWP_NOMOVE);

    // The buttons, from the right: Help, Apply, Cancel, OK, centred under
    // the tab control.
    std::vector<TWindow*> row;
    for (int id : {IDHELP, IDC_PROPSHEET_APPLYNOW, IDCANCEL, IDOK}) {
        if (TWindow* button = ChildWithId(id); button && button->IsWindow())
            row.push_back(button);
    }
    TWindow* ok = ChildWithId(IDOK);
    if (!ok || !ok->IsWindow())
        return;
    const TRect okRect = ok->GetWindowRect();
    const int n = static_cast<int>(row.size());
    int w = tab.Width() / n;
    const int gap = w / 8;
    w -= gap;
    if (okRect.Width() < w)
        w = okRect.Width();
    const int total = n * w + (n - 1) * gap;
    const int m = (tab.Width() - total) / 2;
    int right = tab.right - m;
    for (TWindow* button : row) {
        MoveChildTo(*button, {right - w, okRect.top, right, okRect.bottom});
        right -= w + gap;
    }
}

void TFitPropSheet::MoveChildTo(TWindow& control, const TRect& screenRect)
{
    const TPoint topLeft = ScreenToClient({screenRect.left, screenRect.top});
    const TPoint bottomRight = ScreenToClient({screenRect.right, screenRect.bottom});
    control.SetWindowPos(nullptr, topLeft.x, topLeft.y, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y,
                         kQuietPlace);
}

void TFitPropSheet::EnableApply(bool enable)
{
    if (TWindow* apply = ChildWithId(IDC_PROPSHEET_APPLYNOW))
        apply->EnableWindow(enable);
}

TWindow* TFitPropSheet::Usable(int id) const
{
    TWindow* control = ChildWithId(id);
    return control && control->IsWindow() && control->IsWindowEnabled() ? control : nullptr;
}

LRESULT TFitPropSheet::EvTabFocus(WPARAM controlId, LPARAM)
{
    TWindow* next = nullptr;
    switch (static_cast<int>(controlId)) {
    case IDC_PROPSHEET_TABCONTROL: {
        TPropertyPage* page = GetCurrentPage();
        if (!page || !page->IsWindow())
            break;
        next = page;
        if (firstFocus_) {
            firstFocus_ = false;
            if (TWindow* first = page->NextTabItem(nullptr, false))
                next = first;
        }
        break;
    }
    case IDOK:
        next = Usable(IDCANCEL);
        break;
    case IDCANCEL:
        next = Usable(IDC_PROPSHEET_APPLYNOW);
        if (!next)
            next = Usable(IDHELP);
        if (!next)
            next = GetTabControl();
        break;
    case IDC_PROPSHEET_APPLYNOW:
        next = Usable(IDHELP);
        if (!next)
            next = GetTabControl();
        break;
    case IDHELP:
        next = GetTabControl();
        break;
    default:
        break;
    }
    if (next)
        next->SetFocus();
    return 1;
}

// ---------------------------------------------------------------- the wrappers

namespace {

UINT DlgCodeWithKeys(TWindow& control, const MSG* msg)
{
    const auto code = static_cast<UINT>(control.DefaultProcessing());
    return IsKeyTheControlsTake(msg) ? code | DLGC_WANTALLKEYS : code;
}

// Tab moves on from the control, Escape is Cancel; Enter presses `enter`
// (the button itself, or for the tab control the sheet's OK). False for
// any other key.
bool PassKeyToSheet(TWindow& control, UINT key, int enter)
{
    TWindow* sheet = control.GetParentO();
    if (!sheet || !IsKeyTheControlsTake(key))
        return false;
    switch (key) {
    case VK_TAB:
        sheet->SendMessage(WM_TABFOCUS, static_cast<WPARAM>(control.GetId()), 0);
        break;
    case VK_RETURN:
        if (HWND button = sheet->GetDlgItem(enter))
            sheet->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(enter), BN_CLICKED), HandleToLParam(button));
        break;
    default:
        SendCancel(*sheet);
        break;
    }
    return true;
}

}  // namespace

const TResponseTable TTabTabCtrl::Responses{&TTabControl::Responses, {
    OnMessage<&TTabTabCtrl::EvGetDlgCode>(WM_GETDLGCODE),
    OnMessage<&TTabTabCtrl::EvKeyDown>(WM_KEYDOWN),
    OnMessage<&TTabTabCtrl::EvChar>(WM_CHAR),
}};

TTabTabCtrl::~TTabTabCtrl() = default;

UINT TTabTabCtrl::EvGetDlgCode(const MSG* msg)
{
    return DlgCodeWithKeys(*this, msg);
}

void TTabTabCtrl::EvKeyDown(UINT key, UINT, UINT)
{
    if (!PassKeyToSheet(*this, key, IDOK))
        DefaultProcessing();
}

void TTabTabCtrl::EvChar(UINT ch, UINT, UINT)
{
    // The key did its work already; the character it types must not move
    // the focus a second time.
    if (!IsKeyTheControlsTake(ch))
        DefaultProcessing();
}

const TResponseTable TTabButton::Responses{&TButton::Responses, {
    OnMessage<&TTabButton::EvGetDlgCode>(WM_GETDLGCODE),
    OnMessage<&TTabButton::EvKeyDown>(WM_KEYDOWN),
    OnMessage<&TTabButton::EvChar>(WM_CHAR),
}};

TTabButton::~TTabButton() = default;

UINT TTabButton::EvGetDlgCode(const MSG* msg)
{
    return DlgCodeWithKeys(*this, msg);
}

void TTabButton::EvKeyDown(UINT key, UINT, UINT)
{
    if (!PassKeyToSheet(*this, key, GetId()))
        DefaultProcessing();
}

void TTabButton::EvChar(UINT ch, UINT, UINT)
{
    if (!IsKeyTheControlsTake(ch))
        DefaultProcessing();
}
