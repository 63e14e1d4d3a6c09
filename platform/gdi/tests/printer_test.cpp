// Printing: printouts drawn page by page on a printer context, always
// possible to a PDF file; the printer context's answers; the print dialogs
// answered through the hook.

#define PLV_GDI_TEST_WIDGETS
#include "platform/gdi/printer.h"
#include "platform/gdi/print_dc.h"
#include "platform/gdi/tests/gdi_test_util.h"
#include "platform/tests/scoped_env.h"

#include <QAbstractPrintDialog>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>

#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

// --- Reading the text back out of a PDF -------------------------------------------

std::string Inflate(const std::string& data)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return std::string();
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    std::string out;
    char buffer[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
    }
    inflateEnd(&z);
    return rc == Z_STREAM_END ? out : std::string();
}

// The streams of a PDF file, inflated where they are compressed.
std::vector<std::string> Streams(const std::string& pdf)
{
    std::vector<std::string> out;
    std::size_t at = 0;
    while ((at = pdf.find("stream", at)) != std::string::npos) {
        std::size_t begin = at + 6;
        if (pdf.compare(begin, 2, "\r\n") == 0)
            begin += 2;
        else if (pdf[begin] == '\n')
            begin += 1;
        else {
            at = begin;
            continue;
        }
        const std::size_t end = pdf.find("endstream", begin);
        if (end == std::string::npos)
            break;
        const std::string raw = pdf.substr(begin, end - begin);
        const std::string inflated = Inflate(raw);
        out.push_back(inflated.empty() ? raw : inflated);
        at = end + 9;
    }
    return out;
}

int Hex(const std::string& s)
{
    return static_cast<int>(std::stoul(s, nullptr, 16));
}

// The text shown by the page contents, in drawing order: glyph codes of the
// text operators mapped to characters through the fonts' ToUnicode maps.
std::string PdfText(const std::string& fileName)
{
    QFile f(QString::fromStdString(fileName));
    if (!f.open(QIODevice::ReadOnly))
        return std::string();
    const QByteArray bytes = f.readAll();
    const std::vector<std::string> streams = Streams(std::string(bytes.constData(), bytes.size()));
    std::map<int, char> unicode;
    const std::regex range(R"(<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>\s*(\[[^\]]*\]|<[0-9A-Fa-f]+>))");
    const std::regex hex(R"(<([0-9A-Fa-f]+)>)");
    for (const std::string& s : streams) {
        if (s.find("beginbfrange") == std::string::npos && s.find("beginbfchar") == std::string::npos)
            continue;
        for (auto it = std::sregex_iterator(s.begin(), s.end(), range); it != std::sregex_iterator(); ++it) {
            const int lo = Hex((*it)[1]);
            const std::string target = (*it)[3];
            if (target[0] == '[') {
                int code = lo;
                for (auto h = std::sregex_iterator(target.begin(), target.end(), hex); h != std::sregex_iterator(); ++h)
                    unicode[code++] = static_cast<char>(Hex((*h)[1]));
            } else {
                const int hi = Hex((*it)[2]);
                const int first = Hex(target.substr(1, target.size() - 2));
                for (int code = lo; code <= hi; ++code)
                    unicode[code] = static_cast<char>(first + code - lo);
            }
        }
    }
    std::string text;
    const std::regex shown(R"(<([0-9A-Fa-f]{4})>\s*Tj)");
    for (const std::string& s : streams) {
        if (s.find("Tj") == std::string::npos)
            continue;
        for (auto it = std::sregex_iterator(s.begin(), s.end(), shown); it != std::sregex_iterator(); ++it) {
            const char c = unicode.count(Hex((*it)[1])) ? unicode[Hex((*it)[1])] : '?';
            text += c == '\t' ? ' ' : c;
        }
        text += '\n';
    }
    return text;
}

int PdfPages(const std::string& fileName)
{
    QFile f(QString::fromStdString(fileName));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const std::string pdf = f.readAll().toStdString();
    int pages = 0;
    for (std::size_t at = 0; (at = pdf.find("/Type /Page", at)) != std::string::npos; at += 11)
        if (pdf.compare(at + 11, 1, "s") != 0)
            ++pages;
    return pages;
}

// --- A printout with a header line per page -------------------------------------

class HeaderPrintout : public TPrintout {
public:
    HeaderPrintout(const char* title, int pages) : TPrintout(title), pages_(pages) {}

    bool HasPage(int page) override { return page <= pages_; }
    void PrintPage(int page, TRect& band, unsigned) override
    {
        TPrintDC& dc = *GetPrintDC();
        printed.push_back(page);
        bands.push_back(band);
        printer = dc.IsPrinter() && dc.GetDeviceCaps(TECHNOLOGY) == DT_RASPRINTER;
        dpi = dc.GetDeviceCaps(LOGPIXELSX);
        stretch = (dc.GetDeviceCaps(RASTERCAPS) & RC_STRETCHBLT) != 0;
        // Hundredths of an inch with y growing downwards, as page headers use.
        dc.SetMapMode(MM_LOENGLISH);
        dc.SetMapMode(MM_ANISOTROPIC);
        TSize viewport = dc.GetViewportExt();
        dc.SetViewportExt(TSize(viewport.cx, -viewport.cy));
        dc.SelectObject(TFont("Times New Roman", 16, 0, 0, 0, FW_BOLD));
        char line[64];
        std::snprintf(line, sizeof line, "%s-Graphic Page %d", GetTitle().c_str(), 7);
        dc.TextOut(0, 0, line);
        std::snprintf(line, sizeof line, "Page %d", page);
        const TSize extent = dc.GetTextExtent(line);
        dc.TextOut(600 - extent.cx, 0, line);
        dc.SelectObject(TPen(TColor::Black, 12));
        dc.SelectObject(TBrush::Hollow());
        dc.Rectangle(0, 40, 600, 400);
    }

    std::vector<int> printed;
    std::vector<TRect> bands;
    bool printer = false;
    int dpi = 0;
    bool stretch = false;

private:
    int pages_;
};

class Printing : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Each test its own folder: CTest runs them side by side.
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("plv_gdi_printer_" + std::string(info->name()) + "_" + std::to_string(getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override
    {
        TPrinter::SetDialogHook(nullptr);
        std::filesystem::remove_all(dir_);
    }
    std::string File(const char* name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

TEST_F(Printing, APageToPdfContainsItsText)
{
    TPrinter printer;
    const std::string pdf = File("pages.pdf");
    printer.SetOutputFileName(pdf);
    EXPECT_EQ(printer.GetOutputFileName(), pdf);
    EXPECT_EQ(printer.GetDeviceName(), "");
    HeaderPrintout printout("LINE1(V5.20)", 2);
    ASSERT_TRUE(printer.Print(nullptr, printout, false));
    EXPECT_EQ(printer.GetError(), 0);
    EXPECT_EQ(printout.printed, (std::vector<int>{1, 2}));
    EXPECT_EQ(PdfPages(pdf), 2);
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("LINE1(V5.20)-Graphic Page 7"), std::string::npos) << text;
    EXPECT_NE(text.find("Page 1"), std::string::npos) << text;
    EXPECT_NE(text.find("Page 2"), std::string::npos) << text;
    EXPECT_EQ(printout.GetPrintDC(), nullptr) << "the context is gone after printing";

    // The printer context: a printer at the printer's resolution, whole pages
    // as bands, bitmaps stretchable.
    EXPECT_TRUE(printout.printer);
    EXPECT_EQ(printout.dpi, printer.GetQPrinter().resolution());
    EXPECT_TRUE(printout.stretch);
    const TIC info(printer.GetQPrinter());
    EXPECT_EQ(printout.bands[0], TRect(0, 0, info.GetDeviceCaps(HORZRES), info.GetDeviceCaps(VERTRES)));
    EXPECT_TRUE(info.IsPrinter());
    EXPECT_GE(info.GetDeviceCaps(PHYSICALWIDTH), info.GetDeviceCaps(HORZRES));
    EXPECT_GT(info.GetDeviceCaps(HORZSIZE), 150) << "a page of paper, in millimetres";
}

TEST_F(Printing, ThePrintDialogChoosesPagesOrCancels)
{
    TPrinter printer;
    const std::string pdf = File("dialog.pdf");
    printer.SetOutputFileName(pdf);
    HeaderPrintout cancelled("X", 3);
    TPrinter::SetDialogHook([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
    EXPECT_FALSE(printer.Print(nullptr, cancelled, true));
    EXPECT_EQ(printer.GetError(), 0) << "cancelling is no error";
    EXPECT_TRUE(cancelled.printed.empty());
    EXPECT_FALSE(std::filesystem::exists(pdf));

    HeaderPrintout some("X", 3);
    TPrinter::SetDialogHook([](QDialog& dialog) {
        auto& print = static_cast<QPrintDialog&>(dialog);
        print.setPrintRange(QAbstractPrintDialog::PageRange);
        print.setFromTo(2, 3);
        return static_cast<int>(QDialog::Accepted);
    });
    EXPECT_TRUE(printer.Print(nullptr, some, true));
    EXPECT_EQ(some.printed, (std::vector<int>{2, 3}));
    EXPECT_EQ(PdfPages(pdf), 2);

    // Cancelling the set-up goes back to the default printer (here: a PDF
    // file not yet named, when the desktop has no printer).
    TPrinter::SetDialogHook([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
    EXPECT_FALSE(printer.Setup(nullptr));
    EXPECT_NE(printer.GetOutputFileName(), pdf);
    TPrinter::SetDialogHook([](QDialog&) { return static_cast<int>(QDialog::Accepted); });
    printer.SetOutputFileName(pdf);
    EXPECT_TRUE(printer.Setup(nullptr));
    EXPECT_EQ(printer.GetOutputFileName(), pdf);
}

TEST_F(Printing, WithoutPrinterOrFileEachPrintoutGetsAPdfNamedAfterIt)
{
    if (!TPrinter::PrinterNames().empty())
        GTEST_SKIP() << "the desktop has a printer";
    const ScopedEnv home("HOME", dir_.c_str());
    const ScopedEnv config("XDG_CONFIG_HOME", (dir_ / "config").c_str());
    TPrinter printer;
    HeaderPrintout first("LINE1(V5.20)", 1);
    ASSERT_TRUE(printer.Print(nullptr, first, false));
    const std::filesystem::path firstFile = printer.GetOutputFileName();
    EXPECT_EQ(firstFile.filename(), "LINE1(V5.20).pdf");
    EXPECT_EQ(firstFile.parent_path().parent_path(), dir_) << "in the documents folder";
    // A printout with another title does not overwrite the first one's file.
    HeaderPrintout second("PUMPS(V1.00)", 1);
    ASSERT_TRUE(printer.Print(nullptr, second, false));
    EXPECT_EQ(std::filesystem::path(printer.GetOutputFileName()).filename(), "PUMPS(V1.00).pdf");
    EXPECT_EQ(PdfPages(firstFile.string()), 1);
    EXPECT_EQ(PdfPages(printer.GetOutputFileName()), 1);
    // A file chosen stays chosen.
    printer.SetOutputFileName(File("chosen.pdf"));
    HeaderPrintout third("OTHER", 1);
    ASSERT_TRUE(printer.Print(nullptr, third, false));
    EXPECT_EQ(printer.GetOutputFileName(), File("chosen.pdf"));
}

TEST_F(Printing, SetupWithoutAChosenFileIsAcceptedAndKeepsNamingPrintouts)
{
    if (!TPrinter::PrinterNames().empty())
        GTEST_SKIP() << "the desktop has a printer";
    const ScopedEnv home("HOME", dir_.c_str());
    const ScopedEnv config("XDG_CONFIG_HOME", (dir_ / "config").c_str());
    TPrinter printer;
    // OK pressed on the dialog as it opens: it must not refuse the file it offers.
    std::string offered;
    TPrinter::SetDialogHook([&](QDialog& dialog) {
        if (auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("filename")))
            offered = edit->text().toStdString();
        dialog.show();
        QTimer::singleShot(0, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    ADD_FAILURE() << box->text().toStdString();
                    box->reject();
                }
        });
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        const int result = dialog.result();
        dialog.hide();
        return result;
    });
    EXPECT_TRUE(printer.Setup(nullptr));
    EXPECT_EQ(std::filesystem::path(offered).filename(), "printout.pdf");
    HeaderPrintout printout("LINE1(V5.20)", 1);
    ASSERT_TRUE(printer.Print(nullptr, printout, false));
    EXPECT_EQ(std::filesystem::path(printer.GetOutputFileName()).filename(), "LINE1(V5.20).pdf");
}

TEST_F(Printing, AFileThatCannotBeWrittenIsAnError)
{
    TPrinter printer;
    printer.SetOutputFileName(File("no/such/folder/out.pdf"));
    HeaderPrintout printout("X", 1);
    EXPECT_FALSE(printer.Print(nullptr, printout, false));
    EXPECT_EQ(printer.GetError(), SP_ERROR);
    EXPECT_TRUE(printout.printed.empty());
}

}  // namespace
