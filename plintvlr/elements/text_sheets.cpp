#include "plintvlr/elements/text_sheets.h"

#include "platform/gdi/font.h"
#include "platform/ui/controls/check_box.h"
#include "platform/ui/controls/combo_box.h"
#include "platform/ui/controls/radio_button.h"
#include "platform/ui/controls/up_down.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/notify.h"
#include "platform/ui/property_page.h"
#include "platform/ui/styles.h"
#include "plintvlr/db/atag.h"
#include "plintvlr/db/plc_address_tables.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/active_page_editor.h"
#include "plintvlr/elements/element_page_templates.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/elements/tag_combo_box.h"
#include "plintvlr/elements/text_string_ids.h"
#include "plintvlr/elements/text_support.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/controls/num_edit.h"

#include <algorithm>

namespace {

constexpr DWORD kPage = WS_CHILD | DS_CONTROL;
constexpr DWORD kSpin = UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_ALIGNRIGHT;
constexpr DWORD kNumber = ES_LEFT | WS_BORDER | WS_TABSTOP;
constexpr int kMaxMultiplier = 6;
// Labels and boxes of the style controls.
constexpr int IDC_STYLE_BOX = 190;
constexpr int IDC_JUSTIFY_BOX = 160;
constexpr int IDC_ORIENTATION_BOX = 161;
constexpr int IDC_WIDTH_LABEL = 162;
constexpr int IDC_HEIGHT_LABEL = 210;
constexpr int IDC_DISPLAY_BOX = 211;
constexpr int IDC_FIELD_LABEL = 102;
constexpr int IDC_DISPLAY_WIDTH_LABEL = 144;
constexpr int IDC_SIZE_BOX = 145;

std::vector<TDialogItem> StyleItems(int top)
{
    return {
        GroupBox("Justification", IDC_JUSTIFY_BOX, 8, top, 84, 46),
        AutoRadioButton("&Left", IDC_JUSTIFY_LEFT, 14, top + 10, 70, 10, WS_GROUP | WS_TABSTOP),
        AutoRadioButton("C&enter", IDC_JUSTIFY_CENTER, 14, top + 21, 70, 10),
        AutoRadioButton("&Right", IDC_JUSTIFY_RIGHT, 14, top + 32, 70, 10),
        GroupBox("Orientation", IDC_ORIENTATION_BOX, 100, top, 88, 34),
        AutoRadioButton("Hori&zontal", IDC_TEXT_HORIZONTAL, 106, top + 10, 76, 10, WS_GROUP | WS_TABSTOP),
        AutoRadioButton("&Vertical", IDC_TEXT_VERTICAL, 106, top + 21, 76, 10),
        GroupBox("Character size", IDC_STYLE_BOX, 8, top + 50, 180, 28),
        LText("&Width", IDC_WIDTH_LABEL, 14, top + 63, 26, 8),
        EditText(IDC_CHAR_WIDTH, 42, top + 61, 30, 12, kNumber | WS_GROUP),
        UpDown(IDC_CHAR_WIDTH_UPDOWN, 72, top + 61, 10, 12, kSpin),
        LText("Hei&ght", IDC_HEIGHT_LABEL, 100, top + 63, 28, 8),
        EditText(IDC_CHAR_HEIGHT, 130, top + 61, 30, 12, kNumber | WS_GROUP),
        UpDown(IDC_CHAR_HEIGHT_UPDOWN, 160, top + 61, 10, 12, kSpin),
    };
}

int TextLimitFor(int panelType)
{
    switch (panelType) {
    case 19: case 20: case 22: case 23:
        return 17;
    case 15: case 16: case 17: case 18: case 21: case 24:
        return 21;
    default:
        return 0;
    }
}

}  // namespace

void RegisterTextPageTemplates()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    std::vector<TDialogItem> text = {
        LText("&Text", -1, 8, 6, 40, 8),
        EditText(IDC_TEXT, 8, 16, 180, 34, ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | WS_TABSTOP),
    };
    for (TDialogItem& item : StyleItems(54))
        text.push_back(item);
    RegisterDialogTemplate(IDD_FORMAT_TEXT_PAGE, {"Text", 0, 0, 196, 136, kPage, "MS Sans Serif", 8, text});

    std::vector<TDialogItem> tag = {
        LText("&Tag", -1, 8, 8, 30, 8),
        ComboBox(IDC_DISPLAY_TAG, 40, 6, 148, 90, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP),
        LText("Display &field", IDC_FIELD_LABEL, 8, 24, 46, 8),
        ComboBox(IDC_DISPLAY_FIELD, 56, 22, 132, 90, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP),
        GroupBox("Display style", IDC_DISPLAY_BOX, 8, 38, 180, 28),
        LText("W&idth", IDC_DISPLAY_WIDTH_LABEL, 14, 51, 26, 8),
        EditText(IDC_DISPLAY_WIDTH, 42, 49, 30, 12, kNumber | WS_GROUP),
        UpDown(IDC_DISPLAY_WIDTH_UPDOWN, 72, 49, 10, 12, kSpin),
        LText("Off&set", IDC_DISPLAY_OFFSET_LABEL, 100, 51, 28, 8),
        EditText(IDC_DISPLAY_OFFSET, 130, 49, 30, 12, kNumber | WS_GROUP),
        UpDown(IDC_DISPLAY_OFFSET_UPDOWN, 160, 49, 10, 12, kSpin),
    };
    for (TDialogItem& item : StyleItems(70)) {
        // The tag display's size box has its own id.
        if (item.id == IDC_STYLE_BOX)
            item.id = IDC_SIZE_BOX;
        tag.push_back(item);
    }
    tag.push_back(AutoCheckBox("E&ditable", IDC_EDITABLE, 100, 108, 80, 10, WS_GROUP | WS_TABSTOP));
    RegisterDialogTemplate(IDD_TAG_DISPLAY_PAGE, {"Tag", 0, 0, 196, 152, kPage, "MS Sans Serif", 8, tag});
}

// --- TEscapeEdit --------------------------------------------------------------

bool TEscapeEdit::PreProcessMsg(MSG& msg)
{
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && msg.hwnd == GetHandle() && GetParentO()) {
        NMHDR header;
        header.hwndFrom = GetHandle();
        header.idFrom = static_cast<UINT>(GetId());
        header.code = PSN_RESET;
        GetParentO()->SendMessage(WM_NOTIFY, static_cast<WPARAM>(GetId()), reinterpret_cast<LPARAM>(&header));
        return true;
    }
    return TEdit::PreProcessMsg(msg);
}

// --- TTextStylePage -----------------------------------------------------------

const TResponseTable TTextStylePage::Responses{&TZKPropPage::Responses, {
    OnCommand<&TTextStylePage::EvJustify>(IDC_JUSTIFY_LEFT),
    OnCommand<&TTextStylePage::EvJustify>(IDC_JUSTIFY_CENTER),
    OnCommand<&TTextStylePage::EvJustify>(IDC_JUSTIFY_RIGHT),
    OnCommand<&TTextStylePage::EvOrientation>(IDC_TEXT_HORIZONTAL),
    OnCommand<&TTextStylePage::EvOrientation>(IDC_TEXT_VERTICAL),
    OnNotify<&TTextStylePage::EvSizeUpdate>(IDC_CHAR_WIDTH, EN_UPDATE),
    OnNotify<&TTextStylePage::EvSizeUpdate>(IDC_CHAR_HEIGHT, EN_UPDATE),
}};

TTextStylePage::TTextStylePage(TDynFillSheet* sheet, TResId resId, TTextStyle& style, int helpContext,
                               SizeRect&, ActivePageEditor* canvas, TModule* module)
    : TZKPropPage(sheet, (RegisterTextPageTemplates(), resId), helpContext, module),
      sheet_(sheet),
      style_(style),
      canvas_(canvas),
      savedSize_(style.GetTextSize()),
      savedJustify_(style.GetJustify()),
      savedHorizontal_(style.GetHorizontal()),
      justify_{new TRadioButton(this, IDC_JUSTIFY_LEFT), new TRadioButton(this, IDC_JUSTIFY_CENTER),
               new TRadioButton(this, IDC_JUSTIFY_RIGHT)},
      horizontal_(new TRadioButton(this, IDC_TEXT_HORIZONTAL)),
      vertical_(new TRadioButton(this, IDC_TEXT_VERTICAL)),
      width_(new TNumEdit(this, IDC_CHAR_WIDTH)),
      height_(new TNumEdit(this, IDC_CHAR_HEIGHT)),
      widthUpDown_(new TUpDown(this, IDC_CHAR_WIDTH_UPDOWN)),
      heightUpDown_(new TUpDown(this, IDC_CHAR_HEIGHT_UPDOWN))
{
}

TTextStylePage::~TTextStylePage() = default;

std::vector<int> TTextStylePage::TextPanelDisabled() const
{
    return {IDC_JUSTIFY_LEFT, IDC_JUSTIFY_CENTER, IDC_JUSTIFY_RIGHT, IDC_TEXT_HORIZONTAL, IDC_TEXT_VERTICAL,
            IDC_CHAR_HEIGHT, IDC_CHAR_WIDTH, IDC_STYLE_BOX, IDC_JUSTIFY_BOX, IDC_ORIENTATION_BOX, IDC_WIDTH_LABEL,
            IDC_HEIGHT_LABEL};
}

void TTextStylePage::SetupWindow()
{
    TZKPropPage::SetupWindow();
    settingUp_ = true;
    widthUpDown_->SetBuddy(width_->GetHandle());
    heightUpDown_->SetBuddy(height_->GetHandle());
    width_->SetRange(kMaxMultiplier, 1);
    height_->SetRange(kMaxMultiplier, 1);
    widthUpDown_->SetRange(1, kMaxMultiplier);
    heightUpDown_->SetRange(1, kMaxMultiplier);
    width_->SetValue(savedSize_.cx);
    height_->SetValue(savedSize_.cy);
    const int justify = savedJustify_ >= 0 && savedJustify_ <= 2 ? savedJustify_ : 0;
    for (int i = 0; i < 3; ++i)
        justify_[i]->SetCheck(i == justify ? BST_CHECKED : BST_UNCHECKED);
    horizontal_->SetCheck(savedHorizontal_ ? BST_CHECKED : BST_UNCHECKED);
    vertical_->SetCheck(savedHorizontal_ ? BST_UNCHECKED : BST_CHECKED);
    if (IsTextPanelOpen()) {
        for (int id : TextPanelDisabled())
            if (TWindow* control = ChildWithId(id))
                control->EnableWindow(false);
        widthUpDown_->EnableWindow(false);
        heightUpDown_->EnableWindow(false);
    }
    settingUp_ = false;
}

void TTextStylePage::Repaint()
{
    sheet_->RepaintElement();
}

void TTextStylePage::EvJustify()
{
    if (settingUp_)
        return;
    const int justify = justify_[1]->GetCheck() == BST_CHECKED ? 1 : justify_[2]->GetCheck() == BST_CHECKED ? 2 : 0;
    Repaint();
    style_.SetJustify(justify);
    Repaint();
}

void TTextStylePage::EvOrientation()
{
    if (settingUp_)
        return;
    Repaint();
    style_.SetHorizontal(horizontal_->GetCheck() == BST_CHECKED);
    Repaint();
}

void TTextStylePage::EvSizeUpdate()
{
    if (settingUp_)
        return;
    Repaint();
    style_.SetTextSize(width_->GetValue(), height_->GetValue());
    Repaint();
}

int TTextStylePage::Apply(TNotify& notify)
{
    if (canvas_)
        canvas_->SetPageModified();
    return TZKPropPage::Apply(notify);
}

void TTextStylePage::Reset(TNotify& notify)
{
    Repaint();
    style_.SetTextSize(savedSize_.cx, savedSize_.cy);
    style_.SetHorizontal(savedHorizontal_);
    style_.SetJustify(savedJustify_);
    Repaint();
    TZKPropPage::Reset(notify);
}

// --- TFormatTextPage ----------------------------------------------------------

const TResponseTable TFormatTextPage::Responses{&TTextStylePage::Responses, {
    OnNotify<&TFormatTextPage::EvTextUpdate>(IDC_TEXT, EN_UPDATE),
}};

TFormatTextPage::TFormatTextPage(TDynFillSheet* sheet, TFormatText& element, ActivePageEditor* canvas,
                                 TModule* module)
    : TTextStylePage(sheet, IDD_FORMAT_TEXT_PAGE, element, kFormatTextHelp, element, canvas, module),
      element_(element),
      text_(new TEscapeEdit(this, IDC_TEXT, static_cast<UINT>(TextLimitFor(GetOpenPanelType())))),
      savedText_(element.GetText())
{
    // Text panels show one line: the edit is made without its multi-line style.
    if (IsTextPanelOpen())
        text_->RemoveTemplateStyle(ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL);
    const std::string face = GetFontName(element.GetFontNumber());
    if (face == "QS VZKA/MA 6x9")
        bold_ = std::make_unique<TFont>(face.c_str(), GetFontSize(element.GetFontNumber()).cy, 0, 0, 0, FW_BOLD);
}

TFormatTextPage::~TFormatTextPage() = default;

void TFormatTextPage::SetupWindow()
{
    TTextStylePage::SetupWindow();
    settingUp_ = true;
    if (bold_)
        text_->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(bold_.get()), 1);
    text_->SetWindowText(element_.GetText().c_str());
    settingUp_ = false;
}

void TFormatTextPage::EvTextUpdate()
{
    if (settingUp_)
        return;
    Repaint();
    element_.SetText(text_->GetWindowText());
    Repaint();
}

int TFormatTextPage::Apply(TNotify& notify)
{
    if (canvas_)
        canvas_->SetPageModified();
    return TTextStylePage::Apply(notify);
}

void TFormatTextPage::Reset(TNotify& notify)
{
    Repaint();
    element_.SetText(savedText_);
    Repaint();
    TTextStylePage::Reset(notify);
}

TFormatTextDlg::TFormatTextDlg(TMDIClient* client, TFormatText& element, ActivePageEditor* canvas, TModule* module)
    : TDynFillSheet(client, Str(kStrFormattedTextCaption), kFormatTextSheetIcon, IDD_FORMAT_TEXT_PAGE, element, canvas,
                    module),
      page_(new TFormatTextPage(this, element, canvas))
{
    AddCommonPages(element.GetShowHide(), false);
}

// --- TTagDispPage -------------------------------------------------------------

const TResponseTable TTagDispPage::Responses{&TTextStylePage::Responses, {
    OnMessage<&TTagDispPage::EvTagChosen>(kTagChosenMessage),
    OnNotify<&TTagDispPage::EvFieldChange>(IDC_DISPLAY_FIELD, CBN_SELCHANGE),
    OnNotify<&TTagDispPage::EvDisplayUpdate>(IDC_DISPLAY_WIDTH, EN_UPDATE),
    OnNotify<&TTagDispPage::EvDisplayUpdate>(IDC_DISPLAY_OFFSET, EN_UPDATE),
}};

TTagDispPage::TTagDispPage(TDynFillSheet* sheet, PointElem& element, ActivePageEditor* canvas, TModule* module)
    : TTextStylePage(sheet, IDD_TAG_DISPLAY_PAGE, element, kTagDisplayHelp, element, canvas, module),
      element_(element),
      savedRef_(element.GetTagRef()),
      savedEditable_(element.GetEditable()),
      tagCombo_(new TTagComboBox(this, IDC_DISPLAY_TAG, &tag_)),
      fields_(new TComboBox(this, IDC_DISPLAY_FIELD)),
      displayWidth_(new TNumEdit(this, IDC_DISPLAY_WIDTH)),
      displayOffset_(new TNumEdit(this, IDC_DISPLAY_OFFSET)),
      displayWidthUpDown_(new TUpDown(this, IDC_DISPLAY_WIDTH_UPDOWN)),
      displayOffsetUpDown_(new TUpDown(this, IDC_DISPLAY_OFFSET_UPDOWN)),
      editable_(new TCheckBox(this, IDC_EDITABLE))
{
    std::uint16_t id = 0;
    element.GetTagAndType(id, type_);
    tag_ = id;
}

TTagDispPage::~TTagDispPage() = default;

std::vector<int> TTagDispPage::TextPanelDisabled() const
{
    return {IDC_JUSTIFY_LEFT, IDC_JUSTIFY_CENTER, IDC_JUSTIFY_RIGHT, IDC_TEXT_HORIZONTAL, IDC_TEXT_VERTICAL,
            IDC_HEIGHT_LABEL, IDC_CHAR_HEIGHT, IDC_CHAR_WIDTH, IDC_DISPLAY_BOX, IDC_FIELD_LABEL,
            IDC_DISPLAY_WIDTH_LABEL, IDC_SIZE_BOX};
}

char TTagDispPage::Kind() const
{
    return (tag_ & 0x8000) ? 'D' : 'A';
}

void TTagDispPage::SetupWindow()
{
    settingUp_ = true;
    TTextStylePage::SetupWindow();
    settingUp_ = true;
    displayWidthUpDown_->SetBuddy(displayWidth_->GetHandle());
    displayOffsetUpDown_->SetBuddy(displayOffset_->GetHandle());
    FillFieldList();
    SetRanges();
    displayWidth_->SetValue(element_.GetWidth());
    displayOffset_->SetValue(element_.GetOffset());
    editable_->SetCheck(element_.GetEditable() ? BST_CHECKED : BST_UNCHECKED);
    UpdateEditable();
    settingUp_ = false;
}

void TTagDispPage::FillFieldList()
{
    fields_->ClearList();
    const bool digital = Kind() == 'D';
    const bool textPanel = IsTextPanelOpen();
    const std::string types = Str(DisplayTypeListId(digital ? 'D' : 'A'));
    const std::string names = Str(DisplayTypeNamesId(digital ? 'D' : 'A'));
    const int last = digital ? 9 : 11;
    int selected = -1;
    for (int position = 2; position <= last; ++position) {
        // Text panels have no alarms.
        if (textPanel && (digital ? position == 7 : (position >= 7 && position <= 9)))
            continue;
        const int index = fields_->AddString(GetListItem(names, position).c_str());
        fields_->SetItemData(index, static_cast<std::uintptr_t>(position));
        if (GetListItem(types, position) == type_)
            selected = index;
    }
    if (selected < 0) {
        selected = 0;
        type_ = "PV";
    }
    fields_->SetSelIndex(selected);
}

std::vector<std::string> TTagDispPage::DisplayFields() const
{
    std::vector<std::string> fields;
    const std::string types = Str(DisplayTypeListId(Kind()));
    for (int i = 0; i < fields_->GetCount(); ++i)
        fields.push_back(GetListItem(types, static_cast<int>(fields_->GetItemData(i))));
    return fields;
}

void TTagDispPage::SetRanges()
{
    int widthMax = 12;
    bool offsetOn = false;
    if (type_ == "AT") {
        widthMax = 1;
    } else if (!type_.empty() && type_[0] == 'A') {
        widthMax = 12;
    } else if (!type_.empty() && (type_[0] == 'S' || type_[0] == 'T')) {
        widthMax = 32;
        offsetOn = true;
    } else if (type_ == "UN") {
        widthMax = 10;
        offsetOn = true;
    } else if (Kind() == 'D') {
        widthMax = 1;
    } else {
        atag tag;
        const bool text = (tag_ & 0x3FFF) != 0 && tag.Read(tag_ & 0x3FFF) && tag.GetDataType() == kTypeText;
        widthMax = text ? 31 : 12;
    }
    displayWidth_->SetRange(widthMax, 0);
    displayWidthUpDown_->SetRange(0, widthMax);
    displayOffset_->SetRange(offsetOn ? widthMax : 0, 0);
    displayOffsetUpDown_->SetRange(0, offsetOn ? widthMax : 0);
    if (!offsetOn) {
        displayOffset_->SetValue(0);
        if (element_.GetOffset() != 0)
            element_.SetOffset(0);
    }
    displayOffset_->EnableWindow(offsetOn);
    displayOffsetUpDown_->EnableWindow(offsetOn);
    if (TWindow* label = ChildWithId(IDC_DISPLAY_OFFSET_LABEL))
        label->EnableWindow(offsetOn);
}

void TTagDispPage::UpdateEditable()
{
    bool allowed = fields_->GetSelIndex() == 0 && Kind() == 'A';
    if (allowed && IsTextPanelOpen()) {
        atag tag;
        allowed = !((tag_ & 0x3FFF) != 0 && tag.Read(tag_ & 0x3FFF) && tag.GetDataType() == kTypeText);
    }
    if (!allowed)
        editable_->SetCheck(BST_UNCHECKED);
    editable_->EnableWindow(allowed);
}

void TTagDispPage::ApplyTagAndType()
{
    Repaint();
    element_.SetTagAndType(static_cast<std::uint16_t>(tag_), type_);
    Repaint();
    SetRanges();
    UpdateEditable();
}

LRESULT TTagDispPage::EvTagChosen(WPARAM, LPARAM kindChanged)
{
    if (kindChanged)
        FillFieldList();
    ApplyTagAndType();
    return 0;
}

void TTagDispPage::EvFieldChange()
{
    const int index = fields_->GetSelIndex();
    if (index < 0)
        return;
    const std::string type =
        GetListItem(Str(DisplayTypeListId(Kind())), static_cast<int>(fields_->GetItemData(index)));
    if (type != type_)
        type_ = type;
    ApplyTagAndType();
}

void TTagDispPage::EvDisplayUpdate()
{
    if (settingUp_)
        return;
    Repaint();
    element_.SetWidth(displayWidth_->GetValue());
    if (displayOffset_->IsWindowEnabled())
        element_.SetOffset(displayOffset_->GetValue());
    Repaint();
}

int TTagDispPage::Apply(TNotify& notify)
{
    if (canvas_)
        canvas_->SetPageModified();
    element_.SetEditable(editable_->GetCheck() == BST_CHECKED);
    return TTextStylePage::Apply(notify);
}

void TTagDispPage::Reset(TNotify& notify)
{
    Repaint();
    element_.SetTagRef(savedRef_);
    element_.SetEditable(savedEditable_);
    Repaint();
    TTextStylePage::Reset(notify);
}

TTagDisplayDlg::TTagDisplayDlg(TMDIClient* client, PointElem& element, ActivePageEditor* canvas, TModule* module)
    : TDynFillSheet(client, Str(kStrTagDisplayCaption), kTagDisplaySheetIcon, IDD_TAG_DISPLAY_PAGE, element, canvas,
                    module),
      page_(new TTagDispPage(this, element, canvas))
{
    AddCommonPages(element.GetShowHide(), false);
}
