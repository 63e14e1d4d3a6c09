#pragma once
// The cell controls of the grid (grid.h). Each row of a grid has one cell
// control, a real child window whose id is the row id; the grid shows it
// over the current cell and otherwise lets it paint the row's cells as text.
//
// - TGEdit: free text; the grid's data is a NUL-terminated text.
// - TGStatic: shows text only; never the current cell.
// - TGComboBox: a choice from a list; the data is the chosen entry's text.
// - TGUShortEdit, TGOctalUShortEdit, TGHexUShortEdit: an unsigned 16-bit
//   number in decimal, octal or hexadecimal; the data is a pointer to one
//   16-bit value. A typed value that leaves the range is replaced by the
//   nearest bound at once.
//
// While a cell is in a grid it hands Tab, Enter, Up and Down to the grid,
// tells the grid when it gains and loses the focus, and forwards its clicks.

#include "platform/gdi/brush.h"
#include "platform/ui/controls/combo_box.h"
#include "platform/ui/controls/edit.h"
#include "platform/ui/controls/static.h"
#include "platform/ui/validators.h"

#include <cstdint>
#include <string>
#include <vector>

class TDC;
class TrmtGrid;

// What every cell kind offers the grid: its grid link, its preferred size,
// its colours (which it answers the control-colour messages with) and the
// painting of one cell of its row.
class TGridCell {
public:
    virtual ~TGridCell() = default;

    TrmtGrid* GetGrid() const { return grid_; }
    void SetGrid(TrmtGrid* grid) { grid_ = grid; }

    virtual int GetDesiredWidth() { return desiredW_; }
    virtual int GetDesiredHeight() { return desiredH_; }
    // Paints one cell of the row; `data` is the grid's data for the cell
    // (text, or a pointer to a 16-bit value), null for nothing.
    virtual void DrawCell(TDC& dc, const TRect& rect, const void* data, int alignment) = 0;

    // Sets the context's colours and answers the background brush.
    const TBrush* CtlColor(TDC& dc);
    void SetColors(TColor text, TColor back) { SetColors(text, back, back); }
    void SetColors(TColor text, TColor back, TColor cellBack);
    TColor GetTextColor() const { return text_; }
    TColor GetBkColor() const { return back_; }
    TColor GetCellBkColor() const { return cellBack_; }
    const TBrush& GetBrush() const { return brush_; }

protected:
    TGridCell(int w, int h, TColor text, TColor back) : desiredW_(w), desiredH_(h) { SetColors(text, back); }
    // A cell made from a dialog template learns its size from the template.
    void TakeDesiredSize(int w, int h);
    // After the cell's window was made (`created`), with its size.
    bool Created(bool created, int w, int h);
    // The grid's row height, or `fallback` without a grid.
    int GridRowHeight(int fallback) const;

private:
    TrmtGrid* grid_ = nullptr;
    int desiredW_;
    int desiredH_;
    TColor text_;
    TColor back_;
    TColor cellBack_;
    TBrush brush_;
};

class TGEdit : public TEdit, public TGridCell {
public:
    TGEdit(TWindow* parent, int id, const char* text, int x, int y, int w, int h, UINT textLimit = 0,
           bool multiline = false, TModule* module = nullptr);
    TGEdit(TWindow* parent, int resourceId, UINT textLimit = 0, TModule* module = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    bool Create() override;
    bool CanClose() override;
    bool PreProcessMsg(MSG& msg) override;
    void DrawCell(TDC& dc, const TRect& rect, const void* data, int alignment) override;

    std::string GetText() const { return GetWindowText(); }
    // Shows the text without its trailing blanks.
    void SetText(const char* text);

protected:
    void EvChar(UINT ch, UINT repeat, UINT flags);
    UINT EvGetDlgCode(const MSG* msg);
    void EvKeyDown(UINT key, UINT repeat, UINT flags);
    void EvKeyUp(UINT key, UINT repeat, UINT flags);
    void EvKillFocus(HWND gaining);
    void EvSetFocus(HWND losing);
    void EvLButtonDown(UINT keys, const TPoint& point) { ForwardMouse(WM_LBUTTONDOWN, keys, point); }
    void EvLButtonUp(UINT keys, const TPoint& point) { ForwardMouse(WM_LBUTTONUP, keys, point); }
    void EvLButtonDblClk(UINT keys, const TPoint& point) { ForwardMouse(WM_LBUTTONDBLCLK, keys, point); }
    void ForwardMouse(UINT msg, UINT keys, const TPoint& point);
    // Runs after every character, key and button-down: the numeric cells
    // put a value that left the range back into it.
    virtual void CheckValue() {}
    // Paints `text` in the cell as an edit shows it.
    void DrawText(TDC& dc, const TRect& rect, const char* text, int alignment);
};

class TGStatic : public TStatic, public TGridCell {
public:
    TGStatic(TWindow* parent, int id, const char* text, int x, int y, int w, int h, UINT textLimit = 0,
             TModule* module = nullptr);
    TGStatic(TWindow* parent, int resourceId, UINT textLimit = 0, TModule* module = nullptr);

    bool Create() override;
    void DrawCell(TDC& dc, const TRect& rect, const void* data, int alignment) override;
};

class TGComboBox : public TComboBox, public TGridCell {
public:
    TGComboBox(TWindow* parent, int id, int x, int y, int w, int h, DWORD style, UINT textLimit,
               TModule* module = nullptr);
    TGComboBox(TWindow* parent, int resourceId, UINT textLimit = 0, TModule* module = nullptr);

    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    bool Create() override;
    bool PreProcessMsg(MSG& msg) override;
    int GetDesiredHeight() override;
    void DrawCell(TDC& dc, const TRect& rect, const void* data, int alignment) override;

    // The selected entry's text, or the window text when nothing is selected.
    std::string GetText() const;
    // Selects the entry with that text.
    void SetText(const char* text) { TComboBox::SetText(text); }
    bool HasChanged() const;
    void RememberValue();
    // The height the grid gives the combo box: its own and its list's.
    int GetFullHeight() const { return fullHeight_; }

    virtual void CommitSelection();
    virtual void DropDown() {}
    virtual void NotifyKillFocus();
    virtual void NotifySetFocus();

protected:
    void SetupWindow() override;
    void EvChar(UINT ch, UINT repeat, UINT flags);
    UINT EvGetDlgCode(const MSG* msg);
    void EvKeyDown(UINT key, UINT repeat, UINT flags);
    void EvKeyUp(UINT key, UINT repeat, UINT flags);
    void EvKillFocus(HWND gaining);
    void EvSetFocus(HWND losing);
    void EvLButtonDown(UINT keys, const TPoint& point) { ForwardMouse(WM_LBUTTONDOWN, keys, point); }
    void EvLButtonUp(UINT keys, const TPoint& point) { ForwardMouse(WM_LBUTTONUP, keys, point); }
    void EvLButtonDblClk(UINT keys, const TPoint& point) { ForwardMouse(WM_LBUTTONDBLCLK, keys, point); }
    void ForwardMouse(UINT msg, UINT keys, const TPoint& point);
    void EvEditUpdate();

private:
    bool IsGridKey(UINT key) const;
    bool HasEditField() const { return (Attr.Style & CBS_TYPEMASK) != CBS_DROPDOWNLIST; }

    int rememberedIndex_ = -1;
    std::string rememberedText_;
    int fullHeight_ = 0;
};

// The three numeric kinds share everything but their radix.
class TGNumericEdit : public TGEdit {
public:
    UINT Transfer(void* buffer, TTransferDirection direction) override;
    void DrawCell(TDC& dc, const TRect& rect, const void* data, int alignment) override;

    // Reads the text (at most the text limit, never more than 63 characters).
    std::uint16_t GetValue();
    void SetValue(std::uint16_t value);
    void SetMin(std::uint16_t value);
    void SetMax(std::uint16_t value);
    // A text that is not valid becomes the nearest bound and the edit is marked modified.
    void ClampToRange();
    int Radix() const { return radix_; }

protected:
    TGNumericEdit(TWindow* parent, int id, std::uint16_t value, int x, int y, int w, int h, UINT textLimit,
                  std::uint16_t min, std::uint16_t max, int radix, TModule* module);
    TGNumericEdit(TWindow* parent, int resourceId, UINT textLimit, std::uint16_t min, std::uint16_t max, int radix,
                  TModule* module);
    void SetupWindow() override;
    void CheckValue() override;

private:
    int radix_;
    std::uint16_t value_ = 0;
};

// A numeric cell of one radix.
template <int kRadix>
class TGRadixEdit : public TGNumericEdit {
public:
    TGRadixEdit(TWindow* parent, int id, std::uint16_t value, int x, int y, int w, int h, UINT textLimit,
                std::uint16_t min, std::uint16_t max, TModule* module = nullptr)
        : TGNumericEdit(parent, id, value, x, y, w, h, textLimit, min, max, kRadix, module)
    {
    }
    TGRadixEdit(TWindow* parent, int resourceId, UINT textLimit, std::uint16_t min, std::uint16_t max,
                TModule* module = nullptr)
        : TGNumericEdit(parent, resourceId, textLimit, min, max, kRadix, module)
    {
    }
};

class TGUShortEdit : public TGRadixEdit<10> {
public:
    using TGRadixEdit<10>::TGRadixEdit;
};

class TGOctalUShortEdit : public TGRadixEdit<8> {
public:
    using TGRadixEdit<8>::TGRadixEdit;
};

class TGHexUShortEdit : public TGRadixEdit<16> {
public:
    using TGRadixEdit<16>::TGRadixEdit;
};

// A cell's value as the grid stores it: its transfer data (the text, or the
// 16-bit value of a numeric cell), NUL-ended.
std::vector<char> CellTransferData(TWindow& control);

// ---------------------------------------------------------------- validators

// How a numeric cell reads its text: a whole number in the radix, an empty
// text reading 0. A number beyond 16 bits reads as 0x10000 (above every
// maximum); `readable` is false when a character is no digit of the radix.
struct TCellNumber {
    bool readable = true;
    std::uint32_t value = 0;
};
TCellNumber ReadCellNumber(const char* text, std::size_t maxLength, int radix);

class TGNumberValidator : public TFilterValidator {
public:
    TGNumberValidator(const char* chars, int radix, std::uint16_t min, std::uint16_t max, TWindow* owner);
    bool IsValid(const char* text) override;
    void Error(TWindow* owner) override;
    // The range message: "Value must be between <min> and <max>".
    std::string RangeText() const;

    std::uint16_t Min = 0;
    std::uint16_t Max = 0;
    int Radix;
    TWindow* Owner;
};

class TGUShortValidator : public TGNumberValidator {
public:
    TGUShortValidator(std::uint16_t min, std::uint16_t max, TWindow* owner)
        : TGNumberValidator("0-9", 10, min, max, owner)
    {
    }
};

class TGOctalUShortEditValidator : public TGNumberValidator {
public:
    TGOctalUShortEditValidator(std::uint16_t min, std::uint16_t max, TWindow* owner)
        : TGNumberValidator("0-7", 8, min, max, owner)
    {
    }
};

class TGHexUShortEditValidator : public TGNumberValidator {
public:
    TGHexUShortEditValidator(std::uint16_t min, std::uint16_t max, TWindow* owner)
        : TGNumberValidator("0-9a-fA-F", 16, min, max, owner)
    {
    }
};
