#pragma once
// Printing: a printout draws its pages on a printer context; the printer
// holds the chosen printer and paper, runs the print dialogs and drives the
// printout page by page. Any printer the desktop knows can be chosen, and a
// PDF file always can: with no printer installed, printing writes a PDF file.

#include "platform/gdi/gdi_types.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QDialog;
class QPrinter;
class QWidget;
class TPrintDC;

// Printer errors (TPrinter::GetError).
constexpr int SP_ERROR = -1;
constexpr int SP_USERABORT = -3;

class TPrintout {
public:
    explicit TPrintout(const char* title);
    virtual ~TPrintout();

    // The context and the printable page size in its device units, before the
    // pages; null and (0, 0) after them.
    virtual void SetPrintParams(TPrintDC* dc, TSize pageSize);
    // The pages the print dialog offers (default 1 .. unlimited) and the ones
    // preselected (0: all).
    virtual void GetDialogInfo(int& minPage, int& maxPage, int& selFromPage, int& selToPage);
    virtual void BeginPrinting();
    virtual void BeginDocument(int startPage, int endPage, unsigned flags);
    // Whether there is a page of this number (default: page 1 only).
    virtual bool HasPage(int page);
    // Draws one page, or of it the band `rect` (device units).
    virtual void PrintPage(int page, TRect& rect, unsigned flags) = 0;
    virtual void EndDocument();
    virtual void EndPrinting();

    const std::string& GetTitle() const { return title_; }
    TPrintDC* GetPrintDC() const { return dc_; }
    TSize GetPageSize() const { return pageSize_; }
    // Banding: the page is printed in bands; each band is one PrintPage call.
    // Printers here take the whole page at once, so a page is one band.
    bool WantBanding() const { return banding_; }
    void SetBanding(bool banding) { banding_ = banding; }

private:
    std::string title_;
    TPrintDC* dc_ = nullptr;
    TSize pageSize_;
    bool banding_ = false;
};

class TPrinter {
public:
    // The desktop's default printer, or a PDF file when there is none.
    TPrinter();
    virtual ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // The print set-up dialog (printer and paper) over a parent window. OK
    // keeps the choice and answers true; Cancel puts the default printer back.
    bool Setup(QWidget* parent);
    // Prints a printout, with the print dialog first when `prompt` (its
    // Cancel prints nothing and answers false with no error). False with
    // GetError() SP_ERROR when the printer or file cannot be opened.
    bool Print(QWidget* parent, TPrintout& printout, bool prompt);
    int GetError() const { return error_; }

    // Output to a PDF file instead of the printer (empty: the printer). With
    // no printer and no file chosen, Print writes each printout to a PDF named
    // after its title in the documents folder; GetOutputFileName then tells it.
    void SetOutputFileName(const std::string& fileName);
    std::string GetOutputFileName() const;
    // The printer chosen; empty when the output is a PDF file.
    std::string GetDeviceName() const;
    QPrinter& GetQPrinter() { return *printer_; }
    const QPrinter& GetQPrinter() const { return *printer_; }

    // The printers the desktop knows.
    static std::vector<std::string> PrinterNames();
    // Tests answer the print dialogs through this: called with the dialog
    // instead of running it, its answer taken as the dialog's (QDialog::Accepted
    // or Rejected). Null: the dialogs run.
    static void SetDialogHook(std::function<int(QDialog&)> hook);

private:
    void ResetToDefault();

    std::unique_ptr<QPrinter> printer_;
    // The PDF file Print named after the last printout when none was chosen:
    // the next printout gets a name of its own, not that one.
    std::string namedForPrintout_;
    int error_ = 0;
};
