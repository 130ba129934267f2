// Stories of what the engine sees beyond the window in front: windows shown
// behind others or renamed, programs that share a window class, the locked
// configuration tool that other programs post commands to, fifty windows at
// once, and a run of wrong passwords.
#include "config/frmSetupLayout.h"
#include "engine/EngineFixture.h"

namespace pm::tests {
namespace {

namespace cfg = config;

class ScreenWatchTest : public EngineTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    StorePasswords();
    LockItems({{"Registry Editor", true}});
  }
  // With the hooks, at once; without them (the parameter false), the tick
  // that examines every visible window finds it.
  void Settle() {
    if (GetParam()) {
      world_.RunPending();
    } else {
      Pass(500);
    }
  }
  void Start() {
    StartEngine();
    world_.SetForegroundNotifications(GetParam());
  }
};

TEST_P(ScreenWatchTest, ALockedWindowShownBehindAnotherIsHidden) {
  Start();
  const auto front = OpenWindow("Untitled - Notepad");
  const auto editor = world_.CreateOtherWindowBehind("Registry Editor", "RegEdit_RegEdit");
  EXPECT_EQ(world_.Foreground(), front);
  Settle();
  EXPECT_FALSE(Visible(editor));
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->TextOf("Label1"), "'Registry Editor' requires a password.");
}

TEST_P(ScreenWatchTest, AWindowWhoseTitleBecomesALockedOneIsHidden) {
  Start();
  const auto browser = OpenWindow("New Tab - Browser", "Chrome_WidgetWin_1");
  Settle();
  EXPECT_TRUE(Visible(browser));
  world_.SetTitle(browser, "Registry Editor online - Browser");
  Settle();
  EXPECT_FALSE(Visible(browser));
}

// A window already on the screen is judged again when the rules change.
TEST_P(ScreenWatchTest, AnOpenWindowIsHiddenOnceItsTitleIsLocked) {
  Start();
  const auto notes = OpenWindow("Meeting notes - Editor", "Editor");
  Pass(1000);
  EXPECT_TRUE(Visible(notes));
  LockItems({{"Registry Editor", true}, {"Meeting notes", true}});
  State().ReloadRequested = true;
  Pass(1000);
  EXPECT_FALSE(Visible(notes));
}

INSTANTIATE_TEST_SUITE_P(Hooks, ScreenWatchTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Reported" : "TickAlone"; });

class ProgramKeyTest : public EngineTest {
 protected:
  static constexpr std::uint32_t kBrowser = 5001;
  static constexpr std::uint32_t kChat = 5002;
  void SetUp() override {
    StorePasswords();
    LockItems({{"Registry Editor", true}});
    world_.SetProgramPath(kBrowser, "C:\\Program Files\\Browser\\browser.exe");
    world_.SetProgramPath(kChat, "C:\\Users\\me\\AppData\\Chat\\chat.exe");
  }
};

TEST_F(ProgramKeyTest, UnlockingOneProgramLeavesAnotherOfTheSameClassLocked) {
  StartEngine();
  const auto first =
      world_.CreateOtherWindow("Registry Editor help", "Chrome_WidgetWin_1", kBrowser);
  world_.RunPending();
  Answer("secret");
  EXPECT_TRUE(Visible(first));
  // The same class, another program: still locked, while the first is open.
  const auto second = world_.CreateOtherWindow("Registry Editor chat", "Chrome_WidgetWin_1", kChat);
  world_.RunPending();
  EXPECT_FALSE(Visible(second));
  ASSERT_NE(Prompt(), nullptr);
  Prompt()->Click("Command1");
  world_.RunPending();
  // The same program, another window of the class: unlocked.
  const auto third =
      world_.CreateOtherWindow("Registry Editor again", "Chrome_WidgetWin_1", kBrowser);
  Pass(500);
  EXPECT_TRUE(Visible(third));
}

// The tool, opened and waiting hidden behind the prompt, is sent its
// commands by another program; none of them acts.
TEST_F(EngineTest, TheLockedToolObeysNoPostedCommandAndAStagedTitleUnlocksNothing) {
  StorePasswords();
  LockItems({{"Registry Editor", true}});
  StartEngine();
  Engine().frmMain.mnuPMISetup_Click();
  world_.RunPending();
  ASSERT_NE(Prompt(), nullptr);
  sim::SimWindow& tool = *world_.Find(Engine().frmSetup.hwnd())->ours;
  EXPECT_FALSE(tool.IsVisible());
  for (const int command : {cfg::kmnuunlock, cfg::kmnushutdown, cfg::kmnuChangePassword}) {
    tool.ChooseMenu(command);
  }
  tool.Click("cmdOK");
  EXPECT_FALSE(State().AllUnlocked);
  EXPECT_FALSE(process_->toolkit.exitCode());
  EXPECT_FALSE(Engine().frmSetup.frmChangePassword.IsLoaded());
  EXPECT_EQ(State().LockState, store::LockStatus::Locked);
  Prompt()->Click("Command1");
  world_.RunPending();

  // A window of another program that takes the tool's title is unlocked like
  // any other window, and opens nothing more.
  const auto staged = OpenWindow("Configuration Tool", "PelmoraProWindow");
  world_.RunPending();
  Answer("secret");
  EXPECT_TRUE(State().ConfigWindowKey.empty());
  const auto editor = OpenWindow("Registry Editor", "RegEdit_RegEdit");
  world_.RunPending();
  EXPECT_FALSE(Visible(editor));
  EXPECT_NE(Prompt(), nullptr);
  EXPECT_TRUE(Visible(staged));
}

TEST_F(EngineTest, FiftyLockedWindowsAreAllHiddenBeforeTheFirstPromptIsAnswered) {
  StorePasswords();
  LockItems({{"Locked", true}});
  StartEngine();
  std::vector<platform::Hwnd> windows;
  for (int i = 0; i < 50; ++i) {
    windows.push_back(OpenWindow("Locked " + std::to_string(i), "Class" + std::to_string(i)));
  }
  world_.RunPending();
  for (const platform::Hwnd window : windows) EXPECT_FALSE(Visible(window)) << window;
  ASSERT_NE(Prompt(), nullptr);
  // The prompts come in the order the windows were reported.
  EXPECT_EQ(Prompt()->TextOf("Label1"), "'Locked 0' requires a password.");
  EXPECT_EQ(Engine().frmMain.BlockedWindows().size(), 50u);
}

TEST_F(EngineTest, AfterFiveWrongPasswordsInARowTheNextPromptWaits) {
  StorePasswords();
  LockItems({{"Registry Editor", true}});
  StartEngine();
  for (int i = 0; i < 5; ++i) {
    OpenWindow("Registry Editor " + std::to_string(i), "RegEdit_RegEdit");
    world_.RunPending();
    Answer("wrong");
  }
  const auto editor = OpenWindow("Registry Editor", "RegEdit_RegEdit");
  world_.RunPending();
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->TextOf("Label1"), "Too many wrong passwords. Try again in 5 seconds.");
  EXPECT_FALSE(Prompt()->EnabledOf("cmdOK"));
  Prompt()->Type("txtPassword", "secret");
  Prompt()->Click("cmdOK");
  EXPECT_FALSE(Visible(editor)) << "OK does nothing while the wait runs";
  Pass(5000);
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->TextOf("Label1"), "'Registry Editor' requires a password.");
  Answer("secret");
  EXPECT_TRUE(Visible(editor));
  EXPECT_EQ(State().WrongPasswordsInARow, 0);
}

// The engine is a background process: under the foreground lock a window it
// merely shows comes up behind the window in front. The prompt still comes
// to the front, topmost, with the keyboard in its password box.
TEST_F(EngineTest, UnderTheForegroundLockThePromptStillComesToTheFront) {
  StorePasswords();
  LockItems({{"Registry Editor", true}});
  StartEngine();
  const auto notepad = OpenWindow("Untitled - Notepad");
  Engine().frmabout.Show();
  EXPECT_EQ(world_.Foreground(), notepad) << "a window shown without the right stays behind";

  world_.CreateOtherWindowBehind("Registry Editor", "RegEdit_RegEdit");
  world_.RunPending();
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(world_.Foreground(), Prompt()->handle());
  EXPECT_TRUE(world_.Find(Prompt()->handle())->topmost);
  EXPECT_EQ(Prompt()->focus(), Engine().frmPassword.txtPassword.index());
}

// The hash runs on a thread of its own; meanwhile the prompt says so, and
// OK takes no second password.
TEST_F(EngineTest, ThePromptShowsItIsCheckingUntilTheHashHasAnswered) {
  StorePasswords();
  LockItems({{"Registry Editor", true}});
  StartEngine();
  const auto editor = OpenWindow("Registry Editor", "RegEdit_RegEdit");
  world_.RunPending();
  sim::SimWindow* prompt = Prompt();
  ASSERT_NE(prompt, nullptr);
  prompt->Type("txtPassword", "secret");
  prompt->Click("cmdOK");
  EXPECT_EQ(prompt->TextOf("Label1"), "Checking the password...");
  EXPECT_FALSE(prompt->EnabledOf("cmdOK"));
  prompt->Click("cmdOK");
  world_.RunPending();
  EXPECT_TRUE(Visible(editor));
  EXPECT_EQ(State().UnlockedKeys.size(), 1u) << "one check, one unlock";
}

TEST_F(EngineTest, TheTrayIconComesBackWhenTheTaskbarIsCreatedAgain) {
  StartEngine();
  ASSERT_TRUE(world_.tray);
  process_->shell.RestartTaskbar();
  ASSERT_TRUE(world_.tray);
  EXPECT_EQ(world_.tray->owner, Engine().frmMain.hwnd());
  EXPECT_EQ(world_.tray->toolTip, "Pelmora Pro 2003 - Locked");
}

}  // namespace
}  // namespace pm::tests
