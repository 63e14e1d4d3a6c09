#include "plintvlr/shell/text_page_printout.h"

#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/main_frame.h"
#include "plintvlr/shell/printing_string_ids.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/print_dc.h"

#include <cstdio>

namespace {

constexpr double kHundredthsPerMillimetre = 3.937007874;

}  // namespace

std::string FormatPrintDate(const std::tm& time)
{
    // Not strftime: its names follow the locale the program runs in.
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const int day = time.tm_wday >= 0 && time.tm_wday < 7 ? time.tm_wday : 0;
    const int month = time.tm_mon >= 0 && time.tm_mon < 12 ? time.tm_mon : 0;
    char text[64];
    std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %d", kDays[day], kMonths[month], time.tm_mday,
                  time.tm_hour, time.tm_min, time.tm_sec, time.tm_year + 1900);
    return text;
}

TextPagePrintout::TextPagePrintout(const char* title, int pageNumber)
    : TPrintout(title),
      pageNumber_(pageNumber),
      headerFont_("Times New Roman", 16, 0, 0, 0, FW_BOLD)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    dateText_ = FormatPrintDate(local);

    const MDIFrame* frame = MDIFrame::GetMainFrame();
    const TPrinter* printer = frame ? frame->GetPrinter() : nullptr;
    if (printer) {
        const TIC info(printer->GetQPrinter());
        paperWidth_ = static_cast<int>(info.GetDeviceCaps(HORZSIZE) * kHundredthsPerMillimetre);
        paperHeight_ = static_cast<int>(info.GetDeviceCaps(VERTSIZE) * kHundredthsPerMillimetre);
    }
    failed_ = paperWidth_ <= 0 || paperHeight_ <= 0;
}

bool TextPagePrintout::BeginPage(TDC& dc)
{
    currentY_ = 0;
    const TSize page = GetPageSize();
    if (failed_ || page.cx <= 0 || page.cy <= 0 || dc.GetDeviceCaps(LOGPIXELSX) <= 0 ||
        dc.GetDeviceCaps(LOGPIXELSY) <= 0) {
        failed_ = true;
        return false;
    }
    dc.SetMapMode(MM_LOENGLISH);
    dc.SetMapMode(MM_ANISOTROPIC);
    const TSize viewport = dc.GetViewportExt();
    dc.SetViewportExt(TSize(viewport.cx, -viewport.cy));
    // A line wider than the paper ends at the printable area's edge.
    dc.IntersectClipRect(TRect(0, 0, paperWidth_, paperHeight_));
    return true;
}

void TextPagePrintout::PrintHeader(TDC& dc, int page)
{
    dc.SelectObject(headerFont_);
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(metrics);
    char titleLine[512];
    std::snprintf(titleLine, sizeof titleLine, Str(kStrPrintTitleLine), GetTitle().c_str(), pageNumber_);
    dc.TextOut(0, 0, titleLine);
    TSize extent = dc.GetTextExtent(dateText_.c_str());
    dc.TextOut((paperWidth_ - extent.cx) / 2, currentY_, dateText_.c_str());
    char pageText[64];
    std::snprintf(pageText, sizeof pageText, Str(kStrPrintPageNumber), page);
    extent = dc.GetTextExtent(pageText);
    dc.TextOut(paperWidth_ - extent.cx, currentY_, pageText);
    dc.RestoreFont();
    currentY_ += 2 * (metrics.tmHeight + metrics.tmExternalLeading);
}
