// Printing graphic pages with the frame's printer: the listing and the
// picture printouts written to PDF files under the build folder and read back
// as a reader shows them, and Printer Setup.

#include "plintvlr/db/quellstor.h"
#include "plintvlr/elements/size_rect_array.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/frame_printer.h"
#include "plintvlr/shell/graph_printout.h"
#include "plintvlr/shell/text_printout.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/printer.h"
#include "platform/ui/menu.h"
#include "platform/ui/window_api.h"
#include "platform/tests/scoped_env.h"
#include "pdf_pages.h"
#include "shell_fixture.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QWidget>

#include <algorithm>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace {

constexpr const char* kTitle = "PRINTS(V5.20)";
constexpr int kPageNumber = 7;

// An element that describes itself in a given number of lines.
class TDescribedElement : public SizeRect {
public:
    explicit TDescribedElement(int lineCount, std::string extra = {}) : lineCount_(lineCount), extra_(std::move(extra)) {}
    void Describe(int number, ReportLines& lines, int) const override
    {
        for (int i = 1; i <= lineCount_; ++i)
            lines.push_back(std::to_string(number) + ". Element line " + std::to_string(i) + extra_);
    }

private:
    int lineCount_;
    std::string extra_;
};

// The page canvas: maps the panel's screen (320 x 240 pixels, page units of
// 1/20 pixel) onto its client area, as the page editor's canvas does, and
// paints a red block inset by 40 pixels left and right and 20 top and bottom.
constexpr int kScreenW = 320;
constexpr int kScreenH = 240;

class TStandInCanvas : public TWindow, public TPrintCanvas {
public:
    TStandInCanvas(TWindow* parent, int width, int height) : TWindow(parent, "canvas")
    {
        Attr.Style = WS_CHILD | WS_VISIBLE;
        Attr.W = width;
        Attr.H = height;
    }
    TWindow& GetCanvasWindow() override { return *this; }
    TRect DeviceToLogicalRect(const TRect& rect) override
    {
        const TRect client = GetClientRect();
        return TRect(MulDiv(rect.left, kScreenW * 20, client.Width()), MulDiv(rect.top, kScreenH * 20, client.Height()),
                     MulDiv(rect.right, kScreenW * 20, client.Width()),
                     MulDiv(rect.bottom, kScreenH * 20, client.Height()));
    }
    void Paint(TDC& dc, bool erase, TRect&) override
    {
        paints.push_back({GetClientRect().Size(), erase, dc.IsPrinter()});
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(TSize(kScreenW * 20, kScreenH * 20));
        dc.SetViewportExt(GetClientRect().Size());
        dc.FillRect(TRect(40 * 20, 20 * 20, 280 * 20, 220 * 20), TBrush(TColor(255, 0, 0)));
    }

    struct PaintCall {
        TSize client;
        bool erase;
        bool printer;
    };
    std::vector<PaintCall> paints;
};

std::string Collapsed(const std::string& text)
{
    return std::regex_replace(text, std::regex(" +"), " ");
}

// The listing lines found on a page, in order.
std::vector<std::string> ListedLines(const std::string& pageText)
{
    std::vector<std::string> out;
    const std::regex line(R"(\d+\. Element line \d+)");
    for (auto it = std::sregex_iterator(pageText.begin(), pageText.end(), line); it != std::sregex_iterator(); ++it)
        out.push_back(it->str());
    return out;
}

bool IsDark(QRgb pixel)
{
    return qGray(pixel) < 128;
}
bool IsRed(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}

// Where a rasterised picture page has its frame and its red figure.
struct TPictureLayout {
    int headerBottom = -1;  // last row of the header's text
    QRect frame;            // the frame's outer edges
    QRect red;              // the red figure's bounds
};

TPictureLayout Layout(const QImage& page)
{
    TPictureLayout layout;
    // The frame's top and bottom edges: the rows with the longest dark runs.
    int longest = 0;
    std::vector<int> runs(page.height(), 0);
    for (int y = 0; y < page.height(); ++y) {
        int run = 0;
        for (int x = 0; x < page.width(); ++x) {
            run = IsDark(page.pixel(x, y)) ? run + 1 : 0;
            runs[y] = std::max(runs[y], run);
        }
        longest = std::max(longest, runs[y]);
    }
    if (longest < page.width() / 4)
        return layout;
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        if (runs[y] >= longest * 9 / 10) {
            if (top < 0)
                top = y;
            bottom = y;
        }
    }
    int left = page.width();
    int right = -1;
    for (int x = 0; x < page.width(); ++x) {
        if (IsDark(page.pixel(x, top))) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    layout.frame = QRect(QPoint(left, top), QPoint(right, bottom));
    for (int y = 0; y < top; ++y)
        for (int x = 0; x < page.width(); ++x)
            if (IsDark(page.pixel(x, y)))
                layout.headerBottom = y;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (IsRed(page.pixel(x, y)))
                layout.red |= QRect(x, y, 1, 1);
    return layout;
}

class PrintingTest : public ShellTest {
protected:
    void SetUp() override
    {
        // Before the fixture moves into the program folder: the build folder.
        shots_ = ScreenshotFolder();
        folder_ = shots_.parent_path() / "printouts";
        std::filesystem::create_directories(folder_);
        ShellTest::SetUp();
        // A PDF without a chosen file goes to the documents folder: the test's own.
        home_.emplace("HOME", program_.c_str());
        RegisterPrintingCommands();
        MakeLastProject("PRINTS", 14);
        Start();
        // The same paper whatever the machine's default: Letter, half-inch margins.
        QPrinter& printer = Frame().GetPrinter()->GetQPrinter();
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageMargins(QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
    }

    void Shot(const QImage& image, const std::string& name)
    {
        std::filesystem::create_directories(shots_);
        EXPECT_TRUE(image.save(QString::fromStdString((shots_ / (name + ".png")).string())));
    }

    // The canvas's paints into a printer's context.
    static int PrinterPaints(const TStandInCanvas& canvas)
    {
        return static_cast<int>(std::count_if(canvas.paints.begin(), canvas.paints.end(),
                                              [](const TStandInCanvas::PaintCall& c) { return c.printer; }));
    }

    std::string Pdf(const std::string& name) const { return (folder_ / (name + ".pdf")).string(); }

    // Prints with the frame's printer to that file; true when it printed and
    // said where the file went.
    bool PrintTo(const std::string& file, TextPagePrintout& printout)
    {
        std::filesystem::remove(file);
        Frame().GetPrinter()->SetOutputFileName(file);
        driver.AnswerMessageBox(IDOK);
        const std::size_t told = driver.MessageBoxes().size();
        const bool printed = Frame().Print(nullptr, printout);
        EXPECT_EQ(driver.MessageBoxes().size(), told + 1);
        if (driver.MessageBoxes().size() == told + 1) {
            EXPECT_EQ(driver.MessageBoxes().back().text, "The printout was written to the file " + file);
        }
        EXPECT_TRUE(pdf_pages::LooksComplete(file)) << file;
        return printed;
    }

    void TearDown() override
    {
        ShellTest::TearDown();
        home_.reset();
    }

    std::filesystem::path shots_;
    std::filesystem::path folder_;
    std::optional<ScopedEnv> home_;
};

TEST_F(PrintingTest, TheListingRunsOverAsManyPagesAsItsLinesNeed)
{
    struct Case {
        const char* name;
        int elements;
        int linesEach;
        int pages;
    };
    const Case cases[] = {
        {"listing_empty", 0, 0, 1},
        {"listing_short", 3, 2, 1},
        {"listing_long", 34, 5, 3},  // 170 lines: somewhat more than two pages
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SizeRectArray elements;
        std::vector<std::string> expected;
        for (int e = 1; e <= c.elements; ++e) {
            elements.Add(std::make_unique<TDescribedElement>(c.linesEach));
            for (int l = 1; l <= c.linesEach; ++l)
                expected.push_back(std::to_string(e) + ". Element line " + std::to_string(l));
        }
        TextPrintout printout(kTitle, kPageNumber, elements);
        const std::string file = Pdf(c.name);
        ASSERT_TRUE(PrintTo(file, printout));
        ASSERT_EQ(pdf_pages::PageCount(file), c.pages);

        std::vector<std::string> listed;
        for (int page = 1; page <= c.pages; ++page) {
            const std::string text = Collapsed(pdf_pages::PageText(file, page));
            EXPECT_NE(text.find("PRINTS(V5.20)-Graphic Page 7"), std::string::npos) << text;
            EXPECT_NE(text.find(Collapsed(printout.GetDateText())), std::string::npos) << text;
            EXPECT_NE(text.find("Page " + std::to_string(page)), std::string::npos) << text;
            const std::vector<std::string> lines = ListedLines(text);
            if (page < c.pages) {
                EXPECT_GT(lines.size(), 50u) << "a full page holds more than 50 lines";
            }
            listed.insert(listed.end(), lines.begin(), lines.end());
        }
        EXPECT_EQ(listed, expected) << "every line once, in element order";
        if (c.pages == 1 && c.elements == 3) {
            Shot(pdf_pages::PageImage(file, 1, 60), "printout_listing");
        }
    }
}

TEST_F(PrintingTest, APageTooShortForALineBelowTheHeaderStillPrintsOneLinePerPage)
{
    // 12 mm of paper: the header takes about 9 of them, a body line 4.
    QPrinter& printer = Frame().GetPrinter()->GetQPrinter();
    printer.setPageSize(QPageSize(QSizeF(120, 12), QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    SizeRectArray elements;
    elements.Add(std::make_unique<TDescribedElement>(3));
    TextPrintout printout(kTitle, kPageNumber, elements);
    const std::string file = Pdf("listing_short_paper");
    ASSERT_TRUE(PrintTo(file, printout));
    ASSERT_EQ(pdf_pages::PageCount(file), 3);
    for (int page = 1; page <= 3; ++page)
        EXPECT_EQ(ListedLines(Collapsed(pdf_pages::PageText(file, page))),
                  std::vector<std::string>{"1. Element line " + std::to_string(page)});
}

TEST_F(PrintingTest, ALineWiderThanThePaperEndsAtThePrintableArea)
{
    QPrinter& printer = Frame().GetPrinter()->GetQPrinter();
    printer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    SizeRectArray elements;
    elements.Add(std::make_unique<TDescribedElement>(1, " " + std::string(400, 'W')));
    elements.Add(std::make_unique<TDescribedElement>(1));
    TextPrintout printout(kTitle, kPageNumber, elements);
    const std::string file = Pdf("listing_wide_line");
    ASSERT_TRUE(PrintTo(file, printout));
    ASSERT_EQ(pdf_pages::PageCount(file), 1);
    EXPECT_EQ(ListedLines(Collapsed(pdf_pages::PageText(file, 1))).back(), "2. Element line 1");
    // Nothing in the right margin (20 mm, 0.79 inch): at 50 dots per inch
    // the 35 columns at the paper's right edge stay white.
    const QImage page = pdf_pages::PageImage(file, 1, 50);
    ASSERT_FALSE(page.isNull());
    int dark = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = page.width() - 35; x < page.width(); ++x)
            dark += qGray(page.pixel(x, y)) < 250;
    EXPECT_EQ(dark, 0);
}

TEST_F(PrintingTest, ThePicturePageLiesInItsFrameJustBelowTheHeaderAtAnyResolution)
{
    TWindow host(nullptr, "editor");
    host.Attr.W = 400;
    host.Attr.H = 300;
    auto* canvas = new TStandInCanvas(&host, 320, 240);
    driver.Show(host);
    const TRect windowBefore = canvas->GetWindowRect();
    const TRect clientBefore = canvas->GetClientRect();

    TPictureLayout layouts[2];
    const int dpis[2] = {300, 600};
    const TSize sizes[2] = {{1410, 1058}, {2820, 2115}};  // 4.70 inches wide, 3/4 of that high
    constexpr int kRaster = 200;
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(dpis[i]);
        Frame().GetPrinter()->GetQPrinter().setResolution(dpis[i]);
        canvas->paints.clear();
        GraphPrintout printout(kTitle, kPageNumber, *canvas);
        EXPECT_TRUE(printout.WantBanding());
        const std::string file = Pdf("picture_" + std::to_string(dpis[i]));
        ASSERT_TRUE(PrintTo(file, printout));
        ASSERT_EQ(pdf_pages::PageCount(file), 1);
        const std::string text = Collapsed(pdf_pages::PageText(file, 1));
        EXPECT_NE(text.find("PRINTS(V5.20)-Graphic Page 7"), std::string::npos) << text;
        EXPECT_NE(text.find("Page 1"), std::string::npos) << text;

        // Panel type 14 prints at scale 470: the picture is 4.70 inches wide,
        // 3/4 of that high as the canvas is, painted once without erasing.
        ASSERT_EQ(PrinterPaints(*canvas), 1);
        EXPECT_TRUE(canvas->paints[0].printer);
        EXPECT_FALSE(canvas->paints[0].erase);
        EXPECT_EQ(canvas->paints[0].client, sizes[i]);

        const QImage page = pdf_pages::PageImage(file, 1, kRaster);
        ASSERT_FALSE(page.isNull());
        if (i == 1)
            Shot(page, "printout_picture");
        const TPictureLayout& l = layouts[i] = Layout(page);
        ASSERT_TRUE(l.frame.isValid()) << "no frame found";
        EXPECT_NEAR(l.frame.width(), 4.70 * kRaster, 4);
        EXPECT_NEAR(l.frame.height(), 4.70 * 0.75 * kRaster, 4);
        // The frame follows the header closely, the figure lies inside it
        // where the canvas put it.
        EXPECT_GT(l.frame.top(), l.headerBottom);
        EXPECT_LT(l.frame.top() - l.headerBottom, kRaster / 4);
        EXPECT_NEAR(l.red.left() - l.frame.left(), l.frame.width() / 8, 3);
        EXPECT_NEAR(l.frame.right() - l.red.right(), l.frame.width() / 8, 3);
        EXPECT_NEAR(l.red.top() - l.frame.top(), l.frame.height() / 12, 3);
        EXPECT_NEAR(l.frame.bottom() - l.red.bottom(), l.frame.height() / 12, 3);

        // The canvas has its size back and paints on the screen again.
        EXPECT_EQ(canvas->GetWindowRect(), windowBefore);
        EXPECT_EQ(canvas->GetClientRect(), clientBefore);
        canvas->paints.clear();
        canvas->Invalidate();
        canvas->UpdateWindow();
        ASSERT_FALSE(canvas->paints.empty());
        EXPECT_FALSE(canvas->paints.back().printer);
        EXPECT_EQ(canvas->paints.back().client, clientBefore.Size());
    }
    EXPECT_NEAR(layouts[0].frame.top(), layouts[1].frame.top(), 1) << "the same distance below the header";
    EXPECT_NEAR(layouts[0].headerBottom, layouts[1].headerBottom, 1);
}

TEST_F(PrintingTest, APrintScaleAbove800PrintsAtFactorEight)
{
    TWindow host(nullptr, "editor");
    auto* canvas = new TStandInCanvas(&host, 320, 240);
    driver.Show(host);
    Frame().GetPrinter()->GetQPrinter().setResolution(300);
    struct Case {
        int panelType;
        int printScale;
        TSize size;  // pixels at 300 dots per inch
    };
    const Case cases[] = {{14, 470, {1410, 1058}}, {10, 835, {2400, 1800}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.panelType);
        _QSglobals.GetDatabase().SetPanelType(c.panelType);
        ASSERT_EQ(Quellstor(c.panelType).GetPrintScale(), c.printScale);
        canvas->paints.clear();
        GraphPrintout printout(kTitle, kPageNumber, *canvas);
        ASSERT_TRUE(PrintTo(Pdf("picture_type_" + std::to_string(c.panelType)), printout));
        ASSERT_EQ(PrinterPaints(*canvas), 1);
        EXPECT_EQ(canvas->paints[0].client, c.size);
    }
}

TEST_F(PrintingTest, ACanvasWithoutAreaPrintsTheHeaderOnly)
{
    TWindow host(nullptr, "editor");
    auto* canvas = new TStandInCanvas(&host, 0, 0);
    driver.Show(host);
    GraphPrintout printout(kTitle, kPageNumber, *canvas);
    const std::string file = Pdf("picture_empty_canvas");
    ASSERT_TRUE(PrintTo(file, printout));
    ASSERT_EQ(pdf_pages::PageCount(file), 1);
    EXPECT_NE(Collapsed(pdf_pages::PageText(file, 1)).find("PRINTS(V5.20)-Graphic Page 7"), std::string::npos);
    EXPECT_EQ(PrinterPaints(*canvas), 0);
    const QImage page = pdf_pages::PageImage(file, 1, 100);
    ASSERT_FALSE(page.isNull());
    EXPECT_FALSE(Layout(page).frame.isValid()) << "no frame";
    EXPECT_EQ(canvas->GetClientRect(), TRect(0, 0, 0, 0));
}

TEST_F(PrintingTest, FailuresAreReportedNotPassedOver)
{
    SizeRectArray elements;
    elements.Add(std::make_unique<TDescribedElement>(2));
    // A file that cannot be written.
    TextPrintout printout(kTitle, kPageNumber, elements);
    const std::string unwritable = (folder_ / "no-such-folder" / "x.pdf").string();
    Frame().GetPrinter()->SetOutputFileName(unwritable);
    driver.AnswerMessageBox(IDOK);
    EXPECT_FALSE(Frame().Print(nullptr, printout));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "The printout could not be written to the file " + unwritable);
    EXPECT_FALSE(std::filesystem::exists(unwritable));

    // A printer that reports no paper: nothing printed, said so.
    QPrinter& printer = Frame().GetPrinter()->GetQPrinter();
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer.setPageSize(QPageSize(QSizeF(0.1, 0.1), QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
    const std::string file = Pdf("no_paper");
    std::filesystem::remove(file);
    Frame().GetPrinter()->SetOutputFileName(file);
    TextPrintout noPaper(kTitle, kPageNumber, elements);
    EXPECT_TRUE(noPaper.HasFailed());
    EXPECT_FALSE(noPaper.HasPage(1));
    driver.AnswerMessageBox(IDOK);
    EXPECT_FALSE(Frame().Print(nullptr, noPaper));
    ASSERT_EQ(driver.MessageBoxes().size(), 2u);
    EXPECT_EQ(driver.MessageBoxes()[1].text,
              "The printer reports no paper size or resolution; nothing was printed.");
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(PrintingTest, PrinterSetupKeepsTheChoiceOnOkAndPutsTheDefaultBackOnCancel)
{
    MDIFrame& frame = Frame();
    TPrinter& printer = *frame.GetPrinter();
    EXPECT_EQ(driver.MenuItemText(frame, CM_PRINTERSETUP), "P&rinter Setup...");
    EXPECT_EQ(driver.OpenMenuItem(frame, CM_PRINTERSETUP) & MF_GRAYED, 0u);

    const TPrinter fresh;
    printer.SetOutputFileName(Pdf("chosen"));
    driver.AnswerPrintDialog(true);
    ASSERT_TRUE(driver.ChooseMenuItem(frame, CM_PRINTERSETUP));
    EXPECT_EQ(printer.GetOutputFileName(), Pdf("chosen"));

    driver.AnswerPrintDialog(false);
    ASSERT_TRUE(driver.ChooseMenuItem(frame, CM_PRINTERSETUP));
    EXPECT_EQ(printer.GetOutputFileName(), fresh.GetOutputFileName());
    EXPECT_EQ(printer.GetDeviceName(), fresh.GetDeviceName());

    // The dialog as the engineer sees it.
    QImage shot;
    std::string okText;
    TPrinter::SetDialogHook([&](QDialog& dialog) {
        if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
            okText = buttons->button(QDialogButtonBox::Ok)->text().toStdString();
        dialog.show();
        driver.ProcessEvents();
        shot = dialog.grab().toImage();
        dialog.hide();
        return static_cast<int>(QDialog::Rejected);
    });
    ASSERT_TRUE(driver.ChooseMenuItem(frame, CM_PRINTERSETUP));
    TPrinter::SetDialogHook(nullptr);
    EXPECT_EQ(okText, "OK") << "setting up prints nothing";
    ASSERT_FALSE(shot.isNull());
    Shot(shot, "printer_setup");
}

TEST(PrintDateTest, EnglishNamesAndASpacePaddedDay)
{
    struct Case {
        int weekday, month, day, hour, minute, second, year;
        const char* text;
    };
    const Case cases[] = {
        {6, 11, 19, 9, 36, 14, 2026, "Sat Dec 19 09:36:14 2026"},
        {1, 0, 4, 23, 5, 9, 2027, "Mon Jan  4 23:05:09 2027"},
    };
    for (const Case& c : cases) {
        std::tm time{};
        time.tm_wday = c.weekday;
        time.tm_mon = c.month;
        time.tm_mday = c.day;
        time.tm_hour = c.hour;
        time.tm_min = c.minute;
        time.tm_sec = c.second;
        time.tm_year = c.year - 1900;
        EXPECT_EQ(FormatPrintDate(time), c.text);
    }
}

}  // namespace
