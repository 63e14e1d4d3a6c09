// The shared library as a program loads it: every export of the module
// definition resolves by name, and the frame works through the exports alone.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/base/files.h"
#include "varnht32/include/varnht32.h"
#include "varnht32/tests/test_support.h"

namespace {

struct Export {
  std::string name;
  int ordinal;
};

std::vector<Export> ReadDefinition() {
  std::vector<Export> exports;
  std::ifstream def(VARNHT32_DEF_PATH);
  std::regex line(R"(^\s*([A-Za-z0-9_]+)\s+@(\d+)\s*$)");
  std::string text;
  while (std::getline(def, text)) {
    std::smatch m;
    if (std::regex_match(text, m, line)) exports.push_back({m[1], std::stoi(m[2])});
  }
  return exports;
}

class ExportsTest : public vnh_test::SegmentTest {
 protected:
  void SetUp() override {
    SegmentTest::SetUp();
    library_ = dlopen(VARNHT32_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
  }
  void TearDown() override {
    if (library_ != nullptr) {
      auto dll_main = reinterpret_cast<decltype(&DllMain)>(dlsym(library_, "DllMain"));
      if (dll_main != nullptr) dll_main(nullptr, 0, nullptr);
      dlclose(library_);
    }
    SegmentTest::TearDown();
  }
  template <class F>
  F* Get(const char* name) {
    return reinterpret_cast<F*>(dlsym(library_, name));
  }

  void* library_ = nullptr;
};

TEST_F(ExportsTest, OrdinalTableHoldsFortyNineExportsAndEachResolves) {
  std::vector<Export> exports = ReadDefinition();
  ASSERT_EQ(exports.size(), 49u);
  std::set<int> ordinals;
  for (const Export& e : exports) {
    EXPECT_TRUE(ordinals.insert(e.ordinal).second) << e.name;
    EXPECT_NE(dlsym(library_, e.name.c_str()), nullptr) << e.name;
  }
  EXPECT_EQ(*ordinals.begin(), 1);
  EXPECT_EQ(*ordinals.rbegin(), 50);
  EXPECT_EQ(ordinals.count(26), 0u);
  // The ordinals the transfer program imports.
  for (auto [name, ordinal] : std::vector<std::pair<const char*, int>>{
           {"InitVarnholtnet", 2}, {"VNHSetAsyncActionCallBack", 6}, {"VNHInitCommunication", 12},
           {"VNHPollCommunication", 13}, {"VNHStreamClose", 32}, {"VNHConfigIdentity", 42}}) {
    bool found = false;
    for (const Export& e : exports) found |= (e.name == name && e.ordinal == ordinal);
    EXPECT_TRUE(found) << name;
  }
  // Internal names stay inside.
  EXPECT_EQ(dlsym(library_, "_ZN3vnh10LockMutexEv"), nullptr);
}

TEST_F(ExportsTest, ALifeThroughTheExports) {
  ASSERT_TRUE(WriteWholeFile(settings_file(), "KelmnetTCPIPNode\nI 12\n"));
  auto init = Get<decltype(InitVarnholtnet)>("InitVarnholtnet");
  auto init_comm = Get<decltype(VNHInitCommunication)>("VNHInitCommunication");
  auto poll = Get<decltype(VNHPollCommunication)>("VNHPollCommunication");
  auto close_comm = Get<decltype(VNHCloseCommunication)>("VNHCloseCommunication");
  auto close = Get<decltype(CloseVarnholtnet)>("CloseVarnholtnet");
  auto version = Get<decltype(VNHVersion)>("VNHVersion");
  std::int32_t status = 0;
  EXPECT_EQ(version(), 0x20A);
  EXPECT_EQ(init_comm(&status), -2);
  EXPECT_EQ(status, -2);
  ASSERT_EQ(init(), 1);
  // The library reads its settings file with its own file services.
  auto get = Get<decltype(VNHGetSystemVariable)>("VNHGetSystemVariable");
  VNHIdentifier name{16, "KelmnetTCPIPNode"};
  VNHValue value{};
  get(&name, &value, &status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(value.type, 2u);
  EXPECT_EQ(value.value.integer, 12) << "from the test's settings file";
  init_comm(&status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(poll(), 1);
  EXPECT_EQ(close_comm(), 1);
  EXPECT_EQ(close(), 1);
  EXPECT_EQ(poll(), -2);
}

}  // namespace
