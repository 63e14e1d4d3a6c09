// Convert To Tags: which references are direct addresses and what they are
// named, the tags made for them and written to the project, the references
// replaced (a drive-out's point word in its kept record among them), the
// full-registry and five-digit cases, and the three steps through the dialog
// as the engineer runs them.

#include "plintvlr/pageedit/tests/page_test_util.h"

#include "plintvlr/elements/tests/page_test_util.h"

#include "plintvlr/dataelements/data_elements.h"
#include "plintvlr/db/atag.h"
#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/dtag.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "plintvlr/elements/text_elem.h"
#include "plintvlr/pageedit/convert_dlg.h"
#include "plintvlr/pageedit/draw_window.h"
#include "platform/base/profile.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/mdi_child.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <typeinfo>

namespace {

constexpr int kPage = SizeRectManager::kPageMode;
constexpr std::uint16_t kBit12 = 0xC00C;

std::vector<std::string> Names(const DirectAddressList& list)
{
    std::vector<std::string> names;
    for (const DirectAddressEntry& entry : list.Entries())
        names.push_back(entry.name);
    return names;
}

// A text whose show/hide follows the reference.
TextElem* AddShownBy(SizeRectArray& elements, std::uint16_t reference)
{
    auto text = std::make_unique<TextElem>(TRect(200, 200, 600, 400), "A", true);
    text->GetShowHide().SetTag(reference, 0);
    return static_cast<TextElem*>(elements.Add(std::move(text)));
}

// A rectangle whose colour follows the reference.
SizeRect* AddColouredBy(SizeRectArray& elements, std::uint16_t reference)
{
    auto box = std::make_unique<TRegFigElem>(TRegFigElem::kRectangle, TPoint(800, 200), TPoint(1200, 600));
    box->GetColors().SetCount(2);
    box->GetColors().SetTagReference(reference);
    return elements.Add(std::move(box));
}

DriveOutElem* AddDriveOut(SizeRectArray& elements, std::uint16_t point)
{
    auto driveOut = std::make_unique<DriveOutElem>(1, TPoint(0, 0), TPoint(200, 200));
    driveOut->SetTag(point);
    return static_cast<DriveOutElem*>(elements.Add(std::move(driveOut)));
}

// --- Names ------------------------------------------------------------------

TEST(DirectAddressTest, ReferencesAreNamedByKindAndNumber)
{
    const struct {
        std::uint16_t reference;
        bool driveOut;
        const char* name;  // null: no entry
    } cases[] = {
        {0, false, nullptr},
        {0x000C, false, nullptr},  // an analog tag
        {0x800C, false, nullptr},  // a digital tag
        {kBit12, false, "B0012"},
        {0x400C, false, "R0012"},
        {0xC000 | 10200, false, "B10200"},
        {0xFFFF, false, "B16383"},
        {0x4000 | 10000, false, "R10000"},
        // A drive-out's main reference: a bit below 10000, a register above it.
        {0x4005, true, "B0005"},
        {0x4000 | 10005, true, "R0005"},
        {0xC000 | 10005, true, "R0005"},
        {0x4000 | 10000, true, nullptr},
        {0x4000 | 10001, true, "R0001"},
        {0xC005, true, nullptr},
        {0x8005, true, nullptr},
        {0x0005, true, nullptr},
    };
    for (const auto& c : cases) {
        DirectAddressEntry entry;
        const bool named = DirectAddressOf(c.reference, c.driveOut, entry);
        EXPECT_EQ(named, c.name != nullptr) << std::hex << c.reference << " " << c.driveOut;
        if (named && c.name) {
            EXPECT_EQ(entry.name, c.name) << std::hex << c.reference;
        }
    }
}

TEST(DirectAddressTest, TheListHoldsEachNameOnceSortedAndCountsByLetter)
{
    DirectAddressList list;
    for (std::uint16_t reference : {std::uint16_t(0x4007), kBit12, std::uint16_t(0xC000 | 10200), kBit12,
                                    std::uint16_t(0x4007), std::uint16_t(0xC003), std::uint16_t(0x0003)})
        SizeRectManager::FormatDirectAddress(reference, false, list, true);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"B0003", "B0012", "B10200", "R0007"}));
    EXPECT_EQ(list.FoundDigitals(), 3);
    EXPECT_EQ(list.FoundAnalogs(), 1);
    // Looking up without adding finds the position and adds nothing.
    EXPECT_EQ(SizeRectManager::FormatDirectAddress(kBit12, false, list, false), 1);
    EXPECT_EQ(SizeRectManager::FormatDirectAddress(0xC009, false, list, false), -1);
    EXPECT_EQ(list.Count(), 4);
}

// --- The model --------------------------------------------------------------

class ConvertModelTest : public PageFixture {
protected:
    static dtag StoredDigital(std::uint32_t id)
    {
        dtag tag;
        EXPECT_TRUE(tag.Read(static_cast<std::int32_t>(id)));
        return tag;
    }
    static atag StoredAnalog(std::uint32_t id)
    {
        atag tag;
        EXPECT_TRUE(tag.Read(static_cast<std::int32_t>(id)));
        return tag;
    }
    static std::string AddressOf(const tagbase& tag)
    {
        const remote_address& address = tag.Address(0);
        char text[64];
        std::snprintf(text, sizeof text, "kind %d length %d: %02X %02X %02X %02X", address.GetKind(),
                      address.GetLength(), address.ByteAt(0), address.ByteAt(1), address.ByteAt(2),
                      address.ByteAt(3));
        return text;
    }
};

TEST_F(ConvertModelTest, OneBitInAShowHideAndAColourBecomesOneDigitalTag)
{
    Open(9);
    SizeRectManager model(nullptr, true);
    TextElem* text = AddShownBy(model.GetElements(), kBit12);
    SizeRect* box = AddColouredBy(model.GetElements(), kBit12);

    DirectAddressList list;
    EXPECT_EQ(model.CollectDirectAddresses(list), 1);
    EXPECT_EQ(Names(list), std::vector<std::string>{"B0012"});
    EXPECT_EQ(SizeRectManager::CreateTagsForAddresses(list), 0);
    const std::uint32_t id = Db().GetDigitalRegistry()->Find("B0012");
    ASSERT_NE(id, 0u);
    EXPECT_EQ(list.At(0).reference, 0x8000 | id);
    EXPECT_EQ(Db().GetDigitalRegistry()->Count(), 1u);

    EXPECT_EQ(model.ReplaceAddressesByTags(list), 2);
    EXPECT_EQ(text->GetShowHideTag(), 0x8000 | id);
    EXPECT_EQ(box->GetColorTag(), 0x8000 | id);
    EXPECT_TRUE(model.IsModified());
    EXPECT_TRUE(Canvas().modified);

    const dtag tag = StoredDigital(id);
    EXPECT_EQ(tag.GetName(), "B0012");
    EXPECT_EQ(AddressOf(tag), "kind 1 length 4: 0C 00 00 00");
    EXPECT_EQ(tag.GetFlags() & 0x03, 0);
    EXPECT_EQ(tag.GetFrequencyIndex(), 16);
    EXPECT_EQ(tag.GetAlarmCode(), ' ');
    EXPECT_EQ(tag.GetInternalAddressA(), 2 * id - 1);
    EXPECT_EQ(tag.GetInternalAddressB(), 2 * id - 1);
}

TEST_F(ConvertModelTest, EveryDrawnKindTakesTheTagIntoItsShowHide)
{
    Open(9);
    SizeRectManager model(nullptr, true);
    std::vector<std::unique_ptr<SizeRect>> kinds;
    kinds.push_back(std::make_unique<TFormatText>(TRect(0, 0, 400, 200), "A", true));
    kinds.push_back(std::make_unique<LinesElem>(std::vector<TPoint>{{0, 0}, {400, 400}}));
    kinds.push_back(std::make_unique<TRegFigElem>(TRegFigElem::kRectangle));
    kinds.push_back(std::make_unique<TRegFigElem>(TRegFigElem::kFrame));
    kinds.push_back(std::make_unique<TextElem>(TRect(0, 0, 400, 200), "A", true));
    std::vector<SizeRect*> shown;
    for (auto& kind : kinds) {
        if (auto* text = dynamic_cast<TFormatText*>(kind.get()))
            text->GetShowHide().SetTag(kBit12, 0);
        else if (auto* lines = dynamic_cast<LinesElem*>(kind.get()))
            lines->GetShowHide().SetTag(kBit12, 0);
        else if (auto* figure = dynamic_cast<TRegFigElem*>(kind.get()))
            figure->GetShowHide().SetTag(kBit12, 0);
        else
            static_cast<TextElem&>(*kind).GetShowHide().SetTag(kBit12, 0);
        shown.push_back(model.GetElements().Add(std::move(kind)));
    }
    // Without an active show/hide there is nothing to replace.
    SizeRect* plain = model.GetElements().Add(std::make_unique<TRegFigElem>(TRegFigElem::kCircle));
    plain->SetShowHideTag(0x8001);

    DirectAddressList list;
    model.CollectDirectAddresses(list);
    SizeRectManager::CreateTagsForAddresses(list);
    EXPECT_EQ(model.ReplaceAddressesByTags(list), static_cast<int>(shown.size()));
    for (SizeRect* element : shown)
        EXPECT_EQ(element->GetShowHideTag(), 0x8001) << typeid(*element).name();
    EXPECT_EQ(plain->GetShowHideTag(), 0);
}

TEST_F(ConvertModelTest, ARegisterBecomesAnAnalogTagOnAWordOfItsOwn)
{
    Open(9);
    std::uint32_t level = 0;
    Db().GetAnalogRegistry()->Add("LEVEL", level);
    ASSERT_EQ(Db().GetAnalogRegistry()->AllocateInternal(level, 2, true), 1);
    SizeRectManager model(nullptr, true);
    SizeRect* box = AddColouredBy(model.GetElements(), 0x4000 | 345);

    DirectAddressList list;
    model.CollectDirectAddresses(list);
    EXPECT_EQ(list.FoundAnalogs(), 1);
    EXPECT_EQ(SizeRectManager::CreateTagsForAddresses(list), 0);
    model.ReplaceAddressesByTags(list);
    const std::uint32_t id = Db().GetAnalogRegistry()->Find("R0345");
    ASSERT_EQ(id, 2u);
    EXPECT_EQ(box->GetColorTag(), id);

    const atag tag = StoredAnalog(id);
    EXPECT_EQ(AddressOf(tag), "kind 1 length 4: 59 01 00 00");
    EXPECT_EQ(tag.GetDataType(), kTypeSignedWord);
    EXPECT_EQ(tag.GetFlags() & 0x07, 0);
    EXPECT_EQ(tag.GetFrequencyIndex(), 16);
    std::uint32_t start = 0;
    std::uint8_t size = 0;
    tag.GetInternalAddress(start, size);
    EXPECT_EQ(start, 3u);  // behind LEVEL's two words
    EXPECT_EQ(size, 1);
}

TEST_F(ConvertModelTest, ANameThatIsATagAlreadyReusesIt)
{
    Open(9);
    std::uint32_t id = 0;
    Db().GetDigitalRegistry()->Add("DOOR", id);
    Db().GetDigitalRegistry()->Add("B0012", id);
    SizeRectManager model(nullptr, true);
    TextElem* text = AddShownBy(model.GetElements(), kBit12);

    DirectAddressList list;
    model.CollectDirectAddresses(list);
    SizeRectManager::CreateTagsForAddresses(list);
    model.ReplaceAddressesByTags(list);
    EXPECT_EQ(text->GetShowHideTag(), 0x8000 | id);
    EXPECT_EQ(Db().GetDigitalRegistry()->Count(), 2u);
    dtag none;
    EXPECT_FALSE(none.Read(static_cast<std::int32_t>(id)));  // nothing written over it
}

TEST_F(ConvertModelTest, ADriveOutsPointWordIsReadAndSetInItsKeptRecord)
{
    Open(9);
    // Register 5 stored as 10005 with bit 14 (0x6715), and 10000 (0x6710).
    StorePage(2, Join({"02 00", "50 00 10 01 00 14 1F 15 67", "50 00 10 01 00 14 1F 10 67", "00"}));
    SizeRectManager model(nullptr, true);
    model.LoadPage(kPage, 2);

    DirectAddressList list;
    EXPECT_EQ(model.CollectDirectAddresses(list), 1);
    EXPECT_EQ(Names(list), std::vector<std::string>{"R0005"});
    SizeRectManager::CreateTagsForAddresses(list);
    model.ReplaceAddressesByTags(list);
    EXPECT_EQ(AddressOf(StoredAnalog(1)), "kind 1 length 4: 05 00 00 00");
    ASSERT_TRUE(model.SavePage(kPage, 2));
    EXPECT_EQ(StoredPage(2), Join({"02 00", "50 00 10 01 00 14 1F 01 00", "50 00 10 01 00 14 1F 10 67", "00"}));
}

TEST_F(ConvertModelTest, AFiveDigitAddressKeepsItsNumber)
{
    Open(9);
    SizeRectManager model(nullptr, true);
    SizeRect* box = AddColouredBy(model.GetElements(), 0xC000 | 10200);
    TextElem* text = AddShownBy(model.GetElements(), 0x4000 | 16383);

    DirectAddressList list;
    model.CollectDirectAddresses(list);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"B10200", "R16383"}));
    EXPECT_EQ(SizeRectManager::CreateTagsForAddresses(list), 0);
    model.ReplaceAddressesByTags(list);
    EXPECT_EQ(box->GetColorTag(), 0x8001);
    EXPECT_EQ(text->GetShowHideTag(), 1);
    EXPECT_EQ(AddressOf(StoredDigital(1)), "kind 1 length 4: D8 27 00 00");
    EXPECT_EQ(AddressOf(StoredAnalog(1)), "kind 1 length 4: FF 3F 00 00");
}

TEST_F(ConvertModelTest, AFullRegistryLeavesItsAddressesInPlace)
{
    Open(9);
    Dtag_registry& digitals = *Db().GetDigitalRegistry();
    std::uint32_t id = 0;
    for (std::uint32_t i = 1; i < digitals.Capacity(); ++i)
        ASSERT_TRUE(digitals.Add("D" + std::to_string(i), id));
    SizeRectManager model(nullptr, true);
    TextElem* text = AddShownBy(model.GetElements(), kBit12);
    SizeRect* box = AddColouredBy(model.GetElements(), 0xC003);
    SizeRect* analog = AddColouredBy(model.GetElements(), 0x4003);

    DirectAddressList list;
    model.CollectDirectAddresses(list);
    EXPECT_EQ(SizeRectManager::CreateTagsForAddresses(list), 2);
    EXPECT_EQ(model.ReplaceAddressesByTags(list), 1);
    EXPECT_EQ(text->GetShowHideTag(), kBit12);
    EXPECT_EQ(box->GetColorTag(), 0xC003);
    EXPECT_EQ(analog->GetColorTag(), 1);
    EXPECT_EQ(digitals.Find("B0012"), 0u);
}

TEST_F(ConvertModelTest, NoFreeInternalWordLeavesNoHalfMadeTag)
{
    Open(9);
    Atag_registry& analogs = *Db().GetAnalogRegistry();
    std::uint32_t id = 0;
    analogs.Add("TEXT", id);
    ASSERT_GE(analogs.AllocateInternal(id, analogs.Capacity() - 1, true), 0);
    SizeRectManager model(nullptr, true);
    SizeRect* box = AddColouredBy(model.GetElements(), 0x4003);

    DirectAddressList list;
    model.CollectDirectAddresses(list);
    EXPECT_EQ(SizeRectManager::CreateTagsForAddresses(list), 1);
    model.ReplaceAddressesByTags(list);
    EXPECT_EQ(box->GetColorTag(), 0x4003);
    EXPECT_EQ(analogs.Find("R0003"), 0u);
    EXPECT_EQ(analogs.Count(), 1u);
    EXPECT_FALSE(model.IsModified());
}

// --- The steps through the dialog ------------------------------------------

tgconvDlg* FindDialogIn(TWindow& window)
{
    for (TWindow* child : window.GetChildren()) {
        if (auto* dialog = dynamic_cast<tgconvDlg*>(child); dialog && dialog->IsWindow())
            return dialog;
        if (tgconvDlg* dialog = FindDialogIn(*child))
            return dialog;
    }
    return nullptr;
}

class ConvertDialogTest : public PagesTest {
protected:
    void SetUp() override
    {
        PagesTest::SetUp();
        canvas_ = new DrawWindow;
        child_ = new TMDIChild(Client(), "Graphic Page Editor", canvas_);
        child_->Attr.W = 400;
        child_->Attr.H = 200;
        ASSERT_TRUE(child_->Create());
        driver.ProcessEvents();
    }
    void TearDown() override
    {
        if (child_->IsWindow())
            child_->Destroy();
        driver.ProcessEvents();
        PagesTest::TearDown();
    }

    static void Switch(const char* value)
    {
        WritePrivateProfileString("APP", "BitToTags", value, "PLINTVLR.INI");
    }
    void Step(UINT message)
    {
        canvas_->PostMessage(message);
        driver.ProcessEvents();
    }
    // The dialog on the client, from start to finish.
    tgconvDlg* Dialog() { return FindDialogIn(Client()); }
    bool DialogShown()
    {
        tgconvDlg* dialog = Dialog();
        return dialog && dialog->GetFrame().IsWindowVisible();
    }
    std::vector<std::string> Rows()
    {
        std::vector<std::string> rows;
        TListBox& list = Dialog()->List();
        for (int i = 0; i < list.GetCount(); ++i)
            rows.push_back(list.GetString(i));
        return rows;
    }

    SizeRectManager& Model() { return canvas_->GetModel(); }
    DrawWindow& Canvas() { return *canvas_; }
    TMDIChild& EditorWindow() { return *child_; }

    // Closes the project, writes `version` as the program version that last
    // saved it (as an older program left it) and opens it again.
    void ReopenAsWrittenBy(const char* version)
    {
        adatabase& db = Db();
        const std::string name = db.GetName();
        db.Close();
        const int handle = DfOpen(adatabase::ProjectFolderFor(name) + "/" + TableFileName(kTableSystem));
        ASSERT_GE(handle, 0);
        std::array<std::uint8_t, kProjectInfoLength> info{};
        std::uint16_t length = kProjectInfoLength;
        ASSERT_EQ(DfReadRecord(handle, kRecProjectInfo, info.data(), length), 0);
        std::fill(info.begin() + 28, info.begin() + 38, 0);
        std::copy(version, version + std::strlen(version), info.begin() + 28);
        ASSERT_EQ(DfWriteRecord(handle, kRecProjectInfo, info.data(), kProjectInfoLength), 0);
        DfClose(handle);
        ASSERT_EQ(db.OpenProject(name), 1);
    }

private:
    DrawWindow* canvas_ = nullptr;
    TMDIChild* child_ = nullptr;
};

TEST_F(ConvertDialogTest, ConvertToTagsMakesTheTagsAndGivesTheEditorBack)
{
    Switch("ON");
    TextElem* text = AddShownBy(Model().GetElements(), kBit12);
    SizeRect* box = AddColouredBy(Model().GetElements(), kBit12);
    AddDriveOut(Model().GetElements(), 0x4000 | 10005);

    Step(kConvertTagsStart);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(DialogShown());
    EXPECT_FALSE(EditorWindow().IsWindowEnabled());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"B0012", "R0005"}));
    EXPECT_EQ(Dialog()->GetDlgItemInt(IDC_CONVERT_ANALOGS), 1u);
    EXPECT_EQ(Dialog()->GetDlgItemInt(IDC_CONVERT_DIGITALS), 1u);
    // Type 9 holds 500 of each; the fixture's project has two of each.
    EXPECT_EQ(Dialog()->GetDlgItemInt(IDC_FREE_ANALOGS), 498u);
    EXPECT_EQ(Dialog()->GetDlgItemInt(IDC_FREE_DIGITALS), 498u);
    EXPECT_TRUE(Screenshot(Dialog()->GetFrame(), "convert_to_tags"));

    driver.Click(*Dialog(), IDC_CONVERT_CONFIRM);
    driver.ProcessEvents();
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_TRUE(EditorWindow().IsWindowEnabled());
    const std::uint32_t bit = Db().GetDigitalRegistry()->Find("B0012");
    const std::uint32_t reg = Db().GetAnalogRegistry()->Find("R0005");
    ASSERT_EQ(bit, 3u);
    ASSERT_EQ(reg, 3u);
    EXPECT_EQ(text->GetShowHideTag(), 0x8003);
    EXPECT_EQ(box->GetColorTag(), 0x8003);
    EXPECT_EQ(Model().GetElements()[2]->GetTag(), 3);
    EXPECT_TRUE(Model().IsModified());
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

TEST_F(ConvertDialogTest, CancelLeavesThePageAndTheTagTablesAsTheyWere)
{
    Switch("ON");
    TextElem* text = AddShownBy(Model().GetElements(), kBit12);
    Step(kConvertTagsStart);
    ASSERT_NE(Dialog(), nullptr);

    driver.Click(*Dialog(), IDC_CONVERT_CANCEL);
    driver.ProcessEvents();
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_TRUE(EditorWindow().IsWindowEnabled());
    EXPECT_EQ(text->GetShowHideTag(), kBit12);
    EXPECT_EQ(Db().GetDigitalRegistry()->Count(), 2u);
    dtag none;
    EXPECT_FALSE(none.Read(3));
    EXPECT_FALSE(Model().IsModified());
}

TEST_F(ConvertDialogTest, TheCloseBoxCancelsTheConversionToo)
{
    Switch("ON");
    TextElem* text = AddShownBy(Model().GetElements(), kBit12);
    Step(kConvertTagsStart);
    ASSERT_NE(Dialog(), nullptr);

    Dialog()->GetFrame().SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    driver.ProcessEvents();
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_TRUE(EditorWindow().IsWindowEnabled());
    EXPECT_EQ(text->GetShowHideTag(), kBit12);
}

TEST_F(ConvertDialogTest, ADialogWhoseEditorWentEndsItself)
{
    Switch("ON");
    AddShownBy(Model().GetElements(), kBit12);
    Step(kConvertTagsStart);
    ASSERT_NE(Dialog(), nullptr);
    EditorWindow().Destroy();
    driver.ProcessEvents();
    if (tgconvDlg* dialog = Dialog()) {
        driver.Click(*dialog, IDC_CONVERT_CONFIRM);
        driver.ProcessEvents();
    }
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_EQ(Db().GetDigitalRegistry()->Count(), 2u);
}

TEST_F(ConvertDialogTest, OnlyExactlyOnRunsIt)
{
    AddShownBy(Model().GetElements(), kBit12);
    for (const char* value : {static_cast<const char*>(nullptr), "on", "OFF", "ONE"}) {
        Switch(value);
        Step(kConvertTagsStart);
        EXPECT_EQ(Dialog(), nullptr) << (value ? value : "(absent)");
        EXPECT_TRUE(EditorWindow().IsWindowEnabled());
    }
}

TEST_F(ConvertDialogTest, APageWithoutAddressesClosesTheDialogAtOnce)
{
    Switch("ON");
    AddColouredBy(Model().GetElements(), 0x8001);
    Step(kConvertTagsStart);
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_TRUE(EditorWindow().IsWindowEnabled());
    EXPECT_FALSE(Model().IsModified());
}

TEST_F(ConvertDialogTest, TheEngineerIsToldHowManyAddressesStayed)
{
    Switch("ON");
    Dtag_registry& digitals = *Db().GetDigitalRegistry();
    std::uint32_t id = 0;
    for (std::uint32_t i = digitals.Count() + 1; i < digitals.Capacity(); ++i)
        ASSERT_TRUE(digitals.Add("D" + std::to_string(i), id));
    TextElem* text = AddShownBy(Model().GetElements(), kBit12);
    AddColouredBy(Model().GetElements(), 0xC003);
    Step(kConvertTagsStart);
    ASSERT_NE(Dialog(), nullptr);

    driver.AnswerMessageBox(IDOK);
    driver.Click(*Dialog(), IDC_CONVERT_CONFIRM);
    driver.ProcessEvents();
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text,
              "2 of the addresses on this page could not be converted because the tag tables are full.\n"
              "The elements keep these addresses.");
    EXPECT_EQ(text->GetShowHideTag(), kBit12);
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_TRUE(EditorWindow().IsWindowEnabled());
}

TEST_F(ConvertDialogTest, APageOfAProjectOfAProgramBefore5OffersTheConversionWhenItLoads)
{
    Switch("ON");
    AddShownBy(Model().GetElements(), kBit12);
    Model().SetModified();
    ASSERT_TRUE(Model().SavePage(kPage, 1));

    // The program version that last saved the project decides; a project
    // this program saved (no version written over) is current.
    const struct {
        const char* version;  // null: as this program saved it
        bool offered;
    } cases[] = {
        {nullptr, false},
        {"5.00", false},
        {"4.99", true},
        {"3.1", true},
    };
    for (const auto& c : cases) {
        const std::string label = c.version ? c.version : "(current)";
        if (c.version)
            ReopenAsWrittenBy(c.version);
        ASSERT_EQ(Db().IsOld(), c.offered) << label;
        Canvas().LoadPage(kPage, 1);
        driver.ProcessEvents();
        ASSERT_EQ(Dialog() != nullptr, c.offered) << label;
        if (!c.offered)
            continue;
        // The loaded page's addresses are the ones offered.
        EXPECT_EQ(Rows(), std::vector<std::string>{"B0012"}) << label;
        EXPECT_FALSE(EditorWindow().IsWindowEnabled()) << label;
        driver.Click(*Dialog(), IDC_CONVERT_CANCEL);
        driver.ProcessEvents();
        EXPECT_TRUE(EditorWindow().IsWindowEnabled()) << label;
    }
}

}  // namespace
