// Remote time setting: the "XTIME" value, and this PC's clock set by a remote
// node only when the settings allow it.

#include "varnht32/src/remote_time.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/tests/test_support.h"

namespace {

using vnh::LocalDate;
using vnh::XTime;

TEST(XTimeTest, BytesOfTheRemoteTimeValue) {
  struct Case {
    const char* what;
    LocalDate date;
    XTime bytes;
  } cases[] = {
      {"29 February 2000 12:00:00.250", {7364, 43'200'250},
       {7, 208, 2, 29, 0, 12, 0, 0, 0, 250, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"1 January 1980", {0, 0}, {7, 188, 1, 1, 0, 0, 0, 0, 0, 0}},
      {"31 December 2099 23:59:59.999", {43'829, 86'399'999}, {8, 51, 12, 31, 0, 23, 59, 59, 3, 231}},
      {"1 March 2100", {43'889, 0}, {8, 52, 3, 1, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vnh::EncodeXTime(c.date), c.bytes) << c.what;
    std::optional<LocalDate> back = vnh::DecodeXTime(c.bytes);
    ASSERT_TRUE(back.has_value()) << c.what;
    EXPECT_EQ(back->days, c.date.days) << c.what;
    EXPECT_EQ(back->ms, c.date.ms) << c.what;
  }
}

TEST(XTimeTest, AValueThatNamesNoMomentIsRefused) {
  const XTime good = {7, 208, 2, 29, 0, 12, 0, 0, 0, 250};
  struct Case {
    const char* what;
    std::size_t at;
    std::uint8_t byte;
  } cases[] = {
      {"month 0", 2, 0},  {"month 13", 2, 13}, {"day 0", 3, 0},     {"30 February", 3, 30},
      {"hour 24", 5, 24}, {"minute 60", 6, 60}, {"second 60", 7, 60}, {"1000 ms", 8, 3},
      {"year 1979", 1, 187},
  };
  for (const Case& c : cases) {
    XTime bad = good;
    bad[c.at] = c.byte;
    if (c.at == 8) bad[9] = 232;  // 0x03E8
    EXPECT_FALSE(vnh::DecodeXTime(bad).has_value()) << c.what;
  }
  std::vector<std::uint8_t> shorter(good.begin(), good.end() - 1);
  EXPECT_FALSE(vnh::DecodeXTime(shorter).has_value());
  std::vector<std::uint8_t> longer(good.begin(), good.end());
  longer.push_back(0);
  EXPECT_FALSE(vnh::DecodeXTime(longer).has_value());
}

class RecordingClock : public vnh::WallClock {
 public:
  LocalDate Now() override { return now; }
  bool Set(LocalDate local, std::string*) override {
    set.push_back(local);
    return true;
  }
  LocalDate now{0, 0};
  std::vector<LocalDate> set;
};

class RemoteTimeTest : public vnh_test::SegmentTest {
 protected:
  void SetUp() override {
    SegmentTest::SetUp();
    clock_.Install();
    vnh::SetWallClock(&wall_);
    ASSERT_EQ(InitVarnholtnet(), 1);
  }
  void TearDown() override {
    vnh::SetWallClock(nullptr);
    SegmentTest::TearDown();
  }
  std::int32_t SetMode(std::int32_t mode) {
    VNHIdentifier name{19, "SetRemoteTimeEnable"};
    VNHValue value{};
    value.type = 2;
    value.value.integer = mode;
    std::int32_t status = 0;
    VNHAssignSystemVariable(&name, &value, &status);
    return status;
  }
  bool ReceiveXTime(const XTime& bytes) {
    vnh::MutexLock lock;
    return vnh::ReceiveRemoteTime(bytes);
  }
  bool ReceiveXTErr(std::int32_t correction) {
    vnh::MutexLock lock;
    return vnh::ReceiveTimeCorrection(correction);
  }

  vnh_test::VirtualClock clock_;
  RecordingClock wall_;
};

const XTime kLeapDayNoon = {7, 208, 2, 29, 0, 12, 0, 0, 0, 250};

TEST_F(RemoteTimeTest, ARemoteNodeSetsThisClockOnlyWhenTheSettingsAllowIt) {
  for (std::int32_t mode : {0, 1}) {
    ASSERT_EQ(SetMode(mode), 1);
    EXPECT_FALSE(ReceiveXTime(kLeapDayNoon)) << mode;
    EXPECT_FALSE(ReceiveXTErr(0)) << mode;
  }
  EXPECT_TRUE(wall_.set.empty());
  EXPECT_EQ(SetMode(3), -38);

  ASSERT_EQ(SetMode(2), 1);
  EXPECT_FALSE(ReceiveXTErr(250)) << "no remote date yet: the clock must not go back to 1980";
  EXPECT_TRUE(wall_.set.empty());
  XTime bad = kLeapDayNoon;
  bad[2] = 13;
  EXPECT_FALSE(ReceiveXTime(bad));
  EXPECT_FALSE(ReceiveXTErr(250));

  ASSERT_TRUE(ReceiveXTime(kLeapDayNoon));
  clock_.Advance(1500);
  ASSERT_TRUE(ReceiveXTErr(250));
  ASSERT_EQ(wall_.set.size(), 1u);
  EXPECT_EQ(wall_.set[0].days, 7364u);
  EXPECT_EQ(wall_.set[0].ms, 43'200'250u + 1500 + 250);
}

TEST_F(RemoteTimeTest, TheCorrectionCarriesIntoTheNextDay) {
  ASSERT_EQ(SetMode(2), 1);
  ASSERT_TRUE(ReceiveXTime({7, 208, 2, 29, 0, 23, 59, 59, 3, 132}));  // 23:59:59.900
  clock_.Advance(50);
  ASSERT_TRUE(ReceiveXTErr(150));
  ASSERT_EQ(wall_.set.size(), 1u);
  EXPECT_EQ(wall_.set[0].days, 7365u);
  EXPECT_EQ(wall_.set[0].ms, 100u);
  // A correction that reaches back before 1980 sets nothing.
  ASSERT_TRUE(ReceiveXTime({7, 188, 1, 1, 0, 0, 0, 0, 0, 10}));
  EXPECT_FALSE(ReceiveXTErr(-11));
  EXPECT_EQ(wall_.set.size(), 1u);
}

TEST_F(RemoteTimeTest, SetRemoteTimeIsAllowedOnlyWhileThisPcSetsRemoteClocks) {
  for (std::int32_t mode : {0, 2, 1}) {
    ASSERT_EQ(SetMode(mode), 1);
    VNHHandle connection = 0;
    VNHHandle action = 1234;
    std::int32_t status = 0;
    VNHSetRemoteTime(&connection, &action, &status);
    EXPECT_EQ(status, mode == 1 ? -2 : -18) << "mode " << mode << " (-2: no connection given)";
    EXPECT_EQ(action, 0u);
  }
  vnh::MutexLock lock;
  wall_.now = LocalDate{7364, 43'200'250};
  EXPECT_EQ(vnh::CurrentXTime(), kLeapDayNoon);
}

}  // namespace
