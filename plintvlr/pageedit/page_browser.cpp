#include "plintvlr/pageedit/page_browser.h"

#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/pageedit/browser_string_ids.h"
#include "plintvlr/pageedit/page_summary.h"
#include "plintvlr/pageedit/page_transfer.h"
#include "plintvlr/pageedit/pageedit_string_ids.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "plintvlr/shell/win_positioner.h"
#include "platform/ui/command_enabler.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

namespace {

PageBrowserEditor* browsedEditor = nullptr;
tppickDlg* openBrowser = nullptr;
tppickDlg* openPicker = nullptr;

// The page editor's help topic: the browser and the picker are part of it.
constexpr int kPageEditorHelp = 123;
// The one tab stop of the list, in dialog units.
constexpr int kListTabStop = 32;
// Copy reads a stored page with this much room above the panel's page size.
constexpr int kCopyReadRoom = 511;
// Cut and Copy take pages of at least this many bytes (a page number and more).
constexpr int kSmallestCopiedPage = 4;

void RegisterBrowserTemplate()
{
    RegisterDialogTemplate(IDD_PAGE_BROWSER, {Str(kStrGraphicsBrowser), 0, 0, 150, 150, WS_CHILD | WS_CAPTION,
        "MS Sans Serif", 8, {
        LText(Str(kStrBrowserPage), IDC_BROWSER_PAGE_LABEL, 9, 5, 30, 8),
        LText(Str(kStrBrowserBytes), IDC_BROWSER_BYTES_LABEL, 41, 5, 40, 8),
        ListBox(IDC_BROWSER_LIST, 7, 15, 84, 128, LBS_NOTIFY | LBS_USETABSTOPS | WS_VSCROLL | WS_BORDER | WS_TABSTOP),
        PushButton("", IDC_BROWSER_TOGGLE, 98, 15, 45, 14, WS_TABSTOP),
        PushButton(Str(kStrBrowserClose), IDCANCEL, 98, 33, 45, 14, WS_TABSTOP),
        PushButton(Str(kStrBrowserHelp), IDHELP, 98, 51, 45, 14, WS_TABSTOP),
    }});
}

tpsummary* Summary()
{
    return _QSglobals.GetDatabase().GetPageSummary();
}

bool IsStored(int page)
{
    const tpsummary* summary = Summary();
    return summary && summary->IsStored(page);
}

int StoredSize(int page)
{
    const tpsummary* summary = Summary();
    return summary ? summary->GetSize(page) : 0;
}

std::string RowText(int page, int size)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d\t%d", page, size);
    return text;
}

// The page number a row starts with; 0 when it does not start with one.
int RowPage(const std::string& row)
{
    return std::atoi(row.c_str());
}

int Ask(HWND owner, const char* text, const char* caption)
{
    return TApp::MessageBox(nullptr, owner, text, caption, MB_YESNO | MB_ICONQUESTION);
}

void Tell(HWND owner, const char* text, const char* caption, UINT icon)
{
    TApp::MessageBox(nullptr, owner, text, caption, MB_OK | icon);
}

tppickDlg* Open(tppickDlg* open, TMDIClient* client, int page, bool templateMode)
{
    if (open) {
        if (open->GetHost())
            open->GetHost()->BringWindowToTop();
        else
            open->BringWindowToTop();
        return open;
    }
    auto* dialog = new tppickDlg(client, page, templateMode);
    if (!dialog->Create())
        return nullptr;
    return dialog;
}

void Close(tppickDlg* open)
{
    if (open && open->IsWindow())
        open->SendMessage(WM_CLOSE);
}

}  // namespace

PageBrowserEditor* GetPageBrowserEditor()
{
    return browsedEditor;
}

void SetPageBrowserEditor(PageBrowserEditor* editor)
{
    browsedEditor = editor;
}

tppickDlg* GetOpenPageBrowser()
{
    return openBrowser;
}

tppickDlg* GetOpenTemplatePicker()
{
    return openPicker;
}

tppickDlg* OpenPageBrowser(TMDIClient* client, int currentPage)
{
    return Open(openBrowser, client, currentPage, false);
}

tppickDlg* OpenTemplatePicker(TMDIClient* client, int templatePage)
{
    return Open(openPicker, client, templatePage, true);
}

void NotifyPageBrowser(int page, int code)
{
    if (openBrowser && openBrowser->IsWindow())
        openBrowser->SendMessage(WM_PAGECHANGED, static_cast<WPARAM>(page), code);
}

void ClosePageBrowser()
{
    Close(openBrowser);
}

void CloseTemplatePicker()
{
    Close(openPicker);
}

void RegisterPageBrowserCommands()
{
    for (UINT command : {CM_CUT, CM_COPY, CM_PASTE})
        RegisterWindowCommand(command);
}

// --- The dialog ---------------------------------------------------------------

const TResponseTable tppickDlg::Responses{&TMDIDialog::Responses, {
    OnCommand<&tppickDlg::CmToggle>(IDC_BROWSER_TOGGLE),
    OnCommand<&tppickDlg::CmSelectCurrentPage>(CM_SELECTCURRENTPAGE),
    OnCommand<&tppickDlg::CmHelpButton>(IDHELP),
    OnNotify<&tppickDlg::EvSelChange>(IDC_BROWSER_LIST, LBN_SELCHANGE),
    OnMessage<&tppickDlg::EvPageChanged>(WM_PAGECHANGED),
    OnCommand<&tppickDlg::CmCut>(CM_CUT),
    OnCommand<&tppickDlg::CmCopy>(CM_COPY),
    OnCommand<&tppickDlg::CmPaste>(CM_PASTE),
    OnCommandEnable<&tppickDlg::CeCutCopy>(CM_CUT),
    OnCommandEnable<&tppickDlg::CeCutCopy>(CM_COPY),
    OnCommandEnable<&tppickDlg::CePaste>(CM_PASTE),
}};

tppickDlg::tppickDlg(TMDIClient* client, int initialPage, bool templateMode)
    : TMDIDialog(client, IDD_PAGE_BROWSER, 0, kPageEditorHelp, TResId(), false),
      initialPage_(initialPage),
      templateMode_(templateMode),
      list_(new TListBox(this, IDC_BROWSER_LIST))
{
    if (!FindDialogTemplate(IDD_PAGE_BROWSER))
        RegisterBrowserTemplate();
    if (templateMode_)
        SetCaption(Str(kStrAddTemplatePage));
}

tppickDlg::~tppickDlg()
{
    Unregister();
}

void tppickDlg::Unregister()
{
    if (openBrowser == this)
        openBrowser = nullptr;
    if (openPicker == this)
        openPicker = nullptr;
}

void tppickDlg::SetupWindow()
{
    TMDIDialog::SetupWindow();
    (templateMode_ ? openPicker : openBrowser) = this;
    SetDlgItemText(IDC_BROWSER_TOGGLE, Str(kStrBrowserExpand));
    const int stops[] = {kListTabStop};
    list_->SetTabStops(1, stops);
    FillList();
    if (templateMode_) {
        SetDlgItemText(IDC_BROWSER_TOGGLE, Str(kStrBrowserOk));
        SetDlgItemText(IDCANCEL, Str(kStrBrowserCancel));
        SetDefaultId(IDC_BROWSER_TOGGLE);
        MoveCursorToDefaultButton(GetHandle());
    }
    SelectPageRow(initialPage_);
}

void tppickDlg::CleanupWindow()
{
    // A closed window's object stays with its parent until that goes; the
    // next Browser or Add Template then opens a new one.
    Unregister();
    TMDIDialog::CleanupWindow();
}

int tppickDlg::MaxPage() const
{
    return std::min(Quellstor(_QSglobals.GetDatabase().GetPanelType()).GetMaxPages(), tpsummary::kMaxPageNumber);
}

void tppickDlg::FillList()
{
    list_->ClearList();
    const int last = MaxPage();
    for (int page = 1; page <= last; ++page) {
        if (expanded_ || IsStored(page))
            list_->AddString(RowText(page, StoredSize(page)).c_str());
    }
}

int tppickDlg::FindPageRow(int page) const
{
    const std::string prefix = std::to_string(page) + "\t";
    for (int row = 0; row < list_->GetCount(); ++row) {
        if (list_->GetString(row).starts_with(prefix))
            return row;
    }
    return -1;
}

int tppickDlg::SelectPageRow(int page)
{
    const int row = FindPageRow(page);
    list_->SetSelIndex(row);
    return row;
}

int tppickDlg::GetSelectedPage() const
{
    const int row = list_->GetSelIndex();
    int page = 0;
    if (row >= 0)
        page = expanded_ ? row + 1 : RowPage(list_->GetString(row));
    return page >= 1 && page <= MaxPage() ? page : 1;
}

PageBrowserEditor* tppickDlg::EnabledEditor() const
{
    PageBrowserEditor* editor = browsedEditor;
    if (!editor)
        return nullptr;
    TWindow* window = editor->GetEditorWindow();
    return !window || window->IsWindowEnabled() ? editor : nullptr;
}

bool tppickDlg::ShowInEditor(PageBrowserEditor& editor, int page)
{
    if (_QSglobals.GetCurrentPage() != page)
        editor.GoToPage(page);
    return _QSglobals.GetCurrentPage() == page;
}

void tppickDlg::CmToggle()
{
    if (templateMode_) {
        AddTemplate();
        return;
    }
    expanded_ = !expanded_;
    SetDlgItemText(IDC_BROWSER_TOGGLE, Str(expanded_ ? kStrBrowserCollapse : kStrBrowserExpand));
    FillList();
    CmSelectCurrentPage();
}

void tppickDlg::CmSelectCurrentPage()
{
    const tpsummary* summary = Summary();
    if (!summary || summary->GetCount() == 0) {
        list_->SetSelIndex(-1);
        return;
    }
    const int current = _QSglobals.GetCurrentPage();
    if (expanded_)
        list_->SetSelIndex(current >= 1 ? current - 1 : -1);
    else
        SelectPageRow(current);
}

void tppickDlg::CmHelpButton()
{
    CmHelp();
}

void tppickDlg::EvSelChange()
{
    if (templateMode_)
        return;
    if (PageBrowserEditor* editor = EnabledEditor())
        editor->GoToPage(GetSelectedPage());
}

LRESULT tppickDlg::EvPageChanged(WPARAM wParam, LPARAM lParam)
{
    const int page = static_cast<int>(wParam);
    const int code = static_cast<int>(lParam);
    int row = SelectPageRow(page);
    if (code != kPageOpenedOrSaved && code != kPageDeleted)
        return 0;
    if (row < 0) {
        if (!IsStored(page))
            return 0;
        int before = 0;
        while (before < list_->GetCount() && RowPage(list_->GetString(before)) <= page)
            ++before;
        list_->InsertString(RowText(page, StoredSize(page)).c_str(), before);
        list_->SetSelIndex(before);
    } else if (code == kPageDeleted && !expanded_) {
        list_->DeleteString(row);
    } else {
        const std::string text = list_->GetString(row);
        const std::size_t tab = text.find('\t');
        // Rows are short and their numbers few digits; anything else is left alone.
        if (text.size() < 30 && tab != std::string::npos && tab < 6) {
            list_->DeleteString(row);
            row = list_->InsertString((text.substr(0, tab + 1) + std::to_string(StoredSize(page))).c_str(), row);
            list_->SetSelIndex(row);
        }
    }
    return 0;
}

void tppickDlg::AddTemplate()
{
    if (PageBrowserEditor* editor = browsedEditor) {
        const int page = GetSelectedPage();
        const int size = StoredSize(page);
        const int limit = Quellstor(_QSglobals.GetDatabase().GetPanelType()).GetMaxTemplateSize();
        if (size > limit) {
            char text[256];
            std::snprintf(text, sizeof text, Str(kStrTemplateTooLarge), size, limit);
            Tell(GetHandle(), text, Str(kStrPageTooLarge), MB_ICONSTOP);
        } else {
            editor->SetTemplatePage(page);
        }
    }
    CloseWindow(IDOK);
}

// --- Whole pages on the clipboard ---------------------------------------------

bool tppickDlg::CanCopySelected() const
{
    // Without a selected row the selected page would read as page 1, which
    // the user did not choose.
    const int page = GetSelectedPage();
    return !templateMode_ && list_->GetSelIndex() >= 0 && IsStored(page) && StoredSize(page) >= kSmallestCopiedPage;
}

void tppickDlg::CeCutCopy(TCommandEnabler& enabler)
{
    enabler.Enable(CanCopySelected());
}

void tppickDlg::CePaste(TCommandEnabler& enabler)
{
    enabler.Enable(!templateMode_ && IsPageOnClipboard());
}

bool tppickDlg::CopyPage(int page)
{
    const Quellstor panel(_QSglobals.GetDatabase().GetPanelType());
    // Room for the largest record the panel stores, so that no stored page is
    // too long to copy.
    const int room = std::max(panel.GetMaxPageSize() + kCopyReadRoom, LargestPageRecord(panel));
    std::vector<std::uint8_t> record;
    try {
        record.resize(static_cast<std::size_t>(room));
    } catch (const std::bad_alloc&) {
        TApp::MessageBox(nullptr, nullptr, Str(kStrBrowserNoMemoryText), Str(kStrBrowserNoMemoryCaption),
                         MB_OK | MB_ICONSTOP);
        return false;
    }
    std::uint16_t length = static_cast<std::uint16_t>(record.size());
    if (_QSglobals.GetDatabase().GetPage(static_cast<std::uint32_t>(page), record.data(), length) != 0)
        return false;
    record.resize(length);
    TWindow* editor = browsedEditor ? browsedEditor->GetEditorWindow() : nullptr;
    return PutPageOnClipboard(editor ? editor->GetHandle() : GetHandle(), record, panel.type);
}

void tppickDlg::CmCopy()
{
    // An editor that is held by an element sheet is left alone.
    if (!CanCopySelected() || (browsedEditor && !EnabledEditor()))
        return;
    CopyPage(GetSelectedPage());
}

void tppickDlg::CmCut()
{
    if (!CanCopySelected() || (browsedEditor && !EnabledEditor()))
        return;
    const int page = GetSelectedPage();
    if (browsedEditor) {
        // The editor's own Delete Record asks, deletes the page it shows and
        // tells the browser; so that page must be the one copied.
        if (!ShowInEditor(*browsedEditor, page) || !browsedEditor->GetEditorWindow())
            return;
        if (CopyPage(page))
            browsedEditor->GetEditorWindow()->SendMessage(WM_COMMAND, CM_DELETEPAGERECORD);
        return;
    }
    if (Ask(GetHandle(), Str(kStrDeletePageAsk), Str(kStrDeletePageCaption)) != IDYES)
        return;
    if (!CopyPage(page))
        return;
    if (tpsummary* summary = Summary())
        summary->Remove(page);
    _QSglobals.GetDatabase().DeletePage(static_cast<std::uint32_t>(page));
    FillList();
    if (Summary() && Summary()->GetCount() == 0) {
        Tell(GetHandle(), Str(kStrBrowserLastPageDeleted), Str(kStrApplicationMessage), MB_ICONEXCLAMATION);
        list_->SetSelIndex(-1);
    }
}

void tppickDlg::CmPaste()
{
    if (templateMode_ || list_->GetSelIndex() < 0)
        return;
    PageBrowserEditor* editor = EnabledEditor();
    if (!editor || !IsPageOnClipboard())
        return;
    const Quellstor panel(_QSglobals.GetDatabase().GetPanelType());
    TWindow* window = editor->GetEditorWindow();
    std::vector<std::uint8_t> record;
    // The block is checked before anything is asked or changed.
    switch (TakePageFromClipboard(window ? window->GetHandle() : GetHandle(), panel, record)) {
    case PageBlock::Good:
        break;
    case PageBlock::Busy:
        return;
    case PageBlock::NotAPage:
        Tell(GetHandle(), Str(kStrNotAPageOnClipboard), Str(kStrApplicationMessage), MB_ICONEXCLAMATION);
        return;
    case PageBlock::OtherPanel:
        Tell(GetHandle(), Str(kStrPageOfOtherPanel), Str(kStrApplicationMessage), MB_ICONEXCLAMATION);
        return;
    }
    // The page goes into the editor's model, which must be that page's.
    const int page = GetSelectedPage();
    if (!ShowInEditor(*editor, page))
        return;
    if (IsStored(page)) {
        char text[256];
        std::snprintf(text, sizeof text, Str(kStrDestroyPageText), page);
        if (Ask(GetHandle(), text, Str(kStrDestroyPageCaption)) != IDYES)
            return;
    }
    _QSglobals.SetCurrentPage(page);
    editor->LoadElementsFromRecord(record);
    editor->MarkModified();
    if (window)
        window->Invalidate();
    editor->UpdateAllFunctionKeyLegends();
}
