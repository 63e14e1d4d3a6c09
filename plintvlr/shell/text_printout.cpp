#include "plintvlr/shell/text_printout.h"

#include "plintvlr/elements/size_rect_array.h"
#include "platform/gdi/print_dc.h"

#include <algorithm>

TextPrintout::TextPrintout(const char* title, int pageNumber, const SizeRectArray& elements)
    : TextPagePrintout(title, pageNumber),
      bodyFont_("Times New Roman", 13, 0, 0, 0, FW_NORMAL)
{
    lines_.reserve(101);
    for (int i = 0; i < elements.Count(); ++i)
        elements[i]->Describe(i + 1, lines_, 0);
}

bool TextPrintout::HasPage(int page)
{
    return !HasFailed() && (page == 1 || nextLine_ < lines_.size());
}

void TextPrintout::BeginDocument(int, int, unsigned)
{
    nextLine_ = 0;
}

void TextPrintout::PrintPage(int page, TRect&, unsigned)
{
    TPrintDC& dc = *GetPrintDC();
    if (!BeginPage(dc))
        return;
    PrintHeader(dc, page);
    dc.SelectObject(bodyFont_);
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(metrics);
    const int lineHeight = std::max(1, metrics.tmHeight + metrics.tmExternalLeading);
    // At least one line goes on every page: a page too short for even one
    // line below its header would otherwise never end the printout.
    bool first = true;
    while (nextLine_ < lines_.size() && (first || currentY_ <= GetPaperHeight() - lineHeight)) {
        const std::string& line = lines_[nextLine_];
        dc.TextOut(0, currentY_, line.c_str(), static_cast<int>(line.size()));
        currentY_ += lineHeight;
        ++nextLine_;
        first = false;
    }
    dc.RestoreFont();
    currentY_ = 0;
}
