// The application object: its main window, its event loop and idle time;
// the platform's style and fonts.

#include "platform/base/prompt.h"
#include "platform/ui/application.h"
#include "platform/ui/font_map.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/window_api.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStyle>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr UINT WM_FINISH = WM_USER + 7;

class TFinishingFrame : public TFrameWindow {
public:
    TFinishingFrame() : TFrameWindow(nullptr, "Plintorvaler 5.20") {}
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }
    bool destroyInstead = false;

protected:
    void SetupWindow() override
    {
        TFrameWindow::SetupWindow();
        PostMessage(WM_FINISH);  // runs once the loop does
    }

private:
    void EvFinish(WPARAM, LPARAM)
    {
        if (destroyInstead)
            Destroy();
        else
            PostQuitMessage(3);
    }
};

const TResponseTable TFinishingFrame::Responses{&TFrameWindow::Responses, {
    OnMessage<&TFinishingFrame::EvFinish>(WM_FINISH),
}};

class TTestApp : public TApplication {
public:
    explicit TTestApp(bool destroyInstead) : TApplication("Plintvlr"), destroyInstead_(destroyInstead) {}
    int idleCalls = 0;
    bool mainShown = false;

protected:
    void InitMainWindow() override
    {
        auto* frame = new TFinishingFrame;
        frame->destroyInstead = destroyInstead_;
        SetMainWindow(frame);
    }
    bool IdleAction(long idleCount) override
    {
        ++idleCalls;
        mainShown = mainShown || GetMainWindow()->IsWindowVisible();
        return TApplication::IdleAction(idleCount);
    }

private:
    bool destroyInstead_;
};

TEST(ApplicationTest, RunShowsTheMainWindowAndEndsWithTheQuitCode)
{
    TTestApp app(false);
    EXPECT_EQ(TApplication::Current(), &app);
    EXPECT_EQ(app.Run(), 3);
    EXPECT_TRUE(app.mainShown);
    EXPECT_GT(app.idleCalls, 0);
    EXPECT_EQ(FindWindow(nullptr, "Plintorvaler 5.20"), app.GetMainWindow()->GetHandle());
}

TEST(ApplicationTest, DestroyingTheMainWindowEndsTheLoop)
{
    TTestApp app(true);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_FALSE(app.GetMainWindow()->IsWindow());
}

TEST(PlatformLookTest, FusionStyleAndTheInstalledFonts)
{
    EXPECT_EQ(QApplication::style()->name().toLower(), "fusion");
    struct Case {
        const char* face;
        const char* family;
    };
    const Case cases[] = {
        {"MS Sans Serif", "DejaVu Sans"}, {"MS Shell Dlg", "DejaVu Sans"},   {"System", "DejaVu Sans"},
        {"Arial", "DejaVu Sans"},         {"courier new", "DejaVu Sans Mono"}, {"Times New Roman", "DejaVu Serif"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MapFontFace(c.face), c.family) << c.face;
        // The face is really there, not a substitute.
        EXPECT_EQ(QFontInfo(PlatformFont(c.face, 8)).family(), c.family) << c.face;
    }
    EXPECT_EQ(PlatformFont("MS Sans Serif", 8).pointSize(), 8);
    EXPECT_EQ(PlatformFont("MS Sans Serif", -13).pixelSize(), 13);
    EXPECT_TRUE(PlatformFont("Arial", 10, 700, true).bold());
    EXPECT_EQ(QFontInfo(QApplication::font()).family(), "DejaVu Sans");
}

}  // namespace

// A program run by a script has no one to answer its message boxes: each
// is answered with its default button at once instead of waiting.
TEST(PlatformLookTest, HeadlessPromptsAnswerWithTheDefaultButton)
{
    ::setenv("PLV_HEADLESS_PROMPTS", "1", 1);
    InitPlatformUi();
    const int answer = ShowMessageBox(nullptr, "Replace?", "Application Message", MB_YESNO | MB_DEFBUTTON2);
    ::unsetenv("PLV_HEADLESS_PROMPTS");
    InitPlatformUi();
    EXPECT_EQ(answer, IDNO);
    EXPECT_NE(GetPromptBackend(), nullptr) << "the message box is the prompt service again";
}
