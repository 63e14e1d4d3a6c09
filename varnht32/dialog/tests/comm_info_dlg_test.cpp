// The settings dialog as a program shows it: VNHShowCommInfoDialog loads the
// window library, the user works the dialog, and the settings file tells
// what was taken.

#include "varnht32/dialog/comm_info_dlg.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/base/files.h"
#include "platform/tests/scoped_env.h"
#include "platform/ui/testing/test_driver.h"
#include "platform/ui/window_api.h"
#include "varnht32/include/varnht32.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/tests/test_support.h"

namespace {

std::string FileText(const std::string& path) {
  std::string text;
  return ReadWholeFile(path, text) ? text : "<no file>";
}

class CommInfoDialogTest : public vnh_test::SegmentTest {
 protected:
  void SetUp() override {
    SegmentTest::SetUp();
    // Cards 1 and 3 are in the machine, 2 and 4 are not.
    ASSERT_TRUE(WriteWholeFile(card_prefix_ + "1", ""));
    ASSERT_TRUE(WriteWholeFile(card_prefix_ + "3", ""));
  }

  // Replaces an edit's text as a user does: to the end, erase, type.
  void Retype(TDialog& d, int id, const std::string& text) {
    driver.Focus(d, id);
    driver.PressKey(VK_END);
    for (std::size_t n = d.GetDlgItemText(id).size(); n > 0; --n) driver.PressKey(VK_BACK);
    driver.TypeKeys(text);
  }
  static bool Enabled(TDialog& d, int id) { return IsWindowEnabled(d.GetDlgItem(id)); }

  TTestDriver driver;
  TempFolder devices_;
  std::string card_prefix_ = devices_.Path() + "/kelmnet";
  ScopedEnv cards_{"VARNHT32_CARD_DEVICE", card_prefix_.c_str()};
  ScopedEnv own_address_{"VARNHT32_UDP_ADDRESS", "192.168.7.33"};
};

TEST_F(CommInfoDialogTest, ANodeAddressOfOneIsRefusedWhileTheOtherChangesAreWritten) {
  ASSERT_TRUE(WriteWholeFile(settings_file(), "EnableKelmnet1\nB true\n"));
  ASSERT_EQ(InitVarnholtnet(), 1);
  driver.OnNextDialog([&](TDialog& d) {
    EXPECT_EQ(d.GetWindowText(), "Kelmnet settings");
    EXPECT_EQ(d.GetDlgItemText(IDC_NODE1), "2");
    EXPECT_EQ(d.GetDlgItemText(IDC_TCPIP), "Channel 5");
    EXPECT_EQ(d.GetDlgItemText(IDC_OWN_ADDRESS), "192.168.7.33");
    EXPECT_EQ(d.GetDlgItemText(IDC_NETWORK), "192.168.7.0");
    EXPECT_EQ(d.GetDlgItemText(IDC_TIMEOUT), "15000");
    EXPECT_EQ(d.IsDlgButtonChecked(IDC_CHANNEL1), BST_CHECKED);
    EXPECT_TRUE(Enabled(d, IDC_NODE1));
    // A card that is not in the machine cannot be switched on.
    EXPECT_FALSE(Enabled(d, IDC_CHANNEL1 + 1));
    EXPECT_TRUE(Enabled(d, IDC_CHANNEL1 + 2));
    EXPECT_FALSE(Enabled(d, IDC_NODE3));
    EXPECT_FALSE(Enabled(d, IDC_NETWORK));

    Retype(d, IDC_NODE1, "1");
    driver.Click(d, IDC_CHANNEL1 + 2);
    EXPECT_TRUE(Enabled(d, IDC_NODE3)) << "checking a channel opens its node address";
    Retype(d, IDC_NODE3, "17");
    Retype(d, IDC_TIMEOUT, "30000");
    driver.Click(d, IDOK);
  });
  driver.AnswerMessageBox(IDOK);
  EXPECT_EQ(VNHShowCommInfoDialog(nullptr), 2);

  ASSERT_EQ(driver.MessageBoxes().size(), 1u);
  EXPECT_EQ(driver.MessageBoxes()[0].text, "Kelmnet1NodeAddress: value out of range");
  EXPECT_EQ(driver.MessageBoxes()[0].caption, "Configuration Error");
  EXPECT_EQ(driver.BeepCount(), 1);
  EXPECT_EQ(FileText(settings_file()),
            "EnableKelmnet1\nB true\n"
            "KelmnetTransTimeOut\nI 30000\n"
            "EnableKelmnet3\nB true\n"
            "Kelmnet3NodeAddress\nI 17\n");
  EXPECT_EQ(driver.PendingAnswers(), 0);
}

TEST_F(CommInfoDialogTest, CancelChangesNothingAndASecondDialogWaitsForTheFirst) {
  ASSERT_EQ(InitVarnholtnet(), 1);
  driver.OnNextDialog([&](TDialog& d) {
    EXPECT_EQ(VNHShowCommInfoDialog(nullptr), -1);
    driver.Click(d, IDC_TCPIP);
    EXPECT_TRUE(Enabled(d, IDC_NETWORK));
    Retype(d, IDC_NETWORK, "10.0.0.0");
    driver.Click(d, IDC_COMMINFO_HELP);
    driver.Click(d, IDCANCEL);
  });
  EXPECT_EQ(VNHShowCommInfoDialog(nullptr), 1);
  EXPECT_TRUE(driver.MessageBoxes().empty());
  EXPECT_FALSE(FileExists(settings_file()));

  // The dialog is free again, and OK without changes writes nothing.
  driver.OnNextDialog([&](TDialog& d) { driver.Click(d, IDOK); });
  EXPECT_EQ(VNHShowCommInfoDialog(nullptr), 1);
  EXPECT_FALSE(FileExists(settings_file()));
}

TEST_F(CommInfoDialogTest, ANetworkOfThreeNumbersIsInvalid) {
  ASSERT_EQ(InitVarnholtnet(), 1);
  driver.OnNextDialog([&](TDialog& d) {
    driver.Click(d, IDC_TCPIP);
    Retype(d, IDC_NETWORK, "10.0.0");
    driver.Click(d, IDOK);
  });
  driver.AnswerMessageBox(IDOK);
  EXPECT_EQ(VNHShowCommInfoDialog(nullptr), 2);
  ASSERT_EQ(driver.MessageBoxes().size(), 1u);
  EXPECT_EQ(driver.MessageBoxes()[0].text, "KelmnetTCPIPNetwork: invalid value");
  EXPECT_EQ(FileText(settings_file()), "EnableKelmnetTCPIP\nB true\n");
}

TEST_F(CommInfoDialogTest, ADialogLeftOpenByAProcessThatDiedIsFreeAgain) {
  ASSERT_EQ(InitVarnholtnet(), 1);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(0);
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
  {
    vnh::MutexLock lock;
    vnh::Shared().settings_dialog = vnh::ProcessIdentity{static_cast<std::uint32_t>(child), 0};
  }
  driver.OnNextDialog([&](TDialog& d) { driver.Click(d, IDCANCEL); });
  EXPECT_EQ(VNHShowCommInfoDialog(nullptr), 1);
  vnh::MutexLock lock;
  EXPECT_EQ(vnh::Shared().settings_dialog.pid, 0u) << "given back when the dialog closed";
}

TEST_F(CommInfoDialogTest, NoDialogWithoutAClientRecord) {
  EXPECT_EQ(VNHShowCommInfoDialog(nullptr), -2);
}

}  // namespace
