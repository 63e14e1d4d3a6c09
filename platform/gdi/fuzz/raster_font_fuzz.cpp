// A font file as the program uses it once read: added to the font table (one
// .fnt image or several back to back), found by face and cell height, its
// glyphs turned into runs of pixels and its metrics taken at a few scales.
// Every run lies inside its glyph's cell, whatever sizes the file states.
//
// Input: [scale byte] then the file's bytes.
#include "platform/gdi/font_registry.h"

#include "platform/base/files.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

const std::string& FontFile()
{
    static const std::string file = [] {
        std::string pattern = DirExists("/dev/shm") ? "/dev/shm/plv-fuzz-font-XXXXXX" : "/tmp/plv-fuzz-font-XXXXXX";
        Check(::mkdtemp(pattern.data()) != nullptr);
        return pattern + "/font.fnt";
    }();
    static const bool removed = std::atexit([] { RemoveDirTree(FontFile().substr(0, FontFile().size() - 9)); }) == 0;
    (void)removed;
    return file;
}

void Exercise(const TRasterFont& font, std::uint8_t scale)
{
    const int sx = 1 + scale % 8;
    const int sy = 1 + scale / 8 % 8;
    const TEXTMETRIC tm = font.Metrics(sx, sy);
    Check(tm.tmHeight == font.CellHeight() * sy);
    // A few characters, the missing ones drawn as the default one.
    for (int ch : {0, int{font.Header().firstChar}, int{font.Header().defaultChar}, int{'A'}, 255}) {
        const auto c = static_cast<unsigned char>(ch);
        const int width = font.CharWidth(c);
        Check(width >= 0 && width <= font.MaxCharWidth());
        for (const TRasterFont::Run& run : font.Glyph(c))
            Check(run.y >= 0 && run.y < font.CellHeight() && run.x0 >= 0 && run.x0 < run.x1 && run.x1 <= width);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t scale = data[0];
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    const std::string& file = FontFile();
    if (!WriteWholeFile(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        return 0;
    const int added = AddFontResource(file.c_str());
    // What the table takes: the fonts back to back, else one font whose size
    // field is short of the file's length.
    std::vector<FntFile> fonts;
    if (FntFile::ParseAll(bytes, fonts) != FntError::None) {
        FntFile one;
        if (FntFile::Parse(bytes, one) == FntError::None)
            fonts.push_back(std::move(one));
    }
    Check(static_cast<std::size_t>(added) == fonts.size());
    for (const FntFile& parsed : fonts) {
        for (int height : {parsed.PixHeight(), 1, 4096}) {
            const auto font = FindRasterFont(parsed.FaceName(), height);
            Check(font != nullptr);
            Exercise(*font, scale);
        }
    }
    if (added > 0)
        Check(RemoveFontResource(file.c_str()));
    for (const FntFile& parsed : fonts)
        Check(FindRasterFont(parsed.FaceName(), parsed.PixHeight()) == nullptr);
    return 0;
}
