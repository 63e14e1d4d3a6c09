// The serial port control over a pseudo-terminal pair standing for a port:
// opened by its number through the device setting, the receive event at the
// threshold and not below it, input taken by length, input flushed, output
// arriving at the other end, and ports that cannot be opened.

#include "platform/ui/controls/comm_port.h"

#include "platform/base/files.h"
#include "platform/base/profile.h"
#include "platform/tests/scoped_env.h"
#include "platform/ui/dialog.h"
#include "platform/ui/testing/test_driver.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kDialog = 7301;
constexpr int IDC_COMM = 1026;

class TPortDialog : public TDialog {
public:
    TPortDialog() : TDialog(nullptr, kDialog) { port = new TCommPort(this, IDC_COMM); }
    static const TResponseTable Responses;
    const TResponseTable& GetResponseTable() const override { return Responses; }

    TCommPort* port;
    std::vector<int> eventCounts;  // bytes waiting at each event

private:
    void OnCommEvent()
    {
        if (port->GetCommEvent() == comEvReceive)
            eventCounts.push_back(port->GetInBufferCount());
    }
};

const TResponseTable TPortDialog::Responses{&TDialog::Responses, {
    OnNotify<&TPortDialog::OnCommEvent>(IDC_COMM, CN_COMMEVENT),
}};

// The panel's end of the line.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
            device_ = ::ptsname(master_);
        termios t{};
        ::tcgetattr(master_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master_, TCSANOW, &t);
    }
    ~PseudoTerminal() { ::close(master_); }
    const std::string& Device() const { return device_; }
    void Send(const std::string& bytes) { ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
    std::string Receive(std::size_t count)
    {
        std::string got;
        QElapsedTimer timer;
        timer.start();
        while (got.size() < count && timer.elapsed() < 5000) {
            char buffer[64];
            const int flags = ::fcntl(master_, F_GETFL);
            ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            ::fcntl(master_, F_SETFL, flags);
            if (n > 0)
                got.append(buffer, static_cast<std::size_t>(n));
            else
                ::usleep(1000);
        }
        return got;
    }

private:
    int master_ = -1;
    std::string device_;
};

class CommPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterDialogTemplate(kDialog, {"Port", 0, 0, 100, 40, WS_POPUP | WS_CAPTION, "MS Sans Serif", 8,
                                         {Control("", IDC_COMM, TCommPort::kClassName, 0, 0, 0, 10, 10)}});
        ASSERT_FALSE(pty.Device().empty());
        ASSERT_TRUE(WritePrivateProfileString("Ports", "COM3", pty.Device().c_str(), "SERIAL.INI"));
    }

    // Lets the event loop deliver what arrived at the port.
    void WaitFor(TPortDialog& dialog, std::size_t events)
    {
        QElapsedTimer timer;
        timer.start();
        while (dialog.eventCounts.size() < events && timer.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            ::usleep(1000);
        }
    }
    void Settle()
    {
        for (int i = 0; i < 20; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            ::usleep(2000);
        }
    }

    TTestDriver driver;
    TempFolder folder;
    ScopedEnv profile{"PLV_PROFILE_DIR", folder.Path().c_str()};
    PseudoTerminal pty;
};

TEST_F(CommPortTest, ReceiveEventsAtTheThresholdAndInputByLength)
{
    TPortDialog dialog;
    ASSERT_TRUE(dialog.Create());
    TCommPort& port = *dialog.port;
    EXPECT_FALSE(port.IsWindowVisible());
    port.SetCommPort(3);
    ASSERT_TRUE(port.SetPortOpen(true)) << port.GetErrorText();
    EXPECT_TRUE(port.GetPortOpen());

    port.SetRThreshold(3);
    pty.Send("ab");
    Settle();
    EXPECT_TRUE(dialog.eventCounts.empty()) << "below the threshold";
    EXPECT_EQ(port.GetInBufferCount(), 2);
    pty.Send("c");
    WaitFor(dialog, 1);
    ASSERT_EQ(dialog.eventCounts, std::vector<int>{3});

    port.SetInputLen(2);
    EXPECT_EQ(port.GetInput(), (std::vector<std::uint8_t>{'a', 'b'}));
    port.SetInputLen(0);
    EXPECT_EQ(port.GetInput(), (std::vector<std::uint8_t>{'c'}));
    EXPECT_EQ(port.GetInBufferCount(), 0);

    // Bytes that came before the threshold was lowered to their count are told at once.
    port.SetRThreshold(10);
    pty.Send("12345");
    Settle();
    EXPECT_EQ(dialog.eventCounts.size(), 1u);
    port.SetRThreshold(5);
    WaitFor(dialog, 2);
    EXPECT_EQ(dialog.eventCounts, (std::vector<int>{3, 5}));

    // Flushing by the input buffer count.
    port.SetInBufferCount(0);
    EXPECT_EQ(port.GetInBufferCount(), 0);
    EXPECT_TRUE(port.GetInput().empty());

    // Output arrives at the other end, bytes and text alike.
    EXPECT_TRUE(port.SetOutput(std::vector<std::uint8_t>{0x10, 0x05, 0x00}));
    EXPECT_TRUE(port.SetOutput("GXFER"));
    EXPECT_EQ(pty.Receive(8), std::string("\x10\x05\x00GXFER", 8));

    // Held exclusively: a second control cannot open the same device.
    TPortDialog other;
    ASSERT_TRUE(other.Create());
    other.port->SetCommPort(3);
    EXPECT_FALSE(other.port->SetPortOpen(true));
    EXPECT_NE(other.port->GetErrorText().find(pty.Device()), std::string::npos) << other.port->GetErrorText();
    other.Destroy(IDCANCEL);

    EXPECT_TRUE(port.SetPortOpen(false));
    EXPECT_FALSE(port.GetPortOpen());
    EXPECT_FALSE(port.SetOutput("X"));
    dialog.Destroy(IDCANCEL);
}

TEST_F(CommPortTest, PortsThatCannotBeOpenedSayWhy)
{
    ASSERT_TRUE(WritePrivateProfileString("Ports", "COM2", (folder.Path() + "/ttyNONE").c_str(), "SERIAL.INI"));
    EXPECT_EQ(CommPortDevice(1), "/dev/ttyS0");
    EXPECT_EQ(CommPortDevice(4), "/dev/ttyS3");
    EXPECT_EQ(CommPortDevice(5), "");
    EXPECT_EQ(CommPortDevice(3), pty.Device());

    TPortDialog dialog;
    ASSERT_TRUE(dialog.Create());
    struct Case {
        short port;
        std::string text;
    };
    const Case cases[] = {
        {2, "Com 2 (" + folder.Path() + "/ttyNONE: No such file or directory)"},
        {7, "Com 7: no device is set for this port"},
    };
    for (const Case& c : cases) {
        dialog.port->SetCommPort(c.port);
        EXPECT_FALSE(dialog.port->SetPortOpen(true));
        EXPECT_FALSE(dialog.port->GetPortOpen());
        EXPECT_EQ(dialog.port->GetErrorText(), c.text);
    }
    dialog.Destroy(IDCANCEL);
}

}  // namespace
