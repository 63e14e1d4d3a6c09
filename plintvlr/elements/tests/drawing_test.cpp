// Pixels of what the element base draws: text in a panel font on screens and
// printers (expected pixels taken from the shipped font's glyph bits), frames,
// the dotted outline, the selection handles and library bitmaps.

#include "platform/gdi/tests/gdi_test_util.h"
#include "plintvlr/elements/tests/element_test_util.h"

#include "platform/base/fnt_file.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font_registry.h"
#include "platform/gdi/image_print_dc.h"
#include "platform/ui/resources.h"
#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/elements/frame_rect.h"
#include "plintvlr/elements/palette.h"
#include "plintvlr/elements/panel_text.h"
#include "plintvlr/elements/size_rect.h"
#include "plintvlr/shell/controls/control_pictures.h"

#include <QDir>

#include <filesystem>
#include <functional>
#include <memory>

namespace {

constexpr QRgb kRedPixel = 0xFFFF0000u;
constexpr QRgb kPaper = 0xFFFFFFFFu;
constexpr QRgb kBack = 0xFFC0C0C0u;  // a gray page behind screen text

// Page units drawn at one pixel per 20 units.
void MapPageUnits(TDC& dc)
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(TSize(kUnitsPerPixel, kUnitsPerPixel));
    dc.SetViewportExt(TSize(1, 1));
}

void Save(const QImage& image, const std::string& name)
{
    QDir().mkpath(PLV_SCREENSHOT_DIR);
    image.save(QString::fromStdString(std::string(PLV_SCREENSHOT_DIR) + "/" + name + ".png"));
}

// An element that draws nothing of its own, so what the base adds shows alone.
class BlankElement : public SizeRect {
public:
    explicit BlankElement(const TRect& rect) { static_cast<TRect&>(*this) = rect; }
    void Draw(TDC&) override {}
};

class PanelTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(PLV_PROGRAM_FONT))
            GTEST_SKIP() << "the panel fonts were not made (xfonts-base missing)";
        ASSERT_GT(AddFontResource(PLV_PROGRAM_FONT), 0);
        ASSERT_EQ(FntFile::Load(std::string(PLV_FONT_DIR) + "/ansi5x8.fnt", font_), FntError::None);
        panel_ = std::make_unique<PanelScope>(kMonoPanel);  // font 0: "ANSI Zobrel 5x8", cell 6 x 8
        ASSERT_EQ(GetFontSize(0), TSize(6, 8));
    }
    void TearDown() override
    {
        panel_.reset();
        if (std::filesystem::exists(PLV_PROGRAM_FONT))
            RemoveFontResource(PLV_PROGRAM_FONT);
    }

    // The text picture of "AB" in a box of `columns` cells of one row, from
    // the glyph bits: true where a glyph pixel is set.
    std::vector<std::vector<bool>> TextPicture(int columns, int justification) const
    {
        const int width = 6 * columns;
        std::vector<std::vector<bool>> ink(8, std::vector<bool>(static_cast<std::size_t>(width)));
        const int textWidth = font_.GlyphWidth('A') + font_.GlyphWidth('B');
        int x = justification == 1 ? (width - textWidth) / 2 : justification == 2 ? width - textWidth : 0;
        for (char c : std::string("AB")) {
            for (int gy = 0; gy < 8; ++gy)
                for (int gx = 0; gx < font_.GlyphWidth(c); ++gx)
                    ink[gy][static_cast<std::size_t>(x + gx)] = font_.GlyphPixel(c, gx, gy);
            x += font_.GlyphWidth(c);
        }
        return ink;
    }

    // Checks every pixel of the destination (at `scale` pixels per panel
    // pixel, turned for vertical text) and the ring of pixels round it.
    void ExpectText(const QImage& image, TPoint at, int scale, bool horizontal, int columns, int justification,
                    QRgb ink, QRgb paper, QRgb outside, const std::string& what) const
    {
        const auto picture = TextPicture(columns, justification);
        const int w = 6 * columns;
        const int dw = (horizontal ? w : 8) * scale;
        const int dh = (horizontal ? 8 : w) * scale;
        int inked = 0;
        for (int y = at.y - 1; y <= at.y + dh; ++y) {
            for (int x = at.x - 1; x <= at.x + dw; ++x) {
                const int px = (x - at.x) / scale;
                const int py = (y - at.y) / scale;
                QRgb expected = outside;
                if (x >= at.x && y >= at.y && x < at.x + dw && y < at.y + dh) {
                    // A quarter turn counter-clockwise: the text's column x
                    // is the picture's row w - 1 - x, read bottom to top.
                    const bool set = horizontal ? picture[py][px] : picture[px][w - 1 - py];
                    expected = set ? ink : paper;
                    inked += set;
                }
                ASSERT_EQ(image.pixel(x, y) | 0xFF000000u, expected) << what << " at " << x << "," << y;
            }
        }
        EXPECT_GT(inked, 10 * scale * scale) << what;
    }

    FntFile font_;
    std::unique_ptr<PanelScope> panel_;
};

}  // namespace

TEST_F(PanelTextTest, ScreenTextInTheColourAtEachScaleTurnAndJustification)
{
    const int columns = 5;  // "AB" is 12 of the box's 30 pixels
    for (int scale : {1, 2}) {
        for (bool horizontal : {true, false}) {
            for (int justification : {0, 1, 2, 7}) {
                QImage image = Canvas(80, 80, kBack);
                TDC dc(image);
                const TSize size = horizontal ? TSize(30 * scale, 8 * scale) : TSize(8 * scale, 30 * scale);
                DrawPanelText(dc, TRect(TPoint(4, 3), size), "AB", PaletteColor(kRed), horizontal,
                              columns, 1, justification, 0);
                const std::string what = "scale " + std::to_string(scale) + (horizontal ? " across" : " turned") +
                                         " justified " + std::to_string(justification);
                ExpectText(image, {4, 3}, scale, horizontal, columns, justification == 7 ? 0 : justification, kRedPixel,
                           kBack, kBack, what);
                if (scale == 2 && justification == 1)
                    Save(image.scaled(320, 320), std::string("panel_text_") + (horizontal ? "across" : "turned"));
            }
        }
    }
    // Black text needs no colour pass.
    QImage image = Canvas(40, 20, kBack);
    TDC dc(image);
    DrawPanelText(dc, TRect(2, 2, 32, 10), "AB", TColor::Black, true, 5, 1, 0, 0);
    ExpectText(image, {2, 2}, 1, true, 5, 0, 0xFF000000u, kBack, kBack, "black");
}

TEST_F(PanelTextTest, PrintersWithAndWithoutBitmapStretching)
{
    const struct {
        bool stretch;
        TColor color;
        QRgb ink;
    } cases[] = {
        {true, PaletteColor(kRed), kRedPixel},
        {true, TColor::White, 0xFF000000u},  // white prints black
        {false, PaletteColor(kRed), kRedPixel},
        {false, TColor::White, 0xFF000000u},
    };
    for (const auto& c : cases) {
        for (bool horizontal : {true, false}) {
            QImage image = Canvas(80, 80);
            TImagePrintDC dc(image, c.stretch);
            const TSize size = horizontal ? TSize(60, 16) : TSize(16, 60);
            DrawPanelText(dc, TRect(TPoint(5, 6), size), "AB", c.color, horizontal, 5, 1, 2, 0);
            const std::string what = std::string(c.stretch ? "stretching" : "device-independent") +
                                     (horizontal ? " across" : " turned");
            ExpectText(image, {5, 6}, 2, horizontal, 5, 2, c.ink, kPaper, kPaper, what);
        }
    }
}

TEST(FrameDrawing, RaisedRecessedAndDeepOnBothPanelKinds)
{
    // A 100 x 100 unit frame is 5 x 5 pixels: bands of 20 units are one pixel.
    const std::map<QRgb, char> legend = {{0xFF808080u, 'd'}, {0xFFC0C0C0u, 'g'}};
    const struct {
        int panel;
        bool raised;
        bool deep;
        std::string picture;
    } cases[] = {
        {kMonoPanel, false, false, Rows({"#####", "#####", "##..#", "##..#", "#####"})},
        {kMonoPanel, true, false, Rows({"#####", "#..##", "#..##", "#####", "#####"})},
        {kMonoPanel, false, true, Rows({"#####", "#####", "##..#", "##..#", "#####"})},
        {kColorPanel, false, false, Rows({"ddddd", "dggg.", "dggg.", "dggg.", "d...."})},
        {kColorPanel, true, false, Rows({".....", ".gggd", ".gggd", ".gggd", ".dddd"})},
        {kColorPanel, false, true, Rows({"ddddd", "dddd.", "ddg..", "dd...", "d...."})},
        {kColorPanel, true, true, Rows({".....", "....d", "..gdd", "..ddd", ".dddd"})},
    };
    for (const auto& c : cases) {
        PanelScope panel(c.panel);
        QImage image = Canvas(5, 5, 0xFF0000FFu);
        TDC dc(image);
        MapPageUnits(dc);
        FrameRect(TRect(0, 0, 100, 100), c.raised, c.deep).Draw(dc);
        EXPECT_EQ(Picture(image, legend), c.picture)
            << "panel " << c.panel << (c.raised ? " raised" : " recessed") << (c.deep ? " deep" : "");
    }
    PanelScope colour(kColorPanel);
    EXPECT_EQ(FrameRect(TRect(100, 100, 200, 200), false, false).GetOuterRect(), TRect(80, 80, 220, 220));
    EXPECT_EQ(FrameRect(TRect(100, 100, 200, 200), false, true).GetInnerRect(), TRect(140, 140, 160, 160));
    PanelScope mono(kMonoPanel);
    EXPECT_EQ(FrameRect(TRect(100, 100, 200, 200), false, false).GetBorderWidth(), 40);
    EXPECT_EQ(LighterColor(10), 2);
    EXPECT_EQ(DarkerColor(2), 10);
    EXPECT_EQ(DarkerColor(9), 8);
}

TEST(ElementDrawing, OutlineIsDottedInTheStateColourOnColourPanels)
{
    const struct {
        int panel;
        char ink;
    } cases[] = {{kMonoPanel, '#'}, {kColorPanel, 'r'}};
    for (const auto& c : cases) {
        PanelScope panel(c.panel);
        BlankElement element(TRect(20, 20, 220, 120));  // pixels (1, 1) to (11, 6)
        element.GetColors().SetColorIndex(0, kRed);
        QImage image = Canvas(13, 8);
        TDC dc(image);
        MapPageUnits(dc);
        element.DrawOutline(dc);
        // Three on, three off, clockwise from the top-left corner.
        std::string expected = Rows({".............", ".xxx...xxx...", ".x...........", ".x...........",
                                     "..........x..", "...xxx...xx..", ".............", "............."});
        for (char& ch : expected)
            if (ch == 'x')
                ch = c.ink;
        EXPECT_EQ(Picture(image, {{kRedPixel, 'r'}}), expected) << c.panel;
    }
}

TEST(ElementDrawing, SelectedElementsShowEightHandlesExceptOnPrinters)
{
    PanelScope panel(kMonoPanel);  // handles of 2 pixels
    BlankElement element(TRect(100, 100, 300, 220));  // pixels (5, 5) to (15, 11)
    element.Select(true);
    QImage image = Canvas(18, 14);
    {
        TDC dc(image);
        MapPageUnits(dc);
        element.DrawSelected(dc);
    }
    EXPECT_EQ(Picture(image), Rows({"..................", "..................", "..................",
                                    "...##....##....##.", "...##....##....##.", "..................",
                                    "..................", "...##..........##.", "...##..........##.",
                                    "..................", "..................", "...##....##....##.",
                                    "...##....##....##.", ".................."}));
    Save(image.scaled(180, 140), "element_handles");

    QImage paper = Canvas(18, 14);
    TImagePrintDC printer(paper);
    MapPageUnits(printer);
    element.DrawSelected(printer);
    EXPECT_EQ(Picture(paper), Picture(Canvas(18, 14)));
}

TEST(ElementDrawing, LibraryBitmapsAreStretchedIntoTheRectangle)
{
    TQSBitmaps& library = GetBitmapLibrary();
    library.ClearAll();
    TDib checker(2, 2, 1);
    checker.SetPixelIndex(1, 0, 1);
    checker.SetPixelIndex(0, 1, 1);
    ASSERT_EQ(library.SetSlot(7, checker, "CHECKER"), 1);
    QImage image = Canvas(6, 6, kBack);
    TDC dc(image);
    DrawLibraryBitmap(TRect(1, 1, 5, 5), dc, 7);
    EXPECT_EQ(Picture(image, {{kBack, 'g'}}),
              Rows({"gggggg", "g##..g", "g##..g", "g..##g", "g..##g", "gggggg"}));
    library.ClearAll();
}

TEST(ElementDrawing, AnEmptySlotShowsTheNoBitmapPicture)
{
    RegisterControlPictures();
    GetBitmapLibrary().ClearAll();
    const TDib nobmp = LoadDibResource(nullptr, kNoBitmapPicture);
    ASSERT_EQ(TSize(nobmp.Width(), nobmp.Height()), TSize(24, 22));
    for (int slot : {0, 299, 300, -1}) {
        QImage image = Canvas(52, 48, kBack);
        TDC dc(image);
        DrawLibraryBitmap(TRect(2, 2, 50, 46), dc, slot);  // twice its size
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 52; ++x) {
                const bool inside = x >= 2 && x < 50 && y >= 2 && y < 46;
                const QRgb expected = !inside ? kBack
                                      : nobmp.PixelIndex((x - 2) / 2, (y - 2) / 2) ? kPaper
                                                                                    : 0xFF000000u;
                ASSERT_EQ(image.pixel(x, y), expected) << "slot " << slot << " at " << x << "," << y;
            }
        }
        // The picture is a framed cross.
        EXPECT_EQ(image.pixel(2, 2), 0xFF000000u);
        EXPECT_EQ(image.pixel(4, 4), kPaper);
        EXPECT_EQ(image.pixel(6, 6), 0xFF000000u);
        EXPECT_EQ(image.pixel(2 + 2 * 11, 2 + 2 * 10), 0xFF000000u);
        if (slot == 0)
            Save(image.scaled(208, 192), "library_bitmap_empty_slot");
    }
}
