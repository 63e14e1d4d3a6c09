#include "platform/base/dib.h"

#include "platform/base/files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Byte fixtures are spelled out field by field from the BMP layout.
Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}
Bytes U16(std::uint16_t v)
{
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
}
Bytes U32(std::uint32_t v)
{
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}
Bytes FileHeader(std::uint32_t fileSize, std::uint32_t bitsOffset)
{
    return Cat({{'B', 'M'}, U32(fileSize), U16(0), U16(0), U32(bitsOffset)});
}
Bytes InfoHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount, std::uint32_t imageSize,
                 std::uint32_t colorsUsed)
{
    return Cat({U32(40), U32(static_cast<std::uint32_t>(width)), U32(static_cast<std::uint32_t>(height)), U16(1),
                U16(bitCount), U32(0), U32(imageSize), U32(2835), U32(2835), U32(colorsUsed), U32(0)});
}

const DibColor kBlack{0, 0, 0};
const DibColor kWhite{255, 255, 255};
const DibColor kRed{255, 0, 0};
const DibColor kGreen{0, 255, 0};
const DibColor kBlue{0, 0, 255};

// A 2x2 picture: its palette bytes, its two stored rows (bottom row first,
// each padded to 4 bytes) and what the four pixels are by construction.
struct Fixture {
    const char* name;
    std::uint16_t bitCount;
    std::uint32_t colorsUsed;  // as the canonical writer puts it
    Bytes palette;
    Bytes bottomRow;
    Bytes topRow;
    int index[2][2];          // [y][x] from the top; -1 at 24 bits
    DibColor color[2][2];     // [y][x] from the top
};

const std::vector<Fixture>& Fixtures()
{
    static const std::vector<Fixture> fixtures = {
        // Top row: white black; bottom row: black white.
        {"1bit", 1, 0, Cat({{0, 0, 0, 0}, {255, 255, 255, 0}}), {0x40, 0, 0, 0}, {0x80, 0, 0, 0},
         {{1, 0}, {0, 1}}, {{kWhite, kBlack}, {kBlack, kWhite}}},
        // Four of sixteen colours: red green blue white (BGR0 order in the file).
        // Top row: 1 2, bottom row: 3 0.
        {"4bit", 4, 4, Cat({{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}}),
         {0x30, 0, 0, 0}, {0x12, 0, 0, 0}, {{1, 2}, {3, 0}}, {{kGreen, kBlue}, {kWhite, kRed}}},
        // Three colours. Top row: 2 0, bottom row: 1 2.
        {"8bit", 8, 3, Cat({{30, 20, 10, 0}, {60, 50, 40, 0}, {90, 80, 70, 0}}), {1, 2, 0, 0}, {2, 0, 0, 0},
         {{2, 0}, {1, 2}}, {{DibColor{70, 80, 90}, DibColor{10, 20, 30}}, {DibColor{40, 50, 60}, DibColor{70, 80, 90}}}},
        // Top row: red green; bottom row: blue (1,2,3). Pixels are B G R.
        {"24bit", 24, 0, {}, {255, 0, 0, 3, 2, 1, 0, 0}, {0, 0, 255, 0, 255, 0, 0, 0},
         {{-1, -1}, {-1, -1}}, {{kRed, kGreen}, {kBlue, DibColor{1, 2, 3}}}},
    };
    return fixtures;
}

enum class Order { BottomUp, TopDown };

// A file image of the fixture; `headerImageSize` false writes 0 there, and
// `headerColors` overrides the colour count field.
Bytes FileImage(const Fixture& f, Order order, bool headerImageSize = true, long headerColors = -1)
{
    const Bytes rows = order == Order::BottomUp ? Cat({f.bottomRow, f.topRow}) : Cat({f.topRow, f.bottomRow});
    const auto imageSize = static_cast<std::uint32_t>(rows.size());
    const auto bitsAt = static_cast<std::uint32_t>(14 + 40 + f.palette.size());
    const std::uint32_t colors = headerColors >= 0 ? static_cast<std::uint32_t>(headerColors) : f.colorsUsed;
    return Cat({FileHeader(bitsAt + imageSize, bitsAt),
                InfoHeader(2, order == Order::BottomUp ? 2 : -2, f.bitCount, headerImageSize ? imageSize : 0, colors),
                f.palette, rows});
}

void ExpectPixels(const TDib& dib, const Fixture& f)
{
    ASSERT_TRUE(dib.IsOK());
    EXPECT_EQ(dib.Width(), 2);
    EXPECT_EQ(dib.Height(), 2);
    EXPECT_EQ(dib.BitsPixel(), f.bitCount);
    EXPECT_EQ(dib.NumColors(), static_cast<int>(f.palette.size() / 4));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(dib.PixelIndex(x, y), f.index[y][x]) << "at " << x << "," << y;
            EXPECT_EQ(dib.PixelColor(x, y), f.color[y][x]) << "at " << x << "," << y;
        }
    }
}

TEST(DibTest, ReadsEveryDepthInEitherRowOrderWithOrWithoutImageSize)
{
    for (const Fixture& f : Fixtures()) {
        for (Order order : {Order::BottomUp, Order::TopDown}) {
            for (bool withSize : {true, false}) {
                SCOPED_TRACE(std::string(f.name) + (order == Order::TopDown ? " top-down" : " bottom-up") +
                             (withSize ? "" : " image size 0"));
                TDib dib;
                ASSERT_EQ(TDib::FromFileBytes(FileImage(f, order, withSize), dib), DibError::None);
                ExpectPixels(dib, f);
                EXPECT_EQ(dib.ImageSize(), f.bottomRow.size() + f.topRow.size());
                EXPECT_EQ(dib.XPelsPerMeter(), 2835);
            }
        }
    }
}

TEST(DibTest, WritesOneCanonicalBottomUpLayout)
{
    for (const Fixture& f : Fixtures()) {
        SCOPED_TRACE(f.name);
        const Bytes canonical = FileImage(f, Order::BottomUp, true);
        TDib dib;
        ASSERT_EQ(TDib::FromFileBytes(FileImage(f, Order::TopDown, false), dib), DibError::None);
        EXPECT_EQ(dib.FileBytes(), canonical);
        EXPECT_EQ(dib.FileSize(), canonical.size());
        EXPECT_EQ(dib.PackedDib(), Bytes(canonical.begin() + 14, canonical.end()));
        EXPECT_EQ(dib.PackedSize(), canonical.size() - 14);
    }
}

TEST(DibTest, ReadsPackedMemoryImages)
{
    for (const Fixture& f : Fixtures()) {
        SCOPED_TRACE(f.name);
        const Bytes file = FileImage(f, Order::TopDown, false);
        TDib dib;
        ASSERT_EQ(TDib::FromPackedDib(Bytes(file.begin() + 14, file.end()), dib), DibError::None);
        ExpectPixels(dib, f);
    }
}

TEST(DibTest, ExplicitFullPaletteCountReadsLikeZero)
{
    const Fixture& mono = Fixtures()[0];
    TDib dib;
    ASSERT_EQ(TDib::FromFileBytes(FileImage(mono, Order::BottomUp, true, 2), dib), DibError::None);
    ExpectPixels(dib, mono);
    EXPECT_EQ(dib.FileBytes(), FileImage(mono, Order::BottomUp, true));
}

// Hostile and damaged headers. Each case spoils the 2x2 one-bit picture.
TEST(DibTest, DamagedHeadersGiveErrorsNotCrashes)
{
    const Fixture& mono = Fixtures()[0];
    const Bytes good = FileImage(mono, Order::BottomUp);
    auto with = [&](std::size_t at, const Bytes& field) {
        Bytes b = good;
        std::copy(field.begin(), field.end(), b.begin() + static_cast<long>(at));
        return b;
    };
    struct Case {
        const char* name;
        Bytes bytes;
        DibError error;
    };
    const std::vector<Case> cases = {
        {"empty", {}, DibError::NotBitmap},
        {"signature only", {'B', 'M'}, DibError::Truncated},
        {"wrong signature", with(0, {'M', 'B'}), DibError::NotBitmap},
        {"no info header", Bytes(good.begin(), good.begin() + 20), DibError::Truncated},
        {"core header", with(14, U32(12)), DibError::Unsupported},
        {"short info header", with(14, U32(24)), DibError::BadHeader},
        {"info header past the end", with(14, U32(1000)), DibError::Truncated},
        {"width 0", with(18, U32(0)), DibError::BadHeader},
        {"negative width", with(18, U32(0xFFFFFFFE)), DibError::BadHeader},
        {"height 0", with(22, U32(0)), DibError::BadHeader},
        {"most negative height", with(22, U32(0x80000000)), DibError::TooLarge},
        {"huge width", with(18, U32(0x7FFFFFFF)), DibError::TooLarge},
        {"huge area", with(18, Cat({U32(32767), U32(32767)})), DibError::TooLarge},
        {"width past the rows", with(18, U32(20000)), DibError::Truncated},
        {"planes 2", with(26, U16(2)), DibError::BadHeader},
        {"16 bits", with(28, U16(16)), DibError::Unsupported},
        {"3 bits", with(28, U16(3)), DibError::BadHeader},
        {"run-length coded", with(30, U32(1)), DibError::Unsupported},
        {"palette past the depth", with(46, U32(3)), DibError::BadHeader},
        {"pixel offset past the end", with(10, U32(0x10000)), DibError::BadOffset},
        {"pixel offset into the palette", with(10, U32(58)), DibError::BadOffset},
        {"rows cut short", Bytes(good.begin(), good.end() - 1), DibError::Truncated},
        {"palette cut short", Bytes(good.begin(), good.begin() + 58), DibError::Truncated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDib dib(4, 4, 1);
        EXPECT_EQ(TDib::FromFileBytes(c.bytes, dib), c.error);
        EXPECT_FALSE(dib.IsOK());
        EXPECT_EQ(TDib::FileImageLength(c.bytes), -1);
    }

    // A 24-bit picture whose optional colour table claims more than is there.
    const Bytes rgb = FileImage(Fixtures()[3], Order::BottomUp, true, 0x40000000);
    TDib dib;
    EXPECT_EQ(TDib::FromFileBytes(rgb, dib), DibError::Truncated);
}

TEST(DibTest, WrongSizeFieldsAreNotTrusted)
{
    const Fixture& mono = Fixtures()[0];
    Bytes b = FileImage(mono, Order::BottomUp, false);
    b[2] = 0xFF;  // the file size says more than there is
    b[3] = 0xFF;
    TDib dib;
    ASSERT_EQ(TDib::FromFileBytes(b, dib), DibError::None);
    ExpectPixels(dib, mono);

    Bytes padded = Cat({FileImage(mono, Order::BottomUp, true), Bytes(30, 0xAA)});
    padded[34] = 0xFF;  // an image size far past the bytes
    padded[35] = 0xFF;
    ASSERT_EQ(TDib::FromFileBytes(padded, dib), DibError::None);
    ExpectPixels(dib, mono);
}

// The true length of a file image, whatever its size fields say: a header
// with image size 0 stored as "image size + 62" bytes would lose its rows.
TEST(DibTest, FileImageLengthComesFromWidthHeightAndDepth)
{
    for (const Fixture& f : Fixtures()) {
        SCOPED_TRACE(f.name);
        const Bytes exact = FileImage(f, Order::BottomUp, false);
        const Bytes withTail = Cat({exact, Bytes(100, 0)});
        EXPECT_EQ(TDib::FileImageLength(exact), static_cast<std::int64_t>(exact.size()));
        EXPECT_EQ(TDib::FileImageLength(withTail), static_cast<std::int64_t>(exact.size()));
    }
    // A 100 x 30 one-bit picture: rows of 16 bytes.
    EXPECT_EQ(TDib::ImageSizeFor(100, 30, 1), 16 * 30);
    EXPECT_EQ(TDib::ImageSizeFor(100, -30, 24), 300 * 30);
    EXPECT_EQ(TDib::ImageSizeFor(3, 1, 4), 4);
    EXPECT_EQ(TDib::ImageSizeFor(0, 1, 1), -1);
    EXPECT_EQ(TDib::ImageSizeFor(1, 1, 2), -1);
    EXPECT_GT(TDib::ImageSizeFor(0x7FFFFFFF, 1000, 24), 0);
    EXPECT_EQ(TDib::ImageSizeFor(0x7FFFFFFF, 0x7FFFFFFF, 24), -1);  // past 64 bits
    EXPECT_EQ(TDib::ImageSizeFor(0x80000000LL, 1, 1), -1);
}

TEST(DibTest, SameImageComparesEveryPixelAndIgnoresPadding)
{
    // Nine pixels wide: width x height / 8 bytes would cover only the first
    // row's bytes, so a difference in the last row would go unseen.
    TDib a(9, 2, 1);
    TDib b(9, 2, 1);
    ASSERT_TRUE(a.SameImage(b));
    b.SetPixelIndex(8, 1, 1);
    EXPECT_FALSE(a.SameImage(b));
    EXPECT_FALSE(a == b);
    a.SetPixelIndex(8, 1, 1);
    EXPECT_TRUE(a == b);

    // Same pixels, different junk in the padding of the rows.
    const Fixture& mono = Fixtures()[0];
    Bytes junk = FileImage(mono, Order::BottomUp);
    junk[62] |= 0x3F;  // bits past the second pixel of the bottom row
    junk[63] = 0x55;   // pad bytes
    junk[67] = 0xAA;
    TDib clean;
    TDib dirty;
    ASSERT_EQ(TDib::FromFileBytes(FileImage(mono, Order::BottomUp), clean), DibError::None);
    ASSERT_EQ(TDib::FromFileBytes(junk, dirty), DibError::None);
    EXPECT_TRUE(clean == dirty);
    EXPECT_EQ(dirty.FileBytes(), clean.FileBytes());

    // Same bits, another palette: another picture.
    TDib inverted = clean;
    inverted.SetColor(0, kWhite);
    inverted.SetColor(1, kBlack);
    EXPECT_FALSE(clean == inverted);
    // Same size, other depth.
    EXPECT_FALSE(TDib(2, 2, 1) == TDib(2, 2, 4));
}

TEST(DibTest, ConvertsBetweenDepths)
{
    TDib mono;
    ASSERT_EQ(TDib::FromFileBytes(FileImage(Fixtures()[0], Order::BottomUp), mono), DibError::None);
    const TDib rgb = mono.ConvertTo(24);
    ExpectPixels(rgb, Fixture{"1bit as 24", 24, 0, {}, {}, {}, {{-1, -1}, {-1, -1}},
                              {{kWhite, kBlack}, {kBlack, kWhite}}});
    EXPECT_TRUE(rgb.ConvertTo(1) == mono);

    // Colours that fit the smaller palette are kept, darkest first.
    TDib two(3, 1, 24);
    two.SetPixelColor(0, 0, kRed);
    two.SetPixelColor(1, 0, DibColor{255, 255, 0});
    two.SetPixelColor(2, 0, kRed);
    const TDib packed = two.ConvertTo(1);
    ASSERT_EQ(packed.NumColors(), 2);
    EXPECT_EQ(packed.GetColor(0), kRed);
    EXPECT_EQ(packed.GetColor(1), (DibColor{255, 255, 0}));
    EXPECT_EQ(packed.PixelIndex(0, 0), 0);
    EXPECT_EQ(packed.PixelIndex(1, 0), 1);

    // An indexed palette that fits keeps its colours and indices.
    TDib eight;
    ASSERT_EQ(TDib::FromFileBytes(FileImage(Fixtures()[2], Order::BottomUp), eight), DibError::None);
    const TDib four = eight.ConvertTo(4);
    EXPECT_EQ(four.Palette(), eight.Palette());
    EXPECT_EQ(four.PixelIndex(0, 0), 2);
    EXPECT_EQ(four.ConvertTo(8), eight);

    // Four colours into two: each takes the nearer of black and white.
    TDib sixteen;
    ASSERT_EQ(TDib::FromFileBytes(FileImage(Fixtures()[1], Order::BottomUp), sixteen), DibError::None);
    const TDib bw = sixteen.ConvertTo(1);
    EXPECT_EQ(bw.Palette(), TDib::StandardPalette(1));
    EXPECT_EQ(bw.PixelColor(0, 0), kBlack);  // green
    EXPECT_EQ(bw.PixelColor(0, 1), kWhite);  // white
    EXPECT_FALSE(bw.ConvertTo(3).IsOK());
}

TEST(DibTest, NewBitmapsAndPixelAccess)
{
    TDib dib(10, 3, 4);
    ASSERT_TRUE(dib.IsOK());
    EXPECT_EQ(dib.Stride(), 8u);
    EXPECT_EQ(dib.NumColors(), 16);
    EXPECT_TRUE(dib.SetPixelIndex(9, 2, 15));
    EXPECT_TRUE(dib.SetPixelColor(0, 0, DibColor{250, 5, 5}));  // nearest: red
    EXPECT_EQ(dib.PixelIndex(9, 2), 15);
    EXPECT_EQ(dib.PixelIndex(0, 0), 9);
    // Bottom row first: (9, 2) is in the first stored row, low nibble of byte 4.
    EXPECT_EQ(dib.Bits()[4], 0x0F);
    EXPECT_EQ(dib.Bits()[16], 0x90);
    EXPECT_FALSE(dib.SetPixelIndex(10, 0, 1));
    EXPECT_FALSE(dib.SetPixelIndex(0, 0, 16));
    EXPECT_EQ(dib.PixelIndex(-1, 0), -1);
    EXPECT_EQ(dib.PixelColor(0, 3), kBlack);
    EXPECT_FALSE(dib.SetColor(16, kRed));

    for (auto [w, h, bits] : {std::tuple{0, 1, 1}, {1, 0, 1}, {40000, 1, 1}, {1, 1, 2}, {32767, 32767, 24}}) {
        EXPECT_FALSE(TDib(w, h, bits).IsOK()) << w << "x" << h << "x" << bits;
    }
    EXPECT_TRUE(TDib().FileBytes().empty());
    EXPECT_EQ(TDib::StandardPalette(8).size(), 256u);
}

class DibFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/plv-dib-XXXXXX";
        dir_ = ::mkdtemp(tmpl);
    }
    void TearDown() override
    {
        FileFaults::Reset();
        std::filesystem::remove_all(dir_);
    }
    std::string dir_;
};

TEST_F(DibFileTest, WritesAndLoadsFiles)
{
    TDib dib;
    ASSERT_EQ(TDib::FromFileBytes(FileImage(Fixtures()[1], Order::TopDown), dib), DibError::None);
    ASSERT_EQ(dib.WriteFile(dir_ + "\\Pump.BMP"), DibError::None);
    std::string stored;
    ASSERT_TRUE(ReadWholeFile(dir_ + "/Pump.BMP", stored));
    EXPECT_EQ(Bytes(stored.begin(), stored.end()), FileImage(Fixtures()[1], Order::BottomUp));

    const TDib loaded(dir_ + "/pump.bmp");
    EXPECT_EQ(loaded.Error(), DibError::None);
    EXPECT_TRUE(loaded == dib);

    const TDib missing(dir_ + "/none.bmp");
    EXPECT_FALSE(missing.IsOK());
    EXPECT_EQ(missing.Error(), DibError::FileOpen);

    ASSERT_TRUE(WriteWholeFile(dir_ + "/short.bmp", "BM\x10"));
    EXPECT_EQ(TDib(dir_ + "/short.bmp").Error(), DibError::Truncated);

    FileFaults::ShortWrite(1, 10);
    EXPECT_EQ(dib.WriteFile(dir_ + "/cut.bmp"), DibError::FileWrite);
    FileFaults::Reset();
    EXPECT_FALSE(FileExists(dir_ + "/cut.bmp"));
    // A failed write over a picture leaves the picture there.
    FileFaults::ShortWrite(1, 10);
    EXPECT_EQ(TDib(2, 2, 24).WriteFile(dir_ + "/pump.bmp"), DibError::FileWrite);
    FileFaults::Reset();
    EXPECT_TRUE(TDib(dir_ + "/Pump.BMP") == dib);
    EXPECT_EQ(TDib().WriteFile(dir_ + "/empty.bmp"), DibError::FileWrite);
}

}  // namespace
