// The road of one locked window: it comes to the front, is hidden, and the
// prompt decides whether it comes back or is closed.
#include "engine/EngineFixture.h"

namespace pm::tests {
namespace {

using store::ListItem;

class LockedWindowTest : public EngineTest {
 protected:
  void SetUp() override {
    StorePasswords();
    LockItems({{"Registry Editor", true}, {"Notepad", false}});
  }
};

TEST_F(LockedWindowTest, ALockedWindowIsHiddenWithinOneTickAndThePromptNamesIt) {
  StartEngine();
  world_.SetForegroundNotifications(false);  // the 500 ms tick alone
  const auto editor = OpenWindow("Registry Editor - HKLM", "RegEdit_RegEdit");
  EXPECT_TRUE(Visible(editor));
  Pass(500);
  EXPECT_FALSE(Visible(editor));
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->TextOf("Label1"), "'Registry Editor - HKLM' requires a password.");
  EXPECT_TRUE(Prompt()->centered());
}

TEST_F(LockedWindowTest, TheForegroundNotificationHidesItBeforeAnyTick) {
  StartEngine();
  const auto editor = OpenWindow("registry editor");
  world_.RunPending();
  EXPECT_FALSE(Visible(editor));
  EXPECT_NE(Prompt(), nullptr);
}

TEST_F(LockedWindowTest, MatchingIgnoresCaseAndFindsTheTextAnywhereInTheTitle) {
  StartEngine();
  for (const char* title : {"REGISTRY EDITOR", "My registry editor clone", "Registry Editor"}) {
    SCOPED_TRACE(title);
    const auto window = OpenWindow(title, std::string("Class ") + title);
    Pass(500);
    EXPECT_FALSE(Visible(window));
  }
}

TEST_F(LockedWindowTest, UncheckedItemsAndOtherWindowsAreLeftAlone) {
  StartEngine();
  const auto notepad = OpenWindow("Untitled - Notepad");
  Pass(1000);
  EXPECT_TRUE(Visible(notepad));
  EXPECT_EQ(Prompt(), nullptr);
}

TEST_F(LockedWindowTest, TheRightPasswordInCapitalsGivesTheWindowBackAndKeepsItUnlocked) {
  StartEngine();
  const auto editor = OpenWindow("Registry Editor", "RegEdit_RegEdit");
  Pass(500);
  Answer("SECRET");
  EXPECT_TRUE(Visible(editor));
  EXPECT_EQ(Prompt(), nullptr);
  EXPECT_EQ(State().UnlockedKeys, std::vector{Key("RegEdit_RegEdit")});
  Pass(5000);
  EXPECT_TRUE(Visible(editor));
  // Another window of the same class is unlocked too while one exists.
  const auto second = OpenWindow("Registry Editor - second", "RegEdit_RegEdit");
  Pass(500);
  EXPECT_TRUE(Visible(second));
}

TEST_F(LockedWindowTest, TheUnlockEndsWhenTheLastWindowOfItsClassCloses) {
  StartEngine();
  const auto editor = OpenWindow("Registry Editor", "RegEdit_RegEdit");
  Pass(500);
  Answer("secret");
  world_.DestroyWindow(editor);
  Pass(500);
  EXPECT_TRUE(State().UnlockedKeys.empty());
  const auto again = OpenWindow("Registry Editor", "RegEdit_RegEdit");
  Pass(500);
  EXPECT_FALSE(Visible(again));
}

TEST_F(LockedWindowTest, AWrongPasswordClosesTheWindowAndShowsTheBadPicture) {
  StartEngine();
  const auto editor = OpenWindow("Registry Editor");
  Pass(500);
  Prompt()->Type("txtPassword", "guess");
  const auto badPicture = Prompt()->PictureOf("Image1");
  sim::SimWindow* prompt = Prompt();
  prompt->Click("cmdOK");
  world_.RunPending();
  EXPECT_EQ(CloseRequests(editor), 1);
  EXPECT_FALSE(Exists(editor));
  EXPECT_EQ(Prompt(), nullptr);
  EXPECT_NE(badPicture, nullptr);
}

TEST_F(LockedWindowTest, TheCloseButtonOfThePromptClosesTheWindow) {
  StartEngine();
  const auto editor = OpenWindow("Registry Editor");
  Pass(500);
  Prompt()->Click("Command1");
  world_.RunPending();
  EXPECT_EQ(CloseRequests(editor), 1);
  EXPECT_EQ(Prompt(), nullptr);
}

TEST_F(LockedWindowTest, ClickingTheHiddenLabelOnlyClosesThePrompt) {
  StartEngine();
  const auto editor = OpenWindow("Registry Editor");
  Pass(500);
  Prompt()->Click("Label2");
  world_.RunPending();
  EXPECT_EQ(CloseRequests(editor), 0);
  EXPECT_FALSE(Visible(editor));
  EXPECT_EQ(Prompt(), nullptr);
}

// A second locked window is hidden at once and waits its turn; each answer
// acts on its own window only.
TEST_F(LockedWindowTest, ASecondLockedWindowWaitsHiddenForItsOwnPrompt) {
  StartEngine();
  const auto first = OpenWindow("Registry Editor - one", "ClassOne");
  Pass(500);
  const auto second = OpenWindow("Registry Editor - two", "ClassTwo");
  world_.RunPending();
  EXPECT_FALSE(Visible(second));
  EXPECT_EQ(CloseRequests(first), 0);
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->TextOf("Label1"), "'Registry Editor - one' requires a password.");
  Prompt()->Click("Command1");
  world_.RunPending();
  EXPECT_EQ(CloseRequests(first), 1);
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->TextOf("Label1"), "'Registry Editor - two' requires a password.");
  Answer("secret");
  EXPECT_TRUE(Visible(second));
  EXPECT_EQ(CloseRequests(second), 0);
}

TEST_F(LockedWindowTest, AHiddenPromptPasswordBoxTakesAtMostSixteenCharacters) {
  StartEngine();
  OpenWindow("Registry Editor");
  Pass(500);
  Prompt()->Type("txtPassword", "abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(Prompt()->TextOf("txtPassword"), "abcdefghijklmnop");
}

struct PromptTextCase {
  const char* password;
  const char* second;
  const char* expected;
};

class PromptTextTest : public EngineTest, public ::testing::WithParamInterface<PromptTextCase> {};

TEST_P(PromptTextTest, NamesTheWindowOnlyWhenBothPasswordsAreSet) {
  StorePasswords(GetParam().password, GetParam().second);
  LockItems({{"Registry Editor", true}});
  StartEngine();
  OpenWindow("Registry Editor - a title that is longer than forty characters");
  Pass(500);
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->TextOf("Label1"), GetParam().expected);
}

constexpr const char* kNoPasswordText =
    "No password set, click OK to continue without one. To set click the program icon.";

INSTANTIATE_TEST_SUITE_P(
    Passwords, PromptTextTest,
    ::testing::Values(
        PromptTextCase{"secret", "second",
                       "'Registry Editor - a title that is longer' requires a password."},
        PromptTextCase{"", "", kNoPasswordText}, PromptTextCase{"secret", "", kNoPasswordText},
        PromptTextCase{"", "second", kNoPasswordText}));

TEST_F(EngineTest, WithNoPasswordAnEmptyBoxOpensAndAnyTextCloses) {
  LockItems({{"Registry Editor", true}});
  StartEngine();
  const auto first = OpenWindow("Registry Editor", "A");
  Pass(500);
  Answer("");
  EXPECT_TRUE(Visible(first));
  const auto second = OpenWindow("Registry Editor", "B");
  Pass(500);
  Answer("anything");
  EXPECT_EQ(CloseRequests(second), 1);
}

TEST_F(EngineTest, AStoredPasswordWithCapitalsIsNeverAccepted) {
  StorePasswords("Secret");
  LockItems({{"Registry Editor", true}});
  StartEngine();
  for (const char* typed : {"Secret", "secret", "SECRET"}) {
    SCOPED_TRACE(typed);
    const auto window = OpenWindow("Registry Editor", std::string("C") + typed);
    Pass(500);
    Answer(typed);
    EXPECT_EQ(CloseRequests(window), 1);
  }
}

TEST_F(EngineTest, AStoredPasswordLongerThanSixteenIsMatchedByItsFirstSixteen) {
  StorePasswords("abcdefghijklmnopqrst");
  LockItems({{"Registry Editor", true}});
  StartEngine();
  const auto window = OpenWindow("Registry Editor");
  Pass(500);
  Answer("ABCDEFGHIJKLMNOP");
  EXPECT_TRUE(Visible(window));
}

class TimeLimitTest : public EngineTest, public ::testing::WithParamInterface<int> {};

TEST_P(TimeLimitTest, ThePromptClosesTheWindowWhenTheTimeLimitRunsOut) {
  const int seconds = GetParam();
  StorePasswords();
  Store(store::setting::kTimeDelay, std::to_string(seconds));
  LockItems({{"Registry Editor", true}});
  StartEngine();
  const auto window = OpenWindow("Registry Editor");
  world_.RunPending();  // the prompt comes up now
  Pass(seconds * 1000 - 1);
  EXPECT_EQ(CloseRequests(window), 0);
  EXPECT_NE(Prompt(), nullptr);
  Pass(1);
  EXPECT_EQ(CloseRequests(window), 1);
  EXPECT_EQ(Prompt(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Seconds, TimeLimitTest, ::testing::Values(5, 99));

TEST_F(EngineTest, WithoutATimeLimitThePromptWaits) {
  StorePasswords();
  Store(store::setting::kTimeDelay, "0");
  LockItems({{"Registry Editor", true}});
  StartEngine();
  const auto window = OpenWindow("Registry Editor");
  Pass(500);
  Pass(10 * 60 * 1000);
  EXPECT_EQ(CloseRequests(window), 0);
  EXPECT_NE(Prompt(), nullptr);
}

TEST_F(EngineTest, DialogsAreKeyedByTheirFirstFortyTitleCharacters) {
  StorePasswords();
  LockItems({{"Properties", true}});
  StartEngine();
  const auto dialog = OpenWindow("Display Properties", "#32770");
  Pass(500);
  Answer("secret");
  EXPECT_EQ(State().UnlockedKeys, std::vector{Key("Display Properties")});
  // Another dialog of the standard class with another title is still locked.
  const auto other = OpenWindow("System Properties", "#32770");
  Pass(500);
  EXPECT_FALSE(Visible(other));
  EXPECT_TRUE(Exists(dialog));
}

TEST_F(EngineTest, ADialogWithALongerTitleLosesItsUnlockAtTheNextTick) {
  StorePasswords();
  LockItems({{"Properties", true}});
  StartEngine();
  const std::string title = "Properties of a document with a really long title";  // 50 characters
  const auto dialog = OpenWindow(title, "#32770");
  Pass(500);
  Answer("secret");
  Pass(500);
  EXPECT_FALSE(Visible(dialog)) << "no window has the 40-character key as its exact title";
  EXPECT_NE(Prompt(), nullptr);
}

}  // namespace
}  // namespace pm::tests
