// Bitmap files and packed images from disk and from project records.
#include "platform/base/dib.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

void Check(bool ok)
{
    if (!ok) {
        std::abort();
    }
}

void Exercise(const TDib& dib, std::uint8_t selector)
{
    if (!dib.IsOK()) {
        return;
    }
    // What is written must read back as the same picture.
    TDib again;
    Check(TDib::FromFileBytes(dib.FileBytes(), again) == DibError::None);
    Check(again == dib);
    Check(TDib::FileImageLength(dib.FileBytes()) == static_cast<std::int64_t>(dib.FileSize()));
    for (int y = 0; y < dib.Height(); y += 1 + dib.Height() / 8) {
        for (int x = 0; x < dib.Width(); x += 1 + dib.Width() / 8) {
            (void)dib.PixelColor(x, y);
        }
    }
    if (static_cast<std::int64_t>(dib.Width()) * dib.Height() <= 4096) {
        static const int kDepths[] = {1, 4, 8, 24};
        const TDib converted = dib.ConvertTo(kDepths[selector % 4]);
        Check(converted.Width() == dib.Width() && converted.Height() == dib.Height());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const std::uint8_t selector = size ? data[size - 1] : 0;
    TDib dib;
    if (TDib::FromFileBytes(bytes, dib) == DibError::None) {
        Check(TDib::FileImageLength(bytes) > 0);
        Exercise(dib, selector);
    }
    if (TDib::FromPackedDib(bytes, dib) == DibError::None) {
        Exercise(dib, selector);
    }
    return 0;
}
