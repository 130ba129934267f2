#include "store/SettingsCatalogue.h"

#include <gtest/gtest.h>

#include "store/StoreTestSupport.h"

namespace pm::tests {
namespace {

using store::Switch;

struct SwitchCase {
  const char* stored;
  bool on;
};

class SwitchReadingTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchReadingTest, OnlyExactlyOneIsOn) {
  sim::SimRegistry registry;
  StoreText(registry, store::kSettingsKey, "BlockInstall", GetParam().stored);
  EXPECT_EQ(store::ReadSwitch(registry, Switch::BlockInstall), GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(StoredTexts, SwitchReadingTest,
                         ::testing::Values(SwitchCase{"1", true}, SwitchCase{"0", false},
                                           SwitchCase{"01", false}, SwitchCase{"yes", false},
                                           SwitchCase{" 1", false}, SwitchCase{"1 ", false},
                                           SwitchCase{"true", false}));

TEST(SettingsCatalogueTest, AnEmptySettingsKeyReadsAsEverythingOff) {
  sim::SimRegistry registry;
  for (const store::SwitchInfo& info : store::Switches()) {
    EXPECT_FALSE(store::ReadSwitch(registry, info.id)) << info.valueName;
  }
  EXPECT_EQ(store::ReadPassword(registry, store::setting::kUserPassword), "");
  EXPECT_EQ(store::ReadSetting(registry, store::setting::kPasswordPicture), "");
  const auto timers = store::ReadTimerSettings(registry, 0);
  EXPECT_EQ(timers.timeDelay, 0);
  EXPECT_EQ(timers.relockMinutes, 0);
}

TEST(SettingsCatalogueTest, ASwitchStoredAsANumberIsOff) {
  sim::SimRegistry registry;
  EXPECT_TRUE(store::RegistryModule::WriteValue(registry, store::kRootKey, store::kSettingsKey,
                                                "LockZip", std::int32_t{1}));
  EXPECT_FALSE(store::ReadSwitch(registry, Switch::LockZip));
}

TEST(SettingsCatalogueTest, SwitchesAreListedInTheirSavingOrderWithTheirKeywords) {
  std::vector<std::string_view> names;
  for (const auto& info : store::Switches()) names.push_back(info.valueName);
  EXPECT_EQ(names,
            (std::vector<std::string_view>{
                "passwordprompt", "LockZip", "LockInternet", "disablemenu", "BlockInstall",
                "LockInternetDownloads", "LockDesktop", "BlankScreen", "HideMenu", "LockStartup"}));
  const auto install = store::Info(Switch::BlockInstall).keywords;
  EXPECT_EQ(std::vector<std::string_view>(install.begin(), install.end()),
            (std::vector<std::string_view>{"setup", "install", "license agreement"}));
  EXPECT_EQ(store::Info(Switch::LockInternetDownloads).keywords[0], "file download");
}

TEST(SettingsCatalogueTest, PasswordsAreCutToSixteenCharactersNotBytes) {
  sim::SimRegistry registry;
  StoreText(registry, store::kSettingsKey, "UserPassword", "abcdefghijklmnopqrst");
  StoreText(registry, store::kSettingsKey, "UserPassword2", "пппппппппппппппппппп");
  EXPECT_EQ(store::ReadPassword(registry, "UserPassword"), "abcdefghijklmnop");
  EXPECT_EQ(store::ReadPassword(registry, "UserPassword2"), "пппппппппппппппп");
}

struct TimerCase {
  const char* timeDelay;
  const char* relock;
  std::int16_t expectedDelay;
  std::int16_t expectedRelock;  // the previous relock minutes are 7
};

class TimerReadingTest : public ::testing::TestWithParam<TimerCase> {};

TEST_P(TimerReadingTest, DelayIsFiveToNinetyNineAndABadNumberKeepsTheRelock) {
  const auto timers = store::ParseTimerSettings(GetParam().timeDelay, GetParam().relock, 7);
  EXPECT_EQ(timers.timeDelay, GetParam().expectedDelay);
  EXPECT_EQ(timers.relockMinutes, GetParam().expectedRelock);
}

INSTANTIATE_TEST_SUITE_P(
    StoredTexts, TimerReadingTest,
    ::testing::Values(TimerCase{"", "", 0, 0}, TimerCase{"4", "0", 0, 0},
                      TimerCase{"5", "10", 5, 10}, TimerCase{"99", "2", 99, 2},
                      TimerCase{"100", "", 0, 0}, TimerCase{"0", "0", 0, 0},
                      TimerCase{"-5", "3", 0, 3}, TimerCase{" 12 ", "4.5", 12, 4},
                      TimerCase{"abc", "10", 0, 7}, TimerCase{"40000", "10", 0, 7},
                      TimerCase{"10", "abc", 0, 7}, TimerCase{"10", "40000", 0, 7},
                      TimerCase{"10", "32767", 10, 32767}));

TEST(SettingsCatalogueTest, ToInteger16FollowsTheStoredNumberRules) {
  EXPECT_EQ(store::ToInteger16("-32768"), std::int16_t{-32768});
  EXPECT_EQ(store::ToInteger16("+7"), std::int16_t{7});
  EXPECT_EQ(store::ToInteger16("2.5"), std::int16_t{2});
  EXPECT_EQ(store::ToInteger16("3.5"), std::int16_t{4});
  EXPECT_FALSE(store::ToInteger16("32768"));
  EXPECT_FALSE(store::ToInteger16("1e3"));
  EXPECT_FALSE(store::ToInteger16("-"));
  EXPECT_FALSE(store::ToInteger16(""));
  EXPECT_FALSE(store::ToInteger16("99999999999999999999"));
}

class StartupLockTest : public ::testing::Test {
 protected:
  static constexpr auto kRunOnce = store::StartupLockStarter::RunOnce;
  sim::SimRegistry registry_;
};

TEST_F(StartupLockTest, SwitchedOnArmsRunOnceWithTheProgramFolder) {
  StoreText(registry_, store::kWinlogonKey, "Background", "0 0 0");
  ASSERT_TRUE(
      store::ApplyStartupLock(registry_, true, "C:\\Program Files\\Pelmora Pro\\", kRunOnce));
  EXPECT_EQ(StoredText(registry_, store::kRunOnceKey, "pmpro lock startup"),
            "C:\\Program Files\\Pelmora Pro\\pmpstart.exe");
  EXPECT_FALSE(ValueExists(registry_, store::kWinlogonKey, "Background"));
  EXPECT_EQ(store::RegistryModule::ReadValue(registry_, store::kRootKey, store::kWinlogonKey,
                                             "LogonType"),
            store::RegValue(std::int32_t{0}));
}

TEST_F(StartupLockTest, AProgramAtADriveRootGetsOneBackslash) {
  ASSERT_TRUE(store::ApplyStartupLock(registry_, true, "D:\\", kRunOnce));
  EXPECT_EQ(StoredText(registry_, store::kRunOnceKey, "pmpro lock startup"), "D:\\pmpstart.exe");
}

TEST_F(StartupLockTest, SwitchedOffDeletesRunOnceAndLeavesWinlogonAlone) {
  ASSERT_TRUE(store::ApplyStartupLock(registry_, true, "C:\\PM\\", kRunOnce));
  StoreText(registry_, store::kWinlogonKey, "Background", "restored by hand");
  ASSERT_TRUE(store::ApplyStartupLock(registry_, false, "C:\\PM\\", kRunOnce));
  EXPECT_FALSE(ValueExists(registry_, store::kRunOnceKey, "pmpro lock startup"));
  EXPECT_EQ(StoredText(registry_, store::kWinlogonKey, "Background"), "restored by hand");
  EXPECT_TRUE(ValueExists(registry_, store::kWinlogonKey, "LogonType"));
  EXPECT_TRUE(store::ApplyStartupLock(registry_, false, "C:\\PM\\", kRunOnce))
      << "nothing left to delete";
}

TEST_F(StartupLockTest, WhereTheServiceStartsTheLockerNoRunOnceEntryIsLeft) {
  ASSERT_TRUE(store::ApplyStartupLock(registry_, true, "C:\\PM\\", kRunOnce));
  StoreText(registry_, store::kWinlogonKey, "Background", "0 0 0");
  ASSERT_TRUE(
      store::ApplyStartupLock(registry_, true, "C:\\PM\\", store::StartupLockStarter::Service));
  EXPECT_FALSE(ValueExists(registry_, store::kRunOnceKey, "pmpro lock startup"))
      << "an administrator's log-on would start a second start-up locker";
  EXPECT_FALSE(ValueExists(registry_, store::kWinlogonKey, "Background"));
  EXPECT_TRUE(ValueExists(registry_, store::kWinlogonKey, "LogonType"));
}

TEST_F(StartupLockTest, AnUnwritableRunOnceKeyIsReported) {
  registry_.DenyWrites(store::kRootKey, store::kRunOnceKey);
  EXPECT_EQ(store::ApplyStartupLock(registry_, true, "C:\\PM\\", kRunOnce).code(),
            platform::reg_error::kAccessDenied);
}

}  // namespace
}  // namespace pm::tests
