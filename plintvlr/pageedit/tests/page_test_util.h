#pragma once
// Shared by the page model tests: a project of a panel type open in a
// temporary program folder, a canvas standing in for the page editor (with
// its background colour), scripted message boxes, and hex byte vectors.

#include "plintvlr/db/tests/hex_bytes.h"
#include "plintvlr/db/tests/project_fixture.h"
#include "plintvlr/elements/tests/element_test_util.h"
#include "plintvlr/pageedit/page_summary.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "platform/base/prompt.h"

#include <memory>
#include <string>

class CanvasFake : public FakePageEditor {
public:
    explicit CanvasFake(int panelType) : FakePageEditor(panelType) {}
    int GetBackgroundColor() const override { return background; }
    void SetBackgroundColor(int index) override { background = index; }
    void UpdateFunctionKeyLegend(int key) override { legendUpdates.push_back(key); }

    int background = 0;
    std::vector<int> legendUpdates;
};

inline Bytes Parse(const std::string& hex)
{
    return HexVector(hex);
}

inline std::string Join(std::initializer_list<std::string> parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() || part.empty() ? "" : " ") + part;
    return text;
}

class PageFixture : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        RegisterPageEditCoreServices();
        RegisterGroupMemberReader();
    }
    void TearDown() override
    {
        SetActivePageEditor(nullptr);
        canvas_.reset();
        ProjectFixture::TearDown();
    }

    // A project of the panel type, open, with a canvas of that panel active.
    // Projects open only as the types still sold; the others are set on the
    // open project, as a project converted by another tool would have them.
    adatabase& Open(int panelType, const std::string& name = "PAGES")
    {
        const bool opens = panelType == 9 || panelType == 11 || panelType >= 14;
        adatabase& db = CreateAndOpen(name, opens ? panelType : 14);
        db.SetPanelType(panelType);
        canvas_ = std::make_unique<CanvasFake>(panelType);
        SetActivePageEditor(canvas_.get());
        return db;
    }

    CanvasFake& Canvas() { return *canvas_; }

    void StorePage(std::uint32_t key, const std::string& hex)
    {
        const Bytes bytes = Parse(hex);
        ASSERT_EQ(Db().PutPage(key, bytes.data(), static_cast<std::uint16_t>(bytes.size())), 0);
    }
    void StoreSystem(std::uint32_t key, const std::string& hex)
    {
        const Bytes bytes = Parse(hex);
        ASSERT_EQ(Db().PutSystemRecord(key, bytes.data(), static_cast<std::uint16_t>(bytes.size())), 0);
    }
    std::string StoredPage(std::uint32_t key)
    {
        Bytes buffer(20000);
        std::uint16_t n = static_cast<std::uint16_t>(buffer.size());
        if (Db().GetPage(key, buffer.data(), n) != 0)
            return "(none)";
        buffer.resize(n);
        return Hex(buffer);
    }
    std::string StoredSystem(std::uint32_t key)
    {
        Bytes buffer(20000);
        std::uint16_t n = static_cast<std::uint16_t>(buffer.size());
        if (Db().GetSystemRecord(key, buffer.data(), n) != 0)
            return "(none)";
        buffer.resize(n);
        return Hex(buffer);
    }
    // Stores the record as page `key`, loads it into a model on the canvas,
    // saves it again and gives what was stored.
    std::string RoundTrip(SizeRectManager& model, std::uint32_t key, const std::string& hex)
    {
        StorePage(key, hex);
        model.LoadPage(SizeRectManager::kPageMode, key);
        model.SetModified();
        EXPECT_TRUE(model.SavePage(SizeRectManager::kPageMode, key));
        return StoredPage(key);
    }

    ScriptedPrompts prompts_;

private:
    std::unique_ptr<CanvasFake> canvas_;
};

// Element records used by several tests, on a monochrome panel of type 9
// (240 x 48 pixels, vertical origin 11) unless the name says otherwise.
namespace records {
// A line from (10, 20) to (50, 31), width 1.
inline const char* kLine = "48 00 10 01 00 0A 1F 10 00 32 2A 00";
// A second line, from (10, 20) to (50, 33).
inline const char* kLine2 = "48 00 10 01 00 0A 1F 10 00 32 2C 00";
// A raised frame.
inline const char* kFrame = "1F 8E 54 07 0A 00 13 00 14 00 14 01 01 03 00 10 01";
// A bitmap of no library slot with its top-left corner at (10, 20).
inline const char* kBitmap = "79 01 00 10 01 00 0A 1F 03 00 00 01 00";
// A drive-out at (20, 20) on tag 1, and one on tag 2.
inline const char* kDriveOut1 = "50 00 10 01 00 14 1F 01 00";
inline const char* kDriveOut2 = "50 00 10 01 00 14 1F 02 00";
inline const char* kDriveOut3 = "50 00 10 01 00 14 1F 03 00";
}  // namespace records
