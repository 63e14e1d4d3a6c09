#pragma once
// Printer contexts. TPrintDC draws on a printer or a PDF file while a
// document is printed: device units are the printer's pixels, (0, 0) is the
// top-left corner of the printable area, and GetDeviceCaps answers the
// printer's resolution, printable size and paper. TIC answers the same
// questions for a printer without printing anything.

#include "platform/gdi/dc.h"

#include <memory>

class QPainter;
class QPrinter;

class TPrintDC : public TDC {
public:
    // Starts the document (the first page is open); IsOK() is false when the
    // printer or the file cannot be opened.
    explicit TPrintDC(QPrinter& printer);
    ~TPrintDC() override;

    // Closes the current page and opens the next one.
    bool NewPage();
    // Ends the document; the destructor does it too.
    bool EndDoc();
    QPrinter& GetPrinter() { return printer_; }

private:
    QPrinter& printer_;
    std::unique_ptr<QPainter> painter_;
};

class TIC : public TDC {
public:
    explicit TIC(const QPrinter& printer);
};
