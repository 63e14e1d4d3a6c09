#include "plintvlr/pageedit/graph_editor.h"

#include "plintvlr/db/id_counter.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/elements/font_dialog.h"
#include "plintvlr/elements/pt_pickup_dlg.h"
#include "plintvlr/pageedit/draw_window.h"
#include "plintvlr/pageedit/editor_string_ids.h"
#include "plintvlr/pageedit/fkey_bar.h"
#include "plintvlr/pageedit/indicator_bar.h"
#include "plintvlr/pageedit/page_summary.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/frame_string_ids.h"
#include "plintvlr/shell/graph_printout.h"
#include "plintvlr/shell/main_frame.h"
#include "plintvlr/shell/mdi_client_win.h"
#include "plintvlr/shell/mdi_dialog.h"
#include "plintvlr/shell/text_printout.h"
#include "plintvlr/tables/recipe_groups.h"
#include "platform/base/embedded_file.h"
#include "platform/base/profile.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/menu.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_api.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

std::span<const EmbeddedFile> PageEditorPictureFiles();

namespace {

constexpr int kPageMode = SizeRectManager::kPageMode;
constexpr const char* kIcon = "rectp";
constexpr DWORD kHelpContext = 123;
constexpr UINT kCmAskSave = 300;
// The position of Close in an MDI child's system menu.
constexpr UINT kCloseItemPosition = 6;
// A record read back in one piece whatever its length.
constexpr std::uint16_t kLargestRecord = 0xFFFF;

adatabase& Database()
{
    return _QSglobals.GetDatabase();
}

tpsummary* Summary()
{
    return Database().GetPageSummary();
}

int Ask(HWND owner, const std::string& text, int caption, UINT flags)
{
    return TApp::MessageBox(TApp::Current(), owner, text.c_str(), Str(caption), flags);
}

int Ask(HWND owner, int text, int caption, UINT flags)
{
    return Ask(owner, std::string(Str(text)), caption, flags);
}

// A text with one %d filled in.
std::string FormatNumber(int text, int n)
{
    char buffer[300];
    std::snprintf(buffer, sizeof buffer, Str(text), n);
    return buffer;
}

}  // namespace

const TResponseTable TGraphEditor::Responses{&TDecoratedMDIChild::Responses, {
    OnCommand<&TGraphEditor::CmZoomIn>(CM_ZOOMIN),
    OnCommandEnable<&TGraphEditor::CeZoomIn>(CM_ZOOMIN),
    OnCommand<&TGraphEditor::CmZoomOut>(CM_ZOOMOUT),
    OnCommandEnable<&TGraphEditor::CeZoomOut>(CM_ZOOMOUT),
    OnCommand<&TGraphEditor::CmNewPage>(CM_NEWRECORD),
    OnCommand<&TGraphEditor::CmDeletePage>(CM_DELETERECORD),
    OnCommand<&TGraphEditor::CmPreviousPage>(CM_PREVIOUSRECORD),
    OnCommandEnable<&TGraphEditor::CePreviousNext>(CM_PREVIOUSRECORD),
    OnCommand<&TGraphEditor::CmNextPage>(CM_NEXTRECORD),
    OnCommandEnable<&TGraphEditor::CePreviousNext>(CM_NEXTRECORD),
    OnCommand<&TGraphEditor::CmSave>(CM_SAVERECORD),
    OnCommandEnable<&TGraphEditor::CeSave>(CM_SAVERECORD),
    OnCommand<&TGraphEditor::CmBrowser>(CM_BROWSER),
    OnCommand<&TGraphEditor::CmPrintText>(CM_PRINTTEXT),
    OnCommand<&TGraphEditor::CmPrintGraphics>(CM_PRINTGRAPHICS),
    OnCommand<&TGraphEditor::CmChooseFont>(CM_CHOOSEFONT),
    OnCommandEnable<&TGraphEditor::CeChooseFont>(CM_CHOOSEFONT),
    OnCommand<&TGraphEditor::CmHelpTopic>(CM_CURRENTTOPIC),
    OnCommand<&TGraphEditor::CmAskSave>(kCmAskSave),
    OnCommand<&TGraphEditor::CmFunctionKey<1>>(TFKeyBar::kFirstKeyCommand),
    OnCommand<&TGraphEditor::CmFunctionKey<2>>(TFKeyBar::kFirstKeyCommand + 1),
    OnCommand<&TGraphEditor::CmFunctionKey<3>>(TFKeyBar::kFirstKeyCommand + 2),
    OnCommand<&TGraphEditor::CmFunctionKey<4>>(TFKeyBar::kFirstKeyCommand + 3),
    OnCommand<&TGraphEditor::CmFunctionKey<5>>(TFKeyBar::kFirstKeyCommand + 4),
    OnCommand<&TGraphEditor::CmFunctionKey<6>>(TFKeyBar::kFirstKeyCommand + 5),
    OnCommand<&TGraphEditor::CmFunctionKey<7>>(TFKeyBar::kFirstKeyCommand + 6),
    OnCommand<&TGraphEditor::CmFunctionKey<8>>(TFKeyBar::kFirstKeyCommand + 7),
    OnMessage<&TGraphEditor::EvNCMouseMove>(WM_NCMOUSEMOVE),
    OnMessage<&TGraphEditor::EvInitMenu>(WM_INITMENU),
}};

TGraphEditor::TGraphEditor(TMDIClient& parent, const char* title, DrawWindow* canvas, TModule* module)
    : TDecoratedMDIChild(parent, title, canvas, TResId(kIcon), false, false, module), canvas_(canvas),
      panel_(Database().GetPanelType())
{
    indicator_ = new TIndicatorBar(this, panel_.type);
    Insert(*indicator_, Top);
    auto currentKey = [this] { return canvas_ ? Model().GetCurrentKey() : 0; };
    // The second row lies at the very bottom, under the first.
    if (TFKeyBar::HasSecondRow(panel_.type)) {
        secondKeyBar_ = new TFKeyBar(this, panel_.type, TFKeyBar::TRow::Second, currentKey);
        Insert(*secondKeyBar_, Bottom);
    }
    if (panel_.functionKeyCount > 0) {
        keyBar_ = new TFKeyBar(this, panel_.type, TFKeyBar::TRow::Main, currentKey);
        Insert(*keyBar_, Bottom);
    }
    zoom_ = ReadZoomLevel();
    stored_ = true;
}

TGraphEditor::~TGraphEditor()
{
    if (GetActivePageEditor() == this)
        SetActivePageEditor(nullptr);
    if (GetPageBrowserEditor() == this)
        SetPageBrowserEditor(nullptr);
    WritePrivateProfileString(Str(kStrSectionApp), Str(kStrKeyNewScaleFactor), std::to_string(zoom_).c_str(),
                              Str(kStrProfileFileName));
}

int TGraphEditor::ReadZoomLevel()
{
    // A value that is no number reads as 0.
    const int level =
        GetPrivateProfileInt(Str(kStrSectionApp), Str(kStrKeyNewScaleFactor), 0, Str(kStrProfileFileName));
    return std::clamp(level, kMinZoom, kMaxZoom);
}

SizeRectManager& TGraphEditor::Model() const
{
    return canvas_->GetModel();
}

void TGraphEditor::SetupWindow()
{
    TDecoratedMDIChild::SetupWindow();
    page_ = 0;
    stored_ = true;
    SetActivePageEditor(this);
    SetPageBrowserEditor(this);
    const int first = FirstStoredPage() ? FirstStoredPage() : 1;
    const int loaded = LoadIntoCanvas(first);
    // A damaged first page is shown as itself, so that saving never lands
    // on another page's number.
    page_ = loaded ? loaded : unreadable_ ? first : 1;
    _QSglobals.SetCurrentPage(page_);
    indicator_->SetPage(page_);
    ReloadFunctionKeys();
    // A project with no protocol on either port asks for one first.
    int portCode = 0;
    if (Database().GetPortProtocol(1, portCode) == -1 && Database().GetPortProtocol(2, portCode) == -1) {
        if (HWND main = GetMainWindowHandle())
            ::PostMessage(main, WM_COMMAND, CM_PROTOCOLTYPE, 0);
    }
    ResizeToZoom();
}

void TGraphEditor::CleanupWindow()
{
    // Element code and the browser must not reach a canvas that is going.
    if (GetActivePageEditor() == this)
        SetActivePageEditor(nullptr);
    if (GetPageBrowserEditor() == this)
        SetPageBrowserEditor(nullptr);
    TDecoratedMDIChild::CleanupWindow();
}

// ------------------------------------------------------------------ saving

bool TGraphEditor::IsModified()
{
    return canvas_ && canvas_->IsWindow() && Model().IsModified();
}

void TGraphEditor::Save()
{
    CmSave();
}

void TGraphEditor::CmSave()
{
    if (SavePage())
        TellBrowser(page_, kPageOpenedOrSaved);
}

void TGraphEditor::CeSave(TCommandEnabler& enabler)
{
    enabler.Enable(Model().IsModified());
}

bool TGraphEditor::SavePage()
{
    const bool wasStored = IsStoredPage(page_);
    if (unreadable_ && Ask(GetHandle(), FormatNumber(kStrSaveOverDamaged, page_), kStrDamagedPageCaption,
                           MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return false;
    GetBitmapLibrary().WriteNameFile();
    if (!canvas_->SavePage(kPageMode, static_cast<std::uint32_t>(page_)))
        return false;
    unreadable_ = false;
    if (!wasStored) {
        if (tpsummary* summary = Summary())
            summary->IncrementCount();
        stored_ = true;
    }
    return true;
}

bool TGraphEditor::AskSave()
{
    bool asked = false;
    if (Model().IsModified() || !stored_) {
        const int answer = Ask(GetHandle(), kStrDoYouWantToSave, kStrGraphicPageChanged, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL)
            return false;
        if (answer == IDNO) {
            // The database keeps what it has.
            Model().SetModified(false);
            stored_ = true;
            return true;
        }
        asked = true;
    } else if (unreadable_) {
        // Nothing was changed on a page that could not be read: its stored
        // record stays as it is.
        return true;
    }
    if (!SavePage())
        return false;
    if (asked)
        TellBrowser(page_, kPageOpenedOrSaved);
    Model().SetModified(false);
    return true;
}

// ------------------------------------------------------------------- pages

int TGraphEditor::MaxPage() const
{
    return std::min(panel_.GetMaxPages(), tpsummary::kMaxPageNumber);
}

bool TGraphEditor::IsStoredPage(int n) const
{
    const tpsummary* summary = Summary();
    return summary && n >= 1 && summary->IsStored(n);
}

int TGraphEditor::FirstStoredPage() const
{
    for (int n = 1; n <= MaxPage(); ++n) {
        if (IsStoredPage(n))
            return n;
    }
    return 0;
}

int TGraphEditor::PageCount() const
{
    const tpsummary* summary = Summary();
    return (summary ? summary->GetCount() : 0) + (stored_ ? 0 : 1);
}

bool TGraphEditor::StoredRecordExists(int n) const
{
    std::vector<std::uint8_t> buffer(kLargestRecord);
    std::uint16_t length = kLargestRecord;
    return Database().GetPage(static_cast<std::uint32_t>(n), buffer.data(), length) != 5;
}

int TGraphEditor::LoadIntoCanvas(int n)
{
    unreadable_ = false;
    const int loaded = canvas_->LoadPage(kPageMode, static_cast<std::uint32_t>(n));
    if (loaded == 0 && StoredRecordExists(n)) {
        // Shown empty, but the stored record is kept until the engineer
        // saves over it: nothing is lost by looking at it.
        unreadable_ = true;
        Model().SetModified(false);
        Ask(GetHandle(), FormatNumber(kStrPageUnreadable, n), kStrDamagedPageCaption, MB_OK | MB_ICONEXCLAMATION);
    } else if (Model().WasReadInPart()) {
        Ask(GetHandle(), FormatNumber(kStrPageReadInPart, n), kStrDamagedPageCaption, MB_OK | MB_ICONEXCLAMATION);
    }
    return loaded;
}

void TGraphEditor::OpenPage(int n)
{
    page_ = n;
    _QSglobals.SetCurrentPage(n);
    indicator_->SetPage(n);
    LoadIntoCanvas(n);
    stored_ = IsStoredPage(n) || unreadable_;
    UpdateAllFunctionKeyLegends();
    Model().SetModified(false);
    TellBrowser(n, kPageOpenedOrSaved);
}

void TGraphEditor::GoToPage(int n)
{
    if (n == page_)
        return;
    if (AskSave())
        OpenPage(n);
    else
        TellBrowser(page_, kPageShown);
}

bool TGraphEditor::CanClose()
{
    if (!AskSave())
        return false;
    CloseBrowser();
    return true;
}

void TGraphEditor::CmNewPage()
{
    if (!AskSave())
        return;
    int found = 0;
    for (int n = page_ + 1; n <= MaxPage() && !found; ++n) {
        if (!IsStoredPage(n))
            found = n;
    }
    for (int n = 1; n < page_ && !found; ++n) {
        if (!IsStoredPage(n))
            found = n;
    }
    if (!found) {
        Ask(GetHandle(), kStrNoMorePagesAvailable, kStrNewGraphicPage, MB_OK | MB_ICONEXCLAMATION);
        OpenPage(page_);
        return;
    }
    OpenPage(found);
    stored_ = false;
}

void TGraphEditor::CmDeletePage()
{
    if (Ask(GetHandle(), kStrAreYouSureDelete, kStrDeleteGraphicPage, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const int deleted = page_;
    if (IsStoredPage(deleted) || unreadable_) {
        Database().DeletePage(static_cast<std::uint32_t>(deleted));
        if (tpsummary* summary = Summary(); summary && summary->IsStored(deleted))
            summary->Remove(deleted);
        TIdCounter usage;
        if (usage.RemovePage(static_cast<std::uint32_t>(deleted))) {
            if (TRecipeArray* recipes = GetProjectRecipeList()) {
                TIdCounter all;
                if (all.LoadAll())
                    recipes->ApplyUseCounts(all);
            }
        }
    }
    if (FirstStoredPage() == 0) {
        OpenPage(1);
        stored_ = false;
        TellBrowser(deleted, kPageDeleted);
        Ask(GetHandle(), kStrLastPageDeleted, kStrApplicationMessage, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    int next = 0;
    for (int n = deleted - 1; n >= 1 && !next; --n) {
        if (IsStoredPage(n))
            next = n;
    }
    for (int n = deleted + 1; n <= MaxPage() && !next; ++n) {
        if (IsStoredPage(n))
            next = n;
    }
    OpenPage(next ? next : 1);
    TellBrowser(deleted, kPageDeleted);
    TellBrowser(page_, kPageShown);
}

void TGraphEditor::StepToPage(bool forward)
{
    if (!AskSave())
        return;
    // The nearest stored page that way, else round from the other end.
    int found = 0;
    if (forward) {
        for (int n = page_ + 1; n <= MaxPage() && !found; ++n)
            found = IsStoredPage(n) ? n : 0;
        for (int n = 1; n < page_ && !found; ++n)
            found = IsStoredPage(n) ? n : 0;
    } else {
        for (int n = page_ - 1; n >= 1 && !found; --n)
            found = IsStoredPage(n) ? n : 0;
        for (int n = MaxPage(); n > page_ && !found; --n)
            found = IsStoredPage(n) ? n : 0;
    }
    if (!found) {
        Ask(GetHandle(), kStrNoMorePagesInDatabase, kStrApplicationMessage, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    OpenPage(found);
    TellBrowser(found, kPageShown);
}

void TGraphEditor::CmPreviousPage()
{
    StepToPage(false);
}

void TGraphEditor::CmNextPage()
{
    StepToPage(true);
}

void TGraphEditor::CePreviousNext(TCommandEnabler& enabler)
{
    enabler.Enable(PageCount() > 1);
}

void TGraphEditor::CmAskSave()
{
    AskSave();
}

void TGraphEditor::MarkModified()
{
    Model().SetModified(true);
}

// -------------------------------------------------------------------- zoom

void TGraphEditor::CmZoomIn()
{
    if (zoom_ < kMaxZoom) {
        ++zoom_;
        ResizeToZoom();
    }
}

void TGraphEditor::CmZoomOut()
{
    if (zoom_ > kMinZoom) {
        --zoom_;
        ResizeToZoom();
    }
}

void TGraphEditor::CeZoomIn(TCommandEnabler& enabler)
{
    enabler.Enable(zoom_ < kMaxZoom);
}

void TGraphEditor::CeZoomOut(TCommandEnabler& enabler)
{
    enabler.Enable(zoom_ > kMinZoom);
}

void TGraphEditor::ResizeToZoom()
{
    if (!IsWindow())
        return;
    // Text panels have small screens: they are shown two steps larger.
    const int scale = zoom_ + 1 + (IsTextPanel() ? 2 : 0);
    const TRect window = GetWindowRect();
    const TRect client = GetClientRect();
    int width = scale * panel_.displayWidth + window.Width() - client.Width();
    int height = scale * panel_.displayHeight + window.Height() - client.Height();
    for (TWindow* bar : std::initializer_list<TWindow*>{indicator_, keyBar_, secondKeyBar_}) {
        if (bar && bar->IsWindow())
            height += bar->GetWindowRect().Height();
    }
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    LayoutKeyBars();
}

void TGraphEditor::LayoutKeyBars()
{
    for (TFKeyBar* bar : {keyBar_, secondKeyBar_}) {
        if (bar)
            bar->LayoutButtons();
    }
}

// ---------------------------------------------------------------- printing

std::string TGraphEditor::PrintTitle() const
{
    char name[15] = {};
    Database().GetName(name, sizeof name);
    char version[11] = {};
    Database().FormatVersion(version, sizeof version);
    const char* shownVersion = version[0] == ' ' ? version + 1 : version;
    char title[64];
    std::snprintf(title, sizeof title, Str(kStrPrintTitle), name, shownVersion);
    return title;
}

void TGraphEditor::StopAnimation()
{
    // The animation command stops a running animation.
    if (canvas_->IsAnimating())
        canvas_->SendMessage(WM_COMMAND, CM_ANIMATION);
}

void TGraphEditor::CmPrintText()
{
    MDIFrame* frame = MDIFrame::GetMainFrame();
    if (!frame || !frame->GetPrinter())
        return;
    StopAnimation();
    TextPrintout printout(PrintTitle().c_str(), page_, Model().GetElements());
    frame->Print(this, printout);
}

void TGraphEditor::CmPrintGraphics()
{
    MDIFrame* frame = MDIFrame::GetMainFrame();
    if (!frame || !frame->GetPrinter())
        return;
    StopAnimation();
    GraphPrintout printout(PrintTitle().c_str(), page_, *canvas_);
    frame->Print(this, printout);
}

// ------------------------------------------------------------- the others

void TGraphEditor::CmBrowser()
{
    OpenBrowser();
}

void TGraphEditor::CmChooseFont()
{
    auto* dialog = new fontDlg(GetMDIClient(), this);
    dialog->Create();
}

void TGraphEditor::CeChooseFont(TCommandEnabler& enabler)
{
    enabler.Enable(panel_.type == 9 || panel_.type == 11 || panel_.type == 14);
}

void TGraphEditor::CmHelpTopic()
{
    ShowHelpTopic(GetHandle(), kHelpContext);
}

void TGraphEditor::FunctionKey(int key)
{
    // A second press on the current key opens its editor.
    Model().SelectFunctionKey(key);
    InvalidateBars();
}

LRESULT TGraphEditor::EvNCMouseMove(WPARAM, LPARAM)
{
    const LRESULT result = DefaultProcessing();
    if (pickup_ && canvas_->IsPickupMode()) {
        if (PtPickupDlg* dialog = GetOpenPickupDialog(); dialog && dialog->IsWindow()) {
            if (TWindow* host = dialog->GetHost())
                host->BringWindowToTop();
            else
                dialog->BringWindowToTop();
        }
    }
    return result;
}

void TGraphEditor::EvInitMenu(WPARAM menu, LPARAM lParam)
{
    TNoSizingMDIChild::EvInitMenu(menu, lParam);
    GetSystemMenu().EnableMenuItem(kCloseItemPosition, MF_BYPOSITION | (pickup_ ? MF_GRAYED : MF_ENABLED));
}

void TGraphEditor::SetPickupMode(bool on)
{
    pickup_ = on;
    canvas_->SetPickupFlag(on);
    for (TFKeyBar* bar : {keyBar_, secondKeyBar_}) {
        if (bar && bar->IsWindow())
            bar->EnableWindow(!on);
    }
    GetSystemMenu().EnableMenuItem(kCloseItemPosition, MF_BYPOSITION | (on ? MF_GRAYED : MF_ENABLED));
    // The sheet that started the pick-up keeps the editor disabled; the
    // pick-up needs the canvas, so the editor is enabled directly while it
    // lasts, past the count of the sheets that hold it.
    EnableWindow(on);
    if (on) {
        if (auto* client = dynamic_cast<TMDIClient*>(GetParentO()))
            client->SendMessage(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(GetHandle()));
        BringWindowToTop();
    }
}

void TGraphEditor::SetSelectionFont(int fontNumber)
{
    canvas_->SetSelectionFont(fontNumber);
}

void TGraphEditor::InvalidateBars()
{
    for (TFKeyBar* bar : {keyBar_, secondKeyBar_}) {
        if (bar && bar->IsWindow())
            bar->Invalidate();
    }
}

void TGraphEditor::EditEmbeddedCommsBlocks()
{
    Model().EditEmbeddedCommsBlocks();
}

// ----------------------------------------------------------- function keys

int TGraphEditor::KeyCount() const
{
    return panel_.functionKeyCount;
}

void TGraphEditor::ReloadFunctionKeys()
{
    Model().ReloadGraphicKeys();
    UpdateAllFunctionKeyLegends();
}

void TGraphEditor::UpdateAllFunctionKeyLegends()
{
    if (IsTextPanel())
        return;
    for (int key = 1; key <= KeyCount(); ++key)
        UpdateFunctionKeyLegend(key);
}

void TGraphEditor::UpdateFunctionKeyLegend(int key)
{
    // Text panels keep their "F1" ... labels.
    if (IsTextPanel() || !keyBar_)
        return;
    keyBar_->SetKeyText(key, Model().GetFunctionKeyLegend(key).c_str());
}

void TGraphEditor::RemoveFunctionKey(int key)
{
    Model().RemoveFunctionKey(key);
    Model().ReloadGraphicKeys();
    if (!IsTextPanel())
        UpdateFunctionKeyLegend(key);
}

// ------------------------------------------------ the page for element code

void TGraphEditor::InvalidateLogicalRect(const TRect& rect)
{
    canvas_->InvalidateLogicalRect(rect);
}

TRect TGraphEditor::LogicalToDeviceRect(const TRect& rect) const
{
    return canvas_->LogicalToDeviceRect(rect);
}

TRect TGraphEditor::DeviceToLogicalRect(const TRect& rect) const
{
    return canvas_->DeviceToLogicalRect(rect);
}

void TGraphEditor::SetPageModified()
{
    Model().SetModified(true);
}

bool TGraphEditor::IsAnimating() const
{
    return canvas_->IsAnimating();
}

TMDIClient* TGraphEditor::GetMDIClient() const
{
    return TDecoratedMDIChild::GetMDIClient();
}

TWindow* TGraphEditor::GetMessageOwner() const
{
    return const_cast<TGraphEditor*>(this);
}

void TGraphEditor::InvalidateAll()
{
    canvas_->InvalidateAll();
}

int TGraphEditor::GetBackgroundColor() const
{
    return canvas_->GetBackgroundColor();
}

void TGraphEditor::SetBackgroundColor(int index)
{
    canvas_->SetBackgroundColor(index);
}

void TGraphEditor::SetCursorPos(const TPoint& point)
{
    indicator_->SetCursorPos(point);
}

void TGraphEditor::SetObjectPos(const TPoint& value, bool position)
{
    indicator_->SetObjectPos(value, position);
}

const TouchGrid* TGraphEditor::GetTouchGrid() const
{
    return canvas_->GetTouchGrid();
}

// ------------------------------------------------------------ registration

void RegisterPageEditor()
{
    // The canvas's Edit, Layout and Graphics commands come with the editor,
    // and the page browser's Cut, Copy and Paste of whole pages.
    RegisterPageCanvasCommands();
    RegisterPageBrowserCommands();
    RegisterEditorFactory(TEditorKind::GraphicPages, [](TMDIClientWin& client, const TEditorRequest&) {
        auto* editor = new TGraphEditor(client, Str(kStrGraphicPageEditor), new DrawWindow);
        if (!editor->Create()) {
            delete editor;
            return TEditorWindows{};
        }
        return TEditorWindows{editor, editor};
    });
    for (UINT id : {CM_SAVERECORD, CM_DELETERECORD, CM_NEWRECORD, CM_PREVIOUSRECORD, CM_NEXTRECORD, CM_BROWSER,
                    CM_ZOOMIN, CM_ZOOMOUT, CM_PRINTTEXT, CM_PRINTGRAPHICS, CM_CHOOSEFONT})
        RegisterWindowCommand(id);
    if (const EmbeddedFile* icon = FindEmbeddedFile(PageEditorPictureFiles(), "rectp.xpm"))
        RegisterIconResource(kIcon, icon->data, icon->size);
}

// ------------------------------------------------------------ page browser

void TGraphEditor::TellBrowser(int page, int code) const
{
    NotifyPageBrowser(page, code);
}

void TGraphEditor::OpenBrowser()
{
    OpenPageBrowser(GetMDIClient(), page_);
}

void TGraphEditor::CloseBrowser()
{
    ClosePageBrowser();
}

void TGraphEditor::SetTemplatePage(int page)
{
    canvas_->SetTemplatePage(page);
}

void TGraphEditor::LoadElementsFromRecord(const std::vector<std::uint8_t>& record)
{
    canvas_->LoadElementsFromRecord(record);
}
