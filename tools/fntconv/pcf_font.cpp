#include "tools/fntconv/pcf_font.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

enum : std::uint32_t {
    kProperties = 1u << 0,
    kAccelerators = 1u << 1,
    kMetrics = 1u << 2,
    kBitmaps = 1u << 3,
    kEncodings = 1u << 5,
    kBdfAccelerators = 1u << 8,
};
constexpr std::uint32_t kCompressedMetrics = 0x100;
constexpr std::uint32_t kFormatMask = 0xFFFFFF00;
constexpr std::uint32_t kGlyphPadMask = 3;
constexpr std::uint32_t kByteMsbFirst = 1u << 2;
constexpr std::uint32_t kBitMsbFirst = 1u << 3;
constexpr std::size_t kMaxTables = 64;
constexpr std::size_t kMaxGlyphs = 1u << 20;
constexpr std::size_t kMaxFileSize = 64u << 20;

// Bounds-checked reads in the byte order of one table; a read past the end
// sets `failed` and answers 0.
class Reader {
public:
    Reader(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t end)
        : bytes_(&bytes), at_(at), end_(end)
    {
    }
    void SetBigEndian(bool big) { big_ = big; }
    bool failed() const { return failed_; }
    std::size_t at() const { return at_; }
    std::size_t left() const { return at_ <= end_ ? end_ - at_ : 0; }
    bool Skip(std::size_t n)
    {
        if (n > left()) {
            failed_ = true;
            return false;
        }
        at_ += n;
        return true;
    }
    std::uint32_t U8() { return Take(1); }
    std::int32_t S16() { return static_cast<std::int16_t>(Take(2)); }
    std::uint32_t U16() { return Take(2); }
    std::uint32_t U32() { return Take(4); }
    std::int32_t S32() { return static_cast<std::int32_t>(Take(4)); }
    // The table's format word is always little-endian.
    std::uint32_t FormatWord()
    {
        const bool big = big_;
        big_ = false;
        const std::uint32_t v = Take(4);
        big_ = big;
        return v;
    }

private:
    std::uint32_t Take(std::size_t n)
    {
        if (n > left()) {
            failed_ = true;
            return 0;
        }
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t b = (*bytes_)[at_ + i];
            v |= big_ ? b << (8 * (n - 1 - i)) : b << (8 * i);
        }
        at_ += n;
        return v;
    }

    const std::vector<std::uint8_t>* bytes_;
    std::size_t at_;
    std::size_t end_;
    bool big_ = false;
    bool failed_ = false;
};

struct Table {
    std::uint32_t format = 0;
    std::size_t offset = 0;
    std::size_t size = 0;
};

std::uint8_t ReverseBits(std::uint8_t b)
{
    b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

}  // namespace

bool PcfGlyph::BoxPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= BoxWidth() || y >= BoxHeight()) {
        return false;
    }
    return (rows[static_cast<std::size_t>(y * rowBytes + x / 8)] & (0x80 >> (x % 8))) != 0;
}

bool PcfFont::Load(std::string_view fileName, PcfFont& out, std::string& error)
{
    gzFile file = gzopen(std::string(fileName).c_str(), "rb");
    if (!file) {
        error = "cannot open " + std::string(fileName);
        return false;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    int got = 0;
    while ((got = gzread(file, chunk, sizeof chunk)) > 0 && bytes.size() < kMaxFileSize) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    gzclose(file);
    if (got < 0) {
        error = "cannot read " + std::string(fileName);
        return false;
    }
    if (!Parse(bytes, out, error)) {
        error = std::string(fileName) + ": " + error;
        return false;
    }
    return true;
}

bool PcfFont::Parse(const std::vector<std::uint8_t>& bytes, PcfFont& out, std::string& error)
{
    out = PcfFont();
    Reader toc(bytes, 0, bytes.size());
    if (bytes.size() < 8 || std::memcmp(bytes.data(), "\1fcp", 4) != 0) {
        error = "not a PCF font";
        return false;
    }
    toc.Skip(4);
    const std::uint32_t count = toc.U32();
    if (count > kMaxTables) {
        error = "too many tables";
        return false;
    }
    std::map<std::uint32_t, Table> tables;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t type = toc.U32();
        Table t;
        t.format = toc.U32();
        t.size = toc.U32();
        t.offset = toc.U32();
        if (toc.failed() || t.offset > bytes.size()) {
            error = "table of contents runs past the file";
            return false;
        }
        // Some fonts give their last table a size past the end of the file;
        // what it really holds is checked read by read.
        t.size = std::min(t.size, bytes.size() - t.offset);
        tables[type] = t;
    }
    auto open = [&](std::uint32_t type, Reader& r) {
        const Table& t = tables.at(type);
        r = Reader(bytes, t.offset, t.offset + t.size);
        const std::uint32_t format = r.FormatWord();
        r.SetBigEndian((format & kByteMsbFirst) != 0);
        return format;
    };
    for (std::uint32_t needed : {kMetrics, kBitmaps, kEncodings}) {
        if (!tables.count(needed)) {
            error = "a metrics, bitmap or encoding table is missing";
            return false;
        }
    }

    // Glyph metrics.
    Reader r(bytes, 0, 0);
    std::uint32_t format = open(kMetrics, r);
    const bool compressed = (format & kFormatMask) == kCompressedMetrics;
    const std::size_t glyphCount = compressed ? r.U16() : r.U32();
    if (glyphCount > kMaxGlyphs) {
        error = "too many glyphs";
        return false;
    }
    out.glyphs_.resize(glyphCount);
    for (PcfGlyph& g : out.glyphs_) {
        if (compressed) {
            g.leftBearing = static_cast<int>(r.U8()) - 0x80;
            g.rightBearing = static_cast<int>(r.U8()) - 0x80;
            g.advance = static_cast<int>(r.U8()) - 0x80;
            g.ascent = static_cast<int>(r.U8()) - 0x80;
            g.descent = static_cast<int>(r.U8()) - 0x80;
        } else {
            g.leftBearing = r.S16();
            g.rightBearing = r.S16();
            g.advance = r.S16();
            g.ascent = r.S16();
            g.descent = r.S16();
            r.U16();  // attributes
        }
        if (g.BoxWidth() < 0 || g.BoxHeight() < 0 || g.BoxWidth() > 256 || g.BoxHeight() > 256) {
            error = "impossible glyph metrics";
            return false;
        }
    }
    if (r.failed()) {
        error = "metrics table runs past its end";
        return false;
    }

    // Bitmaps: rows padded to 1, 2, 4 or 8 bytes; bytes within a scan unit
    // and bits within a byte may be in either order.
    format = open(kBitmaps, r);
    if (r.U32() != glyphCount) {
        error = "bitmap count differs from the metrics";
        return false;
    }
    std::vector<std::uint32_t> offsets(glyphCount);
    for (auto& o : offsets) {
        o = r.U32();
    }
    std::uint32_t sizes[4];
    for (auto& s : sizes) {
        s = r.U32();
    }
    const std::size_t dataAt = r.at();
    const std::size_t dataSize = sizes[format & kGlyphPadMask];
    if (r.failed() || !r.Skip(dataSize)) {
        error = "bitmap table runs past its end";
        return false;
    }
    const int pad = 1 << (format & kGlyphPadMask);
    const int unit = 1 << ((format >> 4) & 3);
    const bool msbBytes = (format & kByteMsbFirst) != 0;
    const bool msbBits = (format & kBitMsbFirst) != 0;
    for (std::size_t i = 0; i < glyphCount; ++i) {
        PcfGlyph& g = out.glyphs_[i];
        const int stored = ((g.BoxWidth() + 7) / 8 + pad - 1) / pad * pad;
        const std::size_t length = static_cast<std::size_t>(stored) * g.BoxHeight();
        if (offsets[i] > dataSize || length > dataSize - offsets[i]) {
            error = "a glyph's bitmap runs past the bitmap data";
            return false;
        }
        std::vector<std::uint8_t> raw(bytes.begin() + static_cast<long>(dataAt + offsets[i]),
                                      bytes.begin() + static_cast<long>(dataAt + offsets[i] + length));
        if (msbBytes != msbBits && unit > 1) {
            for (std::size_t u = 0; u + static_cast<std::size_t>(unit) <= raw.size(); u += unit) {
                std::reverse(raw.begin() + static_cast<long>(u), raw.begin() + static_cast<long>(u) + unit);
            }
        }
        if (!msbBits) {
            for (auto& b : raw) {
                b = ReverseBits(b);
            }
        }
        g.rowBytes = stored;
        g.rows = std::move(raw);
    }

    // Encoding: a two-level table of glyph indices, 0xFFFF for none.
    open(kEncodings, r);
    const int minByte2 = r.S16();
    const int maxByte2 = r.S16();
    const int minByte1 = r.S16();
    const int maxByte1 = r.S16();
    r.S16();  // default character
    if (r.failed() || minByte2 > maxByte2 || minByte1 > maxByte1 || minByte2 < 0 || maxByte2 > 255 ||
        minByte1 < 0 || maxByte1 > 255) {
        error = "impossible encoding table";
        return false;
    }
    for (int b1 = minByte1; b1 <= maxByte1; ++b1) {
        for (int b2 = minByte2; b2 <= maxByte2; ++b2) {
            const std::uint32_t index = r.U16();
            if (index != 0xFFFF && index < glyphCount) {
                out.byCode_[static_cast<std::uint32_t>(b1 * 256 + b2)] = index;
            }
        }
    }
    if (r.failed()) {
        error = "encoding table runs past its end";
        return false;
    }

    // Font ascent and descent from the accelerators.
    const std::uint32_t accel = tables.count(kBdfAccelerators) ? kBdfAccelerators : kAccelerators;
    if (!tables.count(accel)) {
        error = "no accelerator table";
        return false;
    }
    open(accel, r);
    r.Skip(8);
    out.ascent_ = r.S32();
    out.descent_ = r.S32();
    if (r.failed() || out.ascent_ < 0 || out.descent_ < 0 || out.ascent_ + out.descent_ > 256) {
        error = "impossible font ascent or descent";
        return false;
    }

    // The weight name, from the properties.
    if (tables.count(kProperties)) {
        open(kProperties, r);
        const std::int32_t props = r.S32();
        if (props < 0 || props > 1024) {
            error = "impossible property count";
            return false;
        }
        struct Prop {
            std::int32_t name;
            bool isString;
            std::int32_t value;
        };
        std::vector<Prop> list(static_cast<std::size_t>(props));
        for (Prop& p : list) {
            p.name = r.S32();
            p.isString = r.U8() != 0;
            p.value = r.S32();
        }
        if (props & 3) {
            r.Skip(static_cast<std::size_t>(4 - (props & 3)));
        }
        const std::int32_t stringSize = r.S32();
        const std::size_t stringsAt = r.at();
        if (r.failed() || stringSize < 0 || !r.Skip(static_cast<std::size_t>(stringSize))) {
            error = "property table runs past its end";
            return false;
        }
        auto text = [&](std::int32_t at) -> std::string {
            if (at < 0 || at >= stringSize) {
                return {};
            }
            const char* s = reinterpret_cast<const char*>(bytes.data() + stringsAt + static_cast<std::size_t>(at));
            return std::string(s, strnlen(s, static_cast<std::size_t>(stringSize - at)));
        };
        for (const Prop& p : list) {
            if (p.isString && text(p.name) == "WEIGHT_NAME") {
                out.weightName_ = text(p.value);
            }
        }
    }
    return true;
}

const PcfGlyph* PcfFont::Find(std::uint32_t codePoint) const
{
    const auto it = byCode_.find(codePoint);
    return it == byCode_.end() ? nullptr : &glyphs_[it->second];
}

bool PcfFont::CellPixel(const PcfGlyph& glyph, int x, int y) const
{
    return glyph.BoxPixel(x - glyph.leftBearing, y - (ascent_ - glyph.ascent));
}
