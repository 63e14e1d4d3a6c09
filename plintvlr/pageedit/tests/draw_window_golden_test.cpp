// Pictures of fixture pages painted by the page canvas, compared with
// pictures reviewed once by eye and kept beside this test (tests/golden).
// A mismatch writes the actual picture and a difference picture (changed
// pixels red) under the build folder's screenshots. With
// PLV_UPDATE_GOLDEN=1 in the environment the pictures are written anew.

#include "plintvlr/pageedit/tests/draw_window_fixture.h"

#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/combo_elem.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "platform/gdi/font_registry.h"
#include "platform/gdi/image_print_dc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

std::filesystem::path GoldenPath(const std::string& name)
{
    return std::filesystem::path(PLV_GOLDEN_DIR) / (name + ".png");
}

// Compares with the kept picture; writes the pictures a reviewer needs.
void ExpectGolden(const QImage& actual, const std::string& name)
{
    const QImage image = actual.convertToFormat(QImage::Format_RGB32);
    const std::filesystem::path path = GoldenPath(name);
    if (std::getenv("PLV_UPDATE_GOLDEN")) {
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(image.save(QString::fromStdString(path.string())));
        return;
    }
    QImage golden(QString::fromStdString(path.string()));
    if (golden.isNull()) {
        SaveScreenshot(image, "golden_actual_" + name);
        FAIL() << "no kept picture " << path << "; the actual one is in the screenshots";
    }
    golden = golden.convertToFormat(QImage::Format_RGB32);
    if (golden == image)
        return;
    QImage difference = image.copy();
    if (golden.size() == image.size()) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                difference.setPixel(x, y, golden.pixel(x, y) == image.pixel(x, y) ? qRgb(255, 255, 255) : qRgb(255, 0, 0));
        }
    }
    SaveScreenshot(image, "golden_actual_" + name);
    SaveScreenshot(difference, "golden_difference_" + name);
    ADD_FAILURE() << "the picture differs from " << path << " (see golden_actual_" << name << " and golden_difference_"
                  << name << " in the screenshots)";
}

// 10 x 8 pixels, a black flag in a black border on white ('#' black),
// so that stretching and the picture's way round both show. Small enough
// to stand clear of the other elements on the text panel too.
TDib FlagPicture()
{
    const char* const rows[] = {
        "##########",
        "#..#.....#",
        "#..##....#",
        "#..###...#",
        "#..####..#",
        "#..#.....#",
        "#........#",
        "##########",
    };
    TDib dib(10, 8, 1);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x)
            dib.SetPixelIndex(x, y, rows[y][x] == '#' ? 0 : 1);
    }
    return dib;
}

class DrawWindowGoldenTest : public CanvasFixture, public testing::WithParamInterface<int> {
protected:
    // The program's panel fonts, as the program adds them at start: a text
    // lays itself out by measuring in them.
    void SetUp() override
    {
        CanvasFixture::SetUp();
        ASSERT_GT(AddFontResource(PLV_PROGRAM_FONT), 0) << PLV_PROGRAM_FONT;
    }

    void TearDown() override
    {
        CanvasFixture::TearDown();
        GetBitmapLibrary().ClearAll();
        RemoveFontResource(PLV_PROGRAM_FONT);
    }

    // Page 2 holds a rectangle for a template; the page shown holds every
    // kind of element drawn on the canvas, a group, and a selected frame.
    void BuildPage()
    {
        const TSize screen = CanvasWindow().GetScreenSize();
        const auto at = [&](int x, int y) { return TPoint(x * screen.cx / 240 * 20, y * screen.cy / 100 * 20); };
        Page(2, {"1F 8E 54 07 0A 00 13 00 14 00 14 01 01 03 00 10 01"});
        Model().SetTemplatePage(2);
        // The project's table holds the picture as bitmap 1 and the library
        // loads it, as at project open: the bitmap element below shows it.
        // (A text panel's library imports no bitmaps, but a project keeps
        // the ones it had before it was made a text panel's.)
        std::vector<std::uint8_t> record{1, 0};
        const std::vector<std::uint8_t> file = FlagPicture().FileBytes();
        record.insert(record.end(), file.begin(), file.end());
        ASSERT_EQ(Db().PutBitmap(1, record.data(), static_cast<std::uint16_t>(record.size())), 0);
        GetBitmapLibrary().Load();
        ASSERT_TRUE(GetBitmapLibrary().HasBitmap(0));

        SizeRectManager& model = Model();
        model.AddElement(std::make_unique<LinesElem>(std::vector<TPoint>{at(4, 6), at(40, 20), at(20, 40)}));
        auto shape = std::make_unique<LinesElem>(std::vector<TPoint>{at(50, 6), at(80, 10), at(64, 36)});
        shape->SetFilled(true);
        model.AddElement(std::move(shape));
        model.AddElement(std::make_unique<TRegFigElem>(TRegFigElem::kRectangle, at(90, 6), at(120, 30)));
        model.AddElement(std::make_unique<TRegFigElem>(TRegFigElem::kCircle, at(130, 6), at(160, 36)));
        auto text = std::make_unique<TFormatText>(TRect(at(4, 50), at(70, 70)), "Pump 1", true);
        text->Relayout();  // laid out as when placed, so every letter shows
        model.AddElement(std::move(text));
        model.AddElement(NewPointElem(at(80, 50), at(120, 64), false));
        model.AddElement(NewPointElem(at(130, 50), at(170, 64), true));
        model.AddElement(std::make_unique<BitmapElem>(at(180, 50), at(220, 80)));
        SizeRectArray members;
        members.Add(std::make_unique<TRegFigElem>(TRegFigElem::kRectangle, at(4, 76), at(30, 94)));
        members.Add(std::make_unique<TRegFigElem>(TRegFigElem::kCircle, at(34, 76), at(60, 94)));
        model.AddElement(std::make_unique<ComboElem>(members));
        auto frame = std::make_unique<TRegFigElem>(TRegFigElem::kFrame, at(170, 6), at(230, 40));
        SizeRect* selected = frame.get();
        model.AddElement(std::move(frame));
        selected->Select(true);
    }

    static std::string Name(int type) { return "page_canvas_type" + std::to_string(type); }
};

TEST_P(DrawWindowGoldenTest, ThePageMatchesItsKeptPictureAtTwoSizes)
{
    const int type = GetParam();
    DrawWindow& canvas = OpenCanvas(type);
    if (type == 5)
        canvas.SetBackgroundColor(4);
    BuildPage();
    for (int scale : {1, 2}) {
        SetScale(scale);
        ExpectGolden(PaintCanvas(), Name(type) + "_x" + std::to_string(scale));
    }
    SaveScreenshot(driver.Grab(Frame()), Name(type));
}

TEST_P(DrawWindowGoldenTest, PrintedThePageHasNoGridNoTouchCellsAndNoHandles)
{
    const int type = GetParam();
    DrawWindow& canvas = OpenCanvas(type, 2);
    GraphGridState& grid = canvas.GetGrid();
    if (!canvas.IsTextPanel()) {
        grid.storedUnitX = grid.storedUnitY = 8;
        grid.GridOn();
        grid.ToggleLines();
    }
    ASSERT_TRUE(grid.linesShown);
    BuildPage();
    const TRect client = canvas.GetClientRect();
    QImage image(client.Width(), client.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        TImagePrintDC dc(image);
        TRect area = client;
        canvas.Paint(dc, false, area);
    }
    ExpectGolden(image, Name(type) + "_printed");
    // Paper stays white where the screen has its background, grid and cells;
    // nothing is printed white on white.
    const QImage screen = PaintCanvas();
    int white = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            white += image.pixel(x, y) == qRgb(255, 255, 255);
    }
    EXPECT_GT(white, image.width() * image.height() / 2);
    EXPECT_NE(screen, image);
}

INSTANTIATE_TEST_SUITE_P(Panels, DrawWindowGoldenTest, testing::Values(9, 14, 5, 15));

}  // namespace
