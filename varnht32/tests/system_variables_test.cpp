// System variables and the settings file, through the exports as a client
// sees them and through the file as a person edits it.

#include "varnht32/src/system_variables.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/files.h"
#include "varnht32/include/varnht32.h"
#include "varnht32/src/client.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/trace.h"
#include "varnht32/tests/test_support.h"

namespace {

using vnh_test::Child;

VNHIdentifier Name(std::string_view text) {
  VNHIdentifier id{};
  id.length = static_cast<std::uint32_t>(text.size());
  std::memcpy(id.text, text.data(), text.size() < sizeof id.text ? text.size() : sizeof id.text);
  return id;
}

// A variable as "I 3000", "B false", "F 1.5000", "S text", or the status when
// it cannot be read.
std::string Read(std::string_view name) {
  VNHIdentifier id = Name(name);
  VNHValue value{};
  std::int32_t status = 0;
  VNHGetSystemVariable(&id, &value, &status);
  if (status == -28 && value.type == 4) {
    VNHSettingText text{};
    value.value.string = &text;
    VNHGetSystemVariable(&id, &value, &status);
    if (status == 1) return "S " + std::string(text.text, text.length);
  }
  if (status != 1) return std::to_string(status);
  char out[64];
  switch (value.type) {
    case 1: return value.value.boolean ? "B true" : "B false";
    case 2: return "I " + std::to_string(value.value.integer);
    case 3: std::snprintf(out, sizeof out, "F %.4f", static_cast<double>(value.value.real)); return out;
    default: return "type " + std::to_string(value.type);
  }
}

std::int32_t Assign(std::string_view name, VNHValue value) {
  VNHIdentifier id = Name(name);
  std::int32_t status = 0;
  VNHAssignSystemVariable(&id, &value, &status);
  return status;
}

VNHValue Integer(std::int32_t v) {
  VNHValue value{};
  value.type = 2;
  value.value.integer = v;
  return value;
}

VNHValue Boolean(bool v) {
  VNHValue value{};
  value.type = 1;
  value.value.boolean = v ? 1 : 0;
  return value;
}

VNHValue Real(float v) {
  VNHValue value{};
  value.type = 3;
  value.value.real = v;
  return value;
}

VNHValue Text(VNHSettingText* buffer, std::string_view text) {
  buffer->length = static_cast<std::uint32_t>(text.size());
  std::memcpy(buffer->text, text.data(), text.size() < sizeof buffer->text ? text.size() : sizeof buffer->text);
  VNHValue value{};
  value.type = 4;
  value.value.string = buffer;
  return value;
}

std::string FileText(const std::string& path) {
  std::string text;
  return ReadWholeFile(path, text) ? text : "<none>";
}

std::int32_t WriteSettings() {
  vnh::MutexLock lock;
  return vnh::WriteSettingsFile();
}

// Runs a test step in another working directory, where "sysvardump" lands.
class InFolder {
 public:
  explicit InFolder(const std::string& folder) : old_(getcwd(nullptr, 0)) { EXPECT_EQ(chdir(folder.c_str()), 0); }
  ~InFolder() {
    EXPECT_EQ(chdir(old_), 0);
    std::free(old_);
  }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  char* old_;
};

class SystemVariablesTest : public vnh_test::SegmentTest {};

TEST_F(SystemVariablesTest, SettingsFileCases) {
  struct Case {
    const char* what;
    const char* file;  // null: no settings file
    const char* variable;
    const char* expect;
    bool dumped;
  } cases[] = {
      {"no file: the defaults", nullptr, "KelmnetReconnTimeOut", "I 20000", false},
      {"a time-out below its range starts at the lower limit",
       "KelmnetTransTimeOut\nI 1000\n", "KelmnetTransTimeOut", "I 3000", false},
      {"a time-out above its range starts at the upper limit",
       "KelmnetTransTimeOut\nI 4000000\n", "KelmnetTransTimeOut", "I 3600000", false},
      {"a value in range is taken", "KelmnetTransTimeOut\nI 20000\n", "KelmnetTransTimeOut",
       "I 20000", false},
      {"a node address below its range", "Kelmnet1NodeAddress\nI 1\n", "Kelmnet1NodeAddress",
       "I 2", false},
      {"a boolean given as an integer is refused", "EnableKelmnet1\nI 1\n", "EnableKelmnet1",
       "B false", false},
      {"an integer given as a boolean is refused", "KelmnetTransTimeOut\nB true\n",
       "KelmnetTransTimeOut", "I 15000", false},
      {"a string given as an integer is refused", "VNHServerAppName\nI 5\n", "VNHServerAppName",
       "S ", false},
      {"a test variable from the file", "testinteger\nI -7\n", "testinteger", "I -7", false},
      {"a test variable of another type is refused", "testboolean\nS yes\n", "testboolean",
       "B false", false},
      {"a real", "testreal\nF -2.5000\n", "testreal", "F -2.5000", false},
      {"a string", "KelmnetTCPIPNetwork\nS 10.0.0.0\n", "KelmnetTCPIPNetwork", "S 10.0.0.0",
       false},
      {"a name the library does not define stays invisible", "NotDefined\nI 5\n", "NotDefined",
       "-28", false},
      {"a wrong type letter: the file goes to the dump, the good lines count",
       "KelmnetTCPIPNode\nI 9\ntestinteger\nQ 5\n", "KelmnetTCPIPNode", "I 9", true},
      {"an unreadable value is skipped", "KelmnetTransTimeOut\nI 12x\n", "KelmnetTransTimeOut",
       "I 15000", false},
  };
  InFolder here(settings_folder());
  for (const Case& c : cases) {
    Restart();
    FileDelete(settings_file());
    FileDelete(settings_folder() + "/sysvardump");
    if (c.file != nullptr) {
      ASSERT_TRUE(WriteWholeFile(settings_file(), c.file));
    }
    ASSERT_EQ(InitVarnholtnet(), 1);
    EXPECT_EQ(Read(c.variable), c.expect) << c.what;
    EXPECT_EQ(FileExists(settings_folder() + "/sysvardump"), c.dumped) << c.what;
    if (c.file != nullptr) {
      EXPECT_EQ(FileText(c.dumped ? settings_folder() + "/sysvardump" : settings_file()), c.file)
          << c.what;
    }
  }
}

TEST_F(SystemVariablesTest, GetAndAssignFollowTheValueRecord) {
  ASSERT_EQ(InitVarnholtnet(), 1);
  VNHIdentifier timeout = Name("KelmnetTransTimeOut");
  VNHIdentifier network = Name("KelmnetTCPIPNetwork");
  VNHIdentifier pool = Name("PoolAllowed");
  std::int32_t status = 0;

  VNHValue asked{};
  VNHGetSystemVariable(&timeout, &asked, &status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(asked.type, 2u) << "type 0 asks for the type";
  EXPECT_EQ(asked.value.integer, 15000);
  asked = VNHValue{};
  VNHGetSystemVariable(&network, &asked, &status);
  EXPECT_EQ(status, -28) << "a string asked with type 0 names no buffer";
  EXPECT_EQ(asked.type, 4u);
  VNHValue no_buffer{};
  no_buffer.type = 4;
  VNHGetSystemVariable(&network, &no_buffer, &status);
  EXPECT_EQ(status, -70);
  VNHValue wrong = Integer(0);
  VNHGetSystemVariable(&pool, &wrong, &status);
  EXPECT_EQ(status, -5);
  wrong.type = 7;
  VNHGetSystemVariable(&timeout, &wrong, &status);
  EXPECT_EQ(status, -5);

  VNHSettingText short_buffer{};
  VNHSettingText long_buffer{};
  VNHSettingText blank_buffer{};
  VNHValue no_text{};
  no_text.type = 4;
  const std::string long_text(150, 'n');
  struct Case {
    const char* what;
    const char* name;
    VNHValue value;
    std::int32_t status;
    const char* variable;
    std::string after;
  } cases[] = {
      {"above the range: refused, the value stays", "KelmnetTransTimeOut", Integer(3600001), -38,
       "KelmnetTransTimeOut", "I 15000"},
      {"the lower limit is in range", "KelmnetTransTimeOut", Integer(3000), 1,
       "KelmnetTransTimeOut", "I 3000"},
      {"a boolean for an integer", "KelmnetTransTimeOut", Boolean(true), -5, "KelmnetTransTimeOut",
       "I 3000"},
      {"an unknown value type", "KelmnetTransTimeOut", VNHValue{9, {}}, -5, "KelmnetTransTimeOut",
       "I 3000"},
      {"an unknown name", "KelmnetTransTimeout", Integer(5000), -28, "KelmnetTransTimeOut",
       "I 3000"},
      {"trailing blanks of a name do not count", "KelmnetSignedRegs   ", Boolean(true), 1,
       "KelmnetSignedRegs", "B true"},
      {"a name is cut to 21 characters before the blanks go", "teststring           junk",
       Text(&short_buffer, "x"), 1, "teststring", "S x"},
      {"a real that is no number is out of range", "testreal", Real(std::nanf("")), -38,
       "testreal", "F 0.0000"},
      {"a real in range", "testreal", Real(-1.25f), 1, "testreal", "F -1.2500"},
      {"a string without a buffer", "KelmnetTCPIPNetwork", no_text, -70, "KelmnetTCPIPNetwork",
       "S "},
      {"trailing blanks of a string go, as the settings file would drop them", "teststring",
       Text(&blank_buffer, "abc \t "), 1, "teststring", "S abc"},
      {"a string is cut at 139 characters", "KelmnetTCPIPNetwork", Text(&long_buffer, long_text), 1,
       "KelmnetTCPIPNetwork", "S " + long_text.substr(0, 139)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Assign(c.name, c.value), c.status) << c.what;
    EXPECT_EQ(Read(c.variable), c.after) << c.what;
  }
  // A line end would let a value write lines of its own into the settings file.
  EXPECT_EQ(Assign("KelmnetTCPIPNetwork", Text(&short_buffer, "10.1.1.0\nPoolAllowed\nB false")), 1);
  EXPECT_EQ(Read("KelmnetTCPIPNetwork"), "S 10.1.1.0");
}

TEST_F(SystemVariablesTest, AssignedValuesReachEveryProcessAtOnceAndTheFileOnlyWhenWritten) {
  ASSERT_TRUE(WriteWholeFile(settings_file(), "testinteger\nI 5\n"));
  enum { kInit = 1, kAssign, kRead };
  Child a([](std::int32_t command) -> std::int32_t {
    switch (command) {
      case kInit: return InitVarnholtnet();
      case kAssign: return Assign("KelmnetReconnTimeOut", Integer(1000));
      default: return std::stoi(Read("testinteger").substr(2));
    }
  });
  ASSERT_EQ(a.Run(kInit), 1);
  // The file is read once for the machine: a later change is not seen.
  ASSERT_TRUE(WriteWholeFile(settings_file(), "testinteger\nI 7\n"));
  ASSERT_EQ(InitVarnholtnet(), 1);
  EXPECT_EQ(Read("testinteger"), "I 5");
  EXPECT_EQ(a.Run(kAssign), 1);
  EXPECT_EQ(Read("KelmnetReconnTimeOut"), "I 1000");
  {
    vnh::MutexLock lock;
    EXPECT_EQ(vnh::SettingInteger(vnh::Setting::kReconnTimeOut), 1000) << "the bound value";
  }
  EXPECT_EQ(FileText(settings_file()), "testinteger\nI 7\n");
  EXPECT_EQ(WriteSettings(), 1);
  EXPECT_EQ(FileText(settings_file()), "testinteger\nI 5\nKelmnetReconnTimeOut\nI 1000\n");
}

TEST_F(SystemVariablesTest, SettingsSurviveAWriteAndAReadByteIdentically) {
  ASSERT_TRUE(WriteWholeFile(settings_file(),
                             "KelmnetReconnTimeOut\nI 20000\n"  // only the default: written back
                             "NotDefined\r\nS kept\r\n"         // unknown: kept, written back
                             "KelmnetTransTimeOut\nI 1000\n"));  // brought into range
  ASSERT_EQ(InitVarnholtnet(), 1);
  VNHSettingText buffer{};
  ASSERT_EQ(Assign("testreal", Real(1.5f)), 1);
  ASSERT_EQ(Assign("EnableKelmnetTCPIP", Boolean(true)), 1);
  ASSERT_EQ(Assign("KelmnetTCPIPNetwork", Text(&buffer, "192.168.7.0")), 1);
  ASSERT_EQ(Assign("KelmnetHexOutput", Boolean(false)), 1) << "the default: not written";
  ASSERT_EQ(WriteSettings(), 1);
  const std::string expected =
      "testreal\nF 1.5000\n"
      "KelmnetReconnTimeOut\nI 20000\n"
      "NotDefined\nS kept\n"
      "KelmnetTransTimeOut\nI 3000\n"
      "EnableKelmnetTCPIP\nB true\n"
      "KelmnetTCPIPNetwork\nS 192.168.7.0\n";
  EXPECT_EQ(FileText(settings_file()), expected);

  Restart();
  ASSERT_EQ(InitVarnholtnet(), 1);
  EXPECT_EQ(Read("testreal"), "F 1.5000");
  EXPECT_EQ(Read("EnableKelmnetTCPIP"), "B true");
  EXPECT_EQ(Read("KelmnetTCPIPNetwork"), "S 192.168.7.0");
  EXPECT_EQ(WriteSettings(), 1);
  EXPECT_EQ(FileText(settings_file()), expected);
  EXPECT_FALSE(FileExists(settings_file() + ".new"));
}

TEST_F(SystemVariablesTest, AFailedWriteGivesMinus44AndKeepsTheOldFile) {
  const std::string old_text = "KelmnetTransTimeOut\nI 20000\n";
  ASSERT_TRUE(WriteWholeFile(settings_file(), old_text));
  ASSERT_EQ(InitVarnholtnet(), 1);
  ASSERT_EQ(Assign("KelmnetTransTimeOut", Integer(30000)), 1);
  FileFaults::FailWrite(1);
  EXPECT_EQ(WriteSettings(), -44);
  FileFaults::Reset();
  EXPECT_EQ(FileText(settings_file()), old_text);
  EXPECT_FALSE(FileExists(settings_file() + ".new"));

  setenv(vnh::kSettingsDirectoryEnvironment, (settings_folder() + "/missing").c_str(), 1);
  EXPECT_EQ(WriteSettings(), -44);
}

TEST_F(SystemVariablesTest, MoreThanTenThousandVariablesLeaveTheLibrarysOwnBound) {
  std::string file;
  for (int i = 0; i < 10050; ++i) file += "v" + std::to_string(i) + "\nI " + std::to_string(i) + "\n";
  file += "KelmnetTransTimeOut\nI 20000\n";  // beyond the limit: not taken
  ASSERT_TRUE(WriteWholeFile(settings_file(), file));
  ASSERT_EQ(InitVarnholtnet(), 1);
  {
    vnh::MutexLock lock;
    EXPECT_EQ(vnh::SystemVariables().count(), vnh::VariableTable::kMaxVariables);
    for (std::size_t i = 0; i < vnh::kSettingCount; ++i) {
      EXPECT_NE(vnh::Shared().settings[i], 0u) << vnh::SettingName(static_cast<vnh::Setting>(i));
    }
  }
  EXPECT_EQ(Read("KelmnetTransTimeOut"), "I 15000");
  EXPECT_EQ(Assign("KelmnetTransTimeOut", Integer(4000)), 1);
  EXPECT_EQ(Read("KelmnetTransTimeOut"), "I 4000");
  std::int32_t status = 0;
  VNHInitCommunication(&status);  // reads `VNHServerAppName`
  EXPECT_EQ(status, 1);
}

TEST_F(SystemVariablesTest, PoolAllowedDrivesTheHeapFromTheFileAndByAssignment) {
  ASSERT_TRUE(WriteWholeFile(settings_file(), "PoolAllowed\nB false\n"));
  ASSERT_EQ(InitVarnholtnet(), 1);
  auto pooling = [] {
    vnh::MutexLock lock;
    return vnh::SharedHeap().PoolAllowed();
  };
  EXPECT_FALSE(pooling());
  EXPECT_EQ(Assign("PoolAllowed", Boolean(true)), 1);
  EXPECT_TRUE(pooling());
}

TEST_F(SystemVariablesTest, ServerAppNameDecidesWhoMayBeTheServer) {
  ASSERT_EQ(InitVarnholtnet(), 1);
  VNHSettingText buffer{};
  ASSERT_EQ(Assign("VNHServerAppName", Text(&buffer, "PANEL")), 1);
  std::int32_t status = 0;
  VNHInitCommunication(&status);
  EXPECT_EQ(status, 2) << "this test program is not panel";
}

struct Collected {
  std::vector<std::string> texts;
};
Collected* g_collected = nullptr;

void VNH_CALL Collect(const char* text) { g_collected->texts.emplace_back(text); }

TEST_F(SystemVariablesTest, OCPutsCallBackSetsTheTraceCallbackOfTheCallingClient) {
  Collected collected;
  g_collected = &collected;
  ASSERT_EQ(InitVarnholtnet(), 1);
  std::int32_t status = 0;
  VNHInitCommunication(&status);  // the owner prints every trace
  VNHValue value = Integer(0);
  value.value.callback = Collect;
  EXPECT_EQ(Assign("OCPutsCallBack", value), 1);
  vnh::Trace("to the callback");
  EXPECT_EQ(collected.texts, std::vector<std::string>{"to the callback"});
  {
    vnh::MutexLock lock;
    EXPECT_NE(vnh::Client(vnh::CurrentClient())->trace_callback, 0u);
  }
  EXPECT_EQ(Assign("OCPutsCallBackAndMore", value), 1) << "compared on its own length";
  EXPECT_EQ(Assign("OCPutsCall", value), -28);
  value.value.callback = reinterpret_cast<VNHTraceCallBack>(std::uintptr_t{0x10});
  EXPECT_EQ(Assign("OCPutsCallBack", value), -38) << "an address in no module";
  vnh::Trace("still collected");
  EXPECT_EQ(collected.texts.size(), 2u);
  EXPECT_EQ(Assign("OCPutsCallBack", Integer(0)), 1);
  testing::internal::CaptureStdout();
  vnh::Trace("to standard output");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "to standard output\n");
  // A line that comes again and again is counted, not printed each time.
  testing::internal::CaptureStdout();
  for (int i = 0; i < 1000; ++i) vnh::Trace("frame dropped");
  vnh::Trace("another");
  vnh::Trace("frame dropped");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "frame dropped\n(last trace line repeated 999 times)\nanother\nframe dropped\n");
  EXPECT_EQ(collected.texts.size(), 2u);
  {
    vnh::MutexLock lock;
    EXPECT_EQ(vnh::Client(vnh::CurrentClient())->trace_callback, 0u);
  }
  g_collected = nullptr;
}

}  // namespace
