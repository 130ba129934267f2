// Start-up, the tray, the second start, the configuration tool's own lock,
// the relock counter, reloads and the close-and-restart.
#include "engine/EngineFixture.h"
#include "pmp/Version.h"

namespace pm::tests {
namespace {

using store::ListItem;

TEST_F(EngineTest, StartUpTakesTheRunningTitleAndShowsTheLockedTrayIcon) {
  auto& process = StartEngine();
  EXPECT_EQ(Engine().frmMain.Caption(), "Pelmora Pro 2003");
  EXPECT_FALSE(Engine().frmMain.Visible());
  EXPECT_TRUE(process.toolkit.hiddenFromTaskList());
  EXPECT_TRUE(world_.screenSaverRunning);
  EXPECT_EQ(State().AppFolder, "C:\\Program Files\\Pelmora Pro\\");
  ASSERT_TRUE(world_.tray);
  EXPECT_EQ(world_.tray->toolTip, "Pelmora Pro 2003 - Locked");
  EXPECT_EQ(world_.tray->icon, platform::BuiltIn::LockedIcon);
}

TEST_F(EngineTest, WithTheTrayIconDisabledThereIsNone) {
  Store("disablemenu", "1");
  StartEngine();
  EXPECT_FALSE(world_.tray);
  EXPECT_TRUE(State().TrayIconDisabled);
}

TEST_F(EngineTest, ADoubleClickOnTheTrayIconOpensTheConfigurationToolBehindThePassword) {
  StorePasswords();
  auto& process = StartEngine();
  process.shell.TrayMessage(platform::kWmLButtonDblClk);
  world_.RunPending();
  EXPECT_TRUE(State().SetupRequested);
  const auto setup = Engine().frmSetup.hwnd();
  ASSERT_NE(setup, 0u);
  EXPECT_FALSE(Visible(setup)) << "hidden as soon as it came to the front";
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->TextOf("Label1"), "'Configuration Tool' requires a password.");
}

TEST_F(EngineTest, TheRightClickMenuOffersConfigureUnlessHidden) {
  auto& process = StartEngine();
  process.shell.TrayMessage(platform::kWmRButtonUp);
  EXPECT_EQ(world_.lastPopupMenu, "mnufile");
}

TEST_F(EngineTest, WithHideMenuADoubleClickDoesNothingAndTheMenuHasNoConfigure) {
  Store("HideMenu", "1");
  auto& process = StartEngine();
  process.shell.TrayMessage(platform::kWmLButtonDblClk);
  world_.RunPending();
  EXPECT_FALSE(State().SetupRequested);
  EXPECT_FALSE(Engine().frmSetup.IsLoaded());
  process.shell.TrayMessage(platform::kWmRButtonUp);
  EXPECT_EQ(world_.lastPopupMenu, "mnufile2");
}

TEST_F(EngineTest, TheUnlockedConfigurationToolAndItsDialogsPassUntilItCloses) {
  StorePasswords();
  StartEngine();
  Engine().frmMain.mnuPMISetup_Click();
  world_.RunPending();
  Answer("secret");
  const auto setup = Engine().frmSetup.hwnd();
  EXPECT_TRUE(Visible(setup));
  EXPECT_EQ(State().ConfigWindowKey, Key("PelmoraProWindow", EnginePath()));
  EXPECT_TRUE(State().UnlockedKeys.empty());
  Pass(2000);
  EXPECT_TRUE(Visible(setup));
  // Closing it ends the unlock: the next "Configure..." asks again.
  world_.Find(setup)->ours->CloseFromTitleBar();
  Pass(500);  // the engine forgets the unlock once the tool is gone
  EXPECT_TRUE(State().ConfigWindowKey.empty());
  Engine().frmMain.mnuPMISetup_Click();
  world_.RunPending();
  EXPECT_NE(Prompt(), nullptr);
}

TEST_F(EngineTest, AWrongPasswordForTheConfigurationToolClosesIt) {
  StorePasswords();
  StartEngine();
  Engine().frmMain.mnuPMISetup_Click();
  world_.RunPending();
  Answer("wrong");
  EXPECT_FALSE(Engine().frmSetup.IsLoaded());
}

TEST_F(EngineTest, TitlesHoldingTheProgramNameAreNeverBlockedInOurOwnWindows) {
  LockItems({{"Registry Editor", true}});
  StartEngine();
  // Another window of the engine's own program file.
  world_.SetProgramPath(500, "C:\\Program Files\\Pelmora Pro\\pmpro.exe");
  const auto own = world_.CreateOtherWindow("Registry Editor - Pelmora Pro", "Notepad", 500);
  Pass(500);
  EXPECT_TRUE(Visible(own));
  const auto lower = world_.CreateOtherWindow("Registry Editor - pelmora pro", "Notepad", 500);
  Pass(500);
  EXPECT_FALSE(Visible(lower)) << "only the exact words exempt a title";
  const auto foreign = OpenWindow("Registry Editor - Pelmora Pro");
  Pass(500);
  EXPECT_FALSE(Visible(foreign)) << "another program's window is judged by its title alone";
}

// Every window on the screen is examined at every tick, so an ignored window
// is simply passed over each time; it is no longer remembered as blocked and
// closed when another locked window comes.
TEST_F(EngineTest, AnIgnoredWindowStaysWhenAnotherLockedOneComes) {
  StorePasswords();
  LockItems({{"Setup", true}}, {"Setup Log"});
  StartEngine();
  const auto ignored = OpenWindow("Setup Log Viewer", "Viewer");
  Pass(500);
  EXPECT_TRUE(Visible(ignored));
  EXPECT_EQ(Prompt(), nullptr);
  const auto locked = OpenWindow("Setup Wizard", "Wizard");
  Pass(500);
  EXPECT_EQ(CloseRequests(ignored), 0);
  EXPECT_TRUE(Visible(ignored));
  EXPECT_FALSE(Visible(locked));
}

class PasswordPromptSwitchTest : public EngineTest {
 protected:
  void SetUp() override {
    StorePasswords();
    Store("passwordprompt", "1");
    LockItems({{"Registry Editor", true}});
  }
};

TEST_F(PasswordPromptSwitchTest, LockedWindowsVanishWithoutAPromptAndCloseOnTheNext) {
  StartEngine();
  const auto first = OpenWindow("Registry Editor", "A");
  Pass(500);
  EXPECT_FALSE(Visible(first));
  EXPECT_EQ(Prompt(), nullptr);
  OpenWindow("Registry Editor", "B");
  Pass(500);
  EXPECT_EQ(CloseRequests(first), 1);
}

TEST_F(PasswordPromptSwitchTest, AfterConfigureEveryLockedWindowGetsThePromptAgain) {
  StartEngine();
  Engine().frmMain.mnuPMISetup_Click();
  world_.RunPending();
  ASSERT_NE(Prompt(), nullptr);
  Answer("secret");
  OpenWindow("Registry Editor");
  Pass(500);
  EXPECT_NE(Prompt(), nullptr);
}

TEST_F(EngineTest, TheBlankScreenComesWithThePromptAndGoesWithEveryAnswer) {
  StorePasswords();
  Store("BlankScreen", "1");
  LockItems({{"Registry Editor", true}});
  StartEngine();
  for (const char* answer : {"secret", "wrong", "X"}) {
    SCOPED_TRACE(answer);
    const auto window = OpenWindow("Registry Editor", std::string("Class") + answer);
    Pass(500);
    ASSERT_TRUE(Engine().frmBlank.Visible());
    EXPECT_EQ(world_.Find(Engine().frmBlank.hwnd())->ours->coveredMonitorOf(), window);
    if (std::string(answer) == "X") {
      Prompt()->Click("Command1");
    } else {
      Answer(answer);
    }
    EXPECT_FALSE(Engine().frmBlank.Visible());
  }
}

TEST_F(EngineTest, WithPromptsSuppressedTheBlankScreenStillComesAndStays) {
  StorePasswords();
  Store("BlankScreen", "1");
  Store("passwordprompt", "1");
  LockItems({{"Registry Editor", true}});
  StartEngine();
  OpenWindow("Registry Editor");
  Pass(500);
  EXPECT_TRUE(Engine().frmBlank.Visible());
  EXPECT_EQ(Prompt(), nullptr);
  Pass(5000);
  EXPECT_TRUE(Engine().frmBlank.Visible());
}

TEST_F(EngineTest, UnlockEverythingEndsByItselfAfterTheRelockMinutes) {
  StorePasswords();
  Store("relock", "2");
  LockItems({{"Registry Editor", true}});
  StartEngine();
  Engine().frmMain.UnlockEverything();
  EXPECT_EQ(world_.tray->toolTip, "Pelmora Pro 2003 - Unlocked");
  EXPECT_EQ(world_.tray->icon, platform::BuiltIn::UnlockedIcon);
  EXPECT_FALSE(world_.screenSaverRunning);
  const auto editor = OpenWindow("Registry Editor");
  Pass(2 * 60 * 1000 - 1);
  EXPECT_TRUE(Visible(editor)) << "nothing is watched while everything is unlocked";
  EXPECT_TRUE(State().AllUnlocked);
  Pass(501);  // the reload comes within 500 ms of the second minute
  EXPECT_FALSE(State().AllUnlocked);
  EXPECT_EQ(world_.tray->toolTip, "Pelmora Pro 2003 - Locked");
  Pass(500);
  EXPECT_FALSE(Visible(editor));
}

TEST_F(EngineTest, WithoutARelockTimeUnlockEverythingLastsUntilRelocked) {
  StorePasswords();
  LockItems({{"Registry Editor", true}});
  StartEngine();
  const auto unlocked = OpenWindow("Registry Editor", "Unlocked");
  Pass(500);
  Answer("secret");
  Engine().frmMain.UnlockEverything();
  Pass(60 * 60 * 1000);
  EXPECT_TRUE(State().AllUnlocked);
  Engine().frmMain.RelockEverything();
  EXPECT_TRUE(State().UnlockedKeys.empty());
  EXPECT_TRUE(world_.screenSaverRunning);
  world_.BringToFront(unlocked);
  Pass(500);
  EXPECT_FALSE(Visible(unlocked)) << "Relock forgets the unlocks by password";
}

TEST_F(EngineTest, AReloadRebuildsTheRulesWithoutDoublingThem) {
  LockItems({{"Alpha", true}, {"Beta", true}}, {"Gamma"});
  StartEngine();
  const auto before = Engine().frmMain.LockedKeywords();
  State().ReloadRequested = true;
  Pass(500);
  State().ReloadRequested = true;
  Pass(500);
  EXPECT_EQ(Engine().frmMain.LockedKeywords(), before);
  EXPECT_EQ(Engine().frmMain.IgnoreKeywords(), std::vector<std::string>{"gamma"});
  LockItems({{"Alpha", true}}, {});
  State().ReloadRequested = true;
  Pass(500);
  EXPECT_EQ(Engine().frmMain.LockedKeywords(),
            (std::vector<std::string>{"configuration tool", "alpha"}));
  EXPECT_TRUE(Engine().frmMain.IgnoreKeywords().empty());
  EXPECT_FALSE(State().ReloadRequested);
}

TEST_F(EngineTest, ASecondStartSignalsTheRunningCopyWhichOpensItsConfigurationTool) {
  StorePasswords();
  StartEngine();
  EngineProcess second(world_, registry_, 200);
  const std::int64_t started = world_.Now();
  second.engine.Start();
  EXPECT_TRUE(second.engine.frmMain.IsSecondStart());
  EXPECT_EQ(second.toolkit.exitCode(), 0);
  EXPECT_GE(world_.Now() - started, 1000) << "the signal stays up for about a second";
  EXPECT_FALSE(second.engine.frmMain.timPelmora.Enabled());
  EXPECT_EQ(second.engine.frmabout.Caption(), "Pelmora Pro Setup Tool");
  // The running copy saw the signal and asked for the password.
  EXPECT_TRUE(State().SetupRequested);
  EXPECT_NE(Prompt(), nullptr);
  EXPECT_EQ(world_.tray->owner, Engine().frmMain.hwnd()) << "the second start adds no icon";
}

TEST_F(EngineTest, AnyCloseOfTheMainWindowStartsAFreshCopy) {
  auto& process = StartEngine();
  world_.Find(Engine().frmMain.hwnd())->ours->CloseFromTitleBar();
  ASSERT_EQ(world_.startedPrograms.size(), 1u);
  EXPECT_EQ(world_.startedPrograms[0].first, "C:\\Program Files\\Pelmora Pro\\pmpro.exe");
  EXPECT_EQ(world_.startedPrograms[0].second, platform::kShowNormalNoActivate);
  EXPECT_EQ(process.toolkit.exitCode(), 0);
  EXPECT_FALSE(world_.tray);
}

TEST_F(EngineTest, WindowsShuttingDownEndsTheEngineWithoutARestart) {
  auto& process = StartEngine();
  Engine().frmMain.Close(platform::UnloadMode::WindowsSession);
  EXPECT_TRUE(world_.startedPrograms.empty());
  EXPECT_EQ(process.toolkit.exitCode(), 0);
}

TEST_F(EngineTest, EndLeavesWithoutARestart) {
  auto& process = StartEngine();
  Engine().frmMain.EndProgram();
  EXPECT_TRUE(world_.startedPrograms.empty());
  EXPECT_FALSE(world_.tray);
  EXPECT_EQ(process.toolkit.exitCode(), 0);
}

TEST_F(EngineTest, TheAboutBoxIsOneWindowBroughtForward) {
  StartEngine();
  world_.Find(Engine().frmMain.hwnd())->ours->ChooseMenu(engine::kmnuAbout);
  const auto about = Engine().frmabout.hwnd();
  ASSERT_NE(about, 0u);
  const std::string text = world_.Find(about)->ours->TextOf("Label1");
  EXPECT_EQ(text, "Pelmora Pro 2003\r\nVersion " + std::string(kVersionText) +
                      "\r\n\r\nCopyright (C) 2026 Pelmora Software.\r\n\r\n");
  OpenWindow("Something else");
  // The menu is the tray icon's: the user's click lets the engine come forward.
  process_->shell.TrayMessage(platform::kWmRButtonUp);
  world_.Find(Engine().frmMain.hwnd())->ours->ChooseMenu(engine::kmnuabout2);
  EXPECT_EQ(Engine().frmabout.hwnd(), about);
  EXPECT_EQ(world_.Foreground(), about);
  world_.Find(about)->ours->Click("Label2");
  EXPECT_TRUE(Engine().frmabout.IsLoaded()) << "the address labels do nothing";
  world_.Find(about)->ours->Click("Label1");
  EXPECT_FALSE(Engine().frmabout.IsLoaded());
}

}  // namespace
}  // namespace pm::tests
