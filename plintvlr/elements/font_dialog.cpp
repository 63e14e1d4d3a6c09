#include "plintvlr/elements/font_dialog.h"

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "platform/gdi/sys_colors.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_api.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/element_page_templates.h"
#include "plintvlr/elements/font_manager.h"
#include "plintvlr/elements/font_tree.h"
#include "plintvlr/elements/text_string_ids.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/command_registry.h"

#include <algorithm>

namespace {

// A shown name this long takes no tab before its cost.
constexpr std::size_t kNoTabLength = 19;

fontmanager* Fonts()
{
    return _QSglobals.GetDatabase().GetFontManager();
}

// A child's rectangle in the dialog's client coordinates.
TRect ChildRect(const TWindow& dialog, int id)
{
    TRect r;
    if (!GetWindowRect(dialog.GetDlgItem(id), &r))
        return {};
    return TRect(dialog.ScreenToClient(r.TopLeft()), dialog.ScreenToClient(r.BottomRight()));
}

}  // namespace

// --- Panes ------------------------------------------------------------------

TSample::TSample(TWindow* parent) : TWindow(parent)
{
    Attr.Style = WS_CHILD | WS_VISIBLE;
}

void TSample::Paint(TDC& dc, bool, TRect&)
{
    const TRect client = GetClientRect();
    dc.FillRect(client, TBrush(TColor::SysMenu));
    if (face_.empty())
        return;
    const PanelSize cell = fontmanager::GetInstalledCellSize(face_.c_str());
    dc.SelectObject(TFont(face_.c_str(), cell.cy, cell.cx, 0, 0, FW_NORMAL));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(TColor::Black);
    TRect box = client;
    dc.DrawText(Str(kStrFontSample), -1, box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

TUsage::TUsage(TWindow* parent) : TWindow(parent)
{
    Attr.Style = WS_CHILD | WS_VISIBLE;
}

void TUsage::SetUsage(long long used, long long total)
{
    used_ = used;
    total_ = total;
    if (IsWindow())
        Invalidate();
}

void TUsage::Paint(TDC& dc, bool, TRect&)
{
    const TRect client = GetClientRect();
    dc.FillRect(client, TBrush(TColor::SysWindow));
    if (total_ <= 0)
        return;
    const long long used = std::clamp(used_, 0LL, total_);
    TRect bar = client;
    bar.right = bar.left + static_cast<int>(client.Width() * used / total_);
    dc.FillRect(bar, TBrush(TColor::Sys(COLOR_ACTIVECAPTION)));
}

// --- The dialog ---------------------------------------------------------------

void RegisterFontDialogTemplate()
{
    RegisterDialogTemplate(IDD_FONT, {"Font", 0, 0, 272, 150, WS_CHILD | WS_CAPTION, "MS Sans Serif", 8, {
        ListBox(IDC_FONT_LIST, 7, 7, 150, 116,
                LBS_NOTIFY | LBS_SORT | LBS_USETABSTOPS | WS_VSCROLL | WS_BORDER | WS_TABSTOP),
        PushButton("&Remove from Database", IDC_FONT_REMOVE, 7, 129, 150, 14, WS_TABSTOP),
        GroupBox("Sample", IDC_FONT_SAMPLE_BOX, 165, 3, 100, 62),
        GroupBox("Database Used", IDC_FONT_USAGE_BOX, 165, 69, 100, 40),
        DefPushButton("OK", IDOK, 165, 129, 30, 14, WS_TABSTOP),
        PushButton("Cancel", IDCANCEL, 200, 129, 30, 14, WS_TABSTOP),
        PushButton("Help", IDHELP, 235, 129, 30, 14, WS_TABSTOP),
    }});
}

void RegisterPanelFontServices()
{
    RegisterFrameLifeSteps(FreeFontTree, FreeFontTree);
}

const TResponseTable fontDlg::Responses{&TMDIDialog::Responses, {
    OnCommand<&fontDlg::CmOk>(IDOK),
    OnCommand<&fontDlg::CmRemove>(IDC_FONT_REMOVE),
    OnCommand<&fontDlg::CmHelpButton>(IDHELP),
    OnNotify<&fontDlg::EvSelChange>(IDC_FONT_LIST, LBN_SELCHANGE),
}};

fontDlg::fontDlg(TMDIClient* client, TWindow* disabled)
    : TMDIDialog(client, IDD_FONT, IDD_FONT, kFontDialogHelp, kFontDialogIcon, false),
      list_(new TListBox(this, IDC_FONT_LIST)),
      remove_(new TButton(this, IDC_FONT_REMOVE)),
      sample_(new TSample(this)),
      usage_(new TUsage(this)),
      disabled_(disabled)
{
    RegisterElementPageTemplates();  // the dialog's icon among them
    if (!FindDialogTemplate(IDD_FONT))
        RegisterFontDialogTemplate();
}

fontDlg::~fontDlg() = default;

std::string fontDlg::LineOf(const std::string& shownName, const std::string& cost)
{
    return shownName + (shownName.size() >= kNoTabLength ? "" : "\t") + cost;
}

void fontDlg::SetupWindow()
{
    TMDIDialog::SetupWindow();
    if (disabled_ && disabled_->IsWindow())
        disabled_->EnableWindow(false);

    const TRect sampleBox = ChildRect(*this, IDC_FONT_SAMPLE_BOX);
    TRect r = sampleBox;
    r.top += sampleBox.Height() / 3;
    r.bottom -= sampleBox.Height() / 12;
    r.left += sampleBox.Width() / 32;
    r.right -= sampleBox.Width() / 32;
    sample_->MoveWindow(r);
    const TRect usageBox = ChildRect(*this, IDC_FONT_USAGE_BOX);
    r = usageBox;
    r.top += usageBox.Height() / 2;
    r.bottom -= usageBox.Height() / 7;
    r.left += usageBox.Width() / 24;
    r.right -= usageBox.Width() / 24;
    usage_->MoveWindow(r);

    const int stops[] = {84};
    list_->SetTabStops(1, stops);
    // Set up again when the dialog moves into its host: the list starts afresh.
    list_->ClearList();
    const fontmanager* fonts = Fonts();
    for (int i = 0; const char* face = fontmanager::GetInstalledFace(i); ++i) {
        const std::size_t cost = fontmanager::GetFontFileSize(face);
        if (cost == 0)
            continue;
        std::string shown = face;
        ToShownName(shown);
        std::string costText = std::to_string(cost);
        if (fonts && fonts->IsPanelFont(face))
            costText = Str(kStrFontPermanent);
        else if (fonts && fonts->FindFont(face) != -1)
            costText = Str(kStrFontLoaded);
        list_->AddString(LineOf(shown, costText).c_str());
    }
    if (fonts) {
        std::string shown = fonts->GetFontName(fonts->GetDefaultFont());
        ToShownName(shown);
        list_->SetSelString(shown.c_str(), -1);
    }
    UpdateRemoveButton();
    UpdateSample();
    UpdateUsage();
}

void fontDlg::CleanupWindow()
{
    if (disabled_ && disabled_->IsWindow())
        disabled_->EnableWindow(true);
    TMDIDialog::CleanupWindow();
}

std::string fontDlg::SelectedFace() const
{
    const int index = list_->GetSelIndex();
    if (index < 0)
        return {};
    std::string line = list_->GetString(index);
    line = line.substr(0, line.find('\t'));
    // A name long enough to take no tab runs straight into its cost.
    if (line.size() > kNoTabLength) {
        for (const auto& face : GetFontTree().Faces()) {
            std::string shown = face.face;
            ToShownName(shown);
            if (line.compare(0, shown.size(), shown) == 0) {
                line = shown;
                break;
            }
        }
    }
    ToFileName(line);
    return line;
}

void fontDlg::UpdateRemoveButton()
{
    const std::string face = SelectedFace();
    const fontmanager* fonts = Fonts();
    const bool stored = fonts && !face.empty() && fonts->FindFont(face.c_str()) > 0 && !fonts->IsPanelFont(face.c_str());
    remove_->EnableWindow(stored);
}

void fontDlg::UpdateSample()
{
    sample_->SetFace(SelectedFace());
    if (sample_->IsWindow()) {
        sample_->Invalidate();
        sample_->UpdateWindow();
    }
}

void fontDlg::UpdateUsage()
{
    const adatabase& db = _QSglobals.GetDatabase();
    const long long used = db.GetUsedSize();
    usage_->SetUsage(used, used + db.GetFreeSize());
}

void fontDlg::EvSelChange()
{
    UpdateRemoveButton();
    UpdateSample();
}

void fontDlg::CmHelpButton()
{
    CmHelp();
}

void fontDlg::CmRemove()
{
    fontmanager* fonts = Fonts();
    const std::string face = SelectedFace();
    const int n = fonts && !face.empty() ? fonts->FindFont(face.c_str()) : -1;
    if (n <= 0)
        return;
    if (n == fonts->GetDefaultFont()) {
        TApp::MessageBox(nullptr, GetHandle(), Str(kStrCannotDeleteDefaultFont), Str(kStrFontChoiceProblem), MB_OK);
        return;
    }
    fonts->RemoveFont(n);
    const std::size_t cost = fontmanager::GetFontFileSize(face.c_str());
    if (cost == 0) {
        list_->DeleteString(list_->GetSelIndex());
    } else {
        std::string shown = face;
        ToShownName(shown);
        const int at = list_->FindString(shown.c_str(), -1);
        if (at >= 0)
            list_->DeleteString(at);
        const int added = list_->AddString(LineOf(shown, std::to_string(cost)).c_str());
        list_->SetSelIndex(added);
    }
    UpdateUsage();
    UpdateRemoveButton();
}

void fontDlg::CmOk()
{
    fontmanager* fonts = Fonts();
    const std::string face = SelectedFace();
    if (!fonts || face.empty()) {
        CloseWindow(IDOK);
        return;
    }
    int n = fonts->FindFont(face.c_str());
    if (n < 0) {
        n = fonts->FindFreeNumber();
        if (n < 1 || n >= fontmanager::kFontCount) {
            TApp::MessageBox(nullptr, GetHandle(), Str(kStrFontsFull), Str(kStrFontChoiceProblem), MB_OK);
            return;
        }
        if (!fonts->AddFont(n, face.c_str())) {
            const fonttree::Face* entry = GetFontTree().Find(face);
            const std::string text = std::string(Str(kStrFontFileReadFailed)) + (entry ? entry->file : face);
            TApp::MessageBox(nullptr, GetHandle(), text.c_str(), Str(kStrFileAccessError), MB_OK | MB_ICONSTOP);
            return;
        }
    }
    fonts->SetDefaultFont(static_cast<std::uint8_t>(n));
    if (ActivePageEditor* editor = GetActivePageEditor())
        editor->SetSelectionFont(n);
    CloseWindow(IDOK);
}
