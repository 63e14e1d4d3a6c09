// The attribute pages of the element sheets, driven as a person uses them:
// the Blink and Show/Hide pages with their tag, data type and state boxes,
// the Fill page, the Position and Rotation pages with the point pick-up
// dialog, and Cancel through any page.

#include "page_test_util.h"

#include "plintvlr/db/tag_reference.h"
#include "plintvlr/elements/blink_page.h"
#include "plintvlr/elements/dyn_attributes.h"
#include "plintvlr/elements/element_page_templates.h"
#include "plintvlr/elements/fill_page.h"
#include "plintvlr/elements/font_dialog.h"
#include "plintvlr/elements/pt_pickup_dlg.h"
#include "plintvlr/elements/tag_combo_box.h"
#include "plintvlr/elements/tag_mask_page.h"
#include "plintvlr/elements/tags_point_page.h"
#include "plintvlr/elements/text_sheets.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "platform/ui/controls/combo_box.h"
#include "platform/ui/help.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_api.h"

#include <functional>
#include <vector>

namespace {

class ElementPages : public PagesTest {
protected:
    TBlinkPage& OpenBlink(TDynBlink& blink)
    {
        return OpenPage<TBlinkPage>([&](TPropertySheet* sheet) { return new TBlinkPage(sheet, blink); });
    }

    static TComboBox& Combo(TWindow& page, int id) { return *dynamic_cast<TComboBox*>(page.ChildWithId(id)); }
    static std::string Shown(TWindow& page, int id)
    {
        TComboBox& combo = Combo(page, id);
        return combo.GetSelIndex() < 0 ? "" : combo.GetString(combo.GetSelIndex());
    }

    static constexpr int kTagControls[] = {IDC_TAG_LABEL,      IDC_TAG_COMBO,      IDC_TAG_CLEAR,
                                           IDC_DATATYPE_LABEL, IDC_DATATYPE_COMBO, IDC_STATES_GROUP,
                                           IDC_STATE_00,       IDC_STATE_00 + 1,   IDC_STATE_00 + 2,
                                           IDC_STATE_00 + 3};
};

std::uint16_t WithDataType(int tag, int dataType)
{
    std::uint16_t reference = static_cast<std::uint16_t>(tag);
    JoinTagRefBit(reference, dataType);
    return reference;
}

}  // namespace

TEST_F(ElementPages, UnconditionalBlinkGreysTheTagControlsAndKeepsTheTag)
{
    TDynBlink blink(kLevel, TDynBlink::kAlways);
    TBlinkPage& page = OpenBlink(blink);
    EXPECT_TRUE(Checked(page, IDC_UNCONDITIONAL_BLINK));
    for (int id : kTagControls)
        EXPECT_FALSE(Enabled(page, id)) << id;
    EXPECT_TRUE(Screenshot(Sheet(), "element_page_blink"));

    driver.Click(Sheet(), IDOK);
    EXPECT_EQ(Sheet().endedWith, IDOK);
    EXPECT_EQ(blink.GetReference(), kLevel);
    EXPECT_EQ(blink.GetMask(), TDynBlink::kAlways);
}

TEST_F(ElementPages, ClearingUnconditionalBlinkGivesTheTagControlsBack)
{
    TDynBlink blink(kValve, TDynBlink::kAlways);
    TBlinkPage& page = OpenBlink(blink);
    driver.Click(page, IDC_UNCONDITIONAL_BLINK);
    for (int id : kTagControls)
        EXPECT_EQ(Enabled(page, id), id != IDC_TAG_CLEAR) << id;  // the tag went with the greying
    driver.SelectComboItem(page, IDC_TAG_COMBO, "VALVE");
    EXPECT_TRUE(Enabled(page, IDC_TAG_CLEAR));
    driver.Click(page, IDC_STATE_00 + 3);
    driver.Click(Sheet(), IDOK);
    std::uint16_t tag = 0;
    int dataType = -1;
    blink.GetTag(tag, dataType);
    EXPECT_EQ(tag, kValve);
    EXPECT_EQ(dataType, 0);
    EXPECT_EQ(blink.GetMask(), 0x08);
}

TEST_F(ElementPages, ADigitalTagHasNoLowOrHighAndTheirDataTypeFallsBackToValue)
{
    TDynBlink blink(WithDataType(kLevel, 4), 0x01);
    TBlinkPage& page = OpenBlink(blink);
    EXPECT_EQ(Combo(page, IDC_DATATYPE_COMBO).GetCount(), 5);
    EXPECT_EQ(Shown(page, IDC_DATATYPE_COMBO), "High");

    driver.SelectComboItem(page, IDC_TAG_COMBO, "DOOR");
    EXPECT_EQ(Combo(page, IDC_DATATYPE_COMBO).GetCount(), 3);
    EXPECT_EQ(Shown(page, IDC_DATATYPE_COMBO), "Value");
    EXPECT_EQ(page.GetWorkingDataType(), 0);

    driver.SelectComboItem(page, IDC_TAG_COMBO, "TEMP");
    EXPECT_EQ(Combo(page, IDC_DATATYPE_COMBO).GetCount(), 5);
}

TEST_F(ElementPages, UpperStatesOnlyForAFourStateTagReadAsAValue)
{
    const struct {
        const char* tag;
        const char* dataType;
        bool fourStates;
    } cases[] = {
        {"VALVE", "Value", true},  {"DOOR", "Value", false}, {"LEVEL", "Value", true},
        {"LEVEL", "Alarm", false}, {"VALVE", "Unack", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.tag) + " " + c.dataType);
        TDynBlink blink(kValve, 0x0E);
        TBlinkPage& page = OpenBlink(blink);
        driver.SelectComboItem(page, IDC_TAG_COMBO, c.tag);
        driver.SelectComboItem(page, IDC_DATATYPE_COMBO, c.dataType);
        for (int state : {2, 3}) {
            EXPECT_EQ(Enabled(page, IDC_STATE_00 + state), c.fourStates);
            EXPECT_EQ(Checked(page, IDC_STATE_00 + state), c.fourStates);
        }
        driver.Click(Sheet(), IDOK);
        EXPECT_EQ(blink.GetMask(), c.fourStates ? 0x0E : 0x02);
    }
}

TEST_F(ElementPages, ClearEmptiesTheTagAndGreysItself)
{
    TDynBlink blink(kTemp, 0x03);
    TBlinkPage& page = OpenBlink(blink);
    EXPECT_EQ(Shown(page, IDC_TAG_COMBO), "TEMP");
    driver.Click(page, IDC_TAG_CLEAR);
    EXPECT_EQ(Shown(page, IDC_TAG_COMBO), "");
    EXPECT_FALSE(Enabled(page, IDC_TAG_CLEAR));
    EXPECT_EQ(GetFocus(), page.GetDlgItem(IDC_TAG_COMBO));
    driver.Click(Sheet(), IDOK);
    EXPECT_EQ(blink.GetReference(), 0);
}

TEST_F(ElementPages, CancelClosesTheSheetWithCancelAndKeepsTheAttribute)
{
    TDynBlink blink(kTemp, 0x03);
    TBlinkPage& page = OpenBlink(blink);
    driver.SelectComboItem(page, IDC_TAG_COMBO, "VALVE");
    driver.Click(page, IDC_STATE_00 + 3);
    driver.Click(Sheet(), IDCANCEL);
    driver.ProcessEvents();
    EXPECT_FALSE(Sheet().IsWindow());
    EXPECT_EQ(Sheet().endedWith, IDCANCEL);
    EXPECT_EQ(blink, TDynBlink(kTemp, 0x03));

    // A Reset heard by a page alone (Escape in a page's text) closes the sheet too.
    TDynBlink other(kTemp, 0x01);
    TBlinkPage& again = OpenBlink(other);
    NMHDR header{again.GetDlgItem(IDC_TAG_COMBO), IDC_TAG_COMBO, PSN_RESET};
    again.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    driver.ProcessEvents();
    EXPECT_FALSE(Sheet().IsWindow());
    EXPECT_EQ(Sheet().endedWith, IDCANCEL);
}

TEST_F(ElementPages, ShowHidePageOfAFrameKeepsTwoStatesOfAnAnalogTag)
{
    for (bool compact : {false, true}) {
        SCOPED_TRACE(compact ? "compact" : "four states");
        DynamicData showHide;
        showHide.SetTag(kLevel, 0);
        showHide.SetMask(0x0C);
        TColorPage& page = OpenPage<TColorPage>(
            [&](TPropertySheet* sheet) { return new TColorPage(sheet, showHide, compact); });
        EXPECT_EQ(Enabled(page, IDC_STATE_00 + 2), !compact);
        EXPECT_EQ(Checked(page, IDC_STATE_00 + 3), !compact);
        if (!compact) {
            EXPECT_TRUE(Screenshot(Sheet(), "element_page_show_hide"));
        }
        driver.SelectComboItem(page, IDC_TAG_COMBO, "VALVE");
        EXPECT_TRUE(Enabled(page, IDC_STATE_00 + 2)) << "a four-state digital tag";
        driver.Click(Sheet(), IDCANCEL);
    }
}

TEST_F(ElementPages, FillPageStoresEachModeAndClearEmptiesTheTag)
{
    for (int mode = 0; mode < kFillModeCount; ++mode) {
        SCOPED_TRACE(mode);
        TDynFill fill(kLevel, mode == 0 ? 5 : 0);
        TFillPage& page = OpenPage<TFillPage>([&](TPropertySheet* sheet) { return new TFillPage(sheet, fill); });
        if (mode == 0) {
            EXPECT_TRUE(Checked(page, IDC_FILL_MODE_0 + 5));
            EXPECT_EQ(Combo(page, IDC_TAG_COMBO).GetCount(), 2) << "analog tags only";
            EXPECT_TRUE(Screenshot(Sheet(), "element_page_fill"));
        }
        driver.Click(page, IDC_FILL_MODE_0 + mode);
        driver.Click(Sheet(), IDOK);
        EXPECT_EQ(fill, TDynFill(kLevel, mode));
    }
    TDynFill fill(kTemp, 3);
    TFillPage& page = OpenPage<TFillPage>([&](TPropertySheet* sheet) { return new TFillPage(sheet, fill); });
    EXPECT_TRUE(Enabled(page, IDC_TAG_CLEAR));
    driver.Click(page, IDC_TAG_CLEAR);
    EXPECT_FALSE(Enabled(page, IDC_TAG_CLEAR));
    driver.Click(Sheet(), IDOK);
    EXPECT_EQ(fill, TDynFill(0, 3));
}

TEST_F(ElementPages, PositionEditsTakeTheScreenAndDrawPicksAnOffset)
{
    // Type 9: 240 x 48 pixels.
    TDynPosition position(kLevel, kTemp, TPoint(10, 20));
    const TPoint anchor(100, 30);
    TPositionPage& page = OpenPage<TPositionPage>(
        [&](TPropertySheet* sheet) { return new TPositionPage(sheet, position, anchor); });
    EXPECT_EQ(Shown(page, IDC_TAG_COMBO), "LEVEL");
    EXPECT_EQ(Shown(page, IDC_POSITION_Y_TAG), "TEMP");
    EXPECT_EQ(GetOpenTagsPointPage(), &page);
    EXPECT_TRUE(Screenshot(Sheet(), "element_page_position"));
    const struct {
        int id;
        const char* typed;
        int value;
    } edits[] = {{IDC_POINT_X, "999", 239}, {IDC_POINT_X, "0", 0}, {IDC_POINT_Y, "999", 47}, {IDC_POINT_Y, "5", 5}};
    for (const auto& e : edits) {
        page.SetDlgItemText(e.id, "");
        driver.Type(page, e.id, e.typed);
        EXPECT_EQ(page.GetDlgItemText(e.id), std::to_string(e.value)) << e.typed;
    }
    EXPECT_EQ(page.GetWorkingPoint(), TPoint(0, 5));

    driver.Click(page, IDC_POINT_DRAW);
    PtPickupDlg* pickup = GetOpenPickupDialog();
    ASSERT_NE(pickup, nullptr);
    EXPECT_EQ(pickup->GetHost()->GetWindowText(), "Position Offset");
    EXPECT_EQ(pickup->GetDlgItemText(IDC_POINT_Y), "5");
    EXPECT_TRUE(Editor().pickup);
    EXPECT_FALSE(Sheet().GetHost()->IsWindowEnabled());
    EXPECT_FALSE(pickup->GetHost()->GetStyle() & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(Screenshot(Client(), "point_pickup_dialog"));

    // 5 pixels left of the anchor and 7 above it.
    pickup->SendMessage(kPointPickedMessage, 0, MAKELPARAM(anchor.x - 5, anchor.y + 7));
    EXPECT_EQ(pickup->GetPoint(), TPoint(0, 7));
    EXPECT_EQ(pickup->GetDlgItemText(IDC_POINT_X), "0");
    driver.Click(*pickup, IDC_PICKUP_CLOSE);
    driver.ProcessEvents();
    EXPECT_EQ(GetOpenPickupDialog(), nullptr);
    EXPECT_FALSE(Editor().pickup);
    EXPECT_TRUE(Sheet().GetHost()->IsWindowEnabled());
    EXPECT_EQ(page.GetDlgItemText(IDC_POINT_X), "0");
    EXPECT_EQ(page.GetDlgItemText(IDC_POINT_Y), "7");

    // Cancel keeps what the page had.
    driver.Click(page, IDC_POINT_DRAW);
    pickup = GetOpenPickupDialog();
    ASSERT_NE(pickup, nullptr);
    pickup->SendMessage(kPointPickedMessage, 0, MAKELPARAM(anchor.x + 30, anchor.y + 3));
    EXPECT_EQ(pickup->GetPoint(), TPoint(30, 3));
    driver.Click(*pickup, IDCANCEL);
    driver.ProcessEvents();
    EXPECT_EQ(GetOpenPickupDialog(), nullptr);
    EXPECT_TRUE(Sheet().GetHost()->IsWindowEnabled());
    EXPECT_EQ(page.GetWorkingPoint(), TPoint(0, 7));

    driver.Click(page, IDC_POSITION_Y_CLEAR);
    driver.Click(Sheet(), IDOK);
    EXPECT_EQ(position, TDynPosition(kLevel, 0, TPoint(0, 7)));
    EXPECT_EQ(GetOpenTagsPointPage(), nullptr);
}

TEST_F(ElementPages, RotationCentreIsPickedWhereClicked)
{
    TDynRotation rotation(kTemp, TPoint(3, 4));
    TRotationPage& page = OpenPage<TRotationPage>(
        [&](TPropertySheet* sheet) { return new TRotationPage(sheet, rotation, TPoint(100, 30)); });
    EXPECT_TRUE(Screenshot(Sheet(), "element_page_rotation"));
    driver.Click(page, IDC_POINT_DRAW);
    PtPickupDlg* pickup = GetOpenPickupDialog();
    ASSERT_NE(pickup, nullptr);
    EXPECT_EQ(pickup->GetHost()->GetWindowText(), "Rotation Center");
    EXPECT_EQ(pickup->GetDlgItemText(IDC_PICKUP_TEXT), "Left click the mouse to pick up a point in the drawing area.");
    pickup->SendMessage(kPointPickedMessage, 0, MAKELPARAM(20, 10));
    driver.Click(*pickup, IDC_PICKUP_CLOSE);
    driver.ProcessEvents();
    driver.Click(Sheet(), IDOK);
    EXPECT_EQ(rotation, TDynRotation(kTemp, TPoint(20, 10)));
}

TEST_F(ElementPages, PicturesAndIconsAreRegistered)
{
    RegisterElementPageTemplates();
    for (int id = kFramePictureRaised; id <= kRectanglePictureFilled; ++id)
        EXPECT_TRUE(HasBitmapResource(id)) << id;
    for (int id = kFillModePicture0; id < kFillModePicture0 + kFillModeCount; ++id)
        EXPECT_TRUE(HasBitmapResource(id)) << id;
    // A host without its icon would show the toolkit's logo in its caption.
    for (int id : {kLinesSheetIcon, kRectangleSheetIcon, kFrameSheetIcon, kCircleSheetIcon, kFormatTextSheetIcon,
                   kTagDisplaySheetIcon, kFontDialogIcon})
        EXPECT_TRUE(HasIconResource(id)) << id;
}

TEST_F(ElementPages, HelpShowsThePagesTopic)
{
    TDynBlink blink;
    TDynFill fill;
    DynamicData showHide;
    TDynRotation rotation;
    TDynPosition position;
    const struct {
        std::function<TPropertyPage*(TPropertySheet*)> make;
        DWORD context;
    } cases[] = {
        {[&](TPropertySheet* s) { return new TPositionPage(s, position, {}); }, 712},
        {[&](TPropertySheet* s) { return new TRotationPage(s, rotation, {}); }, 713},
        {[&](TPropertySheet* s) { return new TBlinkPage(s, blink); }, 714},
        {[&](TPropertySheet* s) { return new TFillPage(s, fill); }, 715},
        {[&](TPropertySheet* s) { return new TColorPage(s, showHide); }, 716},
    };
    for (const auto& c : cases) {
        OpenPage<TPropertyPage>(c.make);
        const std::size_t before = HelpRequests().size();
        driver.AnswerMessageBox(IDOK);  // no help is installed here
        driver.Click(Sheet(), IDHELP);
        ASSERT_EQ(HelpRequests().size(), before + 1);
        EXPECT_EQ(HelpRequests().back().file, program_ + "/HELP/PLINTVLR.HLP");
        EXPECT_EQ(HelpRequests().back().data, c.context);
        driver.Click(Sheet(), IDCANCEL);
    }
}
