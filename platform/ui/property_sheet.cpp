#include "platform/ui/property_sheet.h"

#include "platform/ui/controls/button.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/property_page.h"
#include "platform/ui/window_api.h"

#include <QWidget>

#include <algorithm>

namespace {

// A sheet made on an MDI client is a child window, for an MDI child to carry.
TDialogTemplate SheetTemplate(TWindow* parent, const char* title)
{
    TDialogTemplate t;
    t.caption = title ? title : "";
    t.cx = 200;
    t.cy = 120;
    t.style = dynamic_cast<TMDIClient*>(parent) ? WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE
                                                : WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    return t;
}

// The system's measures of a sheet, in dialog units of its font.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;

// The size of the biggest page's template, at least 100 x 50 dialog units.
TSize LargestPage(const std::vector<TPropertyPage*>& pages, const TDialogUnits& units)
{
    TSize size(units.XToPixels(100), units.YToPixels(50));
    for (TPropertyPage* page : pages) {
        if (const TDialogTemplate* t = page->GetTemplate()) {
            const TRect r = page->MapDialogRect({0, 0, t->cx, t->cy});
            size.cx = std::max(size.cx, r.Width());
            size.cy = std::max(size.cy, r.Height());
        }
    }
    return size;
}

}  // namespace

const TResponseTable TPropertySheet::Responses{&TDialog::Responses, {
    OnCommand<&TPropertySheet::CmApply>(IDC_PROPSHEET_APPLYNOW),
    OnCommand<&TPropertySheet::CmHelp>(IDHELP),
    OnMessage<&TPropertySheet::EvNotify>(WM_NOTIFY),
}};

TPropertySheet::TPropertySheet(TWindow* parent, const char* title, UINT startPage, bool /*isWizard*/, DWORD flags,
                               TModule* module)
    : TDialog(parent, SheetTemplate(parent, title), module), startPage_(startPage), flags_(flags)
{
}

TPropertySheet::~TPropertySheet()
{
    if (IsWindow())
        TWindow::Destroy(IDCANCEL);
}

// ---------------------------------------------------------------- pages

TPropertyPage* TPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? pages_[static_cast<std::size_t>(index)] : nullptr;
}

int TPropertySheet::GetPageIndex(const TPropertyPage& page) const
{
    auto it = std::find(pages_.begin(), pages_.end(), &page);
    return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

TPropertyPage* TPropertySheet::GetCurrentPage() const
{
    return GetPage(current_);
}

void TPropertySheet::AddPage(TPropertyPage& page)
{
    if (GetPageIndex(page) >= 0)
        return;
    page.sheet_ = this;
    if (page.GetParentO() != this)
        page.SetParent(this);
    pages_.push_back(&page);
    if (!IsWindow())
        return;
    tabs_->Add(page.GetTitle().c_str());
    LayoutControls();
    // A page may be added from its own constructor: it is shown once it is whole.
    if (current_ < 0)
        PostMessage(PSM_SETCURSEL, static_cast<WPARAM>(GetPageCount() - 1));
}

void TPropertySheet::RemovePage(TPropertyPage& page)
{
    const int index = GetPageIndex(page);
    if (index < 0)
        return;
    const bool wasCurrent = index == current_;
    if (page.IsWindow())
        page.Destroy(0);
    pages_.erase(pages_.begin() + index);
    changed_.erase(&page);
    if (wasCurrent)
        current_ = -1;
    else if (current_ > index)
        --current_;
    if (IsWindow()) {
        tabs_->Delete(index);
        if (wasCurrent && !pages_.empty())
            ShowPage(std::min(index, GetPageCount() - 1));
        else
            tabs_->SetSel(current_);
        UpdateApply();
    }
    delete &page;
}

LRESULT TPropertySheet::NotifyPage(TPropertyPage& page, UINT code, LPARAM lParam)
{
    if (!page.IsWindow())
        return 0;
    TNotify notify;
    notify.hdr = {GetHandle(), 0, code};
    notify.lParam = lParam;
    return page.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
}

bool TPropertySheet::ShowPage(int index)
{
    TPropertyPage* page = GetPage(index);
    if (!page || !IsWindow())
        return false;
    if (!page->IsWindow()) {
        page->mayCreate_ = true;
        const bool made = page->Create();
        page->mayCreate_ = false;
        if (!made)
            return false;
        page->ShowWindow(SW_HIDE);
    }
    const TRect area = PageArea();
    page->MoveWindow(area.left, area.top, area.Width(), area.Height());
    if (NotifyPage(*page, PSN_SETACTIVE) == -1) {
        tabs_->SetSel(current_);
        return false;
    }
    if (TPropertyPage* old = GetCurrentPage(); old && old != page && old->IsWindow())
        old->ShowWindow(SW_HIDE);
    current_ = index;
    tabs_->SetSel(index);
    page->ShowWindow(SW_SHOW);
    // The focus goes to the page's first control, as when a tab is chosen.
    if (IsWindowVisible()) {
        for (TWindow* control : page->GetChildren()) {
            if ((control->GetStyle() & WS_TABSTOP) && control->IsWindowVisible() && control->IsWindowEnabled()) {
                control->SetFocus();
                break;
            }
        }
    }
    return true;
}

bool TPropertySheet::SelectPage(int index)
{
    if (!GetPage(index))
        return false;
    if (index == current_)
        return true;
    if (TPropertyPage* current = GetCurrentPage(); current && NotifyPage(*current, PSN_KILLACTIVE) != 0) {
        tabs_->SetSel(current_);
        return false;
    }
    return ShowPage(index);
}

bool TPropertySheet::SelectPage(TPropertyPage& page)
{
    return SelectPage(GetPageIndex(page));
}

// ---------------------------------------------------------------- apply, OK, Cancel, Help

void TPropertySheet::PageChanged(const TPropertyPage& page)
{
    changed_.insert(&page);
    UpdateApply();
}

void TPropertySheet::PageUnchanged(const TPropertyPage& page)
{
    changed_.erase(&page);
    UpdateApply();
}

void TPropertySheet::UpdateApply()
{
    if (apply_ && apply_->IsWindow())
        apply_->EnableWindow(!changed_.empty());
}

bool TPropertySheet::ApplyPages(bool closing)
{
    if (TPropertyPage* current = GetCurrentPage(); current && NotifyPage(*current, PSN_KILLACTIVE) != 0)
        return false;
    const std::vector<TPropertyPage*> pages = pages_;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        switch (NotifyPage(*pages[i], PSN_APPLY, closing ? 1 : 0)) {
        case PSNRET_INVALID:
            // The sheet shows the page whose data are wrong.
            ShowPage(GetPageIndex(*pages[i]));
            return false;
        case PSNRET_INVALID_NOCHANGEPAGE:
            return false;
        default:
            break;
        }
    }
    changed_.clear();
    UpdateApply();
    return true;
}

bool TPropertySheet::Apply()
{
    return ApplyPages(false);
}

void TPropertySheet::CmOk()
{
    if (ApplyPages(true))
        Destroy(IDOK);
}

void TPropertySheet::CmApply()
{
    ApplyPages(false);
}

void TPropertySheet::CmCancel()
{
    if (TPropertyPage* current = GetCurrentPage(); current && NotifyPage(*current, PSN_QUERYCANCEL) != 0)
        return;
    const std::vector<TPropertyPage*> pages = pages_;
    for (TPropertyPage* page : pages)
        NotifyPage(*page, PSN_RESET);
    Destroy(IDCANCEL);
}

void TPropertySheet::CmHelp()
{
    if (TPropertyPage* current = GetCurrentPage())
        NotifyPage(*current, PSN_HELP);
}

LRESULT TPropertySheet::EvNotify(WPARAM wParam, LPARAM lParam)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header || !tabs_ || header->hwndFrom != tabs_->GetHandle())
        return DefaultProcessing();
    (void)wParam;
    if (header->code == TCN_SELCHANGING) {
        TPropertyPage* current = GetCurrentPage();
        return current ? NotifyPage(*current, PSN_KILLACTIVE) : 0;
    }
    if (header->code == TCN_SELCHANGE && !ShowPage(tabs_->GetSel()))
        tabs_->SetSel(current_);
    return 0;
}

// ---------------------------------------------------------------- window

TTabControl* TPropertySheet::CreateTabControl(int id)
{
    return new TTabControl(this, id, 0, 0, 0, 0);
}

TButton* TPropertySheet::CreateButton(int id, const char* text, bool isDefault)
{
    return new TButton(this, id, text, 0, 0, 0, 0, isDefault);
}

void TPropertySheet::SetupWindow()
{
    TDialog::SetupWindow();
    // The sheet's own controls are its children: run again, it gets them
    // back with its window, so they are made on the first run only.
    if (!tabs_) {
        tabs_ = CreateTabControl(IDC_PROPSHEET_TABCONTROL);
        tabs_->Create();
        CreateButton(IDOK, "OK", true)->Create();
        CreateButton(IDCANCEL, "Cancel", false)->Create();
        if (!(flags_ & PSH_NOAPPLYNOW)) {
            apply_ = CreateButton(IDC_PROPSHEET_APPLYNOW, "&Apply", false);
            apply_->Create();
        }
        if (flags_ & PSH_HASHELP)
            CreateButton(IDHELP, "Help", false)->Create();
    }
    // A new run starts with nothing changed and no page shown.
    current_ = -1;
    changed_.clear();
    if (apply_)
        apply_->EnableWindow(false);
    SetDefaultId(IDOK);
    tabs_->DeleteAll();
    for (TPropertyPage* page : pages_)
        tabs_->Add(page->GetTitle().c_str());
    LayoutControls();
    if (!pages_.empty())
        ShowPage(std::min(static_cast<int>(startPage_), GetPageCount() - 1));
}

TRect TPropertySheet::PageArea() const
{
    if (!tabs_ || !tabs_->IsWindow())
        return {};
    const TRect display = tabs_->GetDisplayRect();
    const TPoint origin(tabs_->Attr.X, tabs_->Attr.Y);
    // Pages keep the size of the biggest page, also where a row of buttons
    // made the tab control wider.
    const TSize largest = LargestPage(pages_, GetDialogUnits());
    const int left = origin.x + display.left;
    const int top = origin.y + display.top;
    return {left, top, left + std::min(display.Width(), largest.cx), top + std::min(display.Height(), largest.cy)};
}

void TPropertySheet::LayoutControls()
{
    if (!IsWindow() || !tabs_)
        return;
    const TDialogUnits units = GetDialogUnits();
    // The display area is as big as the biggest page's template.
    const TSize largest = LargestPage(pages_, units);
    const int pageW = largest.cx;
    const int pageH = largest.cy;
    const int margin = units.XToPixels(kMargin);
    const int pad = TTabControl::DisplayMargin();
    const int buttonW = units.XToPixels(kButtonWidth);
    const int buttonH = units.YToPixels(kButtonHeight);
    const int gap = units.XToPixels(kButtonGap);
    std::vector<TWindow*> buttons;
    for (int id : {IDOK, IDCANCEL, IDC_PROPSHEET_APPLYNOW, IDHELP}) {
        if (TWindow* b = ChildWithId(id); b && b->IsWindow())
            buttons.push_back(b);
    }
    // The sheet is at least as wide as its row of buttons, however narrow
    // its pages are.
    const int count = static_cast<int>(buttons.size());
    const int rowW = count * buttonW + std::max(count - 1, 0) * gap;
    const int tabW = std::max(pageW + 2 * pad, rowW);
    const int tabH = tabs_->GetTabHeight() + pageH + 2 * pad;
    tabs_->MoveWindow(margin, margin, tabW, tabH);

    const int buttonY = margin + tabH + units.YToPixels(kMargin);
    int x = margin + tabW - static_cast<int>(buttons.size()) * buttonW - (static_cast<int>(buttons.size()) - 1) * gap;
    for (TWindow* b : buttons) {
        b->MoveWindow(x, buttonY, buttonW, buttonH);
        x += buttonW + gap;
    }
    const int width = margin + tabW + margin;
    const int height = buttonY + buttonH + margin;
    if (GetStyle() & WS_CHILD)
        SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    else
        GetWidget()->setFixedSize(width, height);
    const TRect area = PageArea();
    for (TPropertyPage* page : pages_) {
        if (page->IsWindow())
            page->MoveWindow(area.left, area.top, area.Width(), area.Height());
    }
}

LRESULT TPropertySheet::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto pageOf = [this](WPARAM index, LPARAM hwnd) -> TPropertyPage* {
        if (hwnd) {
            for (TPropertyPage* p : pages_) {
                if (p->GetHandle() == reinterpret_cast<HWND>(hwnd))
                    return p;
            }
            return nullptr;
        }
        return GetPage(static_cast<int>(index));
    };
    switch (msg) {
    case PSM_SETCURSEL: {
        TPropertyPage* page = pageOf(wParam, lParam);
        return page && SelectPage(*page) ? 1 : 0;
    }
    case PSM_REMOVEPAGE:
        if (TPropertyPage* page = pageOf(wParam, lParam))
            RemovePage(*page);
        return 0;
    case PSM_ADDPAGE:
        if (auto* page = reinterpret_cast<TPropertyPage*>(lParam)) {
            AddPage(*page);
            return 1;
        }
        return 0;
    case PSM_CHANGED:
    case PSM_UNCHANGED:
        if (TPropertyPage* page = pageOf(0, static_cast<LPARAM>(wParam))) {
            if (msg == PSM_CHANGED)
                PageChanged(*page);
            else
                PageUnchanged(*page);
        }
        return 0;
    case PSM_APPLY:
        return Apply() ? 1 : 0;
    case PSM_SETTITLE:
        SetWindowText(reinterpret_cast<const char*>(lParam));
        return 0;
    case PSM_GETTABCONTROL:
        return reinterpret_cast<LRESULT>(tabs_ ? tabs_->GetHandle() : nullptr);
    case PSM_GETCURRENTPAGEHWND:
        return reinterpret_cast<LRESULT>(GetCurrentPage() ? GetCurrentPage()->GetHandle() : nullptr);
    default:
        return TDialog::DefWindowProc(msg, wParam, lParam);
    }
}
