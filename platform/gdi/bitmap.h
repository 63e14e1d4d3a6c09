#pragma once
// A device-dependent bitmap: the drawing surface of a memory context.
// Monochrome bitmaps hold black (0) and white (1) pixels only; colour
// bitmaps hold 24-bit colours. Copies share the pixels, as handles do: a
// bitmap selected into a memory context shows what was drawn there.

#include "platform/base/dib.h"
#include "platform/gdi/gdi_types.h"

#include <QImage>

#include <memory>

class TDC;

class TBitmap {
public:
    TBitmap() = default;  // none: IsOK() is false
    // All pixels black. One bit per pixel gives a monochrome bitmap, any
    // other depth a colour one. Impossible sizes give no bitmap.
    TBitmap(int width, int height, int planes = 1, int bitCount = 1);
    // A bitmap that suits the context: monochrome when it is monochrome.
    TBitmap(const TDC& compatible, int width, int height);
    // A colour bitmap with the picture of a device-independent bitmap.
    explicit TBitmap(const TDib& dib);

    bool IsOK() const { return data_ && !data_->image.isNull(); }
    int Width() const { return IsOK() ? data_->image.width() : 0; }
    int Height() const { return IsOK() ? data_->image.height() : 0; }
    TSize Size() const { return {Width(), Height()}; }
    bool IsMonochrome() const { return IsOK() && data_->mono; }
    int BitsPixel() const { return IsOK() ? (data_->mono ? 1 : 24) : 0; }

    // The picture as a device-independent bitmap: 1 bit per pixel (black,
    // white) for a monochrome bitmap, 24 otherwise.
    TDib ToDib() const;

    // The pixels (Format_RGB32); monochrome ones are pure black or white.
    QImage& Image() { return data_->image; }
    const QImage& Image() const { return data_->image; }

    bool SameBitmap(const TBitmap& other) const { return data_ == other.data_; }

private:
    struct Data {
        QImage image;
        bool mono = false;
    };
    std::shared_ptr<Data> data_;
};
