// A school's PCs under Group Policy: what the administrator sets is in
// force on the PC, the owner sees it greyed in the configuration tool and
// cannot change or save it, and a new policy is obeyed within a second.
#include <memory>

#include "config/SetupDialogFixture.h"
#include "store/PasswordCheck.h"
#include "store/PolicySettings.h"
#include "store/ProgramList.h"

namespace pm::tests {
namespace {

constexpr std::string_view kPolicyItems = "SOFTWARE\\Policies\\Pelmora Pro\\Windows";
constexpr std::string_view kPolicyIgnore = "SOFTWARE\\Policies\\Pelmora Pro\\Windows3";

class AdministratorPolicyTest : public SetupDialogTest {
 protected:
  void SetPolicy(std::string_view name, std::string_view text) {
    StoreText(registry_, store::kPolicySettingsKey, name, text);
  }
  // The engine as pmpro.exe starts it, watching the policy key.
  void StartWatchedEngine() {
    StartEngine();
    SetupForm().frmChangePassword.SetHashIterations(kTestHashIterations);
    State().PolicyWatch = policyWatch_.get();
  }
  int IndexOf(std::string_view text) {
    for (int i = 0; i < List1().ListCount(); ++i) {
      if (List1().List(i) == text) return i;
    }
    return -1;
  }

  std::unique_ptr<platform::KeyWatch> policyWatch_ =
      registry_.Watch(store::kRootKey, store::kPolicyKey);
};

TEST_F(AdministratorPolicyTest, ThePolicyLocksBlanksTheScreenAndAsksForItsOwnPassword) {
  // Nothing locked on the PC, the blank screen off, the owner's passwords.
  Store("BlankScreen", "0");
  Store(store::setting::kUserPassword, store::HashPassword("owner", kTestHashIterations));
  Store(store::setting::kUserPassword2, store::HashPassword("tool", kTestHashIterations));
  StoreText(registry_, kPolicyItems, "Window0", "Calculator,1");
  SetPolicy("BlankScreen", "1");
  SetPolicy(store::setting::kUserPassword, store::HashPassword("admin", kTestHashIterations));
  StartWatchedEngine();

  const auto calculator = OpenWindow("Calculator", "CalcFrame");
  Pass(500);
  EXPECT_FALSE(Visible(calculator));
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->TextOf("Label1"), "'Calculator' requires a password.");
  EXPECT_TRUE(Engine().frmBlank.Visible()) << "the policy's blank screen, not the PC's";
  Answer("owner");
  EXPECT_EQ(CloseRequests(calculator), 1) << "the PC's own password is out of force";

  const auto again = OpenWindow("Calculator", "CalcFrame");
  Pass(500);
  Answer("admin");
  EXPECT_TRUE(Visible(again));
}

TEST_F(AdministratorPolicyTest, TheToolShowsThePolicyGreyedAndASaveLeavesItAlone) {
  StorePasswords();
  LockItems({{"Notepad", true}}, {"Exit"});
  Store("BlankScreen", "0");
  StoreText(registry_, kPolicyItems, "Window1", "Calculator,1");
  StoreText(registry_, kPolicyIgnore, "Window1", "Calculator - Help");
  SetPolicy("BlankScreen", "1");
  SetPolicy("TimeDelay", "30");
  StartWatchedEngine();
  sim::SimWindow& tool = OpenSetup();

  const int calculator = IndexOf("Calculator");
  ASSERT_GE(calculator, 0);
  EXPECT_TRUE(List1().Selected(calculator));
  EXPECT_TRUE(List1().ItemFixed(calculator));
  EXPECT_EQ(tool.ListEntryToolTip("List1", calculator), "Set by your administrator");
  EXPECT_FALSE(List1().ItemFixed(IndexOf("Notepad")));
  ASSERT_EQ(SetupForm().List2.ListCount(), 2);
  EXPECT_TRUE(SetupForm().List2.ItemFixed(1));
  EXPECT_TRUE(tool.MenuChecked(config::kmnuBlankScreen));
  EXPECT_FALSE(tool.MenuEnabled(config::kmnuBlankScreen));
  EXPECT_EQ(tool.MenuNote(config::kmnuBlankScreen), "Set by your administrator");
  EXPECT_TRUE(tool.MenuEnabled(config::kmnulockzip));
  EXPECT_TRUE(tool.MenuEnabled(config::kmnuChangePassword)) << "no policy password";

  // The owner tries: the box, Remove, Change, the switch (a posted command
  // too), Select All and the ignore list's Del leave it as it is.
  tool.ClickListCheck("List1", calculator);
  EXPECT_TRUE(List1().Selected(calculator));
  Select("Calculator");
  tool.Click("cmdRemove");
  tool.Click("cmdRemove");
  EXPECT_EQ(IndexOf("Calculator"), calculator);
  tool.Click("cmdModify");
  EXPECT_EQ(Window(SetupForm().frmModify), nullptr);
  tool.ChooseMenu(config::kmnuBlankScreen);
  EXPECT_TRUE(tool.MenuChecked(config::kmnuBlankScreen));
  SetupForm().List2.SetListIndex(1);
  tool.Click("cmdremove2");
  EXPECT_EQ(SetupForm().List2.ListCount(), 2);
  // The timers dialog shows the policy's limit, greyed, and takes the rest.
  tool.ChooseMenu(config::kmnuTimeDelay);
  sim::SimWindow* timers = Window(SetupForm().frmTimeDelay);
  ASSERT_NE(timers, nullptr);
  EXPECT_EQ(timers->TextOf("txtTimeDelay"), "30");
  EXPECT_FALSE(timers->EnabledOf("txtTimeDelay"));
  EXPECT_EQ(timers->ToolTipOf("txtTimeDelay"), "Set by your administrator");
  timers->Type("txtrelock", "7");
  timers->Click("cmdOK");
  tool.ChooseMenu(config::kmnulockzip);

  tool.Click("cmdOK");
  world_.RunPending();
  // Saved: the PC's own settings, and nothing of the administrator's.
  EXPECT_EQ(StoredText(registry_, store::kItemListKey, "Window0"), "Notepad,1");
  EXPECT_FALSE(ValueExists(registry_, store::kItemListKey, "Window1"));
  EXPECT_EQ(ValueNames(registry_, store::kIgnoreListKey), std::vector<std::string>{"Window0"});
  EXPECT_EQ(store::ReadSetting(registry_, "BlankScreen"), "0");
  EXPECT_EQ(store::ReadSetting(registry_, "LockZip"), "1");
  EXPECT_EQ(store::ReadSetting(registry_, "relock"), "7");
  EXPECT_FALSE(ValueExists(registry_, store::kSettingsKey, "TimeDelay"));
  EXPECT_EQ(ValueNames(registry_, kPolicyItems), std::vector<std::string>{"Window1"});
  EXPECT_EQ(StoredText(registry_, kPolicyItems, "Window1"), "Calculator,1");
  EXPECT_EQ(StoredText(registry_, store::kPolicySettingsKey, "BlankScreen"), "1");
}

TEST_F(AdministratorPolicyTest, APolicyProgramItemLocksItsProgramAndStaysTheAdministrators) {
  StorePasswords();
  StoreText(registry_, store::kPolicyProgramListKey, "Program0",
            std::string(sim::kOtherProgramPath) + ",1");
  StartWatchedEngine();
  const auto window = OpenWindow("An ordinary title", "AnyClass");
  Pass(500);
  EXPECT_FALSE(Visible(window)) << "a window of the administrator's program is locked";
  ASSERT_NE(Prompt(), nullptr);
  Answer("secret");

  sim::SimWindow& tool = OpenSetup();
  int row = -1;
  for (int i = 0; i < List1().ListCount(); ++i) {
    if (List1().List(i).find(sim::kOtherProgramPath) != std::string::npos) row = i;
  }
  ASSERT_GE(row, 0) << "the tool lists the administrator's program";
  EXPECT_TRUE(List1().ItemFixed(row));
  tool.Click("cmdOK");
  world_.RunPending();
  for (const store::ListItem& item : store::ReadProgramList(registry_)) {
    EXPECT_NE(item.text, sim::kOtherProgramPath) << "a save keeps it out of the PC's own list";
  }
  EXPECT_EQ(StoredText(registry_, store::kPolicyProgramListKey, "Program0"),
            std::string(sim::kOtherProgramPath) + ",1");
}

TEST_F(AdministratorPolicyTest, APolicyPasswordGreysSetPasswords) {
  StorePasswords();
  SetPolicy(store::setting::kUserPassword, store::HashPassword("admin", kTestHashIterations));
  StartWatchedEngine();
  sim::SimWindow& tool = OpenSetup("admin");
  EXPECT_FALSE(tool.MenuEnabled(config::kmnuChangePassword));
  EXPECT_FALSE(tool.EnabledOf("Command1"));
  EXPECT_EQ(tool.ToolTipOf("Command1"), "Set by your administrator");
  tool.ChooseMenu(config::kmnuChangePassword);
  EXPECT_EQ(Window(SetupForm().frmChangePassword), nullptr);
}

TEST_F(AdministratorPolicyTest, APolicyChangedWhileTheEngineRunsIsInForceWithinASecond) {
  StorePasswords();
  StartWatchedEngine();
  const auto calculator = OpenWindow("Calculator", "CalcFrame");
  Pass(1000);
  EXPECT_TRUE(Visible(calculator));

  // Group Policy's refresh writes the new item.
  StoreText(registry_, kPolicyItems, "Window1", "Calculator,1");
  Pass(1000);
  EXPECT_FALSE(Visible(calculator));
  Answer("secret");
  EXPECT_TRUE(Visible(calculator));

  // The policy is withdrawn: its item goes from the rules, a new window of
  // it passes.
  EXPECT_EQ(registry_.DeleteTree(store::kRootKey, store::kPolicyKey),
            platform::reg_error::kSuccess);
  Pass(1000);
  const auto other = OpenWindow("Calculator", "OtherCalc");
  Pass(1000);
  EXPECT_TRUE(Visible(other));
}

}  // namespace
}  // namespace pm::tests
