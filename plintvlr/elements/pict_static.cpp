#include "plintvlr/elements/pict_static.h"

#include "platform/ui/messages.h"
#include "platform/ui/resources.h"

TPictStatic::TPictStatic(TWindow* parent, int resourceId, TResId bitmapId, TModule* module)
    : TStatic(parent, resourceId, 0, module), bitmap_(LoadDibResource(module, bitmapId))
{
}

TPictStatic::~TPictStatic() = default;

void TPictStatic::SetupWindow()
{
    TStatic::SetupWindow();
    SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(&bitmap_));
}

void TPictStatic::CleanupWindow()
{
    // The control lets go of the bitmap before the bitmap goes.
    SendMessage(STM_SETIMAGE, IMAGE_BITMAP, 0);
    TStatic::CleanupWindow();
}
