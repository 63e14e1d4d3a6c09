#include "platform/gdi/bitmap.h"

#include "platform/gdi/dc.h"

namespace {

bool SizeOK(int width, int height)
{
    return width > 0 && height > 0 && width <= TDib::kMaxSide && height <= TDib::kMaxSide &&
           static_cast<std::int64_t>(width) * height * 4 <= TDib::kMaxImageBytes;
}

}  // namespace

TBitmap::TBitmap(int width, int height, int planes, int bitCount)
{
    if (!SizeOK(width, height) || planes != 1)
        return;
    data_ = std::make_shared<Data>();
    data_->mono = bitCount == 1;
    data_->image = QImage(width, height, QImage::Format_RGB32);
    data_->image.fill(0xFF000000u);
}

TBitmap::TBitmap(const TDC& compatible, int width, int height)
    : TBitmap(width, height, 1, compatible.GetDeviceCaps(BITSPIXEL) == 1 ? 1 : 24)
{
}

TBitmap::TBitmap(const TDib& dib) : TBitmap(dib.Width(), dib.Height(), 1, 24)
{
    if (!IsOK() || !dib.IsOK())
        return;
    for (int y = 0; y < dib.Height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(data_->image.scanLine(y));
        for (int x = 0; x < dib.Width(); ++x) {
            const DibColor c = dib.PixelColor(x, y);
            row[x] = qRgb(c.red, c.green, c.blue);
        }
    }
}

TDib TBitmap::ToDib() const
{
    if (!IsOK())
        return TDib();
    TDib dib(Width(), Height(), data_->mono ? 1 : 24);
    for (int y = 0; y < Height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(data_->image.constScanLine(y));
        for (int x = 0; x < Width(); ++x) {
            const QRgb p = row[x];
            if (data_->mono)
                dib.SetPixelIndex(x, y, (p & 0xFFFFFF) ? 1 : 0);
            else
                dib.SetPixelColor(x, y, DibColor{static_cast<BYTE>(qRed(p)), static_cast<BYTE>(qGreen(p)),
                                                 static_cast<BYTE>(qBlue(p))});
        }
    }
    return dib;
}
