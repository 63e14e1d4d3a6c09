#include "plintvlr/pageedit/zorder_dlg.h"

#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/combo_elem.h"
#include "plintvlr/pageedit/arrange_string_ids.h"
#include "plintvlr/pageedit/item_list_box.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "plintvlr/shell/base/str.h"
#include "platform/base/embedded_file.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/sys_colors.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/resources.h"

#include <span>
#include <string>
#include <string_view>

std::span<const EmbeddedFile> ElementTypePictureFiles();

namespace {

void RegisterZOrderTemplate()
{
    const DWORD list = LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_MULTIPLESEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                       WS_VSCROLL | WS_BORDER | WS_TABSTOP;
    RegisterDialogTemplate(IDD_ZORDER, {Str(kStrZOrderCaption), 0, 0, 186, 160, WS_CHILD | WS_CAPTION,
        "MS Sans Serif", 8, {
        LText(Str(kStrZOrderHint), IDC_ZORDER_TEXT, 7, 6, 172, 9),
        ListBox(IDC_ZORDER_LIST, 7, 18, 172, 116, list),
        DefPushButton(Str(kStrZOrderOk), IDC_ZORDER_OK, 7, 140, 50, 14, WS_TABSTOP),
        PushButton(Str(kStrZOrderCancel), IDCANCEL, 68, 140, 50, 14, WS_TABSTOP),
        PushButton(Str(kStrZOrderHelp), IDHELP, 129, 140, 50, 14, WS_TABSTOP),
    }});
}

// Each picture file is named after the type word it stands for: "<word>.xpm".
void RegisterTypePictures()
{
    for (const EmbeddedFile& file : ElementTypePictureFiles()) {
        std::string_view name = file.name;
        name = name.substr(0, name.rfind('.'));
        RegisterBitmapResource(TResId(std::string(name).c_str()), file.data, file.size);
    }
}

}  // namespace

void RegisterZOrderResources()
{
    RegisterZOrderTemplate();
    RegisterTypePictures();
}

const TResponseTable ZOrderDlg::Responses{&TMDIDialog::Responses, {
    OnMessage<&ZOrderDlg::EvDrawItem>(WM_DRAWITEM),
    OnMessage<&ZOrderDlg::EvMeasureItem>(WM_MEASUREITEM),
    OnCommand<&ZOrderDlg::CmOk>(IDC_ZORDER_OK),
    OnMessage<&ZOrderDlg::MoveSelection>(kItemMoveMessage),
}};

ZOrderDlg::ZOrderDlg(TMDIClient* client, SizeRectManager& model, TModule* module)
    : TMDIDialog(client, IDD_ZORDER, IDD_ZORDER, kZOrderHelp, TResId(), true, module),
      model_(model),
      editor_(GetActivePageEditor()),
      list_(new ItemListBox(this, IDC_ZORDER_LIST))
{
    if (!FindDialogTemplate(IDD_ZORDER))
        RegisterZOrderResources();
}

ZOrderDlg::~ZOrderDlg() = default;

void ZOrderDlg::SetupWindow()
{
    TMDIDialog::SetupWindow();
    // Moving the dialog into its host sets it up a second time.
    FillList();
    saved_.Flush();
    model_.CollectSelected(saved_);
}

bool ZOrderDlg::PageIsThere() const
{
    return GetActivePageEditor() == editor_;
}

void ZOrderDlg::FillList()
{
    listed_.Flush();
    model_.CollectSelectedTopFirst(listed_);
    list_->ClearList();
    showsMembers_ = false;
    if (listed_.Count() == 1) {
        if (const auto* group = dynamic_cast<const ComboElem*>(listed_[0])) {
            members_.Flush();
            group->CopyMembersTo(members_);
            showsMembers_ = true;
        }
    }
    for (const auto& element : GetShown())
        list_->AddString(element->GetPositionText().c_str());
}

void ZOrderDlg::EvMeasureItem(UINT id, MEASUREITEMSTRUCT& item)
{
    if (id == IDC_ZORDER_LIST)
        item.itemHeight = kZOrderRowHeight;
}

void ZOrderDlg::EvDrawItem(UINT id, DRAWITEMSTRUCT& item)
{
    if (id != IDC_ZORDER_LIST || !item.hDC) {
        DefaultProcessing();
        return;
    }
    TDC& dc = *item.hDC;
    const TRect& row = item.rcItem;
    if (item.itemAction == ODA_FOCUS) {
        dc.DrawFocusRect(row);
        return;
    }
    if (item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
        const bool selected = item.itemState & ODS_SELECTED;
        const TColor back(GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        const TColor text(GetSysColor(selected ? COLOR_WINDOW : COLOR_WINDOWTEXT));
        dc.FillRect(row, TBrush(back));
        if (const SizeRect* element = GetShown().At(static_cast<int>(item.itemID))) {
            const int height = row.Height();
            TEXTMETRIC metrics{};
            dc.GetTextMetrics(metrics);
            dc.SetTextColor(text);
            dc.SetBkColor(back);
            const std::string position = element->GetPositionText();
            dc.TextOut(row.left + height + metrics.tmAveCharWidth, row.top + (height - metrics.tmHeight) / 2,
                       position.c_str());
            const TDib picture = LoadDibResource(GetModule(), TResId(element->GetTypeName().c_str()));
            if (picture.IsOK()) {
                dc.StretchDIBits(TRect(row.left, row.top, row.left + height, row.top + height),
                                 TRect(0, 0, picture.Width(), picture.Height()), picture);
            }
        }
    }
    if (item.itemState & ODS_FOCUS)
        dc.DrawFocusRect(row);
}

LRESULT ZOrderDlg::MoveSelection(WPARAM startRow, LPARAM targetRow)
{
    const int rows = list_->GetCount();
    const int start = static_cast<int>(startRow);
    const int target = static_cast<int>(targetRow);
    if (start < 0 || start >= rows || target < 0 || target >= rows || !PageIsThere())
        return 0;
    const int drop = target >= start ? target : target - 1;
    std::vector<int> positions;
    for (int row : list_->SelectedRows())
        positions.push_back(rows - 1 - row);
    if (positions.empty())
        return 0;
    const SizeRectManager::MovedBlock block =
        model_.MoveElements(static_cast<int>(positions.size()), positions.data(), rows - 1 - drop);
    FillList();
    list_->SetCaretIndex(target);
    for (int row = rows - 1 - block.last; row <= rows - 1 - block.first; ++row)
        list_->SetSel(row, true);
    return 0;
}

void ZOrderDlg::CmOk()
{
    if (PageIsThere()) {
        model_.SetModified();
        if (editor_)
            editor_->SetPageModified();
    }
    CloseWindow(IDOK);
}

void ZOrderDlg::CmCancel()
{
    // The selection leaves the page and the copies taken at the start go
    // back in their order, in front of the other elements. Once only: the
    // copies are the page's afterwards.
    if (!saved_.IsEmpty() && PageIsThere()) {
        listed_.Flush();
        model_.TakeOutSelection(listed_);
        model_.InsertElements(saved_, false);
    }
    TMDIDialog::CmCancel();
}
