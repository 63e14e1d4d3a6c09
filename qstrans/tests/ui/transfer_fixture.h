#pragma once
// A program folder, a profile folder and a desktop session of its own for
// each test of the transfer program's windows, with a panel database and a
// hand-off file written as the configuration program leaves them.

#include "platform/base/files.h"
#include "platform/base/profile.h"
#include "platform/tests/scoped_env.h"
#include "platform/ui/application.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"
#include "qstrans/quellstor_trans_app.h"
#include "qstrans/quellstor_trans_dlg.h"
#include "qstrans/tests/image_bytes.h"
#include "qstrans/transfer_resources.h"
#include "qstrans/transfer_route.h"

#include <QImage>

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

// Routes that note what they were handed.
struct RouteLog {
    std::vector<std::string> calls;
};

class FakeSerialRoute : public CSerialRoute {
public:
    explicit FakeSerialRoute(RouteLog& log) : log_(log) {}
    void StartTransfer(int kind) override { log_.calls.push_back("serial " + std::to_string(kind)); }
    void StartEraseFlash() override { log_.calls.push_back("erase flash"); }
    void StartGotoTransfer() override { log_.calls.push_back("goto transfer"); }
    void Cancel() override { log_.calls.push_back("serial cancel"); }

private:
    RouteLog& log_;
};

class FakeFieldbusRoute : public CFieldbusRoute {
public:
    explicit FakeFieldbusRoute(RouteLog& log) : log_(log) {}
    void UploadDatabase() override { log_.calls.push_back("fieldbus upload"); }
    void DownloadDatabase() override { log_.calls.push_back("fieldbus download"); }
    void Cancel() override { log_.calls.push_back("fieldbus cancel"); }
    void ShowConfiguration() override { log_.calls.push_back("fieldbus configuration"); }
    void ShowVersion() override { log_.calls.push_back("fieldbus version"); }

private:
    RouteLog& log_;
};

class TransferFixture : public ::testing::Test {
protected:
    TransferFixture()
    {
        MakeDir(Db());
        MakeDir(Folder("PROTOCOL"));
        MakeDir(Folder("CMD"));
    }

    std::string Folder(const std::string& name) const { return program_.Path() + "/" + name + "/"; }
    std::string Db() const { return Folder("DBASE/LINE1"); }

    // A compiled database of the panel type with its port protocols.
    void WriteDatabase(int panelType, std::uint16_t comm1 = 7, std::uint16_t comm2 = 255,
                       const std::string& version = "5.2.0", const std::string& name = "LINE1.DTB")
    {
        ASSERT_TRUE(WriteWholeFile(Db() + name, MakeImage({
            {8, 100, PortRecord(9)},
            {8, 102, ProjectInfoRecord(version, panelType)},
            {8, 122, ChannelTableRecord(comm1, 0, comm2, comm2 == 255 ? 255 : 1)},
        })));
    }
    void WriteHandOff(const std::string& databaseName = "LINE1.DTB")
    {
        ASSERT_TRUE(WriteWholeFile(profile_.Path() + "/QSTRANS.INI",
                                   "[File Locations]\nDatabasePath=" + Db() + "\nDatabaseName=" + databaseName +
                                       "\nProtocolPath=" + Folder("PROTOCOL") + "\nSystemPath=" + Folder("CMD") +
                                       "\n[Quellstor Type]\nQuellstorType=QSE\n"));
    }

    // The dialog made as the program makes it, shown without its modal loop.
    CQuellstorTransDlg& Open()
    {
        app_.ReadFileLocations();
        dialog_ = std::make_unique<CQuellstorTransDlg>(app_);
        EXPECT_TRUE(dialog_->Create());
        driver.Show(*dialog_);
        return *dialog_;
    }
    void Close()
    {
        if (dialog_ && dialog_->IsWindow())
            dialog_->Destroy(IDCANCEL);
        dialog_.reset();
    }
    ~TransferFixture() override { Close(); }

    std::string Field(int id) { return dialog_->GetDlgItemText(id); }
    bool Enabled(int id) { return ::IsWindowEnabled(dialog_->GetDlgItem(id)); }
    bool Checked(int id) { return dialog_->IsDlgButtonChecked(id) != 0; }

    static void SaveScreenshot(const QImage& image, const std::string& name)
    {
        MakeDir(PLV_SCREENSHOT_DIR);
        EXPECT_TRUE(image.save(QString::fromStdString(std::string(PLV_SCREENSHOT_DIR) + "/" + name)));
    }

    TTestDriver driver;
    TempFolder program_;
    TempFolder profile_;
    ScopedEnv programDir_{"PLV_PROGRAM_DIR", program_.Path().c_str()};
    ScopedEnv profileDir_{"PLV_PROFILE_DIR", profile_.Path().c_str()};
    ScopedEnv session_{"PLV_DESKTOP_SESSION", ("qstrans-test-" + std::to_string(::getpid())).c_str()};
    CQuellstorTransApp app_;
    std::unique_ptr<CQuellstorTransDlg> dialog_;
};
