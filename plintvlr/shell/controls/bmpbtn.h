#pragma once
// Bmpbtn: a small control that shows one bitmap of the project's bitmap
// library and lets the engineer choose another by clicking it. Dialog
// templates name it by its window class "Bmpbtn". A slot that holds no
// bitmap (empty, or outside 0 to 299) shows the placeholder "nobmp".
//
// A click runs the bitmap picker over the control, on the program's bitmap
// library with files allowed and user value 1; when the chosen slot differs
// from the shown one the parent hears kBitmapChosenMessage (wParam the
// control id, lParam the new bitmap number); the control then repaints.

#include "platform/ui/control.h"

#include <functional>

class TQSBitmaps;

class Bmpbtn : public TControl {
public:
    // WM_USER + 430.
    static constexpr UINT kBitmapChosenMessage = 1454;

    Bmpbtn(TWindow* parent, int resourceId, TModule* module = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    static const char* GetClassName() { return "Bmpbtn"; }

    // Bitmap numbers are 1-based, as records store them: number n shows slot n - 1.
    void SetSelectedIndex(int number);
    int GetSelectedIndex() const { return selectedSlot_ + 1; }

protected:
    void SetupWindow() override;
    void Paint(TDC& dc, bool erase, TRect& rect) override;
    void EvLButtonDown(UINT keys, const TPoint& point);

private:
    int selectedSlot_ = 0;
    int controlId_;
};

// Lets dialog templates name the class "Bmpbtn": an item that no window
// object of the dialog claims gets a Bmpbtn.
void RegisterBmpbtnClass();

// The bitmap picker a Bmpbtn runs: modal over `parent`, on `library`;
// `slot` holds the 0-based slot shown and, when the engineer confirms a
// choice, the chosen one (unchanged when cancelled).
using TBitmapPicker =
    std::function<void(TWindow& parent, TQSBitmaps& library, bool allowFiles, int userValue, int& slot)>;
// The picker dialog installs itself here; without one a click changes nothing.
void SetBitmapPicker(TBitmapPicker picker);
