// The settings dialog's work on the system variables, without its window:
// the copy it shows, and what OK does with the user's changes.

#include "varnht32/src/comm_info_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/base/files.h"
#include "varnht32/include/varnht32.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/link_settings.h"
#include "varnht32/src/system_variables.h"
#include "varnht32/tests/test_support.h"

namespace {

using vnh::Setting;

std::string FileText(const std::string& path) {
  std::string text;
  return ReadWholeFile(path, text) ? text : "<no file>";
}

template <std::size_t N>
void Put(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  std::strncpy(field, text, N - 1);
}

void PutNetwork(VNHCommInfoForm& form, const char* text) {
  Put(form.network, text);
  form.network_length = static_cast<std::uint32_t>(std::strlen(form.network));
}

class CommInfoSettingsTest : public vnh_test::SegmentTest {
 protected:
  VNHCommInfoForm Fill(std::uint32_t own_address = 0xC0A80721) {  // 192.168.7.33
    VNHCommInfoForm form;
    vnh::MutexLock lock;
    vnh::FillCommInfoForm(form, own_address);
    return form;
  }
  vnh::CommInfoOutcome Apply(const VNHCommInfoForm& before, const VNHCommInfoForm& after) {
    vnh::MutexLock lock;
    return vnh::ApplyCommInfoForm(before, after);
  }
  std::int32_t Integer(Setting s) {
    vnh::MutexLock lock;
    return vnh::SettingInteger(s);
  }
};

TEST_F(CommInfoSettingsTest, TheCopyShowsTheVariables) {
  ASSERT_TRUE(WriteWholeFile(settings_file(),
                             "EnableKelmnet2\nB true\nKelmnet3NodeAddress\nI 7\n"
                             "KelmnetTCPIPChannel\nI 9\nKelmnetTransTimeOut\nI 20000\n"
                             "EnableKelmnetTCPIP\nB true\n"));
  ASSERT_EQ(InitVarnholtnet(), 1);
  VNHCommInfoForm form = Fill();
  EXPECT_EQ(std::vector<int>(form.enable, form.enable + 5), (std::vector<int>{0, 1, 0, 0, 1}));
  EXPECT_STREQ(form.node_address[0], "2");
  EXPECT_STREQ(form.node_address[2], "7");
  EXPECT_STREQ(form.own_address, "192.168.7.33");
  EXPECT_STREQ(form.tcpip_caption, "Channel 9");
  EXPECT_STREQ(form.timeout, "20000");
  // Without a network of its own, the own address's network is shown.
  EXPECT_STREQ(form.network, "192.168.7.0");
  EXPECT_EQ(form.network_length, 11u);
}

TEST_F(CommInfoSettingsTest, ASetNetworkIsShownAndNoAddressShowsNone) {
  ASSERT_TRUE(WriteWholeFile(settings_file(), "KelmnetTCPIPNetwork\nS 10.1.0.0\n"));
  ASSERT_EQ(InitVarnholtnet(), 1);
  EXPECT_STREQ(Fill().network, "10.1.0.0");
  VNHCommInfoForm form = Fill(0);
  EXPECT_STREQ(form.own_address, "<none>");
  EXPECT_STREQ(form.network, "10.1.0.0");
}

TEST_F(CommInfoSettingsTest, WithoutAnAddressOrANetworkTheNetworkIsEmpty) {
  ASSERT_EQ(InitVarnholtnet(), 1);
  VNHCommInfoForm form = Fill(0);
  EXPECT_STREQ(form.own_address, "<none>");
  EXPECT_STREQ(form.network, "");
  EXPECT_EQ(form.network_length, 0u);
}

TEST_F(CommInfoSettingsTest, OkWithoutChangesWritesNothing) {
  ASSERT_EQ(InitVarnholtnet(), 1);
  VNHCommInfoForm before = Fill();
  vnh::CommInfoOutcome outcome = Apply(before, before);
  EXPECT_FALSE(outcome.changed);
  EXPECT_FALSE(outcome.refused);
  EXPECT_TRUE(outcome.messages.empty());
  EXPECT_FALSE(FileExists(settings_file()));
}

TEST_F(CommInfoSettingsTest, ARefusedValueKeepsItsSettingWhileTheOtherChangesAreWritten) {
  ASSERT_EQ(InitVarnholtnet(), 1);
  VNHCommInfoForm before = Fill();
  VNHCommInfoForm after = before;
  after.enable[1] = 1;
  Put(after.node_address[0], "1");
  Put(after.timeout, "30000");
  vnh::CommInfoOutcome outcome = Apply(before, after);
  EXPECT_TRUE(outcome.refused);
  EXPECT_EQ(outcome.messages, (std::vector<std::string>{"Kelmnet1NodeAddress: value out of range"}));
  EXPECT_EQ(Integer(Setting::kKelmnet1NodeAddress), 2);
  EXPECT_EQ(FileText(settings_file()), "KelmnetTransTimeOut\nI 30000\nEnableKelmnet2\nB true\n");
}

TEST_F(CommInfoSettingsTest, EachRefusalNamesItsVariableInTheOrderOfAssignment) {
  struct Case {
    const char* node4;
    const char* timeout;
    const char* network;
    std::vector<std::string> messages;
  } cases[] = {
      {" 12 ", "3000", "192.168.7.0", {}},
      {"128", "3600001", "192.168.7",
       {"Kelmnet4NodeAddress: value out of range", "KelmnetTransTimeOut: value out of range",
        "KelmnetTCPIPNetwork: invalid value"}},
      {"x", "15000 ms", "1.2.3.256",
       {"Kelmnet4NodeAddress: invalid value", "KelmnetTransTimeOut: invalid value",
        "KelmnetTCPIPNetwork: invalid value"}},
      {"2", "", "10.0.0.0.1",
       {"KelmnetTransTimeOut: invalid value", "KelmnetTCPIPNetwork: invalid value"}},
      {"", "15000", "", {"Kelmnet4NodeAddress: invalid value", "KelmnetTCPIPNetwork: invalid value"}},
  };
  ASSERT_EQ(InitVarnholtnet(), 1);
  for (const Case& c : cases) {
    VNHCommInfoForm before = Fill();
    VNHCommInfoForm after = before;
    Put(after.node_address[3], c.node4);
    Put(after.timeout, c.timeout);
    PutNetwork(after, c.network);
    vnh::CommInfoOutcome outcome = Apply(before, after);
    EXPECT_EQ(outcome.messages, c.messages) << c.node4 << " / " << c.timeout << " / " << c.network;
    EXPECT_EQ(outcome.refused, !c.messages.empty()) << c.node4;
  }
  // What was taken last: node 2 (the fourth case), time-out 15000 (the fifth).
  EXPECT_EQ(Integer(Setting::kKelmnet4NodeAddress), 2);
  EXPECT_EQ(Integer(Setting::kTransTimeOut), 15000);
}

TEST_F(CommInfoSettingsTest, AFileThatCannotBeWrittenIsReportedAndNotTakenForSuccess) {
  ASSERT_EQ(InitVarnholtnet(), 1);
  VNHCommInfoForm before = Fill();
  VNHCommInfoForm after = before;
  after.enable[4] = 1;
  FileFaults::FailAllWritesFrom(1);
  vnh::CommInfoOutcome outcome = Apply(before, after);
  FileFaults::Reset();
  EXPECT_TRUE(outcome.refused);
  EXPECT_EQ(outcome.messages,
            (std::vector<std::string>{"Unable to write configuration file 'openfb.inf' !"}));
  EXPECT_FALSE(FileExists(settings_file()));
  vnh::MutexLock lock;
  EXPECT_TRUE(vnh::SettingOn(Setting::kEnableTcpIp)) << "the value holds for this run";
}

// The network text the dialog accepts.
TEST(DottedAddressTest, FourDecimalNumbersUpTo255) {
  struct Case {
    const char* text;
    bool legal;
    std::uint32_t address;
  } cases[] = {
      {"192.168.7.0", true, 0xC0A80700},  {"0.0.0.0", true, 0},
      {"255.255.255.255", true, 0xFFFFFFFF}, {"010.1.2.3", true, 0x0A010203},
      {"192.168.7", false, 0},            {"1.2.3.4.5", false, 0},
      {"1.2.3.256", false, 0},            {"1..2.3", false, 0},
      {"1.2.3.", false, 0},               {" 1.2.3.4", false, 0},
      {"1.2.3.4 ", false, 0},             {"1.2.-3.4", false, 0},
      {"1000.2.3.4", false, 0},           {"", false, 0},
  };
  for (const Case& c : cases) {
    std::uint32_t address = 0;
    EXPECT_EQ(vnh::ParseDottedAddress(c.text, &address), c.legal) << '"' << c.text << '"';
    if (c.legal) {
      EXPECT_EQ(address, c.address) << c.text;
    }
  }
  EXPECT_EQ(vnh::DottedAddress(0xC0A80700), "192.168.7.0");
}

}  // namespace
