#pragma once
// TPictStatic: a picture on a page, a bitmap static that shows one of the
// program's bitmap resources. It owns the bitmap, loaded when it is made,
// and hands it to the control once the control's window exists.

#include "platform/gdi/bitmap.h"
#include "platform/ui/controls/static.h"

class TPictStatic : public TStatic {
public:
    TPictStatic(TWindow* parent, int resourceId, TResId bitmapId, TModule* module = nullptr);
    ~TPictStatic() override;

    const TBitmap& GetBitmap() const { return bitmap_; }

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

private:
    TBitmap bitmap_;
};
