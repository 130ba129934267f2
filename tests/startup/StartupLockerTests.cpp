// The start-up locker at log-on: the prompt stays until the password is
// typed, and the Task Manager is closed whenever it appears.
#include "startup/StartupFixture.h"

namespace pm::tests {
namespace {

TEST_F(StartupLockerTest, ThePromptIsUpWithItsCloseButtonDisabled) {
  LogOn("secret");
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->Caption(), "Pelmora Pro 2003");
  EXPECT_FALSE(Prompt()->EnabledOf("Command1"));
  EXPECT_EQ(Prompt()->TextOf("Label1"), "Password");
  EXPECT_TRUE(world_.screenSaverRunning);
  EXPECT_FALSE(form1_.Visible());
  Prompt()->Click("Command1");
  EXPECT_NE(Prompt(), nullptr) << "a disabled button does nothing";
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
    for (const char* title : {"Windows Task Manager", "Task Manager"}) {
      const platform::Hwnd manager = world_.CreateOtherWindow(title, "TaskManagerWindow");
      world_.RunPending();  // the foreground notification
      EXPECT_EQ(Closes(manager), 1);
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
