#pragma once
// The listing of a graphic page: every element of the page describes itself
// in lines, in the page's element order, and the lines are printed one
// under the other below each page's header, over as many pages as they need.

#include "plintvlr/elements/panel_queries.h"
#include "plintvlr/shell/text_page_printout.h"

#include <cstddef>

class SizeRectArray;

class TextPrintout : public TextPagePrintout {
public:
    TextPrintout(const char* title, int pageNumber, const SizeRectArray& elements);

    // The first page always (a page without elements prints its header),
    // then while lines remain.
    bool HasPage(int page) override;
    void BeginDocument(int startPage, int endPage, unsigned flags) override;
    void PrintPage(int page, TRect& rect, unsigned flags) override;

    const ReportLines& GetLines() const { return lines_; }

private:
    TFont bodyFont_;
    ReportLines lines_;
    std::size_t nextLine_ = 0;
};
