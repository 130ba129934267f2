// The owner sees the program items among the titles, each with its name and
// path, and removes, changes and saves them as the titles.
#include "config/SetupDialogFixture.h"
#include "store/ProgramList.h"

namespace pm::tests {
namespace {

using store::ListItem;

constexpr std::string_view kRegeditRow = "regedit.exe (C:\\Windows\\regedit.exe)";
constexpr std::string_view kCmdRow = "cmd.exe (C:\\Windows\\System32\\cmd.exe)";

class ProgramEntriesTest : public SetupDialogTest {
 protected:
  void SetUp() override {
    StorePasswords();
    Store(store::setting::kFirstTime, "1");
    LockItems({{"Notepad", true}});
    EXPECT_TRUE(store::WriteProgramList(registry_, {{{"C:\\Windows\\regedit.exe", true},
                                                     {"C:\\Windows\\System32\\cmd.exe", false}}}));
  }
  std::vector<ListItem> StoredPrograms() { return store::ReadProgramList(registry_); }
};

TEST_F(ProgramEntriesTest, ProgramItemsAreShownRemovedChangedAndSavedLikeTitles) {
  sim::SimWindow& setup = OpenSetup();
  EXPECT_EQ(Items(), (std::vector<ListItem>{{std::string(kCmdRow), false},
                                            {"Notepad", true},
                                            {std::string(kRegeditRow), true}}));

  // Remove: the first press unchecks, the second takes it away.
  Select(kRegeditRow);
  setup.Click("cmdRemove");
  setup.Click("cmdRemove");
  EXPECT_EQ(config::FindEntry(List1(), kRegeditRow), -1);

  // Change: the dialog edits the program's path.
  Select(kCmdRow);
  setup.Click("cmdModify");
  sim::SimWindow* dialog = Window(SetupForm().frmModify);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->TextOf("txtModify"), "C:\\Windows\\System32\\cmd.exe");
  dialog->Type("txtModify", "C:\\Program Files\\PowerShell\\7\\pwsh.exe");
  dialog->Click("cmdOK");
  EXPECT_EQ(CurrentItem(), "pwsh.exe (C:\\Program Files\\PowerShell\\7\\pwsh.exe)");

  // A title that reads like a program's row is still a title.
  List1().AddItem(kRegeditRow);

  setup.Click("cmdApply");
  EXPECT_EQ(StoredPrograms(),
            (std::vector<ListItem>{{"C:\\Program Files\\PowerShell\\7\\pwsh.exe", true}}));
  EXPECT_EQ(store::ReadItemList(registry_),
            (std::vector<ListItem>{{"Notepad", true}, {std::string(kRegeditRow), false}}));

  // The engine follows: the changed program is locked, the removed one not.
  world_.SetProgramPath(5000, "C:\\Windows\\regedit.exe");
  world_.SetProgramPath(5001, "C:\\Program Files\\PowerShell\\7\\pwsh.exe");
  Pass(500);
  const auto editor = world_.CreateOtherWindow("Registry Editor", "RegEdit_RegEdit", 5000);
  const auto shell = world_.CreateOtherWindow("PowerShell 7", "ConsoleWindowClass", 5001);
  Pass(500);
  EXPECT_TRUE(Visible(editor));
  EXPECT_FALSE(Visible(shell));
}

}  // namespace
}  // namespace pm::tests
