#include "plintvlr/shell/controls/bmpbtn.h"

#include "plintvlr/db/tqs_bitmaps.h"
#include "plintvlr/shell/controls/control_pictures.h"
#include "platform/gdi/dc.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_class.h"

namespace {

TBitmapPicker& Picker()
{
    static TBitmapPicker picker;
    return picker;
}

}  // namespace

const TResponseTable Bmpbtn::Responses{&TControl::Responses, {
    OnMessage<&Bmpbtn::EvLButtonDown>(WM_LBUTTONDOWN),
}};

Bmpbtn::Bmpbtn(TWindow* parent, int resourceId, TModule* module)
    : TControl(parent, resourceId, module), controlId_(resourceId)
{
}

void Bmpbtn::SetSelectedIndex(int number)
{
    selectedSlot_ = number - 1;
    if (IsWindow())
        Invalidate(true);
}

void Bmpbtn::SetupWindow()
{
    TControl::SetupWindow();
    SetCursor(GetModule(), kBitmapSelectCursor);
}

void Bmpbtn::Paint(TDC& dc, bool /*erase*/, TRect& /*rect*/)
{
    const TQSBitmaps& library = GetBitmapLibrary();
    const TDib picture = library.HasBitmap(selectedSlot_) ? *library.GetDib(selectedSlot_)
                                                          : LoadDibResource(GetModule(), kNoBitmapPicture);
    if (!picture.IsOK())
        return;
    const TRect window = GetWindowRect();
    const TRect dest(ScreenToClient(window.TopLeft()), ScreenToClient(window.BottomRight()));
    dc.StretchDIBits(dest, TRect(0, 0, picture.Width(), picture.Height()), picture);
}

void Bmpbtn::EvLButtonDown(UINT /*keys*/, const TPoint& /*point*/)
{
    int slot = selectedSlot_;
    if (Picker())
        Picker()(*this, GetBitmapLibrary(), true, 1, slot);
    if (slot != selectedSlot_ && GetParentO())
        GetParentO()->SendMessage(kBitmapChosenMessage, static_cast<WPARAM>(controlId_), slot + 1);
    selectedSlot_ = slot;
    if (IsWindow())
        Invalidate(true);
}

void RegisterBmpbtnClass()
{
    RegisterWindowClass(Bmpbtn::GetClassName(), [](TWindow* parent, int id) -> TWindow* {
        return new Bmpbtn(parent, id);
    });
}

void SetBitmapPicker(TBitmapPicker picker)
{
    Picker() = std::move(picker);
}
