// The engine's rules as loaded from the store, and the settings that act at
// once when they are loaded.
#include "engine/EngineFixture.h"

namespace pm::tests {
namespace {

using store::ListItem;

TEST_F(EngineTest, AnEmptyRegistryLocksOnlyTheConfigurationTool) {
  StartEngine();
  EXPECT_EQ(Engine().frmMain.LockedKeywords(), std::vector<std::string>{"configuration tool"});
  EXPECT_TRUE(Engine().frmMain.IgnoreKeywords().empty());
  EXPECT_EQ(State().TimeDelay, 0);
  EXPECT_EQ(State().RelockMinutes, 0);
}

TEST_F(EngineTest, KeywordsComeInTheirOrderWithTheFeatureKeywordsLast) {
  Store("BlockInstall", "1");
  Store("LockZip", "1");
  Store("LockInternet", "yes");
  LockItems({{"Alpha Tool", true}, {"Notepad", false}, {"BETA", true}}, {"Keep OUT"});
  StartEngine();
  EXPECT_EQ(Engine().frmMain.LockedKeywords(),
            (std::vector<std::string>{"configuration tool", "alpha tool", "beta", "setup",
                                      "install", "license agreement", "zip", "extract"}));
  EXPECT_EQ(Engine().frmMain.IgnoreKeywords(), std::vector<std::string>{"keep out"});
}

TEST_F(EngineTest, EveryFeatureSwitchLocksWindowsByItsKeywords) {
  for (const char* name : {"BlockInstall", "LockZip", "LockInternet", "LockInternetDownloads"}) {
    Store(name, "1");
  }
  StartEngine();
  for (const char* title : {"Setup Wizard", "Extracting files", "Connect to the network",
                            "File Download - Security Warning", "License Agreement"}) {
    SCOPED_TRACE(title);
    const auto window = OpenWindow(title, title);
    Pass(500);
    EXPECT_FALSE(Visible(window));
  }
}

TEST_F(EngineTest, CyrillicItemsMatchTitlesInEitherCase) {
  LockItems({{"Диспетчер Задач", true}});
  StartEngine();
  const auto window = OpenWindow("ДИСПЕТЧЕР ЗАДАЧ Windows");
  Pass(500);
  EXPECT_FALSE(Visible(window));
}

struct TimerSettingCase {
  const char* timeDelay;
  const char* relock;
  std::int16_t expectedDelay;
  std::int16_t expectedRelock;
};

class TimerReloadTest : public EngineTest,
                        public ::testing::WithParamInterface<TimerSettingCase> {};

TEST_P(TimerReloadTest, ABadNumberTurnsTheLimitOffAndKeepsTheRelockMinutes) {
  Store("TimeDelay", "10");
  Store("relock", "7");
  StartEngine();
  ASSERT_EQ(State().RelockMinutes, 7);
  Store("TimeDelay", GetParam().timeDelay);
  Store("relock", GetParam().relock);
  State().ReloadRequested = true;
  Pass(500);
  EXPECT_EQ(State().TimeDelay, GetParam().expectedDelay);
  EXPECT_EQ(State().RelockMinutes, GetParam().expectedRelock);
}

INSTANTIATE_TEST_SUITE_P(
    StoredTexts, TimerReloadTest,
    ::testing::Values(TimerSettingCase{"abc", "3", 0, 7}, TimerSettingCase{"20", "abc", 0, 7},
                      TimerSettingCase{"20", "40000", 0, 7}, TimerSettingCase{"4", "3", 0, 3},
                      TimerSettingCase{"5", "0", 5, 0}, TimerSettingCase{"99", "", 99, 0},
                      TimerSettingCase{"100", "2", 0, 2}));

TEST_F(EngineTest, LockDesktopDisablesTheDesktopAndAReloadEnablesItAgain) {
  const auto desktop = OpenWindow("Program Manager", "Progman");
  Store("LockDesktop", "1");
  StartEngine();
  EXPECT_FALSE(world_.Find(desktop)->enabled);
  Store("LockDesktop", "0");
  State().ReloadRequested = true;
  Pass(500);
  EXPECT_TRUE(world_.Find(desktop)->enabled);
}

TEST_F(EngineTest, LockStartupArmsTheStartUpLockerFromTheProgramFolderAtEveryLoad) {
  Store("LockStartup", "1");
  StartEngine();
  EXPECT_EQ(StoredText(registry_, store::kRunOnceKey, "pmpro lock startup"),
            "C:\\Program Files\\Pelmora Pro\\pmpstart.exe");
  // Windows removes the entry when it runs it; the next load writes it again.
  EXPECT_TRUE(store::modRegistry::DeleteValue(registry_, store::kRootKey, store::kRunOnceKey,
                                              "pmpro lock startup"));
  State().ReloadRequested = true;
  Pass(500);
  EXPECT_TRUE(ValueExists(registry_, store::kRunOnceKey, "pmpro lock startup"));
  Store("LockStartup", "0");
  State().ReloadRequested = true;
  Pass(500);
  EXPECT_FALSE(ValueExists(registry_, store::kRunOnceKey, "pmpro lock startup"));
}

TEST_F(EngineTest, AReloadKeepsTheTrayIconAsItIs) {
  StartEngine();
  const int adds = world_.trayAdds;
  State().ReloadRequested = true;
  Pass(500);
  EXPECT_EQ(world_.trayAdds, adds);
  Store("disablemenu", "1");
  State().ReloadRequested = true;
  Pass(500);
  EXPECT_FALSE(world_.tray);
}

}  // namespace
}  // namespace pm::tests
