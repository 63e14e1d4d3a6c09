#pragma once
// A memory context: drawing into a bitmap. It starts with a 1 x 1
// monochrome bitmap, as the platform's do; selecting a bitmap makes the
// context monochrome or colour with it. The bitmap stays shared: what is
// drawn shows in every copy of the TBitmap.

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

class TMemoryDC : public TDC {
public:
    TMemoryDC();
    // Compatible with another context (the screen's answers are the same).
    explicit TMemoryDC(const TDC& compatible);
    // With a bitmap selected from the start.
    explicit TMemoryDC(const TBitmap& bitmap);

    using TDC::SelectObject;
    // False (and nothing changes) for a bitmap that is no bitmap.
    bool SelectObject(const TBitmap& bitmap);
    void RestoreBitmap();
    void RestoreObjects() override;
    const TBitmap& GetBitmap() const { return bitmap_; }

private:
    void Select(const TBitmap& bitmap);

    TBitmap original_;
    TBitmap bitmap_;
};
