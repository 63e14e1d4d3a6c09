#pragma once
// Device-independent bitmaps as data: the pictures of a project's bitmap
// library, of button styles and of bitmap files on the engineer's disk.
// `TDib` reads and writes BMP files (file header + info header + palette +
// pixel rows) and packed memory images (the same without the file header),
// with 1, 4, 8 or 24 bits per pixel, uncompressed, bottom-up or top-down.
//
// Every header field is checked against the bytes present: a damaged or
// hostile file gives a `DibError`, never a read outside the bytes or an
// allocation the bytes cannot back. In memory the rows are kept bottom-up
// with their padding zeroed, as a packed image stores them, so a bitmap is
// always written back in one canonical layout.

#include "platform/base/win_types.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

struct DibColor {
    BYTE red = 0;
    BYTE green = 0;
    BYTE blue = 0;
    bool operator==(const DibColor&) const = default;
};

enum class DibError {
    None,
    FileOpen,     // the file cannot be opened or created
    FileRead,     // reading the file failed
    FileWrite,    // writing the file failed or stopped short
    NotBitmap,    // no "BM" signature, or no info header
    Truncated,    // a header, the palette or the pixel rows run past the bytes
    BadHeader,    // a field holds an impossible value (width 0, planes not 1...)
    Unsupported,  // a legal BMP this layer does not read (compression, 16/32 bits)
    BadOffset,    // the pixel offset points into the headers or palette
    TooLarge,     // dimensions beyond what a bitmap may have here
};

// A short English text for logs and tests ("pixel rows run past the end").
const char* DibErrorText(DibError error);

class TDib {
public:
    static constexpr std::size_t kFileHeaderSize = 14;
    static constexpr std::size_t kInfoHeaderSize = 40;
    // Width and height are at most this; a larger picture is refused.
    static constexpr int kMaxSide = 32767;
    // The pixel rows of one bitmap are at most this many bytes.
    static constexpr std::int64_t kMaxImageBytes = 64 * 1024 * 1024;

    // An empty bitmap: IsOK() is false.
    TDib() = default;
    // A new bitmap of the given size and depth (1, 4, 8 or 24), every pixel
    // index 0 (black), with the standard palette of its depth. Impossible
    // arguments give an empty bitmap.
    TDib(int width, int height, int bitCount);
    // Loads a BMP file; on failure the bitmap is empty and Error() tells why.
    explicit TDib(std::string_view fileName);

    // Readers: on success `out` holds the picture; on failure it is left empty.
    static DibError Load(std::string_view fileName, TDib& out);
    static DibError FromFileBytes(std::span<const std::uint8_t> bytes, TDib& out);
    static DibError FromPackedDib(std::span<const std::uint8_t> bytes, TDib& out);

    // Writers: always bottom-up, a 40-byte info header, the true image size,
    // the palette in full. An empty bitmap writes nothing (FileWrite / empty).
    std::vector<std::uint8_t> FileBytes() const;
    std::vector<std::uint8_t> PackedDib() const;
    // A write that fails leaves a file of that name as it was.
    DibError WriteFile(std::string_view fileName) const;

    bool IsOK() const { return width_ > 0; }
    // Why the loading constructor left the bitmap empty (None after success).
    DibError Error() const { return error_; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitsPixel() const { return bitCount_; }
    // Entries of the colour table; 0 for 24-bit pictures.
    int NumColors() const { return static_cast<int>(palette_.size()); }
    // Bytes of one stored row (a multiple of 4).
    std::size_t Stride() const { return stride_; }
    // The true byte count of the pixel rows, computed from width, height and
    // depth (a header may say 0 here, or more or less than the rows take).
    std::size_t ImageSize() const { return bits_.size(); }
    // The true size of the packed image (info header + palette + rows) and of
    // the file image (file header + packed image).
    std::size_t PackedSize() const;
    std::size_t FileSize() const { return IsOK() ? kFileHeaderSize + PackedSize() : 0; }
    // Pixels per metre as the file gave them (0 when unknown).
    std::int32_t XPelsPerMeter() const { return xPelsPerMeter_; }
    std::int32_t YPelsPerMeter() const { return yPelsPerMeter_; }

    // The byte count of the pixel rows of such a picture, or -1 when the
    // width, height (either sign) or depth is impossible.
    static std::int64_t ImageSizeFor(std::int64_t width, std::int64_t height, int bitCount);
    // The bytes a BMP file image occupies (pixel offset + true image size),
    // checked as a full read checks it; -1 when the header is not sound.
    // Lets a caller store exactly the bytes of a file whose header says an
    // image size of 0, or a wrong file size.
    static std::int64_t FileImageLength(std::span<const std::uint8_t> bytes);

    const std::vector<DibColor>& Palette() const { return palette_; }
    // Black for an index outside the palette.
    DibColor GetColor(int index) const;
    bool SetColor(int index, DibColor color);

    // Pixels, counted from the top-left corner whatever the stored order.
    // The palette index of an indexed picture; -1 outside it or at 24 bits.
    int PixelIndex(int x, int y) const;
    bool SetPixelIndex(int x, int y, int index);
    // The colour shown: through the palette (black past its end) or direct.
    DibColor PixelColor(int x, int y) const;
    // Sets the colour at 24 bits, the nearest palette entry otherwise.
    bool SetPixelColor(int x, int y, DibColor color);

    // The stored rows, bottom row first, each Stride() bytes.
    std::span<const std::uint8_t> Bits() const { return bits_; }

    // The same picture: width, height, depth, palette and the pixels of every
    // row. Row padding and the unused bits at the end of a row do not count.
    bool SameImage(const TDib& other) const;
    bool operator==(const TDib& other) const { return SameImage(other); }

    // The picture at another depth (1, 4, 8 or 24). Going down, the colours
    // are kept exactly when they fit the smaller palette; otherwise each pixel
    // takes the nearest colour of the standard palette of that depth.
    TDib ConvertTo(int bitCount) const;

    // The palette a new bitmap of that depth gets: black and white; the 16
    // VGA colours; those 16, a 6x6x6 colour cube and 24 greys; none at 24.
    static std::vector<DibColor> StandardPalette(int bitCount);

private:
    static DibError Parse(std::span<const std::uint8_t> bytes, std::size_t infoAt, bool fileImage,
                          TDib* out, std::int64_t* length);
    std::uint8_t* Row(int y);
    const std::uint8_t* Row(int y) const;
    int NearestIndex(DibColor color) const;

    int width_ = 0;
    int height_ = 0;
    int bitCount_ = 0;
    std::size_t stride_ = 0;
    std::int32_t xPelsPerMeter_ = 0;
    std::int32_t yPelsPerMeter_ = 0;
    std::vector<DibColor> palette_;
    std::vector<std::uint8_t> bits_;
    DibError error_ = DibError::None;
};
