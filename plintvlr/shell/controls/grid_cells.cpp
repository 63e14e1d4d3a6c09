#include "plintvlr/shell/controls/grid_cells.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/window_dc.h"
#include "platform/ui/dialog.h"
#include "platform/ui/window_api.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/controls/grid.h"
#include "plintvlr/shell/controls/grid_string_ids.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

// ---------------------------------------------------------------- TGridCell

const TBrush* TGridCell::CtlColor(TDC& dc)
{
    dc.SetTextColor(text_);
    dc.SetBkColor(back_);
    return &brush_;
}

void TGridCell::SetColors(TColor text, TColor back, TColor cellBack)
{
    text_ = text;
    back_ = back;
    cellBack_ = cellBack;
    brush_ = TBrush(back);
}

void TGridCell::TakeDesiredSize(int w, int h)
{
    if (desiredW_ == 0 && desiredH_ == 0) {
        desiredW_ = w;
        desiredH_ = h;
    }
}

bool TGridCell::Created(bool created, int w, int h)
{
    if (!created)
        return false;
    TakeDesiredSize(w, h);
    // The grid lays itself out once every cell's window exists.
    if (grid_)
        grid_->Arrange();
    return true;
}

int TGridCell::GridRowHeight(int fallback) const
{
    return grid_ && grid_->GetRowHeight() > 0 ? grid_->GetRowHeight() : fallback;
}

namespace {

TPoint ToGrid(TWindow& cell, TrmtGrid& grid, const TPoint& point)
{
    return grid.ScreenToClient(cell.ClientToScreen(point));
}

}  // namespace

std::vector<char> CellTransferData(TWindow& control)
{
    const UINT size = control.Transfer(nullptr, tdSizeData);
    if (size == 0) {
        const std::string text = control.GetWindowText();
        return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
    }
    std::vector<char> data(size + 1, '\0');
    control.Transfer(data.data(), tdGetData);
    return data;
}

// ---------------------------------------------------------------- TGEdit

const TResponseTable TGEdit::Responses{&TEdit::Responses, {
    OnMessage<&TGEdit::EvChar>(WM_CHAR),
    OnMessage<&TGEdit::EvGetDlgCode>(WM_GETDLGCODE),
    OnMessage<&TGEdit::EvKeyDown>(WM_KEYDOWN),
    OnMessage<&TGEdit::EvKeyUp>(WM_KEYUP),
    OnMessage<&TGEdit::EvKillFocus>(WM_KILLFOCUS),
    OnMessage<&TGEdit::EvSetFocus>(WM_SETFOCUS),
    OnMessage<&TGEdit::EvLButtonDown>(WM_LBUTTONDOWN),
    OnMessage<&TGEdit::EvLButtonUp>(WM_LBUTTONUP),
    OnMessage<&TGEdit::EvLButtonDblClk>(WM_LBUTTONDBLCLK),
}};

TGEdit::TGEdit(TWindow* parent, int id, const char* text, int x, int y, int w, int h, UINT textLimit, bool multiline,
               TModule* module)
    : TEdit(parent, id, text, x, y, w, h, textLimit, multiline, module),
      TGridCell(w, h, TColor::SysWindowText, TColor::SysWindow)
{
}

TGEdit::TGEdit(TWindow* parent, int resourceId, UINT textLimit, TModule* module)
    : TEdit(parent, resourceId, textLimit, module), TGridCell(0, 0, TColor::SysWindowText, TColor::SysWindow)
{
}

bool TGEdit::Create()
{
    return Created(TEdit::Create(), Attr.W, Attr.H);
}

bool TGEdit::CanClose()
{
    return GetGrid() ? GetGrid()->CanClose() : TEdit::CanClose();
}

bool TGEdit::PreProcessMsg(MSG& msg)
{
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && msg.hwnd == GetHandle()) {
        if (GetGrid() && GetGrid()->HandleKey(VK_ESCAPE, LOWORD(static_cast<std::uintptr_t>(msg.lParam))))
            return true;
        // Escape in a multi-line edit of a dialog cancels the dialog, grid or no grid.
        if (IsMultiLine() && GetParentO() && dynamic_cast<TDialog*>(GetParentO())) {
            GetParentO()->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        }
    }
    return TEdit::PreProcessMsg(msg);
}

void TGEdit::SetText(const char* text)
{
    std::string s = text ? text : "";
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    SetWindowText(s.c_str());
}

void TGEdit::EvChar(UINT ch, UINT, UINT)
{
    if (GetGrid() && (ch == '\t' || ch == '\r' || ch == 27))
        return;
    DefaultProcessing();
    if (GetGrid() && IsWindow())
        CheckValue();
}

UINT TGEdit::EvGetDlgCode(const MSG*)
{
    const auto code = static_cast<UINT>(DefaultProcessing());
    return GetGrid() ? code | DLGC_WANTALLKEYS : code;
}

void TGEdit::EvKeyDown(UINT key, UINT repeat, UINT)
{
    TrmtGrid* grid = GetGrid();
    if (!grid) {
        DefaultProcessing();
        return;
    }
    if ((key == VK_TAB || key == VK_RETURN || key == VK_UP || key == VK_DOWN) && grid->HandleKey(key, repeat))
        return;
    DefaultProcessing();
    grid->SetModified();
    if (IsWindow())
        CheckValue();
}

void TGEdit::EvKeyUp(UINT key, UINT, UINT)
{
    if (GetGrid() && (key == VK_TAB || key == VK_RETURN || key == VK_UP || key == VK_DOWN))
        return;
    DefaultProcessing();
}

void TGEdit::EvKillFocus(HWND gaining)
{
    TrmtGrid* grid = GetGrid();
    if (!grid) {
        TEdit::EvKillFocus(gaining);
        return;
    }
    DefaultProcessing();
    bool commit = false;
    if (SendMessage(EM_GETMODIFY)) {
        const std::vector<char> data = CellTransferData(*this);
        commit = grid->CanCommitCell(grid->GetCurrentColumn(), GetId(), data.data());
    }
    grid->CellLostFocus(this, gaining, commit);
    if (!IsWindow())
        return;
    if (grid->FindRowByWindow(gaining) || IsValid(false))
        return;
    TEdit::EvKillFocus(gaining);
}

void TGEdit::EvSetFocus(HWND losing)
{
    if (GetGrid()) {
        SendMessage(EM_SETMODIFY, 0);
        GetGrid()->ShowCell(this, losing);
        SendMessage(EM_SETSEL, 0, -1);
        SendMessage(EM_SETMODIFY, 0);
    }
    DefaultProcessing();
}

void TGEdit::ForwardMouse(UINT msg, UINT keys, const TPoint& point)
{
    if (TrmtGrid* grid = GetGrid()) {
        grid->HandleMouse(keys, ToGrid(*this, *grid, point), msg, false);
        if (msg == WM_LBUTTONDOWN && IsWindow())
            CheckValue();
    }
    if (IsWindow())
        DefaultProcessing();
}

void TGEdit::DrawText(TDC& dc, const TRect& rect, const char* text, int alignment)
{
    dc.SetTextColor(GetTextColor());
    dc.SetBkColor(GetCellBkColor());
    dc.FillRect(rect, TBrush(GetCellBkColor()));
    if (!text || !*text)
        return;
    TRect format;
    if (IsWindow())
        const_cast<TGEdit*>(this)->SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    int insetX = format.left;
    int insetY = format.top;
    if (format == TRect()) {
        insetX = 2;
        insetY = 2;
    }
    TRect r(rect.left + insetX, rect.top + insetY + 3, rect.right - (insetX + 2), 0);
    r.bottom = r.top + GridRowHeight(rect.Height()) - 6;
    dc.DrawText(text, -1, r, static_cast<UINT>(alignment) | DT_NOPREFIX | DT_SINGLELINE);
}

void TGEdit::DrawCell(TDC& dc, const TRect& rect, const void* data, int alignment)
{
    DrawText(dc, rect, static_cast<const char*>(data), alignment);
}

// ---------------------------------------------------------------- TGStatic

TGStatic::TGStatic(TWindow* parent, int id, const char* text, int x, int y, int w, int h, UINT textLimit,
                   TModule* module)
    : TStatic(parent, id, text, x, y, w, h, textLimit, module), TGridCell(w, h, TColor::SysBtnText, TColor::SysWindow)
{
}

TGStatic::TGStatic(TWindow* parent, int resourceId, UINT textLimit, TModule* module)
    : TStatic(parent, resourceId, textLimit, module), TGridCell(0, 0, TColor::SysBtnText, TColor::SysWindow)
{
}

bool TGStatic::Create()
{
    return Created(TStatic::Create(), Attr.W, Attr.H);
}

void TGStatic::DrawCell(TDC& dc, const TRect& rect, const void* data, int alignment)
{
    dc.SetTextColor(GetTextColor());
    dc.SetBkColor(GetBkColor());
    dc.FillRect(rect, TBrush(GetBkColor()));
    const auto* text = static_cast<const char*>(data);
    if (!text || !*text)
        return;
    TRect r(rect.left + 3, rect.top + 3, rect.right - 3, rect.bottom - 3);
    UINT format = static_cast<UINT>(alignment) | DT_NOPREFIX | DT_SINGLELINE;
    if ((Attr.Style & SS_TYPEMASK) == SS_LEFT)
        format |= DT_WORDBREAK;
    dc.DrawText(text, -1, r, format);
}

// ---------------------------------------------------------------- TGComboBox

const TResponseTable TGComboBox::Responses{&TComboBox::Responses, {
    OnMessage<&TGComboBox::EvChar>(WM_CHAR),
    OnMessage<&TGComboBox::EvGetDlgCode>(WM_GETDLGCODE),
    OnMessage<&TGComboBox::EvKeyDown>(WM_KEYDOWN),
    OnMessage<&TGComboBox::EvKeyUp>(WM_KEYUP),
    OnMessage<&TGComboBox::EvKillFocus>(WM_KILLFOCUS),
    OnMessage<&TGComboBox::EvSetFocus>(WM_SETFOCUS),
    OnMessage<&TGComboBox::EvLButtonDown>(WM_LBUTTONDOWN),
    OnMessage<&TGComboBox::EvLButtonUp>(WM_LBUTTONUP),
    OnMessage<&TGComboBox::EvLButtonDblClk>(WM_LBUTTONDBLCLK),
    OnSelfNotify<&TGComboBox::NotifyKillFocus>(CBN_KILLFOCUS),
    OnSelfNotify<&TGComboBox::NotifySetFocus>(CBN_SETFOCUS),
    OnSelfNotify<&TGComboBox::CommitSelection>(CBN_CLOSEUP),
    OnSelfNotify<&TGComboBox::DropDown>(CBN_DROPDOWN),
    OnNotify<&TGComboBox::EvEditUpdate>(kComboEditId, EN_UPDATE),
}};

TGComboBox::TGComboBox(TWindow* parent, int id, int x, int y, int w, int h, DWORD style, UINT textLimit,
                       TModule* module)
    : TComboBox(parent, id, x, y, w, h, style, textLimit, module),
      TGridCell(w, h, TColor::SysWindowText, TColor::SysWindow)
{
}

TGComboBox::TGComboBox(TWindow* parent, int resourceId, UINT textLimit, TModule* module)
    : TComboBox(parent, resourceId, textLimit, module), TGridCell(0, 0, TColor::SysWindowText, TColor::SysWindow)
{
}

bool TGComboBox::Create()
{
    return Created(TComboBox::Create(), Attr.W, Attr.H);
}

void TGComboBox::SetupWindow()
{
    const int height = Attr.H;
    TComboBox::SetupWindow();
    TRect dropped;
    GetDroppedControlRect(dropped);
    fullHeight_ = height + dropped.Height();
}

bool TGComboBox::IsGridKey(UINT key) const
{
    return key == VK_TAB || key == VK_RETURN || ((key == VK_UP || key == VK_DOWN) && !GetDroppedState());
}

bool TGComboBox::PreProcessMsg(MSG& msg)
{
    if (GetGrid() && msg.message == WM_KEYDOWN && IsGridKey(static_cast<UINT>(msg.wParam)) &&
        GetGrid()->HandleKey(static_cast<UINT>(msg.wParam), LOWORD(static_cast<std::uintptr_t>(msg.lParam))))
        return true;
    return TComboBox::PreProcessMsg(msg);
}

void TGComboBox::EvKeyDown(UINT key, UINT repeat, UINT)
{
    if (GetGrid() && IsGridKey(key) && GetGrid()->HandleKey(key, repeat))
        return;
    DefaultProcessing();
}

void TGComboBox::EvKeyUp(UINT key, UINT, UINT)
{
    if (GetGrid() && (key == VK_TAB || key == VK_RETURN || ((key == VK_UP || key == VK_DOWN) && !GetDroppedState())))
        return;
    DefaultProcessing();
}

void TGComboBox::EvChar(UINT ch, UINT, UINT)
{
    if (GetGrid() && (ch == '\t' || ch == '\r' || ch == 27))
        return;
    DefaultProcessing();
}

UINT TGComboBox::EvGetDlgCode(const MSG*)
{
    const auto code = static_cast<UINT>(DefaultProcessing());
    return GetGrid() ? code | DLGC_WANTALLKEYS : code;
}

void TGComboBox::EvSetFocus(HWND losing)
{
    if (GetGrid()) {
        GetGrid()->ShowCell(this, losing);
        rememberedIndex_ = GetSelIndex();
    }
    DefaultProcessing();
}

void TGComboBox::EvKillFocus(HWND gaining)
{
    if (GetGrid())
        GetGrid()->CellLostFocus(this, gaining, false);
    if (IsWindow())
        DefaultProcessing();
}

void TGComboBox::NotifySetFocus()
{
    if (!GetGrid())
        return;
    RememberValue();
    GetGrid()->ShowCell(this, nullptr);
}

void TGComboBox::NotifyKillFocus()
{
    if (GetGrid())
        GetGrid()->CellLostFocus(this, nullptr, false);
}

void TGComboBox::CommitSelection()
{
    TrmtGrid* grid = GetGrid();
    if (grid && HasChanged()) {
        const std::string data = GetText();
        const int column = grid->GetCurrentColumn();
        if (grid->CanCommitCell(column, GetId(), data.c_str())) {
            grid->SetModified();
            grid->SetCellText(column, GetId(), data.c_str());
            grid->CellCommitted(column, GetId(), data.c_str());
            RememberValue();
        }
    }
    rememberedIndex_ = GetSelIndex();
}

void TGComboBox::EvEditUpdate()
{
    if (GetGrid())
        ShowList();
    DefaultProcessing();
}

void TGComboBox::ForwardMouse(UINT msg, UINT keys, const TPoint& point)
{
    if (TrmtGrid* grid = GetGrid())
        grid->HandleMouse(keys, ToGrid(*this, *grid, point), msg, false);
    if (IsWindow())
        DefaultProcessing();
}

std::string TGComboBox::GetText() const
{
    const int index = GetSelIndex();
    if (index >= 0) {
        std::string text = GetString(index);
        if (text.size() > 256)
            text.resize(256);
        return text;
    }
    return GetWindowText();
}

bool TGComboBox::HasChanged() const
{
    if (HasEditField()) {
        std::string text = GetWindowText();
        if (text.size() > 255)
            text.resize(255);
        return text != rememberedText_;
    }
    return GetSelIndex() != rememberedIndex_;
}

void TGComboBox::RememberValue()
{
    if (HasEditField()) {
        rememberedText_ = GetWindowText();
        if (rememberedText_.size() > 255)
            rememberedText_.resize(255);
    }
    rememberedIndex_ = GetSelIndex();
}

int TGComboBox::GetDesiredHeight()
{
    const int baseY = HIWORD(static_cast<std::uintptr_t>(GetDialogBaseUnits()));
    const bool ownerDrawn = Attr.Style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE);
    const TFont* font = GetGrid() ? GetGrid()->GetRowFont(GetId()) : nullptr;
    if (ownerDrawn || !IsWindow() || !font)
        return ownerDrawn ? baseY * 3 / 2 : baseY * 5 / 4;
    TScreenDC dc;
    dc.SelectObject(*font);
    TEXTMETRIC tm;
    dc.GetTextMetrics(tm);
    const int h = tm.tmHeight;
    const int pad = h < 8 ? 5 : h < 12 ? 6 : h < 16 ? 7 : h < 20 ? 8 : 9;
    return h + pad + 1;
}

void TGComboBox::DrawCell(TDC& dc, const TRect& rect, const void* data, int /*alignment*/)
{
    TrmtGrid* grid = GetGrid();
    const int state = grid ? grid->GetCellState(grid->RowFromY(rect.top), GetId()) : 0;
    const auto* text = static_cast<const char*>(data);
    const TBrush back(GetCellBkColor());
    dc.SetTextColor(GetTextColor());
    dc.SetBkColor(GetCellBkColor());
    if (state == 0) {
        TRect r = rect;
        const int desired = GetDesiredHeight();
        if (r.Height() > desired) {
            dc.FillRect(TRect(r.left, r.top + desired, r.right, r.bottom), back);
            r.bottom = r.top + desired;
        }
        dc.FillRect(r, back);
        if (HasEditField())
            r.right -= LOWORD(static_cast<std::uintptr_t>(GetDialogBaseUnits()));
        if (!text)
            return;
        if (HasEditField() && GetEdit()) {
            TRect f;
            GetEdit()->SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&f));
            r = TRect(r.left + f.left, r.top + f.top, r.right - f.left, r.top + f.top + f.Height());
        } else {
            r = TRect(r.left + 3, r.top + 2, r.right - 3, r.bottom - 2);
        }
        dc.DrawText(text, -1, r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    } else if (state == 1 || state == 2) {
        dc.FillRect(rect, back);
        if (text && *text) {
            TRect r = rect;
            dc.DrawText(text, -1, r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        }
    }
}

// ---------------------------------------------------------------- numeric cells

namespace {

TGNumberValidator* MakeValidator(int radix, std::uint16_t min, std::uint16_t max, TWindow* owner)
{
    switch (radix) {
    case 8:
        return new TGOctalUShortEditValidator(min, max, owner);
    case 16:
        return new TGHexUShortEditValidator(min, max, owner);
    default:
        return new TGUShortValidator(min, max, owner);
    }
}

std::string FormatValue(unsigned value, int radix)
{
    char text[16];
    std::snprintf(text, sizeof text, radix == 8 ? "%o" : radix == 16 ? "%x" : "%u", value);
    return text;
}

}  // namespace

TCellNumber ReadCellNumber(const char* text, std::size_t maxLength, int radix)
{
    TCellNumber number;
    if (!text)
        return number;
    const std::size_t n = strnlen(text, maxLength);
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0 || digit >= radix) {
            number.readable = false;
            return number;
        }
        // Past 16 bits the number only has to stay above every maximum.
        number.value = std::min<std::uint32_t>(number.value * static_cast<std::uint32_t>(radix) +
                                                   static_cast<std::uint32_t>(digit),
                                               0x10000u);
    }
    return number;
}

TGNumberValidator::TGNumberValidator(const char* chars, int radix, std::uint16_t min, std::uint16_t max,
                                     TWindow* owner)
    : TFilterValidator(chars), Min(min), Max(std::max(min, max)), Radix(radix), Owner(owner)
{
}

bool TGNumberValidator::IsValid(const char* text)
{
    if (!TFilterValidator::IsValid(text))
        return false;
    const TCellNumber number = ReadCellNumber(text, 63, Radix);
    return number.readable && number.value >= Min && number.value <= Max;
}

std::string TGNumberValidator::RangeText() const
{
    char min[16];
    std::snprintf(min, sizeof min, "%d", static_cast<int>(Min));
    char max[24];
    std::snprintf(max, sizeof max, Radix == 8 ? "(octal)%o" : Radix == 16 ? "0x%x" : "%d", static_cast<unsigned>(Max));
    std::string text = Str(kStrValueRange);
    // The texts go in by hand: a table text is never a format of its own.
    for (const char* value : {min, max}) {
        const std::size_t at = text.find("%s");
        if (at == std::string::npos)
            break;
        text.replace(at, 2, value);
    }
    return text;
}

void TGNumberValidator::Error(TWindow* owner)
{
    TWindow* box = owner ? owner : Owner;
    const std::string text = RangeText();
    TApp::MessageBox(nullptr, box ? box->GetHandle() : nullptr, text.c_str(), Str(kStrInvalidRange),
                     MB_ICONEXCLAMATION | MB_TASKMODAL);
}

TGNumericEdit::TGNumericEdit(TWindow* parent, int id, std::uint16_t value, int x, int y, int w, int h, UINT textLimit,
                             std::uint16_t min, std::uint16_t max, int radix, TModule* module)
    : TGEdit(parent, id, "", x, y, w, h, textLimit + 1, false, module), radix_(radix), value_(value)
{
    SetValidator(MakeValidator(radix, min, max, this));
}

TGNumericEdit::TGNumericEdit(TWindow* parent, int resourceId, UINT textLimit, std::uint16_t min, std::uint16_t max,
                             int radix, TModule* module)
    : TGEdit(parent, resourceId, textLimit, module), radix_(radix)
{
    SetValidator(MakeValidator(radix, min, max, this));
}

void TGNumericEdit::SetupWindow()
{
    TGEdit::SetupWindow();
    SetValue(value_);
}

std::uint16_t TGNumericEdit::GetValue()
{
    const std::string text = GetWindowText();
    std::size_t limit = 63;
    if (GetTextLimit() > 0)
        limit = std::min<std::size_t>(limit, GetTextLimit());
    const TCellNumber number = ReadCellNumber(text.c_str(), limit, radix_);
    const bool empty = strnlen(text.c_str(), limit) == 0;
    // Octal and hexadecimal texts that cannot be read keep the last value.
    if (number.readable && !(empty && radix_ != 10))
        value_ = static_cast<std::uint16_t>(std::min<std::uint32_t>(number.value, 0xFFFF));
    return value_;
}

void TGNumericEdit::SetValue(std::uint16_t value)
{
    value_ = 0;
    SetWindowText(FormatValue(value, radix_).c_str());
}

void TGNumericEdit::SetMin(std::uint16_t value)
{
    auto* v = static_cast<TGNumberValidator*>(GetValidator());
    v->Min = value;
    v->Max = std::max(v->Max, value);
}

void TGNumericEdit::SetMax(std::uint16_t value)
{
    auto* v = static_cast<TGNumberValidator*>(GetValidator());
    v->Max = value;
    v->Min = std::min(v->Min, value);
}

void TGNumericEdit::ClampToRange()
{
    auto* v = static_cast<TGNumberValidator*>(GetValidator());
    const std::string text = GetWindowText();
    if (v->IsValid(text.c_str()))
        return;
    const TCellNumber number = ReadCellNumber(text.c_str(), 63, radix_);
    // An unreadable text (never typed: the filter keeps it out) counts as below the range.
    SetValue(number.readable && number.value > v->Max ? v->Max : v->Min);
    SendMessage(EM_SETMODIFY, 1);
}

void TGNumericEdit::CheckValue()
{
    ClampToRange();
}

UINT TGNumericEdit::Transfer(void* buffer, TTransferDirection direction)
{
    if (!buffer || direction == tdSizeData)
        return 2;
    if (direction == tdGetData) {
        const std::uint16_t value = GetValue();
        std::memcpy(buffer, &value, 2);
    } else {
        std::uint16_t value;
        std::memcpy(&value, buffer, 2);
        SetValue(value);
    }
    return 2;
}

void TGNumericEdit::DrawCell(TDC& dc, const TRect& rect, const void* data, int alignment)
{
    if (!data) {
        DrawText(dc, rect, nullptr, alignment);
        return;
    }
    std::uint16_t value;
    std::memcpy(&value, data, 2);
    DrawText(dc, rect, FormatValue(value, radix_).c_str(), alignment);
}
