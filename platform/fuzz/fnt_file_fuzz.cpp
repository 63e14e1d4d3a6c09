// Raster font files from the font folder, from project records and the
// program's own collection of fonts.
#include "platform/base/fnt_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

void Check(bool ok)
{
    if (!ok) {
        std::abort();
    }
}

void Exercise(const FntFile& font)
{
    // Every character, including ones the font lacks, at a few cells.
    for (int ch = -1; ch <= 256; ++ch) {
        const int width = font.GlyphWidth(ch);
        for (int y = -1; y <= font.PixHeight() && y < 64; y += 3) {
            for (int x = -1; x <= width && x < 64; x += 3) {
                (void)font.GlyphPixel(ch, x, y);
            }
        }
    }
    // What is written reads back with the same glyphs.
    FntFile again;
    Check(FntFile::Parse(font.FileBytes(), again) == FntError::None);
    Check(again.FaceName() == font.FaceName());
    for (int ch = font.FirstChar(); ch <= font.LastChar(); ++ch) {
        Check(again.GlyphWidth(ch) == font.GlyphWidth(ch));
        for (int y = 0; y < font.PixHeight() && y < 32; ++y) {
            for (int x = 0; x < font.GlyphWidth(ch) && x < 32; ++x) {
                Check(again.GlyphPixel(ch, x, y) == font.GlyphPixel(ch, x, y));
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    FntFile font;
    if (FntFile::Parse(bytes, font) == FntError::None) {
        Exercise(font);
    }
    std::vector<FntFile> fonts;
    (void)FntFile::ParseAll(bytes, fonts);
    return 0;
}
