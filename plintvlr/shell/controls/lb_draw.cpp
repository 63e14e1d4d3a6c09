#include "plintvlr/shell/controls/lb_draw.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/sys_colors.h"
#include "platform/ui/controls/list_box.h"
#include "platform/ui/window_api.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

lbDraw::lbDraw(const TDib& bitmap, const char* name) : bitmap_(std::make_unique<TDib>(bitmap))
{
    if (name)
        SetText(name);
}

lbDraw::lbDraw(const char* fileName, const char* name)
{
    const std::string file = fileName ? fileName : "";
    path_ = std::make_unique<std::string>(file);
    auto bitmap = std::make_unique<TDib>();
    loadError_ = TDib::Load(file, *bitmap);
    if (loadError_ == DibError::None)
        bitmap_ = std::move(bitmap);
    SetText(name ? name : NameFromFile(file).c_str());
}

lbDraw::~lbDraw() = default;

std::string lbDraw::NameFromFile(const std::string& fileName)
{
    std::string name = fileName;
    // Windows paths and this system's alike.
    const std::size_t separator = name.find_last_of(":\\/");
    if (separator != std::string::npos && separator != 0)
        name = name.substr(separator + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot != 0)
        name.resize(dot);
    return name;
}

void lbDraw::DrawItem(TListBox& listBox, const DRAWITEMSTRUCT& item, int column, int leftInset, int rightInset)
{
    if (!item.hDC)
        return;
    TDC& dc = *item.hDC;
    const TRect& r = item.rcItem;
    int reserve = GetSystemMetrics(SM_CYHSCROLL);
    dc.SetBkColor(TColor(GetSysColor(COLOR_MENU)));
    if (showText_ == 1) {
        const std::string text = listBox.GetString(static_cast<int>(item.itemID));
        reserve += dc.GetTextExtent(text.c_str(), static_cast<int>(text.size())).cy;
        dc.TextOut(r.left, r.bottom - reserve, text.c_str(), static_cast<int>(text.size()));
    }
    if (!bitmap_ || columns_ <= 0)
        return;
    const int width = std::abs(r.left - r.right) / columns_;
    const TRect dest(r.left + leftInset + width * column + 1, r.top + 1, r.left + width * (column + 1) - rightInset - 1,
                     r.bottom - reserve - 1);
    if (dest.Width() <= 0 || dest.Height() <= 0)
        return;
    dc.StretchDIBits(dest, TRect(0, 0, bitmap_->Width(), bitmap_->Height()), *bitmap_);
}

void lbDraw::SetDib(const TDib& bitmap)
{
    bitmap_ = std::make_unique<TDib>(bitmap);
}

int lbDraw::GetText(char* buffer) const
{
    const std::size_t length = std::strlen(name_);
    std::memcpy(buffer, name_, length + 1);
    return static_cast<int>(length);
}

void lbDraw::SetText(const char* text)
{
    std::memset(name_, 0, sizeof name_);
    if (text)
        std::strncpy(name_, text, kMaxName);
}

bool lbDraw::GetBitmapName(char* buffer) const
{
    if (!path_)
        return false;
    std::memcpy(buffer, path_->c_str(), path_->size() + 1);
    return true;
}
