#pragma once
// The configuration program started in the test process: a program folder
// of its own (with the protocol information file), a profile folder of its
// own, a desktop session of its own, nothing registered by other
// subsystems, and the application object started and ended by the test.

#include "plintvlr/db/project_services.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/main_frame.h"
#include "plintvlr/shell/mdi_client_win.h"
#include "platform/base/profile.h"
#include "platform/ui/testing/test_driver.h"
#include "screenshot.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/plv-shell-XXXXXX";
        program_ = ::mkdtemp(pattern);
        profile_ = program_ + "/profile";
        std::filesystem::create_directories(profile_);
        const std::string source = std::getenv("PLV_TEST_SOURCE_DIR") ? std::getenv("PLV_TEST_SOURCE_DIR") : ".";
        // The program folder's files as they ship (the program font, made by
        // the build, is left out: the program starts without it).
        std::filesystem::copy(source + "/data", program_, std::filesystem::copy_options::recursive);
        ::setenv("PLV_PROGRAM_DIR", program_.c_str(), 1);
        ::setenv("PLV_PROFILE_DIR", profile_.c_str(), 1);
        ::setenv("PLV_DESKTOP_SESSION", ("shell-test-" + std::to_string(::getpid())).c_str(), 1);
        previousDir_ = std::filesystem::current_path();
        screenshots_ = ScreenshotFolder();
        std::filesystem::current_path(program_);
        _QSglobals.SetProgramDirectory(program_);
        _QSglobals.SetProjectDirectory("");
        _QSglobals.NewDatabase();
        GetProjectHooks() = ProjectHooks{};
        ClearCommandRegistrations();
    }

    void TearDown() override
    {
        app_.reset();
        driver.ProcessEvents();
        _QSglobals.NewDatabase();
        GetProjectHooks() = ProjectHooks{};
        ClearCommandRegistrations();
        DeleteMessageTableRegistry();
        std::filesystem::current_path(previousDir_);
        std::filesystem::remove_all(program_);
    }

    // The application's start-up up to the running frame (the message loop
    // is the test's).
    MDIFrame& Start()
    {
        app_ = std::make_unique<TStartedApp>();
        app_->Start();
        driver.ProcessEvents();
        EXPECT_NE(MDIFrame::GetMainFrame(), nullptr);
        return *MDIFrame::GetMainFrame();
    }
    // Ends the application: the frame goes (if it is still there), then the
    // application object.
    void End() { app_.reset(); }

    MDIFrame& Frame() { return *MDIFrame::GetMainFrame(); }
    TMDIClientWin& Client() { return *Frame().GetClient(); }

    // A project of that panel type, left closed and named in "DATABASE".
    void MakeLastProject(const std::string& name, int panelType)
    {
        {
            adatabase db;
            db.SetPanelType(panelType);
            ASSERT_EQ(db.Create(name), 1);
        }
        SetProfile("DATABASE", "DatabaseName", name);
    }

    void SetProfile(const char* section, const char* key, const std::string& value)
    {
        WritePrivateProfileString(section, key, value.c_str(), "PLINTVLR.INI");
    }
    std::string Profile(const char* section, const char* key)
    {
        char value[256] = {};
        GetPrivateProfileString(section, key, "", value, sizeof value, "PLINTVLR.INI");
        return value;
    }

    // Writes build/screenshots/<name>.png.
    bool Screenshot(TWindow& window, const std::string& name)
    {
        std::error_code ignored;
        std::filesystem::create_directories(screenshots_, ignored);
        return driver.Grab(window).save(QString::fromStdString((screenshots_ / (name + ".png")).string()));
    }

    TTestDriver driver;
    std::string program_;
    std::string profile_;

private:
    class TStartedApp : public TApp {
    public:
        void Start() { InitInstance(); }
    };

    std::filesystem::path previousDir_;
    std::filesystem::path screenshots_;
    std::unique_ptr<TStartedApp> app_;
};
