#include "platform/base/dib.h"

#include "platform/base/little_endian.h"
#include "platform/base/files.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;  // the old OS/2 layout, not read here
constexpr std::uint32_t kCompressionNone = 0;
// A file may carry bytes after the picture; reading stops here, which still
// covers the largest picture allowed plus its headers and a full palette.
constexpr std::int64_t kMaxFileRead = TDib::kMaxImageBytes + 64 * 1024;

bool IsIndexedDepth(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8;
}

bool IsKnownDepth(int bitCount)
{
    return IsIndexedDepth(bitCount) || bitCount == 24;
}

std::int64_t StrideFor(std::int64_t width, int bitCount)
{
    return ((width * bitCount + 31) / 32) * 4;
}

// Zeroes what lies past the last pixel of a row, so that rows compare and
// write the same whatever the source left there.
void ClearRowTail(std::uint8_t* row, int width, int bitCount, std::size_t stride)
{
    const std::size_t usedBits = static_cast<std::size_t>(width) * bitCount;
    std::size_t full = usedBits / 8;
    const unsigned rest = usedBits % 8;
    if (rest != 0) {
        row[full] &= static_cast<std::uint8_t>(0xFF << (8 - rest));
        ++full;
    }
    std::memset(row + full, 0, stride - full);
}

bool RowsEqual(const std::uint8_t* a, const std::uint8_t* b, int width, int bitCount)
{
    const std::size_t usedBits = static_cast<std::size_t>(width) * bitCount;
    const std::size_t full = usedBits / 8;
    if (std::memcmp(a, b, full) != 0) {
        return false;
    }
    const unsigned rest = usedBits % 8;
    if (rest == 0) {
        return true;
    }
    const auto mask = static_cast<std::uint8_t>(0xFF << (8 - rest));
    return (a[full] & mask) == (b[full] & mask);
}

std::uint32_t Key(DibColor c)
{
    return (static_cast<std::uint32_t>(c.red) << 16) | (c.green << 8) | c.blue;
}

int Luminance(DibColor c)
{
    return 299 * c.red + 587 * c.green + 114 * c.blue;
}

int Nearest(const std::vector<DibColor>& palette, DibColor c)
{
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = palette[i].red - c.red;
        const int dg = palette[i].green - c.green;
        const int db = palette[i].blue - c.blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

}  // namespace

const char* DibErrorText(DibError error)
{
    switch (error) {
    case DibError::None: return "no error";
    case DibError::FileOpen: return "the file cannot be opened";
    case DibError::FileRead: return "the file cannot be read";
    case DibError::FileWrite: return "the file cannot be written";
    case DibError::NotBitmap: return "not a bitmap file";
    case DibError::Truncated: return "the bitmap runs past the end of its bytes";
    case DibError::BadHeader: return "the bitmap header holds an impossible value";
    case DibError::Unsupported: return "a bitmap format that is not supported";
    case DibError::BadOffset: return "the pixel offset lies outside the pixel data";
    case DibError::TooLarge: return "the bitmap is too large";
    }
    return "unknown error";
}

TDib::TDib(int width, int height, int bitCount)
{
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide || !IsKnownDepth(bitCount)) {
        return;
    }
    const std::int64_t size = ImageSizeFor(width, height, bitCount);
    if (size < 0 || size > kMaxImageBytes) {
        return;
    }
    width_ = width;
    height_ = height;
    bitCount_ = bitCount;
    stride_ = static_cast<std::size_t>(StrideFor(width, bitCount));
    palette_ = StandardPalette(bitCount);
    bits_.assign(static_cast<std::size_t>(size), 0);
}

TDib::TDib(std::string_view fileName)
{
    error_ = Load(fileName, *this);
}

std::int64_t TDib::ImageSizeFor(std::int64_t width, std::int64_t height, int bitCount)
{
    constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
    if (!IsKnownDepth(bitCount) || width <= 0 || width > kLimit || height == 0 || height < -kLimit ||
        height > kLimit) {
        return -1;
    }
    const std::int64_t rows = height < 0 ? -height : height;
    const std::int64_t stride = StrideFor(width, bitCount);
    if (stride > std::numeric_limits<std::int64_t>::max() / rows) {
        return -1;
    }
    return stride * rows;
}

// The one place that knows the header layouts. `infoAt` is where the info
// header starts (after the 14-byte file header, or 0 for a packed image). With
// `out` null it only measures: `length` gets the bytes the image occupies.
DibError TDib::Parse(std::span<const std::uint8_t> bytes, std::size_t infoAt, bool fileImage, TDib* out,
                     std::int64_t* length)
{
    const std::uint8_t* p = bytes.data();
    const std::uint64_t size = bytes.size();
    if (fileImage) {
        if (size < 2 || p[0] != 'B' || p[1] != 'M') {
            return DibError::NotBitmap;
        }
        if (size < kFileHeaderSize) {
            return DibError::Truncated;
        }
    }
    if (size < infoAt + 4) {
        return DibError::Truncated;
    }
    const std::uint32_t infoSize = GetLe32(p + infoAt);
    if (infoSize == kCoreHeaderSize) {
        return DibError::Unsupported;
    }
    if (infoSize < kInfoHeaderSize) {
        return fileImage ? DibError::BadHeader : DibError::NotBitmap;
    }
    if (infoSize > size - infoAt) {
        return DibError::Truncated;
    }

    const std::uint8_t* h = p + infoAt;
    const std::int64_t width = GetLeS32(h + 4);
    const std::int64_t height = GetLeS32(h + 8);
    const std::uint16_t planes = GetLe16(h + 12);
    const int bitCount = GetLe16(h + 14);
    const std::uint32_t compression = GetLe32(h + 16);
    const std::uint32_t colorsUsed = GetLe32(h + 32);

    if (planes != 1 || width <= 0 || height == 0) {
        return DibError::BadHeader;
    }
    if (!IsKnownDepth(bitCount)) {
        return (bitCount == 16 || bitCount == 32) ? DibError::Unsupported : DibError::BadHeader;
    }
    if (compression != kCompressionNone) {
        return DibError::Unsupported;
    }
    const std::int64_t rows = height < 0 ? -height : height;
    if (width > kMaxSide || rows > kMaxSide) {
        return DibError::TooLarge;
    }
    const std::int64_t imageSize = ImageSizeFor(width, rows, bitCount);
    if (imageSize < 0 || imageSize > kMaxImageBytes) {
        return DibError::TooLarge;
    }

    // The colour table: a full one when the header says 0 entries; at 24 bits
    // an optional table that is skipped.
    std::uint64_t colors = colorsUsed;
    if (IsIndexedDepth(bitCount)) {
        const std::uint64_t full = 1u << bitCount;
        if (colors == 0) {
            colors = full;
        } else if (colors > full) {
            return DibError::BadHeader;
        }
    }
    const std::uint64_t paletteAt = infoAt + infoSize;
    const std::uint64_t paletteEnd = paletteAt + colors * 4;
    if (paletteEnd > size) {
        return DibError::Truncated;
    }
    std::uint64_t bitsAt = paletteEnd;
    if (fileImage) {
        bitsAt = GetLe32(p + 10);
        if (bitsAt < paletteEnd || bitsAt > size) {
            return DibError::BadOffset;
        }
    }
    if (static_cast<std::uint64_t>(imageSize) > size - bitsAt) {
        return DibError::Truncated;
    }
    if (length) {
        *length = static_cast<std::int64_t>(bitsAt) + imageSize;
    }
    if (!out) {
        return DibError::None;
    }

    TDib dib;
    dib.width_ = static_cast<int>(width);
    dib.height_ = static_cast<int>(rows);
    dib.bitCount_ = bitCount;
    dib.stride_ = static_cast<std::size_t>(StrideFor(width, bitCount));
    dib.xPelsPerMeter_ = GetLeS32(h + 24);
    dib.yPelsPerMeter_ = GetLeS32(h + 28);
    if (IsIndexedDepth(bitCount)) {
        dib.palette_.resize(colors);
        for (std::size_t i = 0; i < colors; ++i) {
            const std::uint8_t* q = p + paletteAt + 4 * i;
            dib.palette_[i] = DibColor{q[2], q[1], q[0]};
        }
    }
    dib.bits_.resize(static_cast<std::size_t>(imageSize));
    const bool topDown = height < 0;
    for (std::size_t r = 0; r < static_cast<std::size_t>(rows); ++r) {
        // Stored rows are kept bottom-up; a top-down source is turned over.
        const std::size_t target = topDown ? static_cast<std::size_t>(rows) - 1 - r : r;
        std::uint8_t* row = dib.bits_.data() + target * dib.stride_;
        std::memcpy(row, p + bitsAt + r * dib.stride_, dib.stride_);
        ClearRowTail(row, dib.width_, bitCount, dib.stride_);
    }
    *out = std::move(dib);
    return DibError::None;
}

DibError TDib::FromFileBytes(std::span<const std::uint8_t> bytes, TDib& out)
{
    TDib dib;
    const DibError error = Parse(bytes, kFileHeaderSize, true, &dib, nullptr);
    out = std::move(dib);
    out.error_ = error;
    return error;
}

DibError TDib::FromPackedDib(std::span<const std::uint8_t> bytes, TDib& out)
{
    TDib dib;
    const DibError error = Parse(bytes, 0, false, &dib, nullptr);
    out = std::move(dib);
    out.error_ = error;
    return error;
}

std::int64_t TDib::FileImageLength(std::span<const std::uint8_t> bytes)
{
    std::int64_t length = -1;
    if (Parse(bytes, kFileHeaderSize, true, nullptr, &length) != DibError::None) {
        return -1;
    }
    return length;
}

DibError TDib::Load(std::string_view fileName, TDib& out)
{
    out = TDib();
    const int handle = FileOpen(fileName, FileMode::ReadOnly);
    if (handle < 0) {
        out.error_ = DibError::FileOpen;
        return out.error_;
    }
    const std::int64_t length = FileLength(handle);
    std::vector<std::uint8_t> bytes;
    long got = -1;
    if (length >= 0) {
        bytes.resize(static_cast<std::size_t>(std::min(length, kMaxFileRead)));
        got = bytes.empty() ? 0 : FileReadAt(handle, bytes.data(), bytes.size(), 0);
    }
    FileClose(handle);
    if (got < 0) {
        out.error_ = DibError::FileRead;
        return out.error_;
    }
    bytes.resize(static_cast<std::size_t>(got));
    return FromFileBytes(bytes, out);
}

std::size_t TDib::PackedSize() const
{
    return IsOK() ? kInfoHeaderSize + 4 * palette_.size() + bits_.size() : 0;
}

std::vector<std::uint8_t> TDib::PackedDib() const
{
    std::vector<std::uint8_t> out;
    if (!IsOK()) {
        return out;
    }
    out.reserve(PackedSize());
    const bool fullPalette = IsIndexedDepth(bitCount_) && palette_.size() == (1u << bitCount_);
    AppendLe32(out, kInfoHeaderSize);
    AppendLe32(out, static_cast<std::uint32_t>(width_));
    AppendLe32(out, static_cast<std::uint32_t>(height_));  // positive: rows bottom-up
    AppendLe16(out, 1);
    AppendLe16(out, static_cast<std::uint16_t>(bitCount_));
    AppendLe32(out, kCompressionNone);
    AppendLe32(out, static_cast<std::uint32_t>(bits_.size()));
    AppendLe32(out, static_cast<std::uint32_t>(xPelsPerMeter_));
    AppendLe32(out, static_cast<std::uint32_t>(yPelsPerMeter_));
    AppendLe32(out, fullPalette ? 0 : static_cast<std::uint32_t>(palette_.size()));
    AppendLe32(out, 0);
    for (const DibColor& c : palette_) {
        out.insert(out.end(), {c.blue, c.green, c.red, 0});
    }
    out.insert(out.end(), bits_.begin(), bits_.end());
    return out;
}

std::vector<std::uint8_t> TDib::FileBytes() const
{
    std::vector<std::uint8_t> out;
    if (!IsOK()) {
        return out;
    }
    out.reserve(FileSize());
    out.push_back('B');
    out.push_back('M');
    AppendLe32(out, static_cast<std::uint32_t>(FileSize()));
    AppendLe32(out, 0);  // two reserved words
    AppendLe32(out, static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize + 4 * palette_.size()));
    const std::vector<std::uint8_t> packed = PackedDib();
    out.insert(out.end(), packed.begin(), packed.end());
    return out;
}

DibError TDib::WriteFile(std::string_view fileName) const
{
    if (!IsOK()) {
        return DibError::FileWrite;
    }
    const std::vector<std::uint8_t> bytes = FileBytes();
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return ReplaceWholeFile(fileName, text) ? DibError::None : DibError::FileWrite;
}

DibColor TDib::GetColor(int index) const
{
    if (index < 0 || index >= NumColors()) {
        return DibColor{};
    }
    return palette_[static_cast<std::size_t>(index)];
}

bool TDib::SetColor(int index, DibColor color)
{
    if (index < 0 || index >= NumColors()) {
        return false;
    }
    palette_[static_cast<std::size_t>(index)] = color;
    return true;
}

std::uint8_t* TDib::Row(int y)
{
    return bits_.data() + static_cast<std::size_t>(height_ - 1 - y) * stride_;
}

const std::uint8_t* TDib::Row(int y) const
{
    return bits_.data() + static_cast<std::size_t>(height_ - 1 - y) * stride_;
}

int TDib::PixelIndex(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || !IsIndexedDepth(bitCount_)) {
        return -1;
    }
    const std::uint8_t* row = Row(y);
    switch (bitCount_) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default: return row[x];
    }
}

bool TDib::SetPixelIndex(int x, int y, int index)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || !IsIndexedDepth(bitCount_) || index < 0 ||
        index >= (1 << bitCount_)) {
        return false;
    }
    std::uint8_t* row = Row(y);
    switch (bitCount_) {
    case 1: {
        const auto bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = index ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
        break;
    }
    case 4:
        if (x & 1) {
            row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0xF0) | index);
        } else {
            row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0x0F) | (index << 4));
        }
        break;
    default: row[x] = static_cast<std::uint8_t>(index); break;
    }
    return true;
}

DibColor TDib::PixelColor(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return DibColor{};
    }
    if (bitCount_ == 24) {
        const std::uint8_t* px = Row(y) + 3 * static_cast<std::size_t>(x);
        return DibColor{px[2], px[1], px[0]};
    }
    return GetColor(PixelIndex(x, y));
}

bool TDib::SetPixelColor(int x, int y, DibColor color)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return false;
    }
    if (bitCount_ != 24) {
        return SetPixelIndex(x, y, NearestIndex(color));
    }
    std::uint8_t* px = Row(y) + 3 * static_cast<std::size_t>(x);
    px[0] = color.blue;
    px[1] = color.green;
    px[2] = color.red;
    return true;
}

int TDib::NearestIndex(DibColor color) const
{
    return Nearest(palette_, color);
}

bool TDib::SameImage(const TDib& other) const
{
    if (width_ != other.width_ || height_ != other.height_ || bitCount_ != other.bitCount_ ||
        palette_ != other.palette_) {
        return false;
    }
    for (int y = 0; y < height_; ++y) {
        if (!RowsEqual(Row(y), other.Row(y), width_, bitCount_)) {
            return false;
        }
    }
    return true;
}

std::vector<DibColor> TDib::StandardPalette(int bitCount)
{
    static const DibColor kVga[16] = {
        {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
        {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    std::vector<DibColor> palette;
    switch (bitCount) {
    case 1: palette = {{0, 0, 0}, {255, 255, 255}}; break;
    case 4: palette.assign(std::begin(kVga), std::end(kVga)); break;
    case 8:
        palette.assign(std::begin(kVga), std::end(kVga));
        for (int r = 0; r < 6; ++r) {
            for (int g = 0; g < 6; ++g) {
                for (int b = 0; b < 6; ++b) {
                    palette.push_back(DibColor{static_cast<BYTE>(51 * r), static_cast<BYTE>(51 * g),
                                               static_cast<BYTE>(51 * b)});
                }
            }
        }
        for (int i = 0; i < 24; ++i) {
            const auto v = static_cast<BYTE>(8 + 10 * i);
            palette.push_back(DibColor{v, v, v});
        }
        break;
    default: break;
    }
    return palette;
}

TDib TDib::ConvertTo(int bitCount) const
{
    if (!IsOK() || !IsKnownDepth(bitCount)) {
        return TDib();
    }
    TDib out(width_, height_, bitCount);
    if (!out.IsOK()) {
        return out;
    }
    out.xPelsPerMeter_ = xPelsPerMeter_;
    out.yPelsPerMeter_ = yPelsPerMeter_;
    if (bitCount == 24) {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                out.SetPixelColor(x, y, PixelColor(x, y));
            }
        }
        return out;
    }
    const std::size_t room = std::size_t{1} << bitCount;
    if (IsIndexedDepth(bitCount_) && palette_.size() <= room) {
        // The palette fits: same colours, same indices.
        out.palette_ = palette_;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                out.SetPixelIndex(x, y, PixelIndex(x, y));
            }
        }
        return out;
    }
    // Collect the colours in use; when they fit, they become the palette,
    // darkest first (so black stays index 0 of a two-colour picture).
    std::unordered_set<std::uint32_t> seen;
    std::vector<DibColor> used;
    for (int y = 0; y < height_ && used.size() <= room; ++y) {
        for (int x = 0; x < width_ && used.size() <= room; ++x) {
            const DibColor c = PixelColor(x, y);
            if (seen.insert(Key(c)).second) {
                used.push_back(c);
            }
        }
    }
    if (used.size() <= room) {
        std::sort(used.begin(), used.end(), [](DibColor a, DibColor b) {
            const int la = Luminance(a);
            const int lb = Luminance(b);
            return la != lb ? la < lb : Key(a) < Key(b);
        });
        out.palette_ = used;
    }
    std::unordered_map<std::uint32_t, int> mapped;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const DibColor c = PixelColor(x, y);
            auto [it, added] = mapped.try_emplace(Key(c), 0);
            if (added) {
                it->second = Nearest(out.palette_, c);
            }
            out.SetPixelIndex(x, y, it->second);
        }
    }
    return out;
}
