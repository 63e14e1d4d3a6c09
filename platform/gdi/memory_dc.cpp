#include "platform/gdi/memory_dc.h"

TMemoryDC::TMemoryDC() : original_(1, 1, 1, 1)
{
    Select(original_);
}

TMemoryDC::TMemoryDC(const TDC& /*compatible*/) : TMemoryDC()
{
}

// The 1 x 1 bitmap is only made when it is needed: a context made over a
// bitmap to draw it somewhere else is made often.
TMemoryDC::TMemoryDC(const TBitmap& bitmap)
{
    if (bitmap.IsOK())
        Select(bitmap);
    else
        RestoreBitmap();
}

bool TMemoryDC::SelectObject(const TBitmap& bitmap)
{
    if (!bitmap.IsOK())
        return false;
    Select(bitmap);
    return true;
}

void TMemoryDC::RestoreBitmap()
{
    if (!original_.IsOK())
        original_ = TBitmap(1, 1, 1, 1);
    Select(original_);
}

void TMemoryDC::RestoreObjects()
{
    TDC::RestoreObjects();
    RestoreBitmap();
}

void TMemoryDC::Select(const TBitmap& bitmap)
{
    bitmap_ = bitmap;
    AttachImage(&bitmap_.Image(), bitmap_.IsMonochrome());
}
