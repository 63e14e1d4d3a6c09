// A dialog with every kind of control, built from a template and driven
// through the test driver as a person would use it.

#include "platform/ui/controls/button.h"
#include "platform/ui/controls/check_box.h"
#include "platform/ui/controls/combo_box.h"
#include "platform/ui/controls/edit.h"
#include "platform/ui/controls/glyph_button.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/controls/radio_button.h"
#include "platform/ui/controls/scroll_bar.h"
#include "platform/ui/controls/static.h"
#include "platform/ui/controls/up_down.h"
#include "platform/ui/dialog.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/validators.h"
#include "platform/ui/window_api.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum : int {
    kDialogId = 4100,
    IDC_LABEL = 100,
    IDC_NAME = 101,
    IDC_NOTES = 102,
    IDC_CODE = 103,
    IDC_APPLY = 104,
    IDC_ENABLED = 105,
    IDC_MODE = 106,
    IDC_RADIO_A = 110,
    IDC_RADIO_B = 111,
    IDC_RADIO_C = 112,
    IDC_GROUP = 113,
    IDC_CHANNEL = 120,
    IDC_TAG = 121,
    IDC_ITEMS = 130,
    IDC_PICKS = 131,
    IDC_SCROLL = 140,
    IDC_COUNT = 141,
    IDC_SPIN = 142,
    IDC_BROWSE = 150,
};

void RegisterAllControlsTemplate()
{
    RegisterDialogTemplate(kDialogId, {"All Controls", 10, 10, 300, 200,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, "MS Sans Serif", 8, {
        LText("&Name", IDC_LABEL, 8, 8, 40, 8),
        EditText(IDC_NAME, 50, 6, 90, 12, ES_AUTOHSCROLL),
        EditText(IDC_NOTES, 50, 22, 90, 30, ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL),
        EditText(IDC_CODE, 50, 56, 40, 12, ES_READONLY),
        AutoCheckBox("&Enabled", IDC_ENABLED, 150, 6, 60, 10),
        Control("&Mode", IDC_MODE, "BUTTON", BS_AUTO3STATE | WS_TABSTOP, 150, 18, 60, 10),
        GroupBox("Speed", IDC_GROUP, 148, 30, 70, 50),
        AutoRadioButton("&Slow", IDC_RADIO_A, 154, 40, 50, 10, WS_GROUP | WS_TABSTOP),
        AutoRadioButton("Medi&um", IDC_RADIO_B, 154, 52, 50, 10),
        AutoRadioButton("&Fast", IDC_RADIO_C, 154, 64, 50, 10),
        ComboBox(IDC_CHANNEL, 8, 80, 80, 60, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP | WS_GROUP),
        ComboBox(IDC_TAG, 100, 80, 80, 60, CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP),
        ListBox(IDC_ITEMS, 8, 100, 90, 50, LBS_USETABSTOPS | WS_VSCROLL | WS_TABSTOP),
        ListBox(IDC_PICKS, 104, 100, 70, 50, LBS_EXTENDEDSEL | WS_VSCROLL | WS_TABSTOP),
        ScrollBar(IDC_SCROLL, 180, 100, 10, 50, SBS_VERT),
        EditText(IDC_COUNT, 200, 100, 40, 12, ES_NUMBER),
        UpDown(IDC_SPIN, 0, 0, 10, 12, UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS),
        PushButton("&Browse...", IDC_BROWSE, 200, 120, 50, 14),
        PushButton("&Apply", IDC_APPLY, 130, 176, 50, 14),
        DefPushButton("OK", IDOK, 186, 176, 50, 14),
        PushButton("Cancel", IDCANCEL, 242, 176, 50, 14),
    }});
}

const char* CodeName(UINT id, UINT code)
{
    if (id == IDC_CHANNEL || id == IDC_TAG) {
        switch (code) {
        case CBN_SELCHANGE: return "CBN_SELCHANGE";
        case CBN_SETFOCUS: return "CBN_SETFOCUS";
        case CBN_KILLFOCUS: return "CBN_KILLFOCUS";
        case CBN_EDITCHANGE: return "CBN_EDITCHANGE";
        case CBN_EDITUPDATE: return "CBN_EDITUPDATE";
        case CBN_DROPDOWN: return "CBN_DROPDOWN";
        case CBN_CLOSEUP: return "CBN_CLOSEUP";
        case CBN_SELENDOK: return "CBN_SELENDOK";
        case CBN_SELENDCANCEL: return "CBN_SELENDCANCEL";
        default: return "CBN_?";
        }
    }
    if (id == IDC_ITEMS || id == IDC_PICKS) {
        switch (code) {
        case LBN_SELCHANGE: return "LBN_SELCHANGE";
        case LBN_DBLCLK: return "LBN_DBLCLK";
        case LBN_SETFOCUS: return "LBN_SETFOCUS";
        case LBN_KILLFOCUS: return "LBN_KILLFOCUS";
        default: return "LBN_?";
        }
    }
    if (id == IDC_NAME || id == IDC_NOTES || id == IDC_CODE || id == IDC_COUNT) {
        switch (code) {
        case EN_SETFOCUS: return "EN_SETFOCUS";
        case EN_KILLFOCUS: return "EN_KILLFOCUS";
        case EN_CHANGE: return "EN_CHANGE";
        case EN_UPDATE: return "EN_UPDATE";
        case EN_MAXTEXT: return "EN_MAXTEXT";
        default: return "EN_?";
        }
    }
    return code == BN_CLICKED ? "BN_CLICKED" : "BN_?";
}

// Records every notification and command it receives, and answers a few
// as a real dialog would.
class TAllControlsDlg : public TDialog {
public:
    explicit TAllControlsDlg(TWindow* parent = nullptr) : TDialog(parent, kDialogId)
    {
        name = new TEdit(this, IDC_NAME, 9);
        browse = new TGlyphButton(this, IDC_BROWSE);
        channel = new TComboBox(this, IDC_CHANNEL);
        enabled = new TCheckBox(this, IDC_ENABLED);
    }

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    std::vector<std::string> log;
    std::vector<std::string> scrolls;
    int applied = 0;
    TEdit* name;
    TGlyphButton* browse;
    TComboBox* channel;
    TCheckBox* enabled;

    void Clear() { log.clear(); }
    std::vector<std::string> For(UINT id) const
    {
        std::vector<std::string> out;
        const std::string prefix = std::to_string(id) + ":";
        for (const std::string& entry : log) {
            if (entry.rfind(prefix, 0) == 0)
                out.push_back(entry.substr(prefix.size()));
        }
        return out;
    }

protected:
    void SetupWindow() override
    {
        TDialog::SetupWindow();
        for (const char* c : {"Channel B", "Channel A", "internal"})
            channel->AddString(c);
        SendDlgItemMessage(IDC_TAG, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("PUMP_1"));
        SendDlgItemMessage(IDC_TAG, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("VALVE_2"));
        for (const char* c : {"1\tone", "2\ttwo", "3\tthree"})
            SendDlgItemMessage(IDC_ITEMS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c));
        for (const char* c : {"red", "green", "blue", "white"})
            SendDlgItemMessage(IDC_PICKS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c));
        auto* scroll = dynamic_cast<TScrollBar*>(ChildWithId(IDC_SCROLL));
        scroll->SetRange(0, 50);
        SendDlgItemMessage(IDC_SPIN, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(IDC_COUNT)));
        SendDlgItemMessage(IDC_SPIN, UDM_SETRANGE32, 0, 5);
        SetDlgItemText(IDC_CODE, "A7");
        Clear();  // what set-up did is not the user's doing
    }

    LRESULT EvCommand(UINT id, HWND hWndCtl, UINT notifyCode) override
    {
        if (hWndCtl)
            log.push_back(std::to_string(id) + ":" + CodeName(id, notifyCode));
        return TDialog::EvCommand(id, hWndCtl, notifyCode);
    }

private:
    void CmApply() { ++applied; }
    void EvVScroll(UINT code, UINT pos, HWND control)
    {
        scrolls.push_back(std::to_string(GetDlgCtrlID(control)) + ":" + std::to_string(code) + ":" +
                          std::to_string(static_cast<std::int16_t>(pos)));
        DefaultProcessing();  // the scroll bar moves itself
    }
};

const TResponseTable TAllControlsDlg::Responses{&TDialog::Responses, {
    OnCommand<&TAllControlsDlg::CmApply>(IDC_APPLY),
    OnMessage<&TAllControlsDlg::EvVScroll>(WM_VSCROLL),
}};

class DialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterAllControlsTemplate(); }
    void SetUp() override
    {
        dialog = new TAllControlsDlg;
        dialog->Attr.Style |= WS_VISIBLE;
        ASSERT_TRUE(dialog->Create());
        driver.Show(*dialog);
    }
    void TearDown() override
    {
        delete dialog;
        driver.ProcessEvents();
    }
    TTestDriver driver;
    TAllControlsDlg* dialog = nullptr;
};

TEST_F(DialogTest, ControlsSitWhereTheTemplateSaysInDialogUnits)
{
    const TDialogUnits units = dialog->GetDialogUnits();
    const TRect name = TRect(50, 6, 140, 18);  // EditText(IDC_NAME, 50, 6, 90, 12)
    QWidget* edit = dialog->ChildWithId(IDC_NAME)->GetWidget();
    EXPECT_EQ(edit->x(), units.XToPixels(name.left));
    EXPECT_EQ(edit->y(), units.YToPixels(name.top));
    EXPECT_EQ(edit->width(), units.XToPixels(90));
    EXPECT_EQ(edit->height(), units.YToPixels(12));
    EXPECT_EQ(dialog->GetClientRect().Width(), units.XToPixels(300));
    EXPECT_EQ(dialog->GetClientRect().Height(), units.YToPixels(200));
    EXPECT_EQ(dialog->MapDialogRect(TRect(4, 8, 8, 16)), TRect(units.baseX, units.baseY, 2 * units.baseX, 2 * units.baseY));
    // The system font's base units are plausible for an 8-point face.
    EXPECT_GE(units.baseX, 5);
    EXPECT_LE(units.baseX, 9);
    EXPECT_GE(units.baseY, 11);
    EXPECT_LE(units.baseY, 16);
}

TEST_F(DialogTest, ClaimedControlsAreTheDialogsObjectsAndOthersAreMadeForIt)
{
    EXPECT_EQ(dialog->ChildWithId(IDC_NAME), dialog->name);
    EXPECT_TRUE(dialog->name->IsWindow());
    EXPECT_TRUE(dynamic_cast<TStatic*>(dialog->ChildWithId(IDC_LABEL)));
    EXPECT_TRUE(dynamic_cast<TRadioButton*>(dialog->ChildWithId(IDC_RADIO_B)));
    EXPECT_TRUE(dynamic_cast<TListBox*>(dialog->ChildWithId(IDC_PICKS)));
    EXPECT_TRUE(dynamic_cast<TUpDown*>(dialog->ChildWithId(IDC_SPIN)));
    EXPECT_EQ(dialog->GetCaption(), "All Controls");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_LABEL), "&Name");
    EXPECT_EQ(dialog->GetDefaultId(), IDOK);
}

TEST_F(DialogTest, TypingSendsUpdateThenChangeForEveryCharacter)
{
    driver.Type(*dialog, IDC_NAME, "PU");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "PU");
    EXPECT_EQ(dialog->For(IDC_NAME),
              (std::vector<std::string>{"EN_SETFOCUS", "EN_UPDATE", "EN_CHANGE", "EN_UPDATE", "EN_CHANGE"}));
    EXPECT_TRUE(dialog->name->IsModified());
    driver.PressKey(VK_BACK);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "P");
}

TEST_F(DialogTest, TextSetByTheProgramIsNotAUsersChange)
{
    driver.Type(*dialog, IDC_NAME, "X");
    dialog->SetDlgItemText(IDC_NAME, "PUMP");
    EXPECT_FALSE(dialog->name->IsModified());
    // A single-line edit still tells its parent that its text changed.
    EXPECT_EQ(dialog->For(IDC_NAME).back(), "EN_CHANGE");
    dialog->Clear();
    dialog->SetDlgItemText(IDC_NOTES, "a\r\nb");
    EXPECT_TRUE(dialog->For(IDC_NOTES).empty());
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NOTES), "a\r\nb");
}

TEST_F(DialogTest, TextLimitDropsTheCharactersBeyondIt)
{
    // The edit was made with a text limit of 9 (8 characters and the terminator).
    driver.Type(*dialog, IDC_NAME, "ABCDEFGHIJ");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "ABCDEFGH");
    EXPECT_EQ(dialog->For(IDC_NAME).back(), "EN_MAXTEXT");
}

TEST_F(DialogTest, FocusMovesWithNotificationsInOrder)
{
    driver.Focus(*dialog, IDC_NAME);
    dialog->Clear();
    driver.Click(*dialog, IDC_ENABLED);
    driver.Focus(*dialog, IDC_NOTES);
    EXPECT_EQ(dialog->log, (std::vector<std::string>{"101:EN_KILLFOCUS", "105:BN_CLICKED", "102:EN_SETFOCUS"}));
}

TEST_F(DialogTest, MultiLineEditKeepsEnterWithWantReturn)
{
    driver.Type(*dialog, IDC_NOTES, "a\rb");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NOTES), "a\r\nb");
    EXPECT_TRUE(dialog->IsWindow());  // Enter did not press OK
}

TEST_F(DialogTest, ReadOnlyEditRefusesTyping)
{
    driver.Type(*dialog, IDC_CODE, "zz");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_CODE), "A7");
    dialog->SendDlgItemMessage(IDC_CODE, EM_SETREADONLY, 0);
    driver.Type(*dialog, IDC_CODE, "z");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_CODE), "A7z");
}

TEST_F(DialogTest, SelectionOfAnEdit)
{
    dialog->SetDlgItemText(IDC_NAME, "ABCDEF");
    dialog->SendDlgItemMessage(IDC_NAME, EM_SETSEL, 1, 4);
    DWORD start = 0;
    DWORD end = 0;
    dialog->SendDlgItemMessage(IDC_NAME, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 4u);
    dialog->name->Insert("x");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "AxEF");
    EXPECT_TRUE(dialog->name->IsModified());
}

TEST_F(DialogTest, CheckBoxesChangeThenNotify)
{
    std::vector<UINT> seen;
    driver.Click(*dialog, IDC_ENABLED);
    EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_ENABLED), BST_CHECKED);
    driver.Click(*dialog, IDC_ENABLED);
    EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_ENABLED), BST_UNCHECKED);
    EXPECT_EQ(dialog->For(IDC_ENABLED), (std::vector<std::string>{"BN_CLICKED", "BN_CLICKED"}));
    // A three-state box runs unchecked, checked, indeterminate.
    for (UINT expected : {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}) {
        driver.Click(*dialog, IDC_MODE);
        seen.push_back(dialog->IsDlgButtonChecked(IDC_MODE));
        EXPECT_EQ(seen.back(), expected);
    }
    // Set by the program: no notification.
    dialog->Clear();
    dialog->CheckDlgButton(IDC_ENABLED, BST_CHECKED);
    EXPECT_TRUE(dialog->enabled->GetCheck() == BST_CHECKED);
    EXPECT_TRUE(dialog->log.empty());
}

TEST_F(DialogTest, AutomaticRadioButtonsClearTheirGroup)
{
    driver.Click(*dialog, IDC_RADIO_A);
    driver.Click(*dialog, IDC_RADIO_C);
    EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_RADIO_A), BST_UNCHECKED);
    EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_RADIO_C), BST_CHECKED);
    // Clicking the checked one again keeps it checked and still notifies.
    driver.Click(*dialog, IDC_RADIO_C);
    EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_RADIO_C), BST_CHECKED);
    EXPECT_EQ(dialog->For(IDC_RADIO_C).size(), 2u);
    dialog->CheckRadioButton(IDC_RADIO_A, IDC_RADIO_C, IDC_RADIO_B);
    EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_RADIO_B), BST_CHECKED);
    EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_RADIO_C), BST_UNCHECKED);
}

TEST_F(DialogTest, ArrowKeysWalkARadioGroupAndCheckAsTheyGo)
{
    driver.Click(*dialog, IDC_RADIO_A);
    driver.PressKey(VK_DOWN);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_RADIO_B);
    EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_RADIO_B), BST_CHECKED);
    EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_RADIO_A), BST_UNCHECKED);
    driver.PressKey(VK_UP);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_RADIO_A);
}

TEST_F(DialogTest, DropDownListSelectionByThePerson)
{
    // The list is sorted.
    EXPECT_EQ(dialog->channel->GetString(0), "Channel A");
    EXPECT_EQ(dialog->channel->GetString(2), "internal");
    EXPECT_EQ(dialog->channel->GetSelIndex(), -1);
    driver.SelectComboItem(*dialog, IDC_CHANNEL, 1);
    EXPECT_EQ(dialog->channel->GetSelIndex(), 1);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_CHANNEL), "Channel B");
    const std::vector<std::string> expected{"CBN_SETFOCUS", "CBN_DROPDOWN", "CBN_SELCHANGE", "CBN_SELENDOK",
                                            "CBN_CLOSEUP"};
    EXPECT_EQ(dialog->For(IDC_CHANNEL), expected);
    // Choosing the selected item again changes nothing.
    dialog->Clear();
    driver.SelectComboItem(*dialog, IDC_CHANNEL, "Channel B");
    EXPECT_EQ(dialog->For(IDC_CHANNEL), (std::vector<std::string>{"CBN_DROPDOWN", "CBN_SELENDOK", "CBN_CLOSEUP"}));
    dialog->Clear();
    driver.OpenAndCancelCombo(*dialog, IDC_CHANNEL);
    EXPECT_EQ(dialog->For(IDC_CHANNEL),
              (std::vector<std::string>{"CBN_DROPDOWN", "CBN_SELENDCANCEL", "CBN_CLOSEUP"}));
    EXPECT_EQ(dialog->channel->GetSelIndex(), 1);
    EXPECT_FALSE(dialog->channel->GetDroppedState());
}

TEST_F(DialogTest, ClosedComboChangesWithArrowKeysAndTellsOnlySelChange)
{
    dialog->channel->SetSelIndex(0);
    EXPECT_TRUE(dialog->For(IDC_CHANNEL).empty());
    driver.Focus(*dialog, IDC_CHANNEL);
    dialog->Clear();
    driver.PressKey(VK_DOWN);
    EXPECT_EQ(dialog->channel->GetSelIndex(), 1);
    EXPECT_EQ(dialog->For(IDC_CHANNEL), (std::vector<std::string>{"CBN_SELCHANGE"}));
}

TEST_F(DialogTest, EditableComboHasItsEditFieldAsChild1001)
{
    auto* tag = dynamic_cast<TComboBox*>(dialog->ChildWithId(IDC_TAG));
    ASSERT_NE(tag->GetEdit(), nullptr);
    EXPECT_EQ(tag->GetDlgItem(kComboEditId), tag->GetEdit()->GetHandle());
    driver.Type(*dialog, IDC_TAG, "PU");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_TAG), "PU");
    EXPECT_EQ(tag->GetSelIndex(), -1);
    const std::vector<std::string> expected{"CBN_SETFOCUS", "CBN_EDITUPDATE", "CBN_EDITCHANGE", "CBN_EDITUPDATE",
                                            "CBN_EDITCHANGE"};
    EXPECT_EQ(dialog->For(IDC_TAG), expected);
    // Choosing an item fills the field without an edit notification.
    dialog->Clear();
    driver.SelectComboItem(*dialog, IDC_TAG, "VALVE_2");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_TAG), "VALVE_2");
    for (const std::string& n : dialog->For(IDC_TAG))
        EXPECT_NE(n, "CBN_EDITCHANGE");
}

TEST_F(DialogTest, ListBoxClicksSelectAndNotify)
{
    driver.ClickListItem(*dialog, IDC_ITEMS, 1);
    EXPECT_EQ(dialog->SendDlgItemMessage(IDC_ITEMS, LB_GETCURSEL), 1);
    driver.DoubleClickListItem(*dialog, IDC_ITEMS, 2);
    EXPECT_EQ(dialog->SendDlgItemMessage(IDC_ITEMS, LB_GETCURSEL), 2);
    const std::vector<std::string> expected{"LBN_SETFOCUS", "LBN_SELCHANGE", "LBN_SELCHANGE", "LBN_DBLCLK"};
    EXPECT_EQ(dialog->For(IDC_ITEMS), expected);
    // The program's selection is not notified.
    dialog->Clear();
    dialog->SendDlgItemMessage(IDC_ITEMS, LB_SETCURSEL, 0);
    EXPECT_TRUE(dialog->For(IDC_ITEMS).empty());
}

TEST_F(DialogTest, ExtendedSelectionWithCtrlAndShift)
{
    auto* picks = dynamic_cast<TListBox*>(dialog->ChildWithId(IDC_PICKS));
    driver.ClickListItem(*dialog, IDC_PICKS, 0);
    driver.ClickListItem(*dialog, IDC_PICKS, 2, MK_CONTROL);
    EXPECT_EQ(picks->GetSelCount(), 2);
    int selected[4] = {};
    EXPECT_EQ(picks->GetSelIndexes(selected, 4), 2);
    EXPECT_EQ(selected[0], 0);
    EXPECT_EQ(selected[1], 2);
    // Shift selects from the anchor (the last item clicked) and drops the rest.
    driver.ClickListItem(*dialog, IDC_PICKS, 3, MK_SHIFT);
    EXPECT_EQ(picks->GetSelCount(), 2);
    EXPECT_FALSE(picks->GetSel(0));
    EXPECT_TRUE(picks->GetSel(2));
    EXPECT_TRUE(picks->GetSel(3));
    // A single selection call is refused by a multiple-selection list.
    EXPECT_EQ(picks->SetSelIndex(1), LB_ERR);
}

TEST_F(DialogTest, ScrollBarTellsTheParentWhichDecidesThePosition)
{
    auto* scroll = dynamic_cast<TScrollBar*>(dialog->ChildWithId(IDC_SCROLL));
    QWidget* bar = scroll->GetWidget();
    // A click on the lower arrow: the parent hears SB_LINEDOWN; the bar's own
    // handler then moves it by its line magnitude.
    driver.ClickAt(*dialog, {bar->x() + bar->width() / 2, bar->y() + bar->height() - 3});
    ASSERT_FALSE(dialog->scrolls.empty());
    EXPECT_EQ(dialog->scrolls.front(), std::to_string(IDC_SCROLL) + ":" + std::to_string(SB_LINEDOWN) + ":0");
    EXPECT_EQ(dialog->scrolls.back(), std::to_string(IDC_SCROLL) + ":" + std::to_string(SB_ENDSCROLL) + ":0");
    EXPECT_EQ(scroll->GetPosition(), 1);
}

TEST_F(DialogTest, UpDownStepsItsBuddyWithinTheRange)
{
    QWidget* spin = dialog->ChildWithId(IDC_SPIN)->GetWidget();
    QWidget* count = dialog->ChildWithId(IDC_COUNT)->GetWidget();
    // Aligned on the buddy's right edge.
    EXPECT_EQ(spin->x(), count->x() + count->width());
    EXPECT_EQ(dialog->GetDlgItemText(IDC_COUNT), "0");
    for (int i = 0; i < 7; ++i)
        driver.ClickAt(*dialog, {spin->x() + 2, spin->y() + 2});
    EXPECT_EQ(dialog->GetDlgItemText(IDC_COUNT), "5");
    driver.Focus(*dialog, IDC_COUNT);
    driver.PressKey(VK_DOWN);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_COUNT), "4");
    EXPECT_EQ(dialog->scrolls.back(), std::to_string(IDC_SPIN) + ":" + std::to_string(SB_ENDSCROLL) + ":4");
    // A number typed into the buddy is where the next step starts.
    dialog->SetDlgItemText(IDC_COUNT, "2");
    driver.ClickAt(*dialog, {spin->x() + 2, spin->y() + spin->height() - 2});
    EXPECT_EQ(dialog->GetDlgItemText(IDC_COUNT), "1");
}

TEST_F(DialogTest, NumberEditTakesDigitsOnly)
{
    dialog->SetDlgItemText(IDC_COUNT, "");
    driver.Type(*dialog, IDC_COUNT, "1a2-");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_COUNT), "12");
    bool ok = false;
    EXPECT_EQ(dialog->GetDlgItemInt(IDC_COUNT, &ok), 12u);
    EXPECT_TRUE(ok);
}

TEST_F(DialogTest, DisabledControlsTakeNoInput)
{
    ::EnableWindow(dialog->GetDlgItem(IDC_APPLY), false);
    driver.Click(*dialog, IDC_APPLY);
    EXPECT_EQ(dialog->applied, 0);
    EXPECT_FALSE(::IsWindowEnabled(dialog->GetDlgItem(IDC_APPLY)));
    ::EnableWindow(dialog->GetDlgItem(IDC_APPLY), true);
    driver.Click(*dialog, IDC_APPLY);
    EXPECT_EQ(dialog->applied, 1);
}

TEST_F(DialogTest, TabWalksTheTabStopsInTemplateOrder)
{
    driver.Focus(*dialog, IDC_NAME);
    std::vector<int> order;
    for (int i = 0; i < 6; ++i) {
        driver.PressKey(VK_TAB);
        order.push_back(GetDlgCtrlID(GetFocus()));
    }
    // Read-only edits keep their tab stop; the group's radio buttons are one stop.
    EXPECT_EQ(order, (std::vector<int>{IDC_NOTES, IDC_CODE, IDC_ENABLED, IDC_MODE, IDC_RADIO_A, IDC_CHANNEL}));
    driver.PressKey(VK_TAB, MK_SHIFT);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_RADIO_A);
    // Tab selects the whole text of the edit it lands on.
    dialog->SetDlgItemText(IDC_NAME, "HELLO");
    driver.Focus(*dialog, IDC_NOTES);
    driver.PressKey(VK_TAB, MK_SHIFT);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_NAME);
    driver.TypeKeys("X");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "X");
}

TEST_F(DialogTest, MnemonicOfALabelFocusesTheControlAfterIt)
{
    driver.Focus(*dialog, IDC_ENABLED);  // a check box takes no characters
    driver.TypeKeys("n");
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_NAME);
    driver.Focus(*dialog, IDC_ENABLED);
    dialog->Clear();
    driver.TypeKeys("a");  // "&Apply"
    EXPECT_EQ(dialog->applied, 1);
}

TEST_F(DialogTest, AltWithALabelsMnemonicActsEvenFromAnEditField)
{
    driver.Focus(*dialog, IDC_NOTES);
    driver.TypeKeys("n");  // a plain letter is the edit's text
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_NOTES);
    driver.PressKey('N', MK_ALT);  // "&Name" hands the focus to the edit after it
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_NAME);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NOTES), "n");
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "");
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonOrTheFocusedOne)
{
    driver.Focus(*dialog, IDC_APPLY);
    driver.PressKey(VK_RETURN);
    EXPECT_EQ(dialog->applied, 1);
    EXPECT_TRUE(dialog->IsWindow());
    driver.Focus(*dialog, IDC_NAME);
    driver.PressKey(VK_RETURN);
    EXPECT_FALSE(dialog->IsWindow());  // OK closed the modeless dialog
}

TEST_F(DialogTest, DefaultButtonCanMove)
{
    dialog->SendMessage(DM_SETDEFID, IDC_APPLY);
    EXPECT_EQ(LOWORD(dialog->SendMessage(DM_GETDEFID)), IDC_APPLY);
    EXPECT_EQ(HIWORD(dialog->SendMessage(DM_GETDEFID)), DC_HASDEFID);
    EXPECT_EQ(dialog->ChildWithId(IDC_APPLY)->GetStyle() & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(dialog->ChildWithId(IDOK)->GetStyle() & BS_TYPEMASK, BS_PUSHBUTTON);
    driver.Focus(*dialog, IDC_NAME);
    driver.PressKey(VK_RETURN);
    EXPECT_EQ(dialog->applied, 1);
}

TEST_F(DialogTest, NextDialogControlMessageMovesTheFocus)
{
    driver.Focus(*dialog, IDC_NAME);
    dialog->SendMessage(WM_NEXTDLGCTL, 0, 0);  // the next tab stop
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_NOTES);
    dialog->SendMessage(WM_NEXTDLGCTL, 1, 0);  // the previous one
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_NAME);
    // Posted with a window handle, as a grid hands the focus to its scroll bar.
    dialog->PostMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dialog->GetDlgItem(IDC_PICKS)), 1);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_NAME);
    driver.ProcessEvents();
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDC_PICKS);
}

TEST_F(DialogTest, EscapeAndTheCloseBoxCancel)
{
    driver.Focus(*dialog, IDC_NAME);
    driver.PressKey(VK_ESCAPE);
    EXPECT_FALSE(dialog->IsWindow());
    ASSERT_TRUE(dialog->Create());
    driver.Show(*dialog);
    dialog->Clear();
    driver.CloseBox(*dialog);
    EXPECT_FALSE(dialog->IsWindow());
}

TEST_F(DialogTest, GetAndSetItemIntegers)
{
    struct Case {
        const char* text;
        bool isSigned;
        UINT value;
        bool ok;
    };
    const Case cases[] = {
        {"42", true, 42, true},       {" -17 ", true, static_cast<UINT>(-17), true},
        {"-17", false, 0, false},     {"12x", true, 0, false},
        {"", true, 0, false},         {"4294967295", false, 4294967295u, true},
        {"4294967296", false, 0, false}, {"2147483648", true, 0, false},
    };
    for (const Case& c : cases) {
        dialog->SetDlgItemText(IDC_CODE, c.text);
        bool ok = !c.ok;
        EXPECT_EQ(dialog->GetDlgItemInt(IDC_CODE, &ok, c.isSigned), c.value) << c.text;
        EXPECT_EQ(ok, c.ok) << c.text;
    }
    dialog->SetDlgItemInt(IDC_NAME, static_cast<UINT>(-5), true);
    EXPECT_EQ(dialog->GetDlgItemText(IDC_NAME), "-5");
}

// A page: a child dialog inside another dialog, as property sheets hold them.
TEST(ChildDialogTest, PagesSitInsideTheirDialogAndShareItsTabOrder)
{
    RegisterDialogTemplate(4400, {"Sheet", 0, 0, 200, 120, WS_POPUP | WS_CAPTION, "MS Sans Serif", 8, {
        EditText(1, 5, 5, 60, 12),
        DefPushButton("OK", IDOK, 5, 100, 40, 14),
    }});
    RegisterDialogTemplate(4401, {"Page", 5, 25, 190, 70, WS_CHILD | WS_VISIBLE, "MS Sans Serif", 8, {
        EditText(10, 5, 5, 60, 12),
        EditText(11, 5, 20, 60, 12),
    }});
    TTestDriver driver;
    TDialog sheet(nullptr, 4400);
    auto* page = new TDialog(&sheet, 4401);
    sheet.Attr.Style |= WS_VISIBLE;
    ASSERT_TRUE(sheet.Create());
    driver.Show(sheet);
    ASSERT_TRUE(page->IsWindow());
    EXPECT_EQ(page->GetWidget()->parentWidget(), sheet.GetWidget());
    EXPECT_EQ(page->GetWidget()->pos(), QPoint(sheet.GetDialogUnits().XToPixels(5), sheet.GetDialogUnits().YToPixels(25)));
    // The page came after the template's controls, so its controls follow them.
    driver.Focus(sheet, 1);
    driver.PressKey(VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK);
    driver.PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), page->GetDlgItem(10));
    driver.PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), page->GetDlgItem(11));
    driver.PressKey(VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 1);
    // Enter in the page's edit presses the sheet's default button.
    ::SetFocus(page->GetDlgItem(10));
    driver.ProcessEvents();
    driver.PressKey(VK_RETURN);
    EXPECT_FALSE(sheet.IsWindow());
}

// ---------------------------------------------------------------- modal runs

TEST(ModalDialogTest, ExecuteAnswersTheEndCodeAndDestroysTheWindow)
{
    RegisterAllControlsTemplate();
    TTestDriver driver;
    TAllControlsDlg dialog;
    driver.OnNextDialog([&](TDialog& d) {
        driver.Type(d, IDC_NAME, "TANK");
        driver.Click(d, IDOK);
    });
    EXPECT_EQ(dialog.Execute(), IDOK);
    EXPECT_FALSE(dialog.IsWindow());
    // The object remains and can run again; Cancel this time.
    driver.OnNextDialog([&](TDialog& d) {
        EXPECT_EQ(d.GetDlgItemText(IDC_NAME), "");  // a fresh window
        driver.Click(d, IDCANCEL);
    });
    EXPECT_EQ(dialog.Execute(), IDCANCEL);
}

TEST(ModalDialogTest, AMissingTemplateFailsWithMinusOne)
{
    TTestDriver driver;
    TDialog dialog(nullptr, 999999);
    EXPECT_EQ(dialog.Execute(), -1);
}

// A validator refusing at close: OK keeps the dialog open and says why.
class TValidatedDlg : public TAllControlsDlg {
public:
    TValidatedDlg() { name->SetValidator(new TFilterValidator("A-Z")); }
};

TEST(ModalDialogTest, OkWaitsForEveryControlToAgree)
{
    RegisterAllControlsTemplate();
    TTestDriver driver;
    TValidatedDlg dialog;
    driver.OnNextDialog([&](TDialog& d) {
        d.SetDlgItemText(IDC_NAME, "bad1");  // the program may put anything there
        driver.AnswerMessageBox(IDOK);       // "Invalid character in input"
        driver.Click(d, IDOK);
        EXPECT_TRUE(static_cast<TDialog&>(d).IsExecuting());
        d.SetDlgItemText(IDC_NAME, "GOOD");
        driver.Click(d, IDOK);
    });
    EXPECT_EQ(dialog.Execute(), IDOK);
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "Invalid character in input");
}

TEST(ModalDialogTest, NestedModalDialogsAnswerInTurn)
{
    RegisterAllControlsTemplate();
    TTestDriver driver;
    TAllControlsDlg outer;
    int inner = 0;
    driver.OnNextDialog([&](TDialog& d) {
        driver.OnNextDialog([&](TDialog& second) { driver.Click(second, IDCANCEL); });
        TAllControlsDlg nested(&d);
        inner = nested.Execute();
        driver.Click(d, IDOK);
    });
    EXPECT_EQ(outer.Execute(), IDOK);
    EXPECT_EQ(inner, IDCANCEL);
}

}  // namespace

TEST_F(DialogTest, AControlCanDropStyleBitsTheTemplateGivesIt)
{
    // The notes edit, claimed with its multi-line style taken off, is a
    // single-line edit: Return reaches the default button instead of
    // breaking the text.
    class TSingleNotesDlg : public TDialog {
    public:
        TSingleNotesDlg() : TDialog(nullptr, kDialogId)
        {
            notes = new TEdit(this, IDC_NOTES, 0);
            notes->RemoveTemplateStyle(ES_MULTILINE | ES_WANTRETURN);
        }
        TEdit* notes;
    };
    TSingleNotesDlg single;
    single.Attr.Style |= WS_VISIBLE;
    ASSERT_TRUE(single.Create());
    driver.Show(single);
    EXPECT_FALSE(single.notes->IsMultiLine());
    EXPECT_TRUE(single.notes->GetStyle() & WS_VSCROLL) << "the other bits stay";
    driver.Type(single, IDC_NOTES, "ab");
    EXPECT_EQ(single.GetDlgItemText(IDC_NOTES), "ab");
    driver.PressKey(VK_RETURN);
    EXPECT_FALSE(single.IsWindow()) << "OK ended the dialog";
    EXPECT_TRUE(static_cast<TEdit*>(dialog->ChildWithId(IDC_NOTES))->IsMultiLine()) << "other dialogs keep the style";
}
