// The tag combo box on a dialog of its own: filled from the project's tag
// registries, following tags added and removed while it is open, switching
// between the kinds of tag, and telling its parent of the user's choice;
// and the dynamic combo box that shows entries of its own list on demand.

#include "page_test_util.h"

#include "plintvlr/elements/dyn_combo_box.h"
#include "plintvlr/elements/tag_combo_box.h"
#include "platform/ui/dialog_template.h"

#include <vector>

namespace {

constexpr int kDialog = 43990;
constexpr int kCombo = 192;
constexpr int kDynCombo = 193;

// A dialog with one tag combo that records what its combo tells it.
class TChooser : public TDialog {
public:
    TChooser(TWindow* parent, int bound, int filter) : TDialog(parent, kDialog), bound(bound)
    {
        combo = new TTagComboBox(this, kCombo, &this->bound, filter);
        dyn = new TDynComboBox(this, kDynCombo, 20);
    }

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    LRESULT EvTagChosen(WPARAM id, LPARAM kindChanged)
    {
        told.push_back({static_cast<int>(id), static_cast<int>(kindChanged)});
        return 0;
    }

    struct Told {
        int id;
        int kindChanged;
        bool operator==(const Told&) const = default;
    };
    int bound;
    TTagComboBox* combo;
    TDynComboBox* dyn;
    std::vector<Told> told;
};

const TResponseTable TChooser::Responses{&TDialog::Responses, {
    OnMessage<&TChooser::EvTagChosen>(kTagChosenMessage),
}};

class TagComboBox : public PagesTest {
protected:
    void SetUp() override
    {
        PagesTest::SetUp();
        RegisterDialogTemplate(kDialog, {"Tags", 0, 0, 160, 60, WS_POPUP | WS_CAPTION, "MS Sans Serif", 8, {
            ComboBox(kCombo, 8, 8, 100, 80, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP),
            ComboBox(kDynCombo, 8, 28, 100, 80, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP),
        }});
    }

    // The dialog stops listening to the project's tag registries as it
    // goes, so it must go before the project closes.
    void TearDown() override
    {
        chooser_.reset();
        PagesTest::TearDown();
    }

    TChooser& Open(int bound, int filter)
    {
        chooser_ = std::make_unique<TChooser>(nullptr, bound, filter);
        EXPECT_TRUE(chooser_->Create());
        driver.Show(*chooser_);
        return *chooser_;
    }

    static std::vector<std::string> Entries(TComboBox& combo)
    {
        std::vector<std::string> names;
        for (int i = 0; i < combo.GetCount(); ++i)
            names.push_back(combo.GetString(i));
        return names;
    }
    static std::string Selected(TComboBox& combo)
    {
        return combo.TComboBox::GetSelIndex() < 0 ? "" : combo.GetString(combo.TComboBox::GetSelIndex());
    }

    std::unique_ptr<TChooser> chooser_;
};

using Names = std::vector<std::string>;

}  // namespace

TEST_F(TagComboBox, FiltersShowTheirKindsAndABoundTagOfAnotherKindIsCleared)
{
    const struct {
        int filter;
        int bound;
        Names names;
        const char* selected;
        int boundAfter;
    } cases[] = {
        {TTagComboBox::kBothKinds, kValve, {"LEVEL", "TEMP", "DOOR", "VALVE"}, "VALVE", kValve},
        {TTagComboBox::kAnalogOnly, kDoor, {"LEVEL", "TEMP"}, "", 0},
        {TTagComboBox::kDigitalOnly, kTemp, {"DOOR", "VALVE"}, "", 0},
        {TTagComboBox::kBothKinds, 77, {"LEVEL", "TEMP", "DOOR", "VALVE"}, "", 0},  // a deleted tag
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        TChooser& chooser = Open(c.bound, c.filter);
        EXPECT_EQ(Entries(*chooser.combo), c.names);
        EXPECT_EQ(Selected(*chooser.combo), c.selected);
        EXPECT_EQ(chooser.bound, c.boundAfter);
    }
}

TEST_F(TagComboBox, FillingLeavesARegistryWalkWhereItWas)
{
    // A browser part-way through the analog tags.
    std::string name;
    std::uint32_t id = 0;
    ASSERT_TRUE(Db().GetAnalogRegistry()->Next(name, id, kWalkForward));
    ASSERT_EQ(name, "LEVEL");
    TChooser& chooser = Open(0, TTagComboBox::kBothKinds);
    EXPECT_EQ(Entries(*chooser.combo), Names({"LEVEL", "TEMP", "DOOR", "VALVE"}));
    ASSERT_TRUE(Db().GetAnalogRegistry()->Next(name, id, kWalkForward));
    EXPECT_EQ(name, "TEMP");
}

TEST_F(TagComboBox, TagsAddedAndRemovedWhileOpenComeAndGoAtOnce)
{
    TChooser& both = Open(kLevel, TTagComboBox::kBothKinds);
    TChooser analogOnly(nullptr, 0, TTagComboBox::kAnalogOnly);
    ASSERT_TRUE(analogOnly.Create());
    std::uint32_t id = 0;
    ASSERT_TRUE(Db().GetAnalogRegistry()->Add("FLOW", id));
    ASSERT_TRUE(Db().GetDigitalRegistry()->Add("PUMP", id));
    EXPECT_EQ(Entries(*both.combo), Names({"LEVEL", "TEMP", "DOOR", "VALVE", "FLOW", "PUMP"}));
    EXPECT_EQ(Entries(*analogOnly.combo), Names({"LEVEL", "TEMP", "FLOW"}));
    // Only the exact name goes.
    EXPECT_EQ(Db().GetAnalogRegistry()->Remove("temp", 1), 0u);
    EXPECT_NE(Db().GetAnalogRegistry()->Remove("TEMP", 1), 0u);
    EXPECT_EQ(Entries(*both.combo), Names({"LEVEL", "DOOR", "VALVE", "FLOW", "PUMP"}));
    EXPECT_EQ(Entries(*analogOnly.combo), Names({"LEVEL", "FLOW"}));

    // A closed combo listens no more.
    analogOnly.Destroy();
    ASSERT_TRUE(Db().GetAnalogRegistry()->Add("SPEED", id));
    EXPECT_EQ(Entries(*both.combo).back(), "SPEED");
}

TEST_F(TagComboBox, TheUsersChoiceIsToldWithTheKindChangeOnce)
{
    TChooser& chooser = Open(0, TTagComboBox::kBothKinds);
    driver.SelectComboItem(chooser, kCombo, "TEMP");
    driver.SelectComboItem(chooser, kCombo, "LEVEL");
    driver.SelectComboItem(chooser, kCombo, "LEVEL");  // the bound one again
    driver.SelectComboItem(chooser, kCombo, "DOOR");
    EXPECT_EQ(chooser.told, (std::vector<TChooser::Told>{{kCombo, 1}, {kCombo, 0}, {kCombo, 1}}));
    EXPECT_EQ(chooser.bound, kDoor);
    chooser.combo->ClearList();
    EXPECT_EQ(chooser.bound, 0);
    EXPECT_EQ(Selected(*chooser.combo), "");
}

TEST_F(TagComboBox, SwitchingKindsBindsTagOneOfTheNewKindWhenItExists)
{
    const struct {
        int from;
        int bound;
        int to;
        Names names;
        int boundAfter;
        const char* selected;
    } cases[] = {
        {TTagComboBox::kDigitalOnly, kValve, TTagComboBox::kAnalogOnly, {"LEVEL", "TEMP"}, kLevel, "LEVEL"},
        {TTagComboBox::kBothKinds, kTemp, TTagComboBox::kDigitalOnly, {"DOOR", "VALVE"}, kDoor, "DOOR"},
        {TTagComboBox::kBothKinds, kTemp, TTagComboBox::kAnalogOnly, {"LEVEL", "TEMP"}, kTemp, "TEMP"},
        {TTagComboBox::kAnalogOnly, kTemp, TTagComboBox::kBothKinds, {"LEVEL", "TEMP", "DOOR", "VALVE"}, kTemp, "TEMP"},
        {TTagComboBox::kDigitalOnly, 0, TTagComboBox::kAnalogOnly, {"LEVEL", "TEMP"}, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        TChooser& chooser = Open(c.bound, c.from);
        chooser.combo->FillList(c.to);
        EXPECT_EQ(chooser.combo->GetFilter(), c.to);
        EXPECT_EQ(Entries(*chooser.combo), c.names);
        EXPECT_EQ(chooser.bound, c.boundAfter);
        EXPECT_EQ(Selected(*chooser.combo), c.selected);
    }

    // Without analog tag 1 the digital tag gives way to none.
    std::uint32_t id = 0;
    ASSERT_NE(Db().GetAnalogRegistry()->Remove("LEVEL", 1), 0u);
    TChooser& chooser = Open(kValve, TTagComboBox::kDigitalOnly);
    chooser.combo->FillList(true);
    EXPECT_EQ(chooser.combo->GetFilter(), TTagComboBox::kAnalogOnly);
    EXPECT_EQ(chooser.bound, 0);
    // Tags of the kind shown again come in as they are added.
    ASSERT_TRUE(Db().GetAnalogRegistry()->Add("FLOW", id));
    ASSERT_TRUE(Db().GetDigitalRegistry()->Add("PUMP", id));
    EXPECT_EQ(Entries(*chooser.combo), Names({"TEMP", "FLOW"}));
}

TEST_F(TagComboBox, DynamicComboShowsAndRemovesEntriesOfItsOwnList)
{
    TChooser& chooser = Open(0, TTagComboBox::kBothKinds);
    TDynComboBox& dyn = *chooser.dyn;
    for (const char* text : {"First", "Second", "Third"})
        dyn.AddString(text);
    EXPECT_EQ(dyn.GetCount(), 0) << "the drop-down list is filled on demand";
    EXPECT_EQ(dyn.GetSelIndex(), -1);
    EXPECT_EQ(dyn.SelectIndex(3), -1);
    EXPECT_EQ(dyn.SetIndex(-1), -1);

    EXPECT_GE(dyn.SelectIndex(0), 0);
    EXPECT_GE(dyn.SelectIndex(2), 0);
    EXPECT_EQ(Entries(dyn), Names({"First", "Third"}));
    EXPECT_EQ(dyn.GetSelIndex(), 2);
    EXPECT_EQ(Selected(dyn), "Third");

    dyn.SetIndex(2);
    EXPECT_EQ(Entries(dyn), Names({"First"}));
    EXPECT_EQ(dyn.GetSelIndex(), 0);
}
