#pragma once
// Raster font files (.fnt), versions 2 and 3: the panel fonts of the "\font"
// folder and the copies of them that projects store. A file is a fixed header
// (118 bytes in version 2, 148 in version 3), a table of (width, offset)
// entries for the characters first..last plus one closing entry (4 bytes each
// in version 2, 6 in version 3), the glyph bits and the face name. A glyph is
// stored in byte columns: the first 8 pixels of every row top to bottom, then
// the next 8, the leftmost pixel in the high bit.
//
// Font files come from disk and from project records: every offset and size
// is checked against the bytes before use, and a damaged file gives an
// `FntError`, never a read outside it.
//
// The program's own font file, "Plintvlr.fon", holds several such fonts back
// to back, each as long as its header's size field says (`ParseAll`).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class FntError {
    None,
    FileOpen,
    FileRead,
    FileWrite,
    Truncated,     // the header, the character table or the size runs past the bytes
    BadVersion,    // not a version 2 or 3 font
    NotRaster,     // a vector font
    BadHeader,     // a field holds an impossible value
    BadGlyph,      // a glyph's bits lie outside the file
    BadFace,       // the face name is not inside the file or not terminated
};

const char* FntErrorText(FntError error);

// The header fields a font carries. Characters are absolute codes here (the
// file stores the default and break characters relative to the first).
struct FntHeader {
    int version = 0x200;
    std::string copyright;  // at most 59 characters are stored
    int points = 0;
    int vertRes = 96;
    int horizRes = 96;
    int ascent = 0;
    int internalLeading = 0;
    int externalLeading = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int weight = 400;
    int charSet = 0;
    int pixWidth = 0;        // the cell width of a fixed-pitch font; 0 = variable pitch
    int pixHeight = 0;
    int pitchAndFamily = 0;  // low bit set: variable pitch
    int avgWidth = 0;
    int firstChar = 0;
    int lastChar = 0;
    int defaultChar = 0;     // drawn for characters the font lacks
    int breakChar = 0;       // the word-break character
    std::string face;
};

class FntFile {
public:
    static constexpr std::size_t kHeaderSizeV2 = 118;
    static constexpr std::size_t kHeaderSizeV3 = 148;

    FntFile() = default;  // empty: IsOK() false
    // A new font for the writer: characters first..last (within 0..255) each
    // as wide as the header's pixWidth, all bits clear. An impossible header
    // gives an empty font.
    explicit FntFile(const FntHeader& header);

    static FntError Parse(std::span<const std::uint8_t> bytes, FntFile& out);
    static FntError Load(std::string_view fileName, FntFile& out);
    // Fonts stored back to back, each taking the bytes its size field gives.
    static FntError ParseAll(std::span<const std::uint8_t> bytes, std::vector<FntFile>& out);

    // The file image: version 2 unless the header asks for 3 or the glyphs
    // lie beyond the 64 KiB that version 2 offsets reach.
    std::vector<std::uint8_t> FileBytes() const;
    // A write that fails leaves a file of that name as it was.
    FntError Save(std::string_view fileName) const;

    bool IsOK() const { return header_.pixHeight > 0; }
    const FntHeader& Header() const { return header_; }
    const std::string& FaceName() const { return header_.face; }
    int Ascent() const { return header_.ascent; }
    int PixHeight() const { return header_.pixHeight; }
    int PixWidth() const { return header_.pixWidth; }
    int FirstChar() const { return header_.firstChar; }
    int LastChar() const { return header_.lastChar; }
    int DefaultChar() const { return header_.defaultChar; }
    // Bytes of the file as read (its size field), 0 for a font built here.
    std::size_t FileSize() const { return fileSize_; }

    bool HasChar(int ch) const { return IsOK() && ch >= header_.firstChar && ch <= header_.lastChar; }
    // A character the font lacks is drawn as its default character.
    int GlyphWidth(int ch) const;
    bool GlyphPixel(int ch, int x, int y) const;

    // Writer side: a new width clears the glyph; pixels outside it are refused.
    bool SetGlyphWidth(int ch, int width);
    bool SetGlyphPixel(int ch, int x, int y, bool on);

private:
    struct Glyph {
        int width = 0;
        std::size_t bitsAt = 0;  // into bits_
    };
    const Glyph* GlyphFor(int ch) const;
    std::size_t Columns(int width) const { return static_cast<std::size_t>((width + 7) / 8); }

    FntHeader header_;
    std::vector<Glyph> glyphs_;      // firstChar..lastChar
    std::vector<std::uint8_t> bits_; // glyph bits, column by column
    std::size_t fileSize_ = 0;
};
