#include "plintvlr/elements/edit_bmp_sheet.h"

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/sys_colors.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/check_box.h"
#include "platform/ui/controls/combo_box.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_api.h"
#include "plintvlr/db/atag.h"
#include "plintvlr/db/tag_reference.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/bitmap_elem_string_ids.h"
#include "plintvlr/elements/blink_page.h"
#include "plintvlr/elements/bmppick_dlg.h"
#include "plintvlr/elements/dyn_fill_sheet.h"
#include "plintvlr/elements/element_page_templates.h"
#include "plintvlr/elements/element_string_ids.h"
#include "plintvlr/elements/tag_combo_box.h"
#include "plintvlr/elements/tags_point_page.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/controls/bmpbtn.h"
#include "plintvlr/shell/controls/value_edit.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace {

constexpr DWORD kPageStyle = WS_CHILD | DS_CONTROL;

// The controls each type shows (the tag's label and box go with every type
// but Static).
const std::vector<int> kTypeControls[4] = {
    {104, 706, IDC_BMP_STATIC_BITMAP},
    {246, IDC_BMP_DATA_TYPE, 211, IDC_BMP_STATE_00, IDC_BMP_STATE_01, IDC_BMP_STATE_10, IDC_BMP_STATE_11, 567, 279,
     280, 281, 278, 277, IDC_BMP_STATE_10_LABEL, IDC_BMP_STATE_11_LABEL},
    {106, 105, 282, IDC_BMP_LIMIT_DEFAULT, IDC_BMP_HIGH_BOX, 232, IDC_BMP_HIGH_BITMAP, IDC_BMP_HIGH_VALUE,
     IDC_BMP_LOW_BOX, 941, IDC_BMP_LOW_BITMAP, IDC_BMP_LOW_VALUE},
    {107, 197, 702, IDC_BMP_LIST_DEFAULT, 161, 162, IDC_BMP_LIST, IDC_BMP_ADD, IDC_BMP_REMOVE, IDC_BMP_CHANGE},
};

const int kDefaultBitmapButtons[] = {IDC_BMP_STATIC_BITMAP, IDC_BMP_LIMIT_DEFAULT, IDC_BMP_LIST_DEFAULT};

// Numbers in the texts of the list are written and read in the "C" locale.
long double ParseValue(const std::string& text)
{
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    return strtold_l(text.c_str(), nullptr, c);
}

std::string FormatValue(long double value, int decimals)
{
    return FormatText(FormatText("%%.%dLf", decimals).c_str(), value);
}

// The analog tag of a reference, or a blank one (Unsigned Word, no decimals).
atag TagFacts(int reference)
{
    atag tag;
    const auto ref = static_cast<std::uint16_t>(reference);
    if ((ref & kTagRefBit) == 0 && (ref & kTagRefNumberMask) != 0 && tag.Read(ref & kTagRefNumberMask))
        return tag;
    return atag();
}

void RegisterBitmapPageTemplate()
{
    const char* bmpbtn = Bmpbtn::GetClassName();
    const DWORD button = WS_TABSTOP;
    const DWORD frame = SS_BLACKFRAME;
    auto picture = [&](int id, int x, int y) { return Control("", id, bmpbtn, button, x, y, 23, 21); };
    auto pictureFrame = [&](int id, int x, int y) { return Control("", id, "STATIC", frame, x - 2, y - 2, 27, 25); };
    std::vector<TDialogItem> items{
        LText("&Bitmap Type", -1, 8, 6, 60, 8),
        ComboBox(IDC_BMP_TYPE, 8, 16, 80, 60, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP),
        LText("&Tag", IDC_BMP_TAG_LABEL, 98, 6, 60, 8),
        ComboBox(IDC_BMP_TAG, 98, 16, 100, 90, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP),
        // Static
        LText("Select Bitmap", 104, 8, 40, 60, 8),
        pictureFrame(706, 20, 54),
        picture(IDC_BMP_STATIC_BITMAP, 20, 54),
        // Discrete
        LText("&Data Type", 246, 8, 38, 50, 8),
        ComboBox(IDC_BMP_DATA_TYPE, 60, 36, 60, 60, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP),
        GroupBox("Show Bitmaps with Settings (Bit2-Bit1)", 211, 8, 54, 190, 60),
        CText("0-0", 278, 16, 66, 27, 8),
        pictureFrame(567, 18, 78),
        picture(IDC_BMP_STATE_00, 18, 78),
        CText("0-1", 277, 60, 66, 27, 8),
        pictureFrame(279, 62, 78),
        picture(IDC_BMP_STATE_01, 62, 78),
        CText("1-0", IDC_BMP_STATE_10_LABEL, 104, 66, 27, 8),
        pictureFrame(280, 106, 78),
        picture(IDC_BMP_STATE_10, 106, 78),
        CText("1-1", IDC_BMP_STATE_11_LABEL, 148, 66, 27, 8),
        pictureFrame(281, 150, 78),
        picture(IDC_BMP_STATE_11, 150, 78),
        // Limit
        CText("Default", 106, 8, 40, 36, 8),
        CText("Bitmap", 105, 8, 48, 36, 8),
        pictureFrame(282, 14, 60),
        picture(IDC_BMP_LIMIT_DEFAULT, 14, 60),
        AutoCheckBox("Hi&gh", IDC_BMP_HIGH_BOX, 60, 40, 40, 10, WS_TABSTOP),
        pictureFrame(232, 62, 60),
        picture(IDC_BMP_HIGH_BITMAP, 62, 60),
        EditText(IDC_BMP_HIGH_VALUE, 92, 64, 60, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP),
        AutoCheckBox("&Low", IDC_BMP_LOW_BOX, 60, 88, 40, 10, WS_TABSTOP),
        pictureFrame(941, 62, 100),
        picture(IDC_BMP_LOW_BITMAP, 62, 100),
        EditText(IDC_BMP_LOW_VALUE, 92, 104, 60, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP),
        // List
        CText("Default", 107, 8, 40, 36, 8),
        CText("Bitmap", 197, 8, 48, 36, 8),
        pictureFrame(702, 14, 60),
        picture(IDC_BMP_LIST_DEFAULT, 14, 60),
        CText("Bitmap", 161, 52, 36, 40, 8),
        CText("List", 162, 92, 36, 40, 8),
        ListBox(IDC_BMP_LIST, 52, 46, 90, 76,
                LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP),
        PushButton("&Add", IDC_BMP_ADD, 148, 46, 44, 14, WS_TABSTOP),
        PushButton("&Remove", IDC_BMP_REMOVE, 148, 64, 44, 14, WS_TABSTOP),
        PushButton("&Change", IDC_BMP_CHANGE, 148, 82, 44, 14, WS_TABSTOP),
    };
    RegisterDialogTemplate(IDD_BITMAP_PAGE, {"Bitmap", 0, 0, 206, 128, kPageStyle, "MS Sans Serif", 8, items});
}

void RegisterBitmapEntryTemplate()
{
    RegisterDialogTemplate(IDD_BITMAP_ENTRY, {"List Bitmap Entry", 0, 0, 160, 70,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, "MS Sans Serif", 8, {
        LText("&Value", -1, 8, 8, 40, 8),
        EditText(IDC_ENTRY_VALUE, 8, 18, 70, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP),
        GroupBox("&Bitmap", 125, 88, 4, 36, 36),
        Control("", IDC_ENTRY_BITMAP, Bmpbtn::GetClassName(), WS_TABSTOP, 95, 14, 23, 21),
        DefPushButton("OK", IDOK, 20, 50, 50, 14, WS_TABSTOP),
        PushButton("Cancel", IDCANCEL, 90, 50, 50, 14, WS_TABSTOP),
    }});
}

}  // namespace

void RegisterBitmapSheetTemplates()
{
    RegisterBitmapPickerResources();
    RegisterBitmapPageTemplate();
    RegisterBitmapEntryTemplate();
}

// --- The sheet --------------------------------------------------------------

TEditBmpSheet::TEditBmpSheet(TMDIClient* client, BitmapElem& element, ActivePageEditor* canvas, TModule* module)
    : TGraphEditSheet(client, "Bitmap Display", IDI_BITMAP_DISPLAY, 0, kBitmapSheetPositionId, false, PSH_HASHELP,
                      module)
{
    new TBitmapPage(this, element, canvas);
    new TBlinkPage(this, element.GetDynBlink());
    new TPositionPage(this, element.GetDynPosition(), element.GetAnchorPoint());
}

TEditBmpSheet::~TEditBmpSheet() = default;

void BitmapElem::OpenSheet(TWindow* parent)
{
    ActivePageEditor* editor = GetActivePageEditor();
    (new TEditBmpSheet(SheetClient(parent, editor), *this, editor))->Create();
}

// --- The list ---------------------------------------------------------------

const TResponseTable TBmpListBox::Responses{&TListBox::Responses, {
    OnMessage<&TBmpListBox::EvKeyDown>(WM_KEYDOWN),
    OnMessage<&TBmpListBox::EvLButtonDblClk>(WM_LBUTTONDBLCLK),
}};

TBmpListBox::TBmpListBox(TWindow* parent, int resourceId, TModule* module) : TListBox(parent, resourceId, module) {}

void TBmpListBox::EvKeyDown(UINT key, UINT /*repeat*/, UINT flags)
{
    // Only the first press of the key, not its repeats.
    constexpr UINT kWasDown = 0x4000;
    if (key == VK_DELETE && !(flags & kWasDown) && GetParentO()) {
        GetParentO()->SendMessage(WM_COMMAND, IDC_BMP_REMOVE);
        return;
    }
    DefaultProcessing();
}

void TBmpListBox::EvLButtonDblClk(UINT /*keys*/, const TPoint& /*point*/)
{
    DefaultProcessing();
    if (GetParentO())
        GetParentO()->SendMessage(WM_COMMAND, IDC_BMP_CHANGE);
}

// --- The Bitmap page ----------------------------------------------------------

const TResponseTable TBitmapPage::Responses{&TZKPropPage::Responses, {
    OnNotify<&TBitmapPage::EvTypeChange>(IDC_BMP_TYPE, CBN_SELCHANGE),
    OnNotify<&TBitmapPage::EvDataTypeChange>(IDC_BMP_DATA_TYPE, CBN_SELCHANGE),
    OnNotify<&TBitmapPage::EvListSelChange>(IDC_BMP_LIST, LBN_SELCHANGE),
    OnCommand<&TBitmapPage::CmHighBox>(IDC_BMP_HIGH_BOX),
    OnCommand<&TBitmapPage::CmLowBox>(IDC_BMP_LOW_BOX),
    OnCommand<&TBitmapPage::CmAdd>(IDC_BMP_ADD),
    OnCommand<&TBitmapPage::CmRemove>(IDC_BMP_REMOVE),
    OnCommand<&TBitmapPage::CmChange>(IDC_BMP_CHANGE),
    OnMessage<&TBitmapPage::EvTagChosen>(kTagChosenMessage),
    OnMessage<&TBitmapPage::EvBitmapChosen>(Bmpbtn::kBitmapChosenMessage),
    OnMessage<&TBitmapPage::EvDrawItem>(WM_DRAWITEM),
    OnMessage<&TBitmapPage::EvMeasureItem>(WM_MEASUREITEM),
}};

TBitmapPage::TBitmapPage(TPropertySheet* sheet, BitmapElem& element, ActivePageEditor* canvas, TModule* module)
    : TZKPropPage(sheet, IDD_BITMAP_PAGE, kBitmapPageHelp, module),
      element_(element),
      canvas_(canvas),
      typeIndex_(element.GetTypeIndex()),
      tag_(element.GetTag()),
      defaultBitmap_(element.GetInitialBitmap())
{
    if (!FindDialogTemplate(IDD_BITMAP_PAGE))
        RegisterBitmapSheetTemplates();
    if (typeIndex_ == BitmapElem::kTypeDiscrete) {
        auto reference = static_cast<std::uint16_t>(tag_);
        SplitTagRefBit(reference, dataTypeIndex_);
        tag_ = reference;
    }
    type_ = new TComboBox(this, IDC_BMP_TYPE);
    tagCombo_ = new TTagComboBox(this, IDC_BMP_TAG, &tag_,
                                 typeIndex_ == BitmapElem::kTypeDiscrete ? TTagComboBox::kBothKinds
                                                                         : TTagComboBox::kAnalogOnly);
    dataTypes_ = new TComboBox(this, IDC_BMP_DATA_TYPE);
    staticBitmap_ = new Bmpbtn(this, IDC_BMP_STATIC_BITMAP);
    const int stateIds[4] = {IDC_BMP_STATE_00, IDC_BMP_STATE_01, IDC_BMP_STATE_10, IDC_BMP_STATE_11};
    for (int i = 0; i < 4; ++i)
        states_[i] = new Bmpbtn(this, stateIds[i]);
    limitDefault_ = new Bmpbtn(this, IDC_BMP_LIMIT_DEFAULT);
    highBox_ = new TCheckBox(this, IDC_BMP_HIGH_BOX);
    highBitmap_ = new Bmpbtn(this, IDC_BMP_HIGH_BITMAP);
    highValue_ = new ValueEdit(this, IDC_BMP_HIGH_VALUE);
    lowBox_ = new TCheckBox(this, IDC_BMP_LOW_BOX);
    lowBitmap_ = new Bmpbtn(this, IDC_BMP_LOW_BITMAP);
    lowValue_ = new ValueEdit(this, IDC_BMP_LOW_VALUE);
    listDefault_ = new Bmpbtn(this, IDC_BMP_LIST_DEFAULT);
    list_ = new TBmpListBox(this, IDC_BMP_LIST);
    remove_ = new TButton(this, IDC_BMP_REMOVE);
    change_ = new TButton(this, IDC_BMP_CHANGE);
}

TBitmapPage::~TBitmapPage() = default;

void TBitmapPage::SetupWindow()
{
    TZKPropPage::SetupWindow();
    for (int text : {kStrBmpTypeStatic, kStrBmpTypeDiscrete, kStrBmpTypeLimit, kStrBmpTypeList}) {
        std::string name = Str(text);
        name.erase(name.find_last_not_of(' ') + 1);
        type_->AddString(name.c_str());
    }
    type_->SetSelIndex(typeIndex_);
    ShowTypeControls(typeIndex_, true);
    for (int id : kDefaultBitmapButtons)
        dynamic_cast<Bmpbtn*>(ChildWithId(id))->SetSelectedIndex(defaultBitmap_);
    RefreshTagFacts();

    switch (typeIndex_) {
    case BitmapElem::kTypeDiscrete: {
        std::uint16_t b[4] = {};
        const int count = element_.GetDiscreteBitmaps(b[0], b[1], b[2], b[3]);
        for (int i = 0; i < 4; ++i)
            states_[i]->SetSelectedIndex(b[i]);
        if (count < 3) {
            fourStates_ = false;
            ShowFourStates();
        }
        break;
    }
    case BitmapElem::kTypeLimit: {
        BmpRecord low;
        BmpRecord high;
        std::uint8_t kind = 0;
        element_.GetLimits(low, high, kind);
        if (kind == BitmapElem::kKindLowLimit || kind == BitmapElem::kKindHighLow) {
            lowBox_->Check();
            lowBitmap_->SetSelectedIndex(low.bitmap);
            lowValue_->SetWindowText(ShownText(low.value).c_str());
        }
        if (kind == BitmapElem::kKindHighLimit || kind == BitmapElem::kKindHighLow) {
            highBox_->Check();
            highBitmap_->SetSelectedIndex(high.bitmap);
            highValue_->SetWindowText(ShownText(high.value).c_str());
        }
        FollowLimitBoxes();
        break;
    }
    case BitmapElem::kTypeList: {
        BmpRecordArray entries;
        element_.GetListEntries(entries);
        for (const BmpRecord& e : entries) {
            const int index = list_->AddString(ShownText(e.value).c_str());
            list_->SetItemData(index, e.bitmap);
        }
        list_->SetSelIndex(0);
        remove_->EnableWindow(list_->GetCount() > 1);
        break;
    }
    default:
        break;
    }
}

void TBitmapPage::ShowControl(int id, bool show)
{
    if (TWindow* control = ChildWithId(id))
        control->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void TBitmapPage::ShowTypeControls(int type, bool first)
{
    for (int t = 0; t < 4; ++t) {
        if (!first && t != type && t != typeIndex_)
            continue;
        for (int id : kTypeControls[t])
            ShowControl(id, t == type);
    }
    const bool withTag = type != BitmapElem::kTypeStatic;
    if (first || withTag != (typeIndex_ != BitmapElem::kTypeStatic)) {
        ShowControl(IDC_BMP_TAG_LABEL, withTag);
        ShowControl(IDC_BMP_TAG, withTag);
    }
    typeIndex_ = type;
    if (type == BitmapElem::kTypeDiscrete) {
        FillDataTypes();
        // The type's controls were all shown just now.
        fourStates_ = HasFourStates();
        ShowFourStates();
    }
}

void TBitmapPage::FillDataTypes()
{
    if (dataTypes_->GetCount() == 0)
        for (int text : {kStrDataTypeValue, kStrDataTypeAlarm, kStrDataTypeUnack})
            dataTypes_->AddString(Str(text));
    const bool digital = (tag_ & kTagRefDigital) != 0;
    if (dataTypes_->GetCount() == 3 && !digital) {
        dataTypes_->AddString(Str(kStrDataTypeLow));
        dataTypes_->AddString(Str(kStrDataTypeHigh));
    } else if (dataTypes_->GetCount() == 5 && digital) {
        dataTypes_->DeleteString(4);
        dataTypes_->DeleteString(3);
    }
    if (dataTypeIndex_ < 0 || dataTypeIndex_ >= dataTypes_->GetCount())
        dataTypeIndex_ = 0;
    dataTypes_->SetSelIndex(dataTypeIndex_);
}

bool TBitmapPage::HasFourStates() const
{
    return TagRefHasSecondInput(static_cast<std::uint16_t>(tag_)) && dataTypeIndex_ == 0;
}

void TBitmapPage::CheckFourStates()
{
    if (HasFourStates() == fourStates_)
        return;
    fourStates_ = !fourStates_;
    ShowFourStates();
}

void TBitmapPage::ShowFourStates()
{
    ShowControl(IDC_BMP_STATE_10, fourStates_);
    ShowControl(IDC_BMP_STATE_11, fourStates_);
    ChildWithId(IDC_BMP_STATE_10_LABEL)->EnableWindow(fourStates_);
    ChildWithId(IDC_BMP_STATE_11_LABEL)->EnableWindow(fourStates_);
}

void TBitmapPage::FollowLimitBoxes()
{
    const bool high = highBox_->GetCheck() == BST_CHECKED;
    const bool low = lowBox_->GetCheck() == BST_CHECKED;
    highBitmap_->ShowWindow(high ? SW_SHOW : SW_HIDE);
    highValue_->EnableWindow(high);
    lowBitmap_->ShowWindow(low ? SW_SHOW : SW_HIDE);
    lowValue_->EnableWindow(low);
}

void TBitmapPage::RefreshTagFacts()
{
    if (tag_ & kTagRefDigital)
        return;
    const atag tag = TagFacts(tag_);
    dataType_ = tag.GetDataType();
    decimals_ = tag.GetDecimals();
    hasRange_ = tag.GetValidRange(rangeMin_, rangeMax_);
    highValue_->SetLimits(decimals_, hasRange_, rangeMin_, rangeMax_);
    lowValue_->SetLimits(decimals_, hasRange_, rangeMin_, rangeMax_);
}

std::string TBitmapPage::ShownText(std::int32_t raw) const
{
    return FormatValue(RawToShown(raw, dataType_, decimals_), decimals_);
}

std::int32_t TBitmapPage::RawOf(long double shown) const
{
    return ShownToRaw(shown, dataType_, decimals_);
}

// --- Page events ------------------------------------------------------------

void TBitmapPage::EvTypeChange()
{
    const int type = type_->GetSelIndex();
    if (type < 0 || type == typeIndex_)
        return;
    if (type > BitmapElem::kTypeStatic) {
        tagCombo_->FillList(type > BitmapElem::kTypeDiscrete);
        if (type > BitmapElem::kTypeDiscrete && (tag_ & kTagRefDigital)) {
            tag_ = 1;
            tagCombo_->FindCurrent();
        }
    }
    ShowTypeControls(type, false);
    if (type == BitmapElem::kTypeLimit)
        FollowLimitBoxes();
    Changed();
}

void TBitmapPage::EvDataTypeChange()
{
    dataTypeIndex_ = dataTypes_->GetSelIndex();
    CheckFourStates();
    Changed();
}

void TBitmapPage::EvListSelChange()
{
    change_->EnableWindow(true);
}

void TBitmapPage::CmHighBox()
{
    FollowLimitBoxes();
}

void TBitmapPage::CmLowBox()
{
    FollowLimitBoxes();
}

LRESULT TBitmapPage::EvTagChosen(WPARAM /*id*/, LPARAM kindChanged)
{
    if (tag_ != 0) {
        RefreshTagFacts();
        if (typeIndex_ == BitmapElem::kTypeDiscrete) {
            if (kindChanged == 1)
                FillDataTypes();
            CheckFourStates();
        }
    }
    Changed();
    return 0;
}

LRESULT TBitmapPage::EvBitmapChosen(WPARAM id, LPARAM number)
{
    if (std::find(std::begin(kDefaultBitmapButtons), std::end(kDefaultBitmapButtons), static_cast<int>(id)) !=
        std::end(kDefaultBitmapButtons)) {
        defaultBitmap_ = static_cast<std::uint16_t>(number);
        for (int button : kDefaultBitmapButtons)
            dynamic_cast<Bmpbtn*>(ChildWithId(button))->SetSelectedIndex(defaultBitmap_);
    }
    Changed();
    return 0;
}

void TBitmapPage::CmAdd()
{
    if (TBmpValueDlg(this, tag_, *list_, true).Execute() != IDOK)
        return;
    remove_->EnableWindow(list_->GetCount() > 1);
    Changed();
}

void TBitmapPage::CmChange()
{
    if (TBmpValueDlg(this, tag_, *list_, false).Execute() == IDOK)
        Changed();
}

void TBitmapPage::CmRemove()
{
    const int selection = list_->GetSelIndex();
    // The list keeps at least one entry.
    if (list_->GetCount() <= 1 || selection < 0)
        return;
    list_->DeleteString(selection);
    if (list_->GetCount() < 2) {
        list_->SetSelIndex(0);
        remove_->EnableWindow(false);
    } else {
        list_->SetSelIndex(std::max(selection - 1, 0));
    }
    Changed();
}

void TBitmapPage::EvMeasureItem(UINT id, MEASUREITEMSTRUCT& item)
{
    if (id == IDC_BMP_LIST)
        item.itemHeight = static_cast<UINT>(HIWORD(GetDialogBaseUnits()) * 3 / 2);
}

void TBitmapPage::EvDrawItem(UINT id, DRAWITEMSTRUCT& item)
{
    if (id != IDC_BMP_LIST || !item.hDC || item.itemID == static_cast<UINT>(-1))
        return;
    TDC& dc = *item.hDC;
    const TRect& r = item.rcItem;
    if (item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) {
        const bool selected = item.itemState & ODS_SELECTED;
        dc.FillRect(r, TBrush(TColor(GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW))));
        const std::string text = list_->GetString(static_cast<int>(item.itemID));
        const int height = r.Height();
        TEXTMETRIC metrics{};
        dc.GetTextMetrics(metrics);
        const TSize extent = dc.GetTextExtent(text.c_str(), static_cast<int>(text.size()));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(TColor(GetSysColor(selected ? COLOR_WINDOW : COLOR_WINDOWTEXT)));
        dc.TextOut(r.left + height + metrics.tmAveCharWidth, r.top + (height - extent.cy) / 2, text.c_str(),
                   static_cast<int>(text.size()));
        DrawLibraryBitmap(TRect(r.left, r.top, r.left + height, r.top + height), dc,
                          static_cast<int>(item.itemData) - 1);
    }
    if (item.itemState & ODS_FOCUS)
        dc.DrawFocusRect(r);
}

int TBitmapPage::Apply(TNotify& notify)
{
    if (canvas_)
        canvas_->InvalidateLogicalRect(element_.GetRepaintRect());
    auto tag = static_cast<std::uint16_t>(tag_);
    if (typeIndex_ == BitmapElem::kTypeDiscrete)
        JoinTagRefBit(tag, dataTypeIndex_);
    element_.SetTypeFromIndex(typeIndex_);
    element_.SetTag(tag);
    element_.SetInitialBitmap(defaultBitmap_);

    switch (typeIndex_) {
    case BitmapElem::kTypeDiscrete:
        element_.SetDiscrete(static_cast<std::uint16_t>(states_[0]->GetSelectedIndex()),
                             static_cast<std::uint16_t>(states_[1]->GetSelectedIndex()),
                             static_cast<std::uint16_t>(states_[2]->GetSelectedIndex()),
                             static_cast<std::uint16_t>(states_[3]->GetSelectedIndex()), fourStates_);
        break;
    case BitmapElem::kTypeLimit: {
        const bool high = highBox_->GetCheck() == BST_CHECKED;
        const bool low = lowBox_->GetCheck() == BST_CHECKED;
        const std::uint8_t kind = high && low ? BitmapElem::kKindHighLow
                                  : low       ? BitmapElem::kKindLowLimit
                                  : high      ? BitmapElem::kKindHighLimit
                                              : 0;
        BmpRecord lowEntry;
        BmpRecord highEntry;
        if (low)
            lowEntry = {RawOf(lowValue_->GetValue()), static_cast<std::uint16_t>(lowBitmap_->GetSelectedIndex())};
        if (high)
            highEntry = {RawOf(highValue_->GetValue()), static_cast<std::uint16_t>(highBitmap_->GetSelectedIndex())};
        element_.SetLimits(lowEntry, highEntry, kind);
        break;
    }
    case BitmapElem::kTypeList: {
        BmpRecordArray entries;
        for (int i = 0; i < list_->GetCount(); ++i)
            entries.push_back({RawOf(ParseValue(list_->GetString(i))), static_cast<std::uint16_t>(list_->GetItemData(i))});
        element_.SetList(entries);
        break;
    }
    default:
        break;
    }
    element_.UpdateImage(0);
    if (canvas_) {
        canvas_->InvalidateLogicalRect(element_.GetRepaintRect());
        canvas_->SetPageModified();
    }
    return TZKPropPage::Apply(notify);
}

// --- The entry dialog -------------------------------------------------------

const TResponseTable TBmpValueDlg::Responses{&TPosDialog::Responses, {}};

TBmpValueDlg::TBmpValueDlg(TWindow* parent, int tag, TListBox& list, bool add, TModule* module)
    : TPosDialog(parent, IDD_BITMAP_ENTRY, kBitmapEntryPositionId, module),
      list_(list),
      add_(add),
      value_(new ValueEdit(this, IDC_ENTRY_VALUE)),
      bitmap_(new Bmpbtn(this, IDC_ENTRY_BITMAP))
{
    if (!FindDialogTemplate(IDD_BITMAP_ENTRY))
        RegisterBitmapSheetTemplates();
    const atag facts = TagFacts(tag);
    long double low = 0;
    long double high = 0;
    const bool limits = facts.GetValidRange(low, high);
    value_->SetLimits(facts.GetDecimals(), limits, low, high);
}

TBmpValueDlg::~TBmpValueDlg() = default;

void TBmpValueDlg::SetupWindow()
{
    TPosDialog::SetupWindow();
    const int selection = list_.GetSelIndex();
    if (!add_ && selection >= 0) {
        value_->SetWindowText(list_.GetString(selection).c_str());
        bitmap_->SetSelectedIndex(static_cast<int>(list_.GetItemData(selection)));
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIcon(GetModule(), IDI_BITMAP_DISPLAY)));
}

void TBmpValueDlg::CmOk()
{
    const int bitmap = bitmap_->GetSelectedIndex();
    const int decimals = value_->GetDecimals();
    const std::string text = FormatValue(value_->GetValue(), decimals);
    // Compared as the list shows it, with the value edit's decimals.
    const long double value = ParseValue(text);
    const int changed = add_ ? -1 : list_.GetSelIndex();
    int position = list_.GetCount();
    for (int i = 0; i < list_.GetCount(); ++i) {
        if (i == changed)
            continue;
        const long double entry = ParseValue(list_.GetString(i));
        if (entry == value) {
            TApp::MessageBox(nullptr, GetHandle(), Str(kStrEntryValuesUnique), Str(kStrDuplicateValue), MB_OK);
            return;
        }
        if (entry > value) {
            position = i;
            break;
        }
    }
    if (changed >= 0) {
        list_.DeleteString(changed);
        if (changed < position)
            --position;
    }
    const int index = list_.InsertString(text.c_str(), position);
    list_.SetItemData(index, static_cast<std::uintptr_t>(bitmap));
    list_.SetSelIndex(index);
    CloseWindow(IDOK);
}
