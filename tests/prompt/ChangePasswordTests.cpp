// The owner sets the two passwords: typed, confirmed, stored together as
// hashes, and from then on the prompt takes the new password in any case.
#include "config/SetupDialogFixture.h"
#include "prompt/frmChangePasswordLayout.h"
#include "store/PasswordCheck.h"

namespace pm::tests {
namespace {

using store::PasswordMatches;

class ChangePasswordTest : public SetupDialogTest {
 protected:
  void SetUp() override { StorePasswords("old", "oldsetup"); }

  sim::SimWindow& OpenDialog() {
    OpenSetup("old").Click("Command1");
    sim::SimWindow* dialog = Window(Dialog());
    EXPECT_NE(dialog, nullptr);
    return *dialog;
  }
  prompt::frmChangePassword& Dialog() { return SetupForm().frmChangePassword; }
  // Types both and presses OK; a confirmation's hashes come back before it returns.
  void Enter(sim::SimWindow& dialog, std::string_view first, std::string_view second) {
    dialog.Type("txtPassword", first);
    dialog.Type("txtPassword2", second);
    dialog.Click("cmdOK");
    world_.RunPending();
  }
  std::string Stored(std::string_view name) {
    return StoredText(registry_, store::kSettingsKey, name);
  }
  bool StoredAre(std::string_view first, std::string_view second) {
    return store::PasswordMatches(first, Stored("UserPassword")) &&
           store::PasswordMatches(second, Stored("UserPassword2"));
  }
};

TEST_F(ChangePasswordTest, ANewPairIsStoredAsHashesAndThePromptTakesItInAnyCase) {
  sim::SimWindow& dialog = OpenDialog();
  EXPECT_EQ(dialog.TextOf("Label1"), "Enter new passwords.");
  EXPECT_FALSE(SetupForm().Enabled());
  Enter(dialog, "Secret", "SetUp");
  EXPECT_EQ(dialog.TextOf("Label1"), "Please confirm your passwords.");
  EXPECT_EQ(Dialog().FirstEntry, "secret");
  EXPECT_EQ(Dialog().FirstEntry2, "setup");
  EXPECT_TRUE(StoredAre("old", "oldsetup")) << "nothing is stored before the confirmation";
  Enter(dialog, "SECRET", "setup");

  EXPECT_FALSE(Dialog().IsLoaded());
  EXPECT_TRUE(SetupForm().Enabled());
  EXPECT_TRUE(State().ReloadRequested);
  for (std::string_view name : {"UserPassword", "UserPassword2"}) {
    EXPECT_EQ(Stored(name).rfind("pbkdf2-sha256$1000$", 0), 0u) << Stored(name);
  }
  EXPECT_EQ(Stored("UserPassword").find("secret"), std::string::npos);
  EXPECT_TRUE(StoredAre("secret", "setup"));

  // The engine takes the new password at its next tick, and the prompt asks
  // for it typed in any case.
  SetupForm().Unload();
  LockItems({{"Notepad", true}});
  Pass(500);
  const platform::Hwnd notepad = OpenWindow("Untitled - Notepad");
  Pass(500);
  ASSERT_NE(Prompt(), nullptr);
  Answer("SeCrEt");
  EXPECT_TRUE(Visible(notepad));
  EXPECT_EQ(CloseRequests(notepad), 0);
}

TEST_F(ChangePasswordTest, TheConfirmationPhaseSurvivesAClosedFrame) {
  sim::SimWindow& dialog = OpenDialog();
  Enter(dialog, "first", "second");
  dialog.CloseFromTitleBar();
  EXPECT_TRUE(SetupForm().Enabled());
  EXPECT_EQ(Dialog().FirstEntry, "first");

  Ours(SetupForm().hwnd())->Click("Command1");
  sim::SimWindow& again = *Window(Dialog());
  EXPECT_EQ(again.TextOf("Label1"), "Enter new passwords.") << "the design text is back";
  EXPECT_FALSE(again.EnabledOf("cmdOK"));
  // Its first OK is the confirmation of the earlier entries.
  Enter(again, "first", "second");
  EXPECT_FALSE(Dialog().IsLoaded());
  EXPECT_TRUE(StoredAre("first", "second"));
}

TEST_F(ChangePasswordTest, CancelInTheConfirmationPhaseStartsOverNextTime) {
  sim::SimWindow& dialog = OpenDialog();
  Enter(dialog, "first", "second");
  dialog.Click("cmdCancel");
  EXPECT_FALSE(Dialog().IsLoaded());
  EXPECT_TRUE(SetupForm().Enabled());

  Ours(SetupForm().hwnd())->Click("Command1");
  sim::SimWindow& again = *Window(Dialog());
  Enter(again, "other", "pair");
  EXPECT_TRUE(Dialog().IsLoaded()) << "the first OK of a new opening only moves on";
  EXPECT_EQ(again.TextOf("Label1"), "Please confirm your passwords.");
  EXPECT_TRUE(StoredAre("old", "oldsetup"));
}

struct MismatchCase {
  const char* name;
  std::string_view confirmFirst;
  std::string_view confirmSecond;
  std::string_view message;
};

class PasswordMismatchTest : public ChangePasswordTest,
                             public ::testing::WithParamInterface<MismatchCase> {};

TEST_P(PasswordMismatchTest, StoresNeitherPasswordAndStartsOver) {
  sim::SimWindow& dialog = OpenDialog();
  dialog.Click("chkpassword");
  dialog.Click("chkpassword");  // checked and unchecked again: both boxes are typed
  Enter(dialog, "first", "second");
  Enter(dialog, GetParam().confirmFirst, GetParam().confirmSecond);

  EXPECT_EQ(dialog.TextOf("Label1"), GetParam().message);
  EXPECT_TRUE(StoredAre("old", "oldsetup")) << "no half-changed pair";
  EXPECT_FALSE(State().ReloadRequested);
  EXPECT_TRUE(Dialog().IsLoaded());
  EXPECT_EQ(Dialog().FirstEntry, "");
  EXPECT_EQ(Dialog().FirstEntry2, "");
  EXPECT_EQ(dialog.TextOf("txtPassword"), "");
  EXPECT_EQ(dialog.TextOf("txtPassword2"), "");
  EXPECT_TRUE(dialog.EnabledOf("txtPassword2"));
  EXPECT_TRUE(dialog.EnabledOf("chkpassword"));
  EXPECT_FALSE(dialog.Checked(dialog.Index("chkpassword")));
  EXPECT_FALSE(dialog.EnabledOf("cmdOK"));

  // Back in the entry phase: the next pair is typed and confirmed afresh.
  Enter(dialog, "third", "fourth");
  Enter(dialog, "third", "fourth");
  EXPECT_TRUE(StoredAre("third", "fourth"));
}

INSTANTIATE_TEST_SUITE_P(
    Confirmations, PasswordMismatchTest,
    ::testing::Values(MismatchCase{"first", "frist", "second", prompt::kFirstPasswordMismatch},
                      MismatchCase{"second", "first", "secnod", prompt::kSecondPasswordMismatch},
                      MismatchCase{"both", "frist", "secnod", prompt::kFirstPasswordMismatch}),
    [](const auto& info) { return std::string(info.param.name); });

// "Keep same as above" gives the setup tool the locked windows' password,
// whether it is ticked before or after the password is typed, or the
// password is edited after it.
struct KeepSameCase {
  const char* name;
  std::vector<std::string_view> steps;  // "+" ticks the box; other steps type txtPassword
};

class KeepSameTest : public ChangePasswordTest,
                     public ::testing::WithParamInterface<KeepSameCase> {};

TEST_P(KeepSameTest, StoresTheFirstPasswordForBoth) {
  sim::SimWindow& dialog = OpenDialog();
  for (std::string_view step : GetParam().steps) {
    if (step == "+") {
      dialog.Click("chkpassword");
    } else {
      dialog.Type("txtPassword", step);
    }
  }
  EXPECT_FALSE(dialog.EnabledOf("txtPassword2"));
  ASSERT_TRUE(dialog.EnabledOf("cmdOK"));
  dialog.Click("cmdOK");
  EXPECT_EQ(Dialog().FirstEntry2, "together");
  EXPECT_FALSE(dialog.EnabledOf("chkpassword"));
  EXPECT_FALSE(dialog.EnabledOf("txtPassword2"));
  dialog.Type("txtPassword", "TOGETHER");
  EXPECT_TRUE(dialog.EnabledOf("cmdOK"));
  dialog.Click("cmdOK");
  world_.RunPending();
  EXPECT_FALSE(Dialog().IsLoaded());
  EXPECT_TRUE(StoredAre("together", "together"));
}

INSTANTIATE_TEST_SUITE_P(Orders, KeepSameTest,
                         ::testing::Values(KeepSameCase{"typed_then_ticked", {"Together", "+"}},
                                           KeepSameCase{"ticked_then_typed", {"+", "Together"}},
                                           KeepSameCase{"edited_after_ticking",
                                                        {"Apart", "+", "Together"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChangePasswordTest, UntickingTheBoxEmptiesTheSecondBoxForTyping) {
  sim::SimWindow& dialog = OpenDialog();
  dialog.Type("txtPassword", "first");
  dialog.Click("chkpassword");
  EXPECT_EQ(dialog.TextOf("txtPassword2"), "first");
  dialog.Click("chkpassword");
  EXPECT_TRUE(dialog.EnabledOf("txtPassword2"));
  EXPECT_EQ(dialog.TextOf("txtPassword2"), "");
  EXPECT_FALSE(dialog.EnabledOf("cmdOK"));
}

TEST_F(ChangePasswordTest, OkIsEnabledOnlyWhileBothBoxesHoldText) {
  sim::SimWindow& dialog = OpenDialog();
  EXPECT_FALSE(dialog.EnabledOf("cmdOK"));
  dialog.Type("txtPassword", "a");
  EXPECT_FALSE(dialog.EnabledOf("cmdOK"));
  dialog.Type("txtPassword2", "b");
  EXPECT_TRUE(dialog.EnabledOf("cmdOK"));
  dialog.Type("txtPassword", "");
  EXPECT_FALSE(dialog.EnabledOf("cmdOK"));
  dialog.Type("txtPassword", "a");
  EXPECT_TRUE(dialog.EnabledOf("cmdOK"));
  dialog.Type("txtPassword2", "");
  EXPECT_FALSE(dialog.EnabledOf("cmdOK"));
  dialog.Type("txtPassword2", "b");
  dialog.Click("cmdOK");
  EXPECT_FALSE(dialog.EnabledOf("cmdOK")) << "the confirmation starts with empty boxes";
  dialog.Type("txtPassword", "a");
  EXPECT_FALSE(dialog.EnabledOf("cmdOK"));
  dialog.Type("txtPassword2", "b");
  EXPECT_TRUE(dialog.EnabledOf("cmdOK"));
}

class FailedPasswordWriteTest : public ChangePasswordTest,
                                public ::testing::WithParamInterface<const char*> {};

TEST_P(FailedPasswordWriteTest, IsReportedAndBothOldPasswordsStay) {
  sim::SimWindow& dialog = OpenDialog();
  Enter(dialog, "first", "second");
  registry_.FailValueWrite(GetParam(), platform::reg_error::kAccessDenied);
  Enter(dialog, "first", "second");

  ASSERT_EQ(world_.shownMessages.size(), 1u);
  EXPECT_NE(world_.shownMessages[0].text.find(prompt::kPasswordsNotSaved), std::string::npos);
  EXPECT_NE(world_.shownMessages[0].text.find("Access is denied."), std::string::npos);
  EXPECT_EQ(Stored("UserPassword"), "old");
  EXPECT_EQ(Stored("UserPassword2"), "oldsetup");
  EXPECT_FALSE(State().ReloadRequested);
  // Still confirming: OK tries again.
  EXPECT_TRUE(Dialog().IsLoaded());
  EXPECT_EQ(dialog.TextOf("Label1"), "Please confirm your passwords.");
  dialog.Click("cmdOK");
  world_.RunPending();
  EXPECT_FALSE(Dialog().IsLoaded());
  EXPECT_TRUE(StoredAre("first", "second"));
}

INSTANTIATE_TEST_SUITE_P(Values, FailedPasswordWriteTest,
                         ::testing::Values("UserPassword", "UserPassword2"));

// The hashes are made on a thread of their own. Meanwhile the dialog says so
// and takes no input; Cancel still closes it, and hashes that come back
// afterwards store nothing.
TEST_F(ChangePasswordTest, SaysItIsSavingUntilTheHashesReturn) {
  for (const bool cancel : {false, true}) {
    SCOPED_TRACE(cancel ? "cancelled meanwhile" : "waited for");
    sim::SimWindow& dialog = OpenDialog();
    Enter(dialog, "first", "second");
    dialog.Type("txtPassword", "first");
    dialog.Type("txtPassword2", "second");
    dialog.Click("cmdOK");
    EXPECT_EQ(dialog.TextOf("Label1"), "Saving the passwords...");
    for (const char* control : {"cmdOK", "txtPassword", "txtPassword2", "chkpassword"}) {
      EXPECT_FALSE(dialog.EnabledOf(control)) << control;
    }
    EXPECT_TRUE(StoredAre("old", "oldsetup")) << "nothing is stored before the hashes return";
    const std::uint32_t writesBefore = registry_.WriteCount();
    if (cancel) dialog.Click("cmdCancel");
    world_.RunPending();
    EXPECT_FALSE(Dialog().IsLoaded());
    EXPECT_EQ(State().ReloadRequested, !cancel);
    EXPECT_EQ(StoredAre("first", "second"), !cancel);
    EXPECT_EQ(registry_.WriteCount() - writesBefore, cancel ? 0u : 2u);
    StorePasswords("old", "oldsetup");
    State().ReloadRequested = false;
  }
}

TEST_F(ChangePasswordTest, TheDialogHashesWithTheFullCount) {
  StartEngine();  // without the tests' lower count
  sim::SimWindow& dialog = OpenDialog();
  Enter(dialog, "first", "second");
  Enter(dialog, "first", "second");
  for (std::string_view name : {"UserPassword", "UserPassword2"}) {
    EXPECT_EQ(Stored(name).rfind("pbkdf2-sha256$600000$", 0), 0u) << Stored(name);
  }
}

}  // namespace
}  // namespace pm::tests
