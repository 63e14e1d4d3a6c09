#pragma once
// The picture of a graphic page: the page's canvas paints itself into the
// printer's context below the header, at the open project's panel print
// scale, framed by a thick black rectangle.

#include "plintvlr/shell/text_page_printout.h"

class TWindow;

// What the picture printout needs of a page canvas: its window, which paints
// the page into any context it is given (TWindow::Paint), and the conversion
// of a rectangle of window pixels to page coordinates (both corners).
class TPrintCanvas {
public:
    virtual TWindow& GetCanvasWindow() = 0;
    virtual TRect DeviceToLogicalRect(const TRect& rect) = 0;

protected:
    ~TPrintCanvas() = default;
};

// The factor a panel print scale gives: 0.01 x the scale, at most 8.0.
double PrintScaleFactor(int printScale);

class GraphPrintout : public TextPagePrintout {
public:
    // The canvas is not owned; it keeps its size and redrawing afterwards.
    GraphPrintout(const char* title, int pageNumber, TPrintCanvas& canvas);

    bool HasPage(int page) override;
    void PrintPage(int page, TRect& band, unsigned flags) override;

private:
    TPrintCanvas& canvas_;
};
