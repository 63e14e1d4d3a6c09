#include "platform/gdi/memory_dc.h"

TMemoryDC::TMemoryDC() : original_(1, 1, 1, 1)
{
    Select(original_);
}

TMemoryDC::TMemoryDC(const TDC& /*compatible*/) : TMemoryDC()
{
}

TMemoryDC::TMemoryDC(const TBitmap& bitmap) : TMemoryDC()
{
    SelectObject(bitmap);
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
