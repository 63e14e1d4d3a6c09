// Pixels of the formatted text as the canvas and the printer draw it: the
// block placed in the element by its justification, lines justified in the
// block, vertical text read from bottom to top, and text cut at the
// element's edge; expected pixels come from the font file's glyph bits.

#include "platform/gdi/tests/gdi_test_util.h"
#include "plintvlr/elements/tests/text_test_util.h"
#include "plintvlr/elements/tests/extent_check.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/image_print_dc.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/palette.h"

#include <QDir>

#include <functional>

namespace {

constexpr QRgb kBack = 0xFFC0C0C0u;
constexpr QRgb kPaper = 0xFFFFFFFFu;
constexpr QRgb kRedPixel = 0xFFFF0000u;
// "ANSI Zobrel 5x8", font 0 of type 14 (monochrome): 6 x 8 cells.
constexpr int kCell = 6;
constexpr int kLine = 8;
constexpr QRgb kBlackPixel = 0xFF000000u;

class TextDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_PANEL_FONTS(fonts_);
        UsePanel(14, "ansi5x8.fnt");
    }

    void UsePanel(int panelType, const char* fontFile)
    {
        panel_.reset();
        panel_ = std::make_unique<PanelScope>(panelType);
        ASSERT_EQ(FntFile::Load(std::string(PLV_FONT_DIR) + "/" + fontFile, font_), FntError::None);
        cellW_ = font_.PixWidth();
        cellH_ = font_.PixHeight();
        ASSERT_EQ(GetFontSize(0), TSize(cellW_, cellH_));
    }

    // The element's text picture, true where a glyph pixel is set, in panel
    // pixels of the element rectangle (turned when vertical).
    std::vector<std::vector<bool>> Expected(const TFormatText& element) const
    {
        const int columns = element.GetColumns();
        const int rows = element.GetRows();
        const int w = columns * cellW_;
        const int h = rows * cellH_;
        std::vector<std::vector<bool>> block(static_cast<std::size_t>(h), std::vector<bool>(static_cast<std::size_t>(w)));
        std::vector<std::string> lines;
        std::string text = element.GetText();
        for (std::size_t at = 0;;) {
            const std::size_t end = text.find("\r\n", at);
            lines.push_back(text.substr(at, end - at));
            if (end == std::string::npos)
                break;
            at = end + 2;
        }
        for (std::size_t i = 0; i < lines.size() && static_cast<int>(i) < rows; ++i) {
            const int width = static_cast<int>(lines[i].size()) * cellW_;
            int x = element.GetJustify() == 1 ? (w - width) / 2 : element.GetJustify() == 2 ? w - width : 0;
            for (char c : lines[i]) {
                for (int gy = 0; gy < cellH_; ++gy)
                    for (int gx = 0; gx < font_.GlyphWidth(c); ++gx)
                        if (font_.GlyphPixel(c, gx, gy))
                            block[i * cellH_ + static_cast<std::size_t>(gy)][static_cast<std::size_t>(x + gx)] = true;
                x += cellW_;
            }
        }
        // Where the block stands in the element, in panel pixels.
        const TRect r = element.GetRect();
        const int ew = r.Width() / 20;
        const int eh = r.Height() / 20;
        std::vector<std::vector<bool>> picture(static_cast<std::size_t>(eh), std::vector<bool>(static_cast<std::size_t>(ew)));
        const bool across = element.GetHorizontal();
        const int bw = across ? w : h;
        const int bh = across ? h : w;
        int bx = 0;
        int by = 0;
        if (across) {
            bx = element.GetJustify() == 2 ? ew - bw : element.GetJustify() == 1 ? (ew - bw) / 2 : 0;
        } else {
            by = element.GetJustify() == 2 ? 0 : element.GetJustify() == 1 ? eh - bh - (eh - bh) / 2 : eh - bh;
        }
        for (int y = 0; y < bh; ++y) {
            for (int x = 0; x < bw; ++x) {
                const int px = bx + x;
                const int py = by + y;
                if (px < 0 || py < 0 || px >= ew || py >= eh)
                    continue;
                // A quarter turn counter-clockwise: the block's column c is row w - 1 - c.
                const bool set = across ? block[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]
                                        : block[static_cast<std::size_t>(x)][static_cast<std::size_t>(w - 1 - y)];
                picture[static_cast<std::size_t>(py)][static_cast<std::size_t>(px)] = set;
            }
        }
        return picture;
    }

    // Draws the element at `scale` device pixels per panel pixel and checks
    // every pixel of its rectangle and the ring round it.
    void Check(TFormatText& element, TDC& dc, const QImage& image, int scale, QRgb ink, QRgb paper,
               const std::string& what)
    {
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(TSize(20, 20));
        dc.SetViewportExt(TSize(scale, scale));
        element.Draw(dc);
        const auto picture = Expected(element);
        const TRect r = element.GetRect();
        const int x0 = r.left / 20 * scale;
        const int y0 = r.top / 20 * scale;
        const int w = r.Width() / 20 * scale;
        const int h = r.Height() / 20 * scale;
        int inked = 0;
        for (int y = y0 - 1; y <= y0 + h; ++y) {
            for (int x = x0 - 1; x <= x0 + w; ++x) {
                QRgb expected = paper;
                if (x >= x0 && y >= y0 && x < x0 + w && y < y0 + h) {
                    const bool set = picture[static_cast<std::size_t>((y - y0) / scale)][static_cast<std::size_t>((x - x0) / scale)];
                    expected = set ? ink : paper;
                    inked += set;
                }
                ASSERT_EQ(image.pixel(x, y) | 0xFF000000u, expected) << what << " at " << x << "," << y;
            }
        }
        EXPECT_GT(inked, 8 * scale * scale) << what;
    }

    // An element in the 6 x 8 font of the given rectangle (panel pixels).
    static std::unique_ptr<TFormatText> Make(const char* text, const TRect& pixels, bool horizontal, int justify)
    {
        auto element = std::make_unique<TFormatText>(
            TRect(pixels.left * 20, pixels.top * 20, pixels.right * 20, pixels.bottom * 20), text, horizontal);
        element->SetFont(9);  // not stored: font 0 of the panel
        element->SetJustify(justify);
        element->GetColors().SetColorIndex(0, kRed);
        return element;
    }

    PanelFontsScope fonts_;
    FntFile font_;
    int cellW_ = 0;
    int cellH_ = 0;
    std::unique_ptr<PanelScope> panel_;
};

}  // namespace

TEST_F(TextDrawing, JustifiedVerticalAndCutTextAtOneAndTwoPixelsPerPanelPixel)
{
    // Monochrome text is black.
    struct Case {
        const char* what;
        const char* text;
        TRect pixels;
        bool horizontal;
        int justify;
        int cutRight;  // pixels taken off the right after the layout
    };
    const Case cases[] = {
        {"two lines centred", "AB\r\nC", TRect(3, 2, 3 + 10 * kCell, 2 + 2 * kLine), true, 1, 0},
        {"right justified", "ABC", TRect(3, 2, 3 + 8 * kCell, 2 + kLine), true, 2, 0},
        {"vertical", "AB", TRect(3, 2, 3 + kLine, 2 + 7 * kCell), false, 0, 0},
        {"vertical centred", "AB", TRect(3, 2, 3 + kLine, 2 + 7 * kCell), false, 1, 0},
        {"cut at the edge", "ABCD", TRect(3, 2, 3 + 4 * kCell, 2 + kLine), true, 0, 9},
    };
    for (const Case& c : cases) {
        for (int scale : {1, 2}) {
            auto element = Make(c.text, c.pixels, c.horizontal, c.justify);
            element->Relayout();
            if (c.cutRight)
                element->right -= c.cutRight * 20;
            QImage image = Canvas(160, 120, kBack);
            TDC dc(image);
            Check(*element, dc, image, scale, kBlackPixel, kBack, std::string(c.what) + " at " + std::to_string(scale));
            if (scale == 2 && c.justify == 1 && c.horizontal) {
                QDir().mkpath(PLV_SCREENSHOT_DIR);
                image.scaled(480, 360).save(QString(PLV_SCREENSHOT_DIR) + "/formatted_text.png");
            }
        }
    }
}

TEST_F(TextDrawing, TextSaysItMissesTheAreasOfItsElementBesideItsBlock)
{
    // A repaint of a small area beside the text, within its element, skips it.
    struct Case {
        const char* what;
        bool horizontal;
        int justify;
    };
    const Case cases[] = {{"left", true, 0}, {"centred", true, 1}, {"right", true, 2}, {"vertical", false, 1}};
    for (const Case& c : cases) {
        for (int scale : {1, 2}) {
            auto element = Make("AB", TRect(3, 2, 3 + 5 * kCell, 2 + 5 * kCell), c.horizontal, c.justify);
            EXPECT_GT(CheckMissedAreasStayBlank(*element, scale, c.what), 0) << c.what;
        }
    }
}

TEST_F(TextDrawing, WhiteTextPrintsBlack)
{
    UsePanel(kColorPanel, "ansi8x14.fnt");
    for (bool stretch : {true, false}) {
        auto element = Make("AB", TRect(2, 2, 2 + 4 * cellW_, 2 + cellH_), true, 2);
        element->GetColors().SetColorIndex(0, kWhite);
        element->Relayout();
        QImage image = Canvas(80, 40, kPaper);
        TImagePrintDC dc(image, stretch);
        Check(*element, dc, image, 2, kBlackPixel, kPaper, stretch ? "stretching printer" : "bitmap printer");
    }
    // On the screen it is the colour.
    auto red = Make("AB", TRect(2, 2, 2 + 4 * cellW_, 2 + cellH_), true, 1);
    red->Relayout();
    QImage image = Canvas(80, 40, kBack);
    TDC dc(image);
    Check(*red, dc, image, 1, kRedPixel, kBack, "colour screen");
}

TEST_F(TextDrawing, AKeptPictureRepaintsAsAFreshElementAfterEachChange)
{
    // An element keeps its laid-out picture between paints; after each change
    // that alters its pixels it must paint what a new element in the same
    // state (a clone, which keeps nothing) paints.
    UsePanel(kColorPanel, "ansi8x14.fnt");
    auto element = Make("AB CD", TRect(2, 2, 2 + 6 * cellW_, 2 + 2 * cellH_), true, 0);
    element->Relayout();
    int scale = 1;
    auto paint = [&](SizeRect& e) {
        QImage image = Canvas(200, 160, kBack);
        TDC dc(image);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(TSize(20, 20));
        dc.SetViewportExt(TSize(scale, scale));
        e.Draw(dc);
        return image;
    };
    bool fontsRemoved = false;
    const struct {
        const char* what;
        std::function<void(TFormatText&)> change;
    } changes[] = {
        {"text", [](TFormatText& e) { e.SetText("Tank\r\nlevel"); }},
        {"colour", [](TFormatText& e) { e.GetColors().SetColorIndex(0, kGreen); }},
        {"justification", [](TFormatText& e) { e.SetJustify(2); }},
        {"size", [&](TFormatText& e) {
             e.right += 4 * cellW_ * 20;
             e.Relayout();
         }},
        {"multipliers", [](TFormatText& e) { e.SetTextSize(2, 1); }},
        {"orientation", [](TFormatText& e) { e.ToggleOrientation(); }},
        {"zoom", [&](TFormatText&) { scale = 2; }},
        {"panel font", [&](TFormatText& e) {
             UsePanel(14, "ansi5x8.fnt");
             e.Relayout();
         }},
        {"font table", [&](TFormatText&) { fontsRemoved = RemoveFontResource(PLV_PROGRAM_FONT); }},
    };
    for (const auto& c : changes) {
        const QImage before = paint(*element);
        c.change(*element);
        const QImage kept = paint(*element);
        EXPECT_NE(kept, before) << c.what << " changes the pixels";
        const std::unique_ptr<SizeRect> fresh = element->Clone();
        EXPECT_EQ(kept, paint(*fresh)) << c.what;
        EXPECT_EQ(kept, paint(*element)) << c.what << ", painted again";
    }
    if (fontsRemoved)
        AddFontResource(PLV_PROGRAM_FONT);
}
