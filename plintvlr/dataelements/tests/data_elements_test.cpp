// The data elements as the page editor carries them: record lengths by
// layout, places taken from records, keys and legends, the comms block list
// and the touch cells.

#include "plintvlr/dataelements/data_elements.h"
#include "plintvlr/dataelements/ecb_elem.h"
#include "plintvlr/dataelements/touch_grid.h"
#include "plintvlr/db/id_counter.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/db/tests/hex_bytes.h"
#include "plintvlr/elements/tests/element_test_util.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/tests/gdi_test_util.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Make = std::function<std::unique_ptr<KeptRecordElem>()>;

template <class T>
Make Maker()
{
    return [] { return std::make_unique<T>(); };
}

std::unique_ptr<KeptRecordElem> Read(const Make& make, const Bytes& bytes)
{
    auto element = make();
    RecordReader in(bytes.data(), bytes.size());
    EXPECT_TRUE(element->ReadRecord(in)) << Hex(bytes);
    EXPECT_EQ(in.Remaining(), 0u) << Hex(bytes);
    return element;
}

const std::string kTrendPoints = "00 09 25 10 00 09 30 10 00 32 30 10 00 32 25 10 00 09 25";

TEST(KeptRecords, EachLayoutIsReadWholeWrittenBackAndFailsWhenCut)
{
    const struct {
        const char* name;
        int panel;
        Make make;
        std::string hex;
    } cases[] = {
        {"touch region", kMonoPanel, Maker<TouchElem>(), "09 00 00 01 01 00 00 0A 22 00 31 13 1C 1D 44 30 30 30 31 00"},
        {"touch region, recipe transfer", kMonoPanel, Maker<TouchElem>(),
         "09 00 00 01 01 00 00 0A 22 00 31 13 1C 27 05 00 09 00 01 00 00 00"},
        {"touch region, colour", kColorPanel, Maker<TouchElem>(), "09 01 13 01 01 00 00 0A 28 00 31 2F 00"},
        {"function key", kMonoPanel, [] { return std::make_unique<EFKeyElem>(0, false); },
         "0D 00 03 53 54 41 52 54 20 20 20 20 1C 29 35 00"},
        {"function key, recipe load and transfer", kMonoPanel, [] { return std::make_unique<EFKeyElem>(0, false); },
         "0D 00 03 53 54 41 52 54 20 20 20 20 1C 28 05 00 00 00 00 00 00 00 02 00 07 08"},
        {"drive-out with multipliers", kMonoPanel, Maker<DriveOutElem>(), "10 21 04 10 01 00 14 1F 01 00"},
        {"drive-out, colour", kColorPanel, Maker<DriveOutElem>(), "50 00 13 01 00 14 1F 01 00"},
        {"trend", kMonoPanel, Maker<TrendElem>(), "14 80 10 01 00 0A 25 00 28 0A 05 00 01 00"},
        {"trend, colour", kColorPanel, Maker<TrendElem>(),
         "14 80 13 01 00 32 30 00 28 0A 05 00 01 00 48 00 13 01 " + kTrendPoints + " 00"},
        {"message display", kMonoPanel, Maker<MessageElem>(), "1F 89 01 02 AB CD"},
        {"push button", kMonoPanel, Maker<ButtonElem>(),
         "1F 8D 01 15 09 00 00 01 01 00 00 0A 22 00 31 13 1C 1D 44 30 30 30 31 00 00"},
    };
    for (const auto& c : cases) {
        PanelScope panel(c.panel);
        const Bytes bytes = HexVector(c.hex);
        auto element = Read(c.make, bytes);
        EXPECT_TRUE(element->HasKeptRecord()) << c.name;
        EXPECT_FALSE(element->IsSelectable()) << c.name;
        Bytes out(bytes.size() + 8, 0xEE);
        EXPECT_EQ(Written(out.data(), element->WriteRecord(out.data())), c.hex) << c.name;
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            auto cut = c.make();
            RecordReader in(bytes.data(), n);
            EXPECT_FALSE(cut->ReadRecord(in)) << c.name << " cut at " << n;
        }
    }
}

TEST(KeptRecords, PlacesComeFromTheRecordsWhereTheyGiveOne)
{
    {
        PanelScope panel(kMonoPanel);  // 48 pixels high, origin 11
        EXPECT_EQ(Read(Maker<TrendElem>(), HexVector("14 80 10 01 00 0A 25 00 28 0A 05 00 01 00"))->GetRect(),
                  TRect(200, 260, 1000, 460));
        // Monochrome touch regions stand on the 16-pixel touch rows.
        EXPECT_EQ(Read(Maker<TouchElem>(), HexVector("09 00 00 01 01 00 00 0A 23 00 31 14 00"))->GetRect(),
                  TRect(200, 160, 1000, 480));
        const auto driveOut = Read(Maker<DriveOutElem>(), HexVector("50 00 10 01 00 14 1F 01 00"));
        EXPECT_EQ(driveOut->left, 400);
        EXPECT_EQ(driveOut->bottom, 560);
        EXPECT_EQ(driveOut->Width(), 2 * GetFontSize(0).cx * kUnitsPerPixel);
        EXPECT_EQ(driveOut->Height(), GetFontSize(0).cy * kUnitsPerPixel);
        EXPECT_EQ(Read(Maker<MessageElem>(), HexVector("1F 89 01 02 AB CD"))->GetRect(),
                  TRect(KeptRecordElem::kOffPage, KeptRecordElem::kOffPage, KeptRecordElem::kOffPage,
                        KeptRecordElem::kOffPage));
    }
    PanelScope panel(kColorPanel);  // 224 pixels high, origin 20
    EXPECT_EQ(Read(Maker<TouchElem>(), HexVector("09 01 13 01 01 00 00 0A 28 00 31 2F 00"))->GetRect(),
              TRect(200, 3940, 1000, 4100));
    EXPECT_EQ(Read(Maker<TrendElem>(),
                   HexVector("14 80 13 01 00 32 30 00 28 0A 05 00 01 00 48 00 13 01 " + kTrendPoints + " 00"))
                  ->GetRect(),
              TRect(200, 3740, 1000, 3940));
}

TEST(KeptRecords, KeysTakeTheirNumberLegendAndRecipeGroupFromTheRecord)
{
    const struct {
        int panel;
        const char* hex;
        int key;
        const char* legend;
        std::uint16_t group;
    } cases[] = {
        {kMonoPanel, "0D 00 01 41 42 43 44 45 46 47 20 20 00", 1, "ABCDE", 0},
        {6, "0D 00 01 41 42 43 44 45 46 47 20 20 00", 1, "ABCDEFG", 0},
        {kMonoPanel, "0D 00 04 41 20 20 20 20 20 20 20 20 1C 26 0C 00 00 00", 4, "A", 12},
    };
    for (const auto& c : cases) {
        PanelScope panel(c.panel);
        const auto element = Read([] { return std::make_unique<EFKeyElem>(0, false); }, HexVector(c.hex));
        const auto& key = static_cast<const EFKeyElem&>(*element);
        EXPECT_EQ(key.GetKeyNumber(), c.key) << c.hex;
        EXPECT_EQ(key.GetLegend(), c.legend) << c.hex;
        const int side = -(c.key + 1) * 100;
        EXPECT_EQ(key.GetRect(), TRect(side, side, side, side));
        TIdCounter counter;
        key.CountRecipeUse(counter);
        EXPECT_EQ(counter.Empty(), c.group == 0) << c.hex;
        if (c.group) {
            EXPECT_EQ(counter.Pairs()[0].id, c.group);
        }
    }
}

TEST(CommsBlocks, NonZeroSlotsAreWrittenInOrderAndEntriesReadIntoTheNextSlot)
{
    ECBElem blocks;
    Bytes out(64);
    EXPECT_EQ(Written(out.data(), blocks.Write(out.data())), "");
    blocks.SetBlock(1, 17);
    blocks.SetBlock(4, 300);
    blocks.SetBlock(8, 5);  // no such slot
    EXPECT_EQ(Written(out.data(), blocks.Write(out.data())), "12 11 00 12 2C 01");

    ECBElem read;
    const Bytes entries = HexVector("12 11 00 12 2C 01 12 01");
    RecordReader in(entries.data(), entries.size());
    EXPECT_TRUE(read.ReadEntry(in));
    EXPECT_TRUE(read.ReadEntry(in));
    EXPECT_FALSE(read.ReadEntry(in));
    EXPECT_EQ(read.GetBlock(0), 17);
    EXPECT_EQ(read.GetBlock(1), 300);
    EXPECT_EQ(read.GetCount(), 2);
    read.Reset();
    EXPECT_EQ(read.GetBlock(0), 0);
    EXPECT_EQ(read.GetCount(), 0);
}

TEST(TouchGridCells, RowsStartHalfACellDown)
{
    // 3 rows and 4 columns of 20 x 16 pixel cells.
    const TouchGrid grid(3, 4, {20, 16});
    EXPECT_TRUE(grid.CellAt({10 * 20, 7 * 20}).IsEmpty());
    EXPECT_EQ(grid.CellAt({10 * 20, 8 * 20}), TRect(0, 160, 400, 480));
    EXPECT_EQ(grid.CellAt({399, 479}), TRect(0, 160, 400, 480));
    EXPECT_EQ(grid.CellAt({400, 480}), TRect(400, 480, 800, 800));
    EXPECT_TRUE(grid.CellAt({1600, 500}).IsEmpty());
    // Whole cells inside a rectangle; none when it holds none whole.
    EXPECT_EQ(grid.SnapRect({0, 100, 850, 500}), TRect(0, 160, 800, 480));
    EXPECT_TRUE(grid.SnapRect({0, 100, 390, 500}).IsEmpty());

    const auto cells = MakeTouchGrid(Quellstor(14));  // 240 x 112 pixels, 40 x 16 cells
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->GetRows(), 6);
    EXPECT_EQ(cells->GetColumns(), 6);
    EXPECT_TRUE(cells->IsVisible());
    EXPECT_EQ(MakeTouchGrid(Quellstor(5)), nullptr);  // touch by pixel
    EXPECT_EQ(MakeTouchGrid(Quellstor(9)), nullptr);  // no touch screen
}

TEST(TouchGridCells, ARepaintOfAnAreaDrawsTheCrossesTheWholeGridShowsThere)
{
    // Only the crosses near a repainted area are drawn; the area must show
    // what painting the whole grid shows there.
    const TouchGrid grid(6, 6, {40, 16});
    const auto paint = [&](QImage& image, const QRegion* clip) {
        TDC dc(image);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(TSize(240 * 20, 112 * 20));
        dc.SetViewportExt(TSize(image.width(), image.height()));  // 1.6 pixels a panel pixel
        if (clip)
            dc.SelectClipRgn(TRegion(*clip));
        grid.Paint(dc);
    };
    QImage whole = Canvas(384, 179);
    paint(whole, nullptr);
    // The cross at panel (80, 24) stands at device (128, 38): areas that
    // hold only the end of its left arm or of its upper arm.
    const QRegion areas[] = {QRegion(60, 20, 9, 7),  QRegion(0, 0, 5, 179),   QRegion(370, 160, 14, 19),
                             QRegion(123, 36, 4, 5), QRegion(126, 33, 4, 3),
                             QRegion(120, 40, 30, 20) + QRegion(128, 46, 30, 20)};
    for (const QRegion& area : areas) {
        QImage part = Canvas(384, 179);
        paint(part, &area);
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x)
                ASSERT_EQ(part.pixel(x, y), area.contains(QPoint(x, y)) ? whole.pixel(x, y) : 0xFFFFFFFFu)
                    << "area at " << area.boundingRect().x() << "," << area.boundingRect().y() << ", pixel " << x
                    << "," << y;
    }
}

}  // namespace
