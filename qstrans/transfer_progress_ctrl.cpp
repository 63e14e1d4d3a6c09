#include "qstrans/transfer_progress_ctrl.h"

#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/font.h"
#include "qstrans/qstrans_strings.h"

#include <algorithm>
#include <string>

namespace {

const TColor kSilver(0xC0, 0xC0, 0xC0);
const TColor kRed(0xFF, 0, 0);
const TColor kGreen(0, 0xFF, 0);
const TColor kBlue(0, 0, 0xFF);
const TColor kBlack(0, 0, 0);
const TColor kWhite(0xFF, 0xFF, 0xFF);

}  // namespace

CTransferProgressCtrl::CTransferProgressCtrl(TWindow* parent, int resourceId) : TProgressBar(parent, resourceId) {}

void CTransferProgressCtrl::SetPos(int percent)
{
    TProgressBar::SetPos(std::clamp(percent, 0, 100));
}

void CTransferProgressCtrl::SetActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    Invalidate();
}

void CTransferProgressCtrl::SetFailed(bool failed)
{
    if (failed == failed_)
        return;
    failed_ = failed;
    Invalidate();
}

void CTransferProgressCtrl::Paint(TDC& dc, bool /*erase*/, TRect& /*rect*/)
{
    const TRect client = GetClientRect();
    if (!active_) {
        dc.FillRect(client, TBrush(kSilver));
        return;
    }
    const int percent = GetPos();
    TRect filled = client;
    filled.right = client.left + client.Width() * percent / 100;
    TRect rest = client;
    rest.left = filled.right;
    const bool complete = percent == 100;
    dc.FillRect(filled, TBrush(failed_ ? kRed : complete ? kGreen : kBlue));
    dc.FillRect(rest, TBrush(kSilver));

    const std::string text = failed_    ? QsString(kStrTransferFailed)
                             : complete ? QsString(kStrComplete)
                                        : std::to_string(percent) + "%";
    dc.SetBkMode(TRANSPARENT);
    // Bold and as tall as the bar allows, so the text reads across both parts.
    dc.SelectObject(TFont("MS Sans Serif", -(client.Height() * 3 / 5), 0, 0, 0, FW_BOLD));
    // The text twice, each clipped to one part, so it reads on both colours.
    const struct {
        TRect part;
        TColor color;
    } parts[] = {{filled, complete ? kBlack : kWhite}, {rest, failed_ ? kBlack : kBlue}};
    for (const auto& p : parts) {
        if (p.part.Width() <= 0)
            continue;
        dc.SaveDC();
        dc.IntersectClipRect(p.part);
        dc.SetTextColor(p.color);
        TRect area = client;
        dc.DrawText(text.c_str(), -1, area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        dc.RestoreDC();
    }
    dc.RestoreFont();
}
