#include "plintvlr/shell/dec_tool_bar.h"

#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/toolbar_string_ids.h"
#include "platform/base/profile.h"
#include "platform/gdi/dc.h"

#include <string>

namespace {

// The bar's own margins besides the grip's.
constexpr int kSideMargin = 5;
constexpr int kEndMargin = 2;
constexpr int kGadgetPointSize = 10;

TProfile BarProfile(int number)
{
    const std::string section = Str(kStrToolbarSection) + std::to_string(number);
    return TProfile(section.c_str(), Str(kStrProfileFileName));
}

}  // namespace

TDecToolBar::TDecToolBar(TWindow* harbor, int number, const char* caption)
    : TDockableControlBar(harbor, Horizontal), barNumber_(number)
{
    SetFont(nullptr, kGadgetPointSize);
    SetCaption(caption);
    SetMargins({kSideMargin + kGripSize, kSideMargin, kEndMargin, kEndMargin});
    ReadPlace();
}

TDecToolBar::~TDecToolBar()
{
    WritePlace();
}

void TDecToolBar::ReadPlace()
{
    const TProfile profile = BarProfile(barNumber_);
    // The section is text anyone can edit: a location that is none of the
    // five reads as the top, and a rectangle with no area as no place.
    const int location = profile.GetInt(Str(kStrToolbarKeyLoc), alTop);
    location_ = location >= alNone && location <= alRight ? static_cast<TAbsLocation>(location) : alTop;
    const TRect rect(profile.GetInt(Str(kStrToolbarKeyLeft), 0), profile.GetInt(Str(kStrToolbarKeyTop), 0),
                     profile.GetInt(Str(kStrToolbarKeyRight), 0), profile.GetInt(Str(kStrToolbarKeyBottom), 0));
    rect_ = rect.IsEmpty() ? TRect() : rect;
}

void TDecToolBar::WritePlace()
{
    // A failed write leaves the last run's place; nothing to tell.
    TProfile profile = BarProfile(barNumber_);
    profile.WriteInt(Str(kStrToolbarKeyLoc), location_);
    profile.WriteInt(Str(kStrToolbarKeyLeft), rect_.left);
    profile.WriteInt(Str(kStrToolbarKeyTop), rect_.top);
    profile.WriteInt(Str(kStrToolbarKeyRight), rect_.right);
    profile.WriteInt(Str(kStrToolbarKeyBottom), rect_.bottom);
}

void TDecToolBar::RecordPlace(TAbsLocation location, const TRect& rect)
{
    location_ = location;
    rect_ = rect.IsEmpty() ? TRect() : rect;
}

void TDecToolBar::LayoutSession()
{
    const int direction = GetDirection();
    if (direction != lastDirection_) {
        TMargins margins = GetMargins();
        if (lastDirection_ == Horizontal)
            margins.Left -= kGripSize;
        else if (lastDirection_ == Vertical)
            margins.Top -= kGripSize;
        if (direction == Horizontal)
            margins.Left += kGripSize;
        else if (direction == Vertical)
            margins.Top += kGripSize;
        lastDirection_ = direction;
        SetMargins(margins);
    }
    TDockableControlBar::LayoutSession();
}

void TDecToolBar::Paint(TDC& dc, bool erase, TRect& rect)
{
    TDockableControlBar::Paint(dc, erase, rect);
    const int direction = GetDirection();
    if (direction == Rectangular)
        return;
    const TRect client = GetClientRect();
    const int w = client.Width();
    const int h = client.Height();
    const TMargins& m = GetMargins();
    const int grip = (direction == Horizontal ? m.Left : m.Top) - kGripSize;
    // Each ridge is a white line with a black one after it.
    auto ridges = [&](int offset) {
        for (int at : {grip + offset, grip + 3 + offset}) {
            if (direction == Horizontal)
                dc.PatBlt(at, m.Top, 1, h - m.Top - m.Bottom);
            else
                dc.PatBlt(m.Left, at, w - m.Left - m.Right, 1);
        }
    };
    dc.SelectStockObject(WHITE_BRUSH);
    dc.PatBlt(0, 0, 1, h);
    dc.PatBlt(0, 0, w, 1);
    ridges(0);
    dc.SelectStockObject(BLACK_BRUSH);
    dc.PatBlt(w - 1, 0, 1, h);
    dc.PatBlt(0, h - 1, w, 1);
    ridges(1);
    dc.RestoreBrush();
}
