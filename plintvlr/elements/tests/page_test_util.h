#pragma once
// Shared by the tests of the element pages and sheets: a project of a panel
// type with a few tags, a page editor fake, an MDI frame whose client the
// sheets open in, and a plain element sheet to put single pages on.

#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/dtag.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/db/tests/project_fixture.h"
#include "plintvlr/elements/tests/element_test_util.h"
#include "plintvlr/shell/mdi_prop_sheet.h"
#include "plintvlr/shell/tests/screenshot.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/mdi_frame.h"
#include "platform/ui/property_page.h"
#include "platform/ui/testing/test_driver.h"

#include <memory>
#include <string>

// The tags of the page tests: analog LEVEL (1), TEMP (2); digital DOOR
// (0x8001, two states) and VALVE (0x8002, four states).
inline constexpr int kLevel = 1;
inline constexpr int kTemp = 2;
inline constexpr int kDoor = 0x8001;
inline constexpr int kValve = 0x8002;

// A sheet for single pages, in the test's MDI client.
class TTestSheet : public TGraphEditSheet {
public:
    explicit TTestSheet(TMDIClient* client)
        : TGraphEditSheet(client, "Element", TResId(), 0, 0, false, PSH_HASHELP | PSH_NOAPPLYNOW)
    {
    }
    ~TTestSheet() override = default;

    int endedWith = -1;

    void Destroy(int retVal) override
    {
        if (IsWindow())
            endedWith = retVal;
        TGraphEditSheet::Destroy(retVal);
    }
};

class PagesTest : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        OpenProject(kMonoPanel);
        frame_ = std::make_unique<TMDIFrame>("Pages", TResId());
        frame_->Attr.W = 800;
        frame_->Attr.H = 600;
        driver.Show(*frame_);
    }

    void TearDown() override
    {
        SetActivePageEditor(nullptr);
        if (frame_->IsWindow())
            frame_->Destroy();
        frame_.reset();
        driver.ProcessEvents();
        ProjectFixture::TearDown();
    }

    // A project of the panel type with the four tags, and a page editor of it.
    void OpenProject(int panelType)
    {
        SetActivePageEditor(nullptr);
        // Colour type 5 cannot be opened: such a project is opened as type 9
        // and then takes the type.
        const bool openable = panelType != kColorPanel;
        adatabase& db = CreateAndOpen("PAGES" + std::to_string(++projects_), openable ? panelType : kMonoPanel);
        db.SetPanelType(panelType);
        std::uint32_t id = 0;
        db.GetAnalogRegistry()->Add("LEVEL", id);
        db.GetAnalogRegistry()->Add("TEMP", id);
        db.GetDigitalRegistry()->Add("DOOR", id);
        db.GetDigitalRegistry()->Add("VALVE", id);
        dtag valve;
        valve.SetName("VALVE");
        const std::uint8_t register12[] = {0x0C, 0, 0, 0};
        valve.SetAddress(0, register12, 4, kAddressRegister);
        valve.SetFlag(kDtagSecondInput);
        valve.SetAddress(1, register12, 4, kAddressRegister);
        ASSERT_TRUE(valve.Write(id));
        editor_ = std::make_unique<FakePageEditor>(panelType);
        SetActivePageEditor(editor_.get());
    }

    TMDIClient& Client() { return *frame_->GetMDIClient(); }
    FakePageEditor& Editor() { return *editor_; }

    // A sheet with the page made by `make` on it, opened.
    template <class Page, class Make>
    Page& OpenPage(Make make)
    {
        sheet_ = new TTestSheet(&Client());
        Page* page = make(sheet_);
        EXPECT_TRUE(sheet_->Create());
        driver.ProcessEvents();
        return *page;
    }
    TTestSheet& Sheet() { return *sheet_; }

    static bool Enabled(TWindow& page, int id) { return page.ChildWithId(id)->IsWindowEnabled(); }
    static bool Checked(TWindow& page, int id) { return page.IsDlgButtonChecked(id) == BST_CHECKED; }

    bool Screenshot(TWindow& window, const std::string& name) { return SaveScreenshot(driver.Grab(window), name); }

    TTestDriver driver;

private:
    std::unique_ptr<TMDIFrame> frame_;
    std::unique_ptr<FakePageEditor> editor_;
    TTestSheet* sheet_ = nullptr;
    int projects_ = 0;
};
