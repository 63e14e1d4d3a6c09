#pragma once
// The common base of the graphic page printouts: the paper size of the main
// frame's printer, the date the printout was made, and the header every
// printed page carries (title line, date, page number). Pages are drawn in
// hundredths of an inch, y growing downward from the top of the printable
// area.

#include "platform/gdi/font.h"
#include "platform/gdi/printer.h"

#include <ctime>
#include <string>

class TDC;

// "Sat Dec 19 09:36:14 2026": weekday, month, day padded with a space to
// two characters, time and year; English names whatever the user's locale.
std::string FormatPrintDate(const std::tm& time);

class TextPagePrintout : public TPrintout {
public:
    TextPagePrintout(const char* title, int pageNumber);

    int GetPageNumber() const { return pageNumber_; }
    const std::string& GetDateText() const { return dateText_; }
    // Hundredths of an inch; 0 when the printer gave no size.
    int GetPaperWidth() const { return paperWidth_; }
    int GetPaperHeight() const { return paperHeight_; }
    // True once the printer has reported a paper size or resolution of 0 (or
    // there was no printer to ask): nothing is printed from then on.
    bool HasFailed() const { return failed_; }

protected:
    // Sets the mapping every page starts with and puts the current line at
    // the top; false, with the printout failed, when the printer's answers
    // leave nothing to print on.
    bool BeginPage(TDC& dc);
    // Prints the header of printed page `page` and moves the current line
    // below it.
    void PrintHeader(TDC& dc, int page);

    int currentY_ = 0;  // hundredths of an inch below the printable area's top

private:
    int pageNumber_;
    std::string dateText_;
    TFont headerFont_;
    int paperHeight_ = 0;
    int paperWidth_ = 0;
    bool failed_ = false;
};
