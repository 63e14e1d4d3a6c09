#include "platform/base/fnt_file.h"

#include "platform/base/little_endian.h"
#include "platform/base/files.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

namespace {

// Field offsets of the header, the same in both versions up to 118.
enum : std::size_t {
    kVersion = 0,
    kSize = 2,
    kCopyright = 6,
    kType = 66,
    kPoints = 68,
    kVertRes = 70,
    kHorizRes = 72,
    kAscent = 74,
    kInternalLeading = 76,
    kExternalLeading = 78,
    kItalic = 80,
    kUnderline = 81,
    kStrikeOut = 82,
    kWeight = 83,
    kCharSet = 85,
    kPixWidth = 86,
    kPixHeight = 88,
    kPitchAndFamily = 90,
    kAvgWidth = 91,
    kMaxWidth = 93,
    kFirstChar = 95,
    kLastChar = 96,
    kDefaultChar = 97,
    kBreakChar = 98,
    kWidthBytes = 99,
    kDevice = 101,
    kFace = 105,
    kBitsPointer = 109,
    kBitsOffset = 113,
    kFlags = 118,  // version 3 only, like everything after it
};

constexpr std::size_t kCopyrightSize = 60;
constexpr int kTypeVector = 0x0001;
constexpr std::uint32_t kFlagFixed = 0x0001;
constexpr std::uint32_t kFlagProportional = 0x0002;
constexpr int kMaxGlyphWidth = 4096;
constexpr int kMaxPixHeight = 4096;

std::size_t EntrySize(int version)
{
    return version == 0x300 ? 6 : 4;
}

std::size_t HeaderSize(int version)
{
    return version == 0x300 ? FntFile::kHeaderSizeV3 : FntFile::kHeaderSizeV2;
}

}  // namespace

const char* FntErrorText(FntError error)
{
    switch (error) {
    case FntError::None: return "no error";
    case FntError::FileOpen: return "the file cannot be opened";
    case FntError::FileRead: return "the file cannot be read";
    case FntError::FileWrite: return "the file cannot be written";
    case FntError::Truncated: return "the font runs past the end of its bytes";
    case FntError::BadVersion: return "not a version 2 or 3 font file";
    case FntError::NotRaster: return "not a raster font";
    case FntError::BadHeader: return "the font header holds an impossible value";
    case FntError::BadGlyph: return "a glyph lies outside the font file";
    case FntError::BadFace: return "the face name lies outside the font file";
    }
    return "unknown error";
}

FntFile::FntFile(const FntHeader& header)
{
    if (header.pixHeight < 1 || header.pixHeight > kMaxPixHeight || header.pixWidth < 0 ||
        header.pixWidth > kMaxGlyphWidth || header.firstChar < 0 || header.lastChar > 255 ||
        header.firstChar > header.lastChar) {
        return;
    }
    header_ = header;
    if (header_.defaultChar < header_.firstChar || header_.defaultChar > header_.lastChar) {
        header_.defaultChar = header_.firstChar;
    }
    if (header_.breakChar < header_.firstChar || header_.breakChar > header_.lastChar) {
        header_.breakChar = header_.firstChar;
    }
    glyphs_.resize(static_cast<std::size_t>(header_.lastChar - header_.firstChar + 1));
    for (int ch = header_.firstChar; ch <= header_.lastChar; ++ch) {
        SetGlyphWidth(ch, header_.pixWidth);
    }
}

FntError FntFile::Parse(std::span<const std::uint8_t> bytes, FntFile& out)
{
    out = FntFile();
    const std::uint8_t* p = bytes.data();
    if (bytes.size() < kSize + 4) {
        return FntError::Truncated;
    }
    const int version = GetLe16(p + kVersion);
    if (version != 0x200 && version != 0x300) {
        return FntError::BadVersion;
    }
    const std::size_t headerSize = HeaderSize(version);
    const std::uint32_t size = GetLe32(p + kSize);
    if (bytes.size() < headerSize || size > bytes.size()) {
        return FntError::Truncated;
    }
    if (size < headerSize) {
        return FntError::BadHeader;
    }
    if (GetLe16(p + kType) & kTypeVector) {
        return FntError::NotRaster;
    }

    FntHeader h;
    h.version = version;
    const char* copyright = reinterpret_cast<const char*>(p + kCopyright);
    h.copyright.assign(copyright, std::find(copyright, copyright + kCopyrightSize, '\0'));
    h.points = GetLe16(p + kPoints);
    h.vertRes = GetLe16(p + kVertRes);
    h.horizRes = GetLe16(p + kHorizRes);
    h.ascent = GetLe16(p + kAscent);
    h.internalLeading = GetLe16(p + kInternalLeading);
    h.externalLeading = GetLe16(p + kExternalLeading);
    h.italic = p[kItalic] != 0;
    h.underline = p[kUnderline] != 0;
    h.strikeOut = p[kStrikeOut] != 0;
    h.weight = GetLe16(p + kWeight);
    h.charSet = p[kCharSet];
    h.pixWidth = GetLe16(p + kPixWidth);
    h.pixHeight = GetLe16(p + kPixHeight);
    h.pitchAndFamily = p[kPitchAndFamily];
    h.avgWidth = GetLe16(p + kAvgWidth);
    h.firstChar = p[kFirstChar];
    h.lastChar = p[kLastChar];
    // The same limits as a font made in the program: a cell past them would
    // have the blank cell written after the glyphs take megabytes that no
    // byte of the file stands for.
    if (h.pixHeight == 0 || h.pixHeight > kMaxPixHeight || h.pixWidth > kMaxGlyphWidth ||
        h.avgWidth > kMaxGlyphWidth || h.firstChar > h.lastChar) {
        return FntError::BadHeader;
    }
    // Relative in the file; one outside the font falls back to the first.
    h.defaultChar = h.firstChar + p[kDefaultChar];
    if (h.defaultChar > h.lastChar) {
        h.defaultChar = h.firstChar;
    }
    h.breakChar = h.firstChar + p[kBreakChar];
    if (h.breakChar > h.lastChar) {
        h.breakChar = h.firstChar;
    }

    // The face name: a terminated string inside the font.
    const std::uint32_t faceAt = GetLe32(p + kFace);
    if (faceAt < headerSize || faceAt >= size) {
        return FntError::BadFace;
    }
    const void* nul = std::memchr(p + faceAt, 0, size - faceAt);
    if (!nul) {
        return FntError::BadFace;
    }
    h.face.assign(reinterpret_cast<const char*>(p + faceAt), static_cast<const std::uint8_t*>(nul) - (p + faceAt));

    // The character table, with its closing entry, then every glyph's bits.
    const std::size_t count = static_cast<std::size_t>(h.lastChar - h.firstChar + 1);
    const std::size_t entry = EntrySize(version);
    const std::size_t tableEnd = headerSize + (count + 1) * entry;
    if (tableEnd > size) {
        return FntError::Truncated;
    }
    FntFile font;
    font.glyphs_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = p + headerSize + i * entry;
        const int width = GetLe16(e);
        const std::uint64_t at = version == 0x300 ? GetLe32(e + 2) : GetLe16(e + 2);
        const std::uint64_t length = static_cast<std::uint64_t>((width + 7) / 8) * h.pixHeight;
        if (width > kMaxGlyphWidth || (width > 0 && (at < tableEnd || at > size || length > size - at))) {
            return FntError::BadGlyph;
        }
        font.glyphs_[i] = Glyph{width, width > 0 ? static_cast<std::size_t>(at) : 0};
    }
    font.header_ = std::move(h);
    font.bits_.assign(p, p + size);
    font.fileSize_ = size;
    out = std::move(font);
    return FntError::None;
}

FntError FntFile::ParseAll(std::span<const std::uint8_t> bytes, std::vector<FntFile>& out)
{
    out.clear();
    std::size_t at = 0;
    while (at < bytes.size()) {
        FntFile font;
        const FntError error = Parse(bytes.subspan(at), font);
        if (error != FntError::None) {
            out.clear();
            return error;
        }
        at += font.FileSize();
        out.push_back(std::move(font));
    }
    return out.empty() ? FntError::Truncated : FntError::None;
}

FntError FntFile::Load(std::string_view fileName, FntFile& out)
{
    out = FntFile();
    if (!FileExists(fileName)) {
        return FntError::FileOpen;
    }
    std::string bytes;
    if (!ReadWholeFile(fileName, bytes)) {
        return FntError::FileRead;
    }
    return Parse(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), out);
}

const FntFile::Glyph* FntFile::GlyphFor(int ch) const
{
    if (!IsOK()) {
        return nullptr;
    }
    if (!HasChar(ch)) {
        ch = header_.defaultChar;
    }
    return &glyphs_[static_cast<std::size_t>(ch - header_.firstChar)];
}

int FntFile::GlyphWidth(int ch) const
{
    const Glyph* g = GlyphFor(ch);
    return g ? g->width : 0;
}

bool FntFile::GlyphPixel(int ch, int x, int y) const
{
    const Glyph* g = GlyphFor(ch);
    if (!g || x < 0 || y < 0 || x >= g->width || y >= header_.pixHeight) {
        return false;
    }
    const std::size_t at = g->bitsAt + static_cast<std::size_t>(x / 8) * header_.pixHeight + y;
    return (bits_[at] & (0x80 >> (x % 8))) != 0;
}

bool FntFile::SetGlyphWidth(int ch, int width)
{
    if (!HasChar(ch) || width < 0 || width > kMaxGlyphWidth) {
        return false;
    }
    Glyph& g = glyphs_[static_cast<std::size_t>(ch - header_.firstChar)];
    g.width = width;
    g.bitsAt = bits_.size();
    bits_.resize(bits_.size() + Columns(width) * header_.pixHeight, 0);
    return true;
}

bool FntFile::SetGlyphPixel(int ch, int x, int y, bool on)
{
    if (!HasChar(ch)) {
        return false;
    }
    const Glyph& g = glyphs_[static_cast<std::size_t>(ch - header_.firstChar)];
    if (x < 0 || y < 0 || x >= g.width || y >= header_.pixHeight) {
        return false;
    }
    std::uint8_t& byte = bits_[g.bitsAt + static_cast<std::size_t>(x / 8) * header_.pixHeight + y];
    const auto bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
    byte = on ? (byte | bit) : (byte & ~bit);
    return true;
}

std::vector<std::uint8_t> FntFile::FileBytes() const
{
    std::vector<std::uint8_t> out;
    if (!IsOK()) {
        return out;
    }
    const int height = header_.pixHeight;
    // Glyphs that share bits in the source share them in the file too.
    std::map<std::pair<std::size_t, int>, std::size_t> placed;  // (bits_ offset, width) -> offset past the table
    std::size_t glyphBytes = 0;
    int maxWidth = 0;
    std::size_t widthBytes = 0;
    for (const Glyph& g : glyphs_) {
        maxWidth = std::max(maxWidth, g.width);
        widthBytes += Columns(g.width);
        if (g.width > 0 && placed.try_emplace({g.bitsAt, g.width}, glyphBytes).second) {
            glyphBytes += Columns(g.width) * height;
        }
    }
    // The closing entry of the table stands for a blank cell.
    const int closingWidth = header_.pixWidth ? header_.pixWidth : header_.avgWidth;
    const std::size_t closingBytes = Columns(closingWidth) * height;

    const std::size_t count = glyphs_.size();
    const std::size_t v2Bits = kHeaderSizeV2 + (count + 1) * EntrySize(0x200);
    const int version = (header_.version == 0x300 || v2Bits + glyphBytes + closingBytes > 0xFFFF) ? 0x300 : 0x200;
    const std::size_t headerSize = HeaderSize(version);
    const std::size_t entry = EntrySize(version);
    const std::size_t bitsAt = headerSize + (count + 1) * entry;
    const std::size_t faceAt = bitsAt + glyphBytes + closingBytes;
    const std::size_t total = faceAt + header_.face.size() + 1;

    out.assign(total, 0);
    std::uint8_t* p = out.data();
    PutLe16(p + kVersion, static_cast<std::uint16_t>(version));
    PutLe32(p + kSize, static_cast<std::uint32_t>(total));
    std::memcpy(p + kCopyright, header_.copyright.data(), std::min(header_.copyright.size(), kCopyrightSize - 1));
    PutLe16(p + kType, 0);
    PutLe16(p + kPoints, static_cast<std::uint16_t>(header_.points));
    PutLe16(p + kVertRes, static_cast<std::uint16_t>(header_.vertRes));
    PutLe16(p + kHorizRes, static_cast<std::uint16_t>(header_.horizRes));
    PutLe16(p + kAscent, static_cast<std::uint16_t>(header_.ascent));
    PutLe16(p + kInternalLeading, static_cast<std::uint16_t>(header_.internalLeading));
    PutLe16(p + kExternalLeading, static_cast<std::uint16_t>(header_.externalLeading));
    p[kItalic] = header_.italic;
    p[kUnderline] = header_.underline;
    p[kStrikeOut] = header_.strikeOut;
    PutLe16(p + kWeight, static_cast<std::uint16_t>(header_.weight));
    p[kCharSet] = static_cast<std::uint8_t>(header_.charSet);
    PutLe16(p + kPixWidth, static_cast<std::uint16_t>(header_.pixWidth));
    PutLe16(p + kPixHeight, static_cast<std::uint16_t>(height));
    p[kPitchAndFamily] = static_cast<std::uint8_t>(header_.pitchAndFamily);
    PutLe16(p + kAvgWidth, static_cast<std::uint16_t>(header_.avgWidth));
    PutLe16(p + kMaxWidth, static_cast<std::uint16_t>(maxWidth));
    p[kFirstChar] = static_cast<std::uint8_t>(header_.firstChar);
    p[kLastChar] = static_cast<std::uint8_t>(header_.lastChar);
    p[kDefaultChar] = static_cast<std::uint8_t>(header_.defaultChar - header_.firstChar);
    p[kBreakChar] = static_cast<std::uint8_t>(header_.breakChar - header_.firstChar);
    PutLe16(p + kWidthBytes, static_cast<std::uint16_t>((widthBytes + 1) & ~std::size_t{1}));
    PutLe32(p + kDevice, 0);
    PutLe32(p + kFace, static_cast<std::uint32_t>(faceAt));
    PutLe32(p + kBitsPointer, 0);
    PutLe32(p + kBitsOffset, static_cast<std::uint32_t>(bitsAt));
    if (version == 0x300) {
        PutLe32(p + kFlags, header_.pixWidth ? kFlagFixed : kFlagProportional);
    }

    auto putEntry = [&](std::size_t i, int width, std::size_t at) {
        std::uint8_t* e = p + headerSize + i * entry;
        PutLe16(e, static_cast<std::uint16_t>(width));
        if (version == 0x300) {
            PutLe32(e + 2, static_cast<std::uint32_t>(at));
        } else {
            PutLe16(e + 2, static_cast<std::uint16_t>(at));
        }
    };
    for (std::size_t i = 0; i < count; ++i) {
        const Glyph& g = glyphs_[i];
        if (g.width == 0) {
            putEntry(i, 0, bitsAt);
            continue;
        }
        const std::size_t at = bitsAt + placed[{g.bitsAt, g.width}];
        std::memcpy(p + at, bits_.data() + g.bitsAt, Columns(g.width) * height);
        putEntry(i, g.width, at);
    }
    putEntry(count, closingWidth, bitsAt + glyphBytes);  // its bits are the zeroes there
    std::memcpy(p + faceAt, header_.face.data(), header_.face.size());
    return out;
}

FntError FntFile::Save(std::string_view fileName) const
{
    if (!IsOK()) {
        return FntError::FileWrite;
    }
    const std::vector<std::uint8_t> bytes = FileBytes();
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return ReplaceWholeFile(fileName, text) ? FntError::None : FntError::FileWrite;
}
