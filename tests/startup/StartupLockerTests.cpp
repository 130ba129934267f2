// The start-up locker at log-on: the prompt stays until the password is
// typed, and the Task Manager is closed whenever it appears.
#include "service/ServiceTestSupport.h"
#include "startup/StartupFixture.h"
#include "store/PasswordCheck.h"

namespace pm::tests {
namespace {

TEST_F(StartupLockerTest, ThePromptHoldsTheScreenAndCannotBeClosed) {
  world_.foregroundLock = true;  // as on Windows, where pmpstart starts in the background
  LogOn("secret");
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->Caption(), "Pelmora Pro 2003");
  EXPECT_FALSE(Prompt()->EnabledOf("Command1"));
  EXPECT_EQ(Prompt()->TextOf("Label1"), "Password");
  EXPECT_TRUE(world_.screenSaverRunning);
  EXPECT_FALSE(form1_.Visible());
  EXPECT_TRUE(Prompt()->topmost());
  sim::SimWindow* cover = world_.Find(form1_.prompt().cover().hwnd())->ours;
  ASSERT_NE(cover, nullptr);
  EXPECT_TRUE(cover->coversEveryMonitor());
  EXPECT_TRUE(cover->topmost());

  // "X", Alt+F4 or WM_CLOSE from anyone, and the label the engine's prompt
  // closes on: the prompt stays, and so does the program.
  Prompt()->Click("Command1");
  Prompt()->CloseFromTitleBar();
  Prompt()->Click("Label2");
  form1_.Close(platform::UnloadMode::ControlMenu);
  world_.RunPending();
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_FALSE(Ended());

  // Another program takes the front; within a second the prompt has it back,
  // with the keyboard in its box, and a closed cover is up again.
  cover->CloseFromTitleBar();
  const platform::Hwnd intruder = world_.CreateOtherWindow("Command Prompt", "ConsoleWindowClass");
  ASSERT_EQ(world_.Foreground(), intruder);
  world_.Advance(1000);
  EXPECT_EQ(world_.Foreground(), form1_.prompt().hwnd());
  EXPECT_EQ(Prompt()->focus(), Prompt()->Index("txtPassword"));
  EXPECT_TRUE(form1_.prompt().cover().Visible());

  Answer("secret");
  EXPECT_EQ(toolkit_.exitCode(), 0);
  EXPECT_FALSE(form1_.prompt().cover().IsLoaded()) << "the cover goes with the prompt";
}

TEST_F(StartupLockerTest, APromptGoneWithoutThePasswordEndsTheProgramForARestart) {
  LogOn("secret");
  form1_.prompt().Unload();
  EXPECT_EQ(toolkit_.exitCode(), startup::kPromptLostExitCode);
  EXPECT_FALSE(form1_.UnlockSucceeded());
}

TEST_F(StartupLockerTest, TheEndOfTheWindowsSessionIsNoUnlock) {
  LogOn("secret");
  form1_.prompt().Close(platform::UnloadMode::WindowsSession);
  EXPECT_EQ(toolkit_.exitCode(), startup::kSessionEndExitCode)
      << "a forged session end must not pass for the password";
  EXPECT_FALSE(form1_.UnlockSucceeded());
}

// Where the service is installed it checks the password, and its record of
// the right one is what ends the session's start-up lock: a session end,
// which any program can forge, ends nothing here.
class StartupLockerWithServiceTest : public StartupLockerTest {
 protected:
  StartupLockerWithServiceTest() {
    service_.OnStartupLockPassed([this](std::uint32_t session) { passed_.push_back(session); });
  }
  static service::Caller InSession(std::uint32_t session) {
    service::Caller caller;
    caller.session = session;
    return caller;
  }

  MemoryJournal journal_;
  service::SettingsService service_{registry_, journal_, "C:\\Program Files\\Pelmora Pro",
                                    [] { return std::chrono::steady_clock::time_point{}; }};
  LoopbackChannel channel_{service_, InSession(2)};
  startup::Form1 withService_{toolkit_, desktop_, shell_, registry_, &channel_};
  std::vector<std::uint32_t> passed_;
};

TEST_F(StartupLockerWithServiceTest, TheServiceDecidesAndASessionEndEndsNothing) {
  EXPECT_TRUE(store::WriteSetting(registry_, store::setting::kUserPassword,
                                  store::HashPassword("secret", 1000)));
  withService_.Load();
  world_.RunPending();
  const auto prompt = [this] { return world_.Find(withService_.prompt().hwnd())->ours; };
  withService_.prompt().Close(platform::UnloadMode::WindowsSession);
  EXPECT_FALSE(Ended()) << "a session end, forged or not, leaves the prompt up";
  EXPECT_TRUE(world_.Find(withService_.prompt().hwnd())->visible);

  channel_.unreachable = true;
  prompt()->Type("txtPassword", "secret");
  prompt()->Click("cmdOK");
  world_.RunPending();
  EXPECT_FALSE(Ended()) << "with the service out of reach nothing gets through";
  EXPECT_NE(prompt()->TextOf("Label1").find("cannot be reached"), std::string::npos)
      << prompt()->TextOf("Label1");

  channel_.unreachable = false;
  prompt()->Type("txtPassword", "guess");
  prompt()->Click("cmdOK");
  world_.RunPending();
  EXPECT_FALSE(Ended());
  EXPECT_TRUE(passed_.empty()) << "a wrong password records nothing";

  prompt()->Type("txtPassword", "SECRET");
  prompt()->Click("cmdOK");
  world_.RunPending();
  EXPECT_EQ(toolkit_.exitCode(), 0);
  EXPECT_EQ(passed_, std::vector<std::uint32_t>{2})
      << "the service recorded the right password for the caller's session";
  EXPECT_EQ(channel_.requests, 3)
      << "whether a password is stored, then both tries, were the service's to answer";
}

TEST_F(StartupLockerTest, WithNoPasswordStoredAnEmptyOkEndsTheProgram) {
  LogOn();
  EXPECT_EQ(Prompt()->TextOf("Label1"), "Password: if none click OK, to set go into Config.");
  Answer("");
  EXPECT_TRUE(form1_.UnlockSucceeded());
  EXPECT_EQ(toolkit_.exitCode(), 0);
}

struct TypedCase {
  const char* stored;
  const char* typed;
  bool opens;
};

class StartupPasswordTest : public StartupLockerTest,
                            public ::testing::WithParamInterface<TypedCase> {};

TEST_P(StartupPasswordTest, OnlyTheStoredPasswordInAnyCaseEndsTheProgram) {
  LogOn(GetParam().stored);
  Answer(GetParam().typed);
  EXPECT_EQ(Ended(), GetParam().opens);
  EXPECT_EQ(Prompt() != nullptr, !GetParam().opens) << "a wrong password keeps the prompt";
}

INSTANTIATE_TEST_SUITE_P(
    Passwords, StartupPasswordTest,
    ::testing::Values(TypedCase{"secret", "SECRET", true}, TypedCase{"secret", "secret", true},
                      TypedCase{"secret", "WRONG", false},
                      TypedCase{"abcdefghijklmnopqrst", "abcdefghijklmnop", true},
                      TypedCase{"Secret", "Secret", false}, TypedCase{"secret", "", false}));

TEST_F(StartupLockerTest, AWrongPasswordLeavesTheLoweredTextInTheBox) {
  LogOn("secret");
  Answer("Not It");
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->TextOf("txtPassword"), "not it");
  Answer("SECRET");
  EXPECT_TRUE(Ended());
}

TEST_F(StartupLockerTest, TheTaskManagerIsClosedEveryTimeItAppears) {
  LogOn("secret");
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    // By either title, and by Windows 10/11's class under a translated one.
    for (const auto& [title, className] :
         {std::pair{"Windows Task Manager", "#32770"}, std::pair{"Task Manager", "Other"},
          std::pair{"Gestionnaire des t\xC3\xA2\x63hes", "TaskManagerWindow"}}) {
      const platform::Hwnd manager = world_.CreateOtherWindow(title, className);
      world_.RunPending();  // the foreground notification
      EXPECT_EQ(Closes(manager), 1) << title;
      EXPECT_EQ(world_.Find(manager), nullptr);
    }
  }
}

TEST_F(StartupLockerTest, ATaskManagerThatAppearsBehindIsClosedByTheBackstopTimer) {
  LogOn("secret");
  world_.SetForegroundNotifications(false);
  const platform::Hwnd manager = world_.CreateOtherWindow("Task Manager", "TaskManagerWindow");
  world_.Advance(250);
  EXPECT_EQ(Closes(manager), 1);
}

TEST_F(StartupLockerTest, AWindowThatIgnoresCloseDoesNotShieldTheTaskManager) {
  LogOn("secret");
  const platform::Hwnd stubborn = world_.CreateOtherWindow("Task Manager", "Stubborn");
  world_.Find(stubborn)->ignoresClose = true;
  world_.RunPending();
  const platform::Hwnd manager = world_.CreateOtherWindow("Task Manager", "TaskManagerWindow");
  world_.RunPending();
  EXPECT_GE(Closes(stubborn), 1);
  EXPECT_EQ(Closes(manager), 1);
  EXPECT_EQ(world_.Find(manager), nullptr);
}

TEST_F(StartupLockerTest, OnlyTheExactTitlesAreClosed) {
  LogOn("secret");
  const platform::Hwnd lower = world_.CreateOtherWindow("task manager", "Other");
  const platform::Hwnd longer = world_.CreateOtherWindow("Task Manager Tips - Notepad", "Notepad");
  world_.Advance(1000);
  EXPECT_EQ(Closes(lower), 0);
  EXPECT_EQ(Closes(longer), 0);
}

TEST_F(StartupLockerTest, AfterTheRightPasswordNothingMoreIsClosed) {
  LogOn("secret");
  Answer("secret");
  const platform::Hwnd manager = world_.CreateOtherWindow("Task Manager", "TaskManagerWindow");
  world_.Advance(1000);
  EXPECT_EQ(Closes(manager), 0);
  EXPECT_TRUE(world_.startedPrograms.empty());
}

}  // namespace
}  // namespace pm::tests
