#include "platform/gdi/printer.h"

#include "platform/gdi/print_dc.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>

#include <climits>

namespace {

std::function<int(QDialog&)>& DialogHook()
{
    static std::function<int(QDialog&)> hook;
    return hook;
}

int RunDialog(QDialog& dialog)
{
    if (DialogHook())
        return DialogHook()(dialog);
    return dialog.exec();
}

// Where a printout goes when there is no printer and no file was chosen: a
// PDF named after it in the user's documents folder.
QString DefaultPdfPath(const std::string& title)
{
    QString name = QString::fromLatin1(title.c_str()).trimmed();
    for (QChar& c : name)
        if (c == '/' || c == '\\' || c == ':' || c.unicode() < 0x20)
            c = '_';
    if (name.isEmpty())
        name = QStringLiteral("printout");
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    QDir().mkpath(folder);
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

}  // namespace

// --- TPrintout -------------------------------------------------------------------

TPrintout::TPrintout(const char* title) : title_(title ? title : "")
{
}

TPrintout::~TPrintout() = default;

void TPrintout::SetPrintParams(TPrintDC* dc, TSize pageSize)
{
    dc_ = dc;
    pageSize_ = pageSize;
}

void TPrintout::GetDialogInfo(int& minPage, int& maxPage, int& selFromPage, int& selToPage)
{
    minPage = 1;
    maxPage = INT_MAX;
    selFromPage = 0;
    selToPage = 0;
}

void TPrintout::BeginPrinting()
{
}

void TPrintout::BeginDocument(int, int, unsigned)
{
}

bool TPrintout::HasPage(int page)
{
    return page == 1;
}

void TPrintout::EndDocument()
{
}

void TPrintout::EndPrinting()
{
}

// --- TPrinter --------------------------------------------------------------------

TPrinter::TPrinter()
{
    ResetToDefault();
}

TPrinter::~TPrinter() = default;

void TPrinter::ResetToDefault()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    printer_ = info.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                             : std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (info.isNull())
        printer_->setOutputFormat(QPrinter::PdfFormat);
    namedForPrintout_.clear();
}

void TPrinter::SetDialogHook(std::function<int(QDialog&)> hook)
{
    DialogHook() = std::move(hook);
}

std::vector<std::string> TPrinter::PrinterNames()
{
    std::vector<std::string> names;
    for (const QString& n : QPrinterInfo::availablePrinterNames())
        names.push_back(n.toStdString());
    return names;
}

void TPrinter::SetOutputFileName(const std::string& fileName)
{
    namedForPrintout_.clear();
    if (fileName.empty()) {
        printer_->setOutputFileName(QString());
        if (QPrinterInfo::defaultPrinter().isNull())
            printer_->setOutputFormat(QPrinter::PdfFormat);
        return;
    }
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(QString::fromStdString(fileName));
}

std::string TPrinter::GetOutputFileName() const
{
    return printer_->outputFileName().toStdString();
}

std::string TPrinter::GetDeviceName() const
{
    if (printer_->outputFormat() == QPrinter::PdfFormat)
        return std::string();
    return printer_->printerName().toStdString();
}

bool TPrinter::Setup(QWidget* parent)
{
    // With no file chosen the dialog would offer a folder, which its OK
    // refuses. It offers the name a printout without a title gets instead;
    // left as it is, each printout still gets a file named after itself.
    QString offered;
    if (printer_->outputFormat() == QPrinter::PdfFormat &&
        (printer_->outputFileName().isEmpty() || printer_->outputFileName().toStdString() == namedForPrintout_)) {
        offered = DefaultPdfPath(std::string());
        printer_->setOutputFileName(offered);
    }
    QPrintDialog dialog(printer_.get(), parent);
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    // Setting up prints nothing: its button says OK, not Print.
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    if (RunDialog(dialog) == QDialog::Accepted) {
        if (!offered.isEmpty() && printer_->outputFormat() == QPrinter::PdfFormat &&
            printer_->outputFileName() == offered) {
            printer_->setOutputFileName(QString());
            namedForPrintout_.clear();
        }
        return true;
    }
    ResetToDefault();
    return false;
}

bool TPrinter::Print(QWidget* parent, TPrintout& printout, bool prompt)
{
    error_ = 0;
    int minPage = 1;
    int maxPage = INT_MAX;
    int fromPage = 0;
    int toPage = 0;
    printout.GetDialogInfo(minPage, maxPage, fromPage, toPage);
    if (prompt) {
        QPrintDialog dialog(printer_.get(), parent);
        dialog.setMinMax(minPage, maxPage);
        if (fromPage > 0) {
            dialog.setFromTo(fromPage, toPage);
            dialog.setPrintRange(QAbstractPrintDialog::PageRange);
        }
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        if (RunDialog(dialog) != QDialog::Accepted)
            return false;
        if (dialog.printRange() == QAbstractPrintDialog::PageRange) {
            fromPage = dialog.fromPage();
            toPage = dialog.toPage();
        } else {
            fromPage = 0;
        }
    }
    if (fromPage <= 0) {
        fromPage = minPage;
        toPage = maxPage;
    }
    if (printer_->outputFormat() == QPrinter::PdfFormat &&
        (printer_->outputFileName().isEmpty() || printer_->outputFileName().toStdString() == namedForPrintout_)) {
        printer_->setOutputFileName(DefaultPdfPath(printout.GetTitle()));
        namedForPrintout_ = printer_->outputFileName().toStdString();
    }
    printer_->setDocName(QString::fromLatin1(printout.GetTitle().c_str()));

    TPrintDC dc(*printer_);
    if (!dc.IsOK()) {
        error_ = SP_ERROR;
        return false;
    }
    const TSize pageSize(dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
    printout.SetPrintParams(&dc, pageSize);
    printout.BeginPrinting();
    printout.BeginDocument(fromPage, toPage, 0);
    for (int page = fromPage; page <= toPage && printout.HasPage(page); ++page) {
        if (page > fromPage && !dc.NewPage()) {
            error_ = SP_ERROR;
            break;
        }
        // Each page starts from a fresh context state, whatever the last left.
        const int level = dc.SaveDC();
        TRect band(0, 0, pageSize.cx, pageSize.cy);
        printout.PrintPage(page, band, 0);
        dc.RestoreDC(level);
        if (page == INT_MAX)
            break;
    }
    printout.EndDocument();
    printout.SetPrintParams(nullptr, TSize());
    printout.EndPrinting();
    if (!dc.EndDoc() && error_ == 0)
        error_ = SP_ERROR;
    return error_ == 0;
}
