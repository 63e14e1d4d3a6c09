// Watching the keyboard focus move through the program, a frame's
// maximised and minimised state, and the main window's icon.

#include "platform/ui/application.h"
#include "platform/ui/controls/edit.h"
#include "platform/ui/focus_watch.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/resources.h"
#include "platform/ui/testing/test_driver.h"

#include <QApplication>
#include <QBuffer>
#include <QIcon>
#include <QImage>

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(FocusWatchTest, HearsEveryWindowThatGetsTheFocusUntilItGoes)
{
    TTestDriver driver;
    TFrameWindow frame(nullptr, "Focus");
    auto* first = new TEdit(&frame, 101, "", 10, 10, 100, 20);
    auto* second = new TEdit(&frame, 102, "", 10, 40, 100, 20);
    driver.Show(frame);
    driver.Focus(frame, 102);

    std::vector<HWND> gained;
    {
        TFocusWatch watch([&](HWND window) { gained.push_back(window); });
        driver.Focus(frame, 101);
        driver.Focus(frame, 102);
        driver.Focus(frame, 101);
    }
    driver.Focus(frame, 102);
    driver.ProcessEvents();

    const std::vector<HWND> expected{first->GetHandle(), second->GetHandle(), first->GetHandle()};
    EXPECT_EQ(gained, expected);
}

TEST(FrameStateTest, MaximisedAndMinimisedAreToldApart)
{
    TTestDriver driver;
    TFrameWindow frame(nullptr, "State");
    driver.Show(frame);
    EXPECT_FALSE(frame.IsZoomed());
    EXPECT_FALSE(frame.IsIconic());
    frame.ShowWindow(SW_SHOWMAXIMIZED);
    driver.ProcessEvents();
    EXPECT_TRUE(frame.IsZoomed());
    frame.ShowWindow(SW_SHOWMINIMIZED);
    driver.ProcessEvents();
    EXPECT_TRUE(frame.IsIconic());
    frame.ShowWindow(SW_RESTORE);
    driver.ProcessEvents();
    EXPECT_FALSE(frame.IsZoomed());
    EXPECT_FALSE(frame.IsIconic());
}

}  // namespace

namespace {

TEST(FrameStateTest, TheMainWindowsIconIsTheProgramsIcon)
{
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "PNG"));
    ASSERT_TRUE(RegisterIconResource("TESTICON", png.constData(), static_cast<std::size_t>(png.size())));

    TTestDriver driver;
    TApplication app;
    auto* other = new TFrameWindow(nullptr, "Other");
    other->Create();
    other->SetIcon(nullptr, "TESTICON");
    EXPECT_TRUE(QApplication::windowIcon().pixmap(16).toImage().pixelColor(8, 8) != QColor(Qt::red))
        << "a window that is not the main window keeps its icon to itself";
    delete other;

    auto* frame = new TFrameWindow(nullptr, "Main");
    app.SetMainWindow(frame);
    frame->Create();
    frame->SetIcon(nullptr, "TESTICON");
    EXPECT_EQ(QApplication::windowIcon().pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::red));
    QApplication::setWindowIcon(QIcon());
}

}  // namespace
