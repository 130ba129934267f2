// The owner opens the configuration tool, gives the password, edits what is
// locked and saves; the engine follows.
#include "config/frmSetupLayout.h"
#include "engine/EngineFixture.h"
#include "platform/Text.h"
#include "pmp/Version.h"

namespace pm::tests {
namespace {

using store::ListItem;
namespace cfg = config;

class SetupWindowTest : public EngineTest {
 protected:
  // Opens the tool from the tray and answers the prompt.
  sim::SimWindow& OpenSetup() {
    if (!process_) StartEngine();
    Engine().frmMain.mnuPMISetup_Click();
    world_.RunPending();
    if (Prompt() != nullptr) Answer(State().UserPassword);
    return *world_.Find(Engine().frmSetup.hwnd())->ours;
  }
  platform::ListBox& List1() { return Engine().frmSetup.List1; }
  platform::ListBox& List2() { return Engine().frmSetup.List2; }
  std::vector<ListItem> Items() {
    std::vector<ListItem> items;
    for (int i = 0; i < List1().ListCount(); ++i)
      items.push_back({List1().List(i), List1().Selected(i)});
    return items;
  }
  void Select(std::string_view text) {
    for (int i = 0; i < List1().ListCount(); ++i) {
      if (List1().List(i) == text) List1().SetListIndex(i);
    }
  }
  bool ApplyEnabled() { return Engine().frmSetup.cmdApply.Enabled(); }
};

TEST_F(SetupWindowTest, AFreshInstallationOffersTheDefaultItemsUncheckedAndSorted) {
  sim::SimWindow& setup = OpenSetup();
  EXPECT_TRUE(setup.IsVisible());
  EXPECT_EQ(setup.Caption(), "Configuration Tool");
  // 48 titles, and the programs Windows 10/11 shows them in.
  ASSERT_EQ(List1().ListCount(), 56);
  EXPECT_EQ(List1().List(0), "Add or Remove Programs");
  EXPECT_EQ(List1().ListIndex(), 0);
  for (const char* program :
       {"cmd.exe (C:\\Windows\\System32\\cmd.exe)", "regedit.exe (C:\\Windows\\regedit.exe)",
        "Taskmgr.exe (C:\\Windows\\System32\\Taskmgr.exe)",
        "windows.immersivecontrolpanel (shell:AppsFolder\\windows.immersivecontrolpanel_"
        "cw5n1h2txyewy!microsoft.windows.immersivecontrolpanel)"}) {
    EXPECT_GE(cfg::FindEntry(List1(), program), 0) << program;
  }
  for (int i = 0; i < 56; ++i) EXPECT_FALSE(List1().Selected(i));
  for (int i = 1; i < 56; ++i) {
    EXPECT_LE(platform::LowerCase(List1().List(i - 1)), platform::LowerCase(List1().List(i)));
  }
  EXPECT_FALSE(ApplyEnabled());
  EXPECT_FALSE(Engine().frmSetup.fraignore.Visible());
}

TEST_F(SetupWindowTest, TheStoredListsShowWithTheirMarks) {
  StoreText(registry_, store::kItemListKey, "Window0", "b Notepad,1");
  StoreText(registry_, store::kItemListKey, "Window1", "a Paint,0");
  StoreText(registry_, store::kItemListKey, "Window2", "Report, final, 2026,1");
  StoreText(registry_, store::kItemListKey, "Window3", "Broken,x");
  StoreText(registry_, store::kIgnoreListKey, "Window5", "late entry");
  OpenSetup();
  EXPECT_EQ(Items(), (std::vector<ListItem>{
                         {"a Paint", false}, {"b Notepad", true}, {"Report, final, 2026", true}}));
  ASSERT_EQ(List2().ListCount(), 1);
  EXPECT_EQ(List2().List(0), "late entry");
}

TEST_F(SetupWindowTest, AnEmptiedListStaysEmptyAfterTheFirstSave) {
  OpenSetup();
  while (List1().ListCount() > 0) List1().RemoveItem(0);
  world_.Find(Engine().frmSetup.hwnd())->ours->Click("cmdOK");
  EXPECT_FALSE(Engine().frmSetup.IsLoaded());
  OpenSetup();
  EXPECT_EQ(List1().ListCount(), 0);
  EXPECT_EQ(List1().ListIndex(), -1);
}

TEST_F(SetupWindowTest, RemoveTakesTwoPressesForALockedItem) {
  LockItems({{"Registry Editor", true}});
  sim::SimWindow& setup = OpenSetup();
  Select("Registry Editor");
  setup.Click("cmdRemove");
  EXPECT_TRUE(ApplyEnabled());
  EXPECT_EQ(Items(), (std::vector<ListItem>{{"Registry Editor", false}}));
  setup.Click("cmdRemove");
  EXPECT_TRUE(Items().empty());
  EXPECT_EQ(List1().ListIndex(), -1);
  setup.Click("cmdRemove");  // nothing current: only Apply
}

TEST_F(SetupWindowTest, ChangeIsRefusedOnlyForTheExactWindowsExplorerItem) {
  LockItems({{"Windows Explorer", true}, {"windows explorer", true}});
  sim::SimWindow& setup = OpenSetup();
  Select("Windows Explorer");
  setup.Click("cmdModify");
  EXPECT_FALSE(Engine().frmSetup.frmModify.IsLoaded());
  EXPECT_TRUE(Engine().frmSetup.Enabled());
  Select("windows explorer");
  setup.Click("cmdModify");
  ASSERT_TRUE(Engine().frmSetup.frmModify.Visible());
  EXPECT_EQ(Engine().frmSetup.frmModify.txtModify.Text(), "windows explorer");
  EXPECT_FALSE(Engine().frmSetup.Enabled()) << "disabled while its dialog is open";
  Engine().frmSetup.frmModify.Close(platform::UnloadMode::ControlMenu);
  EXPECT_TRUE(Engine().frmSetup.Enabled());
}

// Each is owned by the setup window, so it opens centred on it and stays in
// front of it.
TEST_F(SetupWindowTest, EachDialogHasItsTitleIsOwnedByTheWindowAndGivesItBack) {
  sim::SimWindow& setup = OpenSetup();
  const std::pair<int, const char*> dialogs[] = {{cfg::kmnuAdd, "Lock an Item"},
                                                 {cfg::kmnuChangePassword, "Change Password"},
                                                 {cfg::kmnuTimeDelay, "Timers"}};
  for (const auto& [menu, title] : dialogs) {
    SCOPED_TRACE(title);
    setup.ChooseMenu(menu);
    EXPECT_FALSE(Engine().frmSetup.Enabled());
    sim::SimWindow* dialog = world_.OurWindow(title);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->owner(), setup.handle());
    dialog->CloseFromTitleBar();
    EXPECT_TRUE(Engine().frmSetup.Enabled());
  }
  setup.ChooseMenu(cfg::kpassboxpic);
  EXPECT_TRUE(Engine().frmSetup.Enabled()) << "the picture chooser does not disable it";
  ASSERT_NE(world_.OurWindow("Picture for Password Box"), nullptr);
  EXPECT_EQ(world_.OurWindow("Picture for Password Box")->owner(), setup.handle());
}

TEST_F(SetupWindowTest, TheIgnorePanelFoldsOutAndBack) {
  sim::SimWindow& setup = OpenSetup();
  setup.Click("cmdignore");
  EXPECT_EQ(setup.TextOf("cmdignore"), "<< Ignore List");
  EXPECT_TRUE(Engine().frmSetup.fraignore.Visible());
  EXPECT_EQ(Engine().frmSetup.fraignore.Bounds().top, 3840);
  EXPECT_EQ(List1().Bounds().height, 2500);
  setup.Click("cmdignore");
  EXPECT_EQ(setup.TextOf("cmdignore"), "Ignore List >>");
  EXPECT_FALSE(Engine().frmSetup.fraignore.Visible());
  EXPECT_EQ(Engine().frmSetup.cmdignore.Bounds().top, 4560);
  EXPECT_EQ(List1().Bounds().height, 3900);
}

TEST_F(SetupWindowTest, IgnoreEntriesNeedThreeCharactersAndExitStays) {
  sim::SimWindow& setup = OpenSetup();
  setup.Click("cmdadd2");
  ASSERT_EQ(List2().ListCount(), 1);
  EXPECT_EQ(List2().List(0), "Type Here");
  setup.Type("txtignore", "ab");
  setup.Click("cmdadd2");
  EXPECT_EQ(List2().ListCount(), 1);
  EXPECT_EQ(List2().ListIndex(), 0);
  setup.Type("txtignore", "Exit");
  setup.Click("cmdadd2");
  setup.Click("cmdremove2");
  EXPECT_EQ(List2().ListCount(), 2) << "Exit is never deleted";
  List2().SetListIndex(0);
  setup.Click("cmdremove2");
  EXPECT_EQ(List2().ListCount(), 1);
  EXPECT_FALSE(ApplyEnabled()) << "ignore list changes do not enable Apply";
}

TEST_F(SetupWindowTest, OkStoresTheListsAndTheSwitchesAndTheEngineFollows) {
  StorePasswords();
  LockItems({{"Notepad", false}});
  sim::SimWindow& setup = OpenSetup();
  setup.ChooseMenu(cfg::kmnublockinstall);
  EXPECT_TRUE(setup.MenuChecked(cfg::kmnublockinstall));
  EXPECT_TRUE(ApplyEnabled());
  Select("Notepad");
  List1().SetSelected(List1().ListIndex(), true);
  setup.Type("txtignore", "Setup Log");
  setup.Click("cmdadd2");
  setup.Click("cmdOK");
  EXPECT_FALSE(Engine().frmSetup.IsLoaded());
  Pass(500);  // the engine forgets the unlock once the tool is gone
  EXPECT_TRUE(State().ConfigWindowKey.empty());
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "BlockInstall"), "1");
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "LockZip"), "0");
  EXPECT_EQ(StoredText(registry_, store::kItemListKey, "Window0"), "Notepad,1");
  EXPECT_EQ(StoredText(registry_, store::kIgnoreListKey, "Window0"), "Setup Log");
  Pass(500);
  const auto wizard = OpenWindow("Setup Wizard", "Wizard");
  Pass(500);
  EXPECT_FALSE(Visible(wizard));
  const auto log = OpenWindow("Setup Log", "Log");
  Pass(500);
  EXPECT_TRUE(Visible(log));
}

TEST_F(SetupWindowTest, ApplyThenCancelKeepsWhatWasApplied) {
  sim::SimWindow& setup = OpenSetup();
  setup.ChooseMenu(cfg::kmnulockzip);
  setup.Click("cmdApply");
  EXPECT_FALSE(ApplyEnabled());
  EXPECT_TRUE(State().ReloadRequested);
  setup.ChooseMenu(cfg::kmnuLockInternet);
  setup.Click("cmdCancel");
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "LockZip"), "1");
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "LockInternet"), "0");
}

TEST_F(SetupWindowTest, OkWithNoChangeStillRewritesAndReloads) {
  OpenSetup().Click("cmdOK");
  EXPECT_TRUE(State().ReloadRequested);
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "FirstTime"), "1");
  EXPECT_EQ(ValueNames(registry_, store::kItemListKey).size(), 48u);
}

TEST_F(SetupWindowTest, TheTitleBarCloseSavesNothingAndTheNextOpeningAsksAgain) {
  StorePasswords();
  sim::SimWindow& setup = OpenSetup();
  setup.ChooseMenu(cfg::kmnulockzip);
  setup.CloseFromTitleBar();
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "LockZip"), "");
  Pass(500);  // the engine forgets the unlock once the tool is gone
  EXPECT_TRUE(State().ConfigWindowKey.empty());
  Engine().frmMain.mnuPMISetup_Click();
  world_.RunPending();
  EXPECT_NE(Prompt(), nullptr);
}

TEST_F(SetupWindowTest, ASaveThatFailsHalfWayPutsBackWhatWasStoredAndKeepsTheEdits) {
  LockItems({{"Alpha", true}, {"Beta", true}, {"Gamma", false}}, {"keep"});
  Store("LockZip", "1");
  sim::SimWindow& setup = OpenSetup();
  List1().SetSelected(2, true);
  setup.ChooseMenu(cfg::kmnulockzip);
  registry_.FailValueWrite("Window1", platform::reg_error::kAccessDenied);
  setup.Click("cmdOK");
  ASSERT_EQ(world_.shownMessages.size(), 1u);
  EXPECT_NE(world_.shownMessages[0].text.find("could not be saved"), std::string::npos);
  EXPECT_NE(world_.shownMessages[0].text.find("Access is denied."), std::string::npos);
  EXPECT_TRUE(Engine().frmSetup.IsLoaded()) << "the window stays open with the edits";
  EXPECT_TRUE(List1().Selected(2));
  EXPECT_FALSE(State().ReloadRequested);
  EXPECT_EQ(store::ReadItemList(registry_),
            (std::vector<ListItem>{{"Alpha", true}, {"Beta", true}, {"Gamma", false}}));
  EXPECT_EQ(store::ReadIgnoreList(registry_), std::vector<std::string>{"keep"});
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "LockZip"), "1");
}

TEST_F(SetupWindowTest, AnUnwritableKeyIsReportedAndNothingIsLost) {
  LockItems({{"Alpha", true}});
  sim::SimWindow& setup = OpenSetup();
  registry_.DenyWrites(store::kRootKey, store::kProductKey);
  setup.Click("cmdApply");
  setup.Click("cmdOK");
  EXPECT_EQ(world_.shownMessages.size(), 1u) << "Apply was disabled; OK saves anyway and fails";
  EXPECT_EQ(store::ReadItemList(registry_), (std::vector<ListItem>{{"Alpha", true}}));
  EXPECT_TRUE(Engine().frmSetup.IsLoaded());
}

TEST_F(SetupWindowTest, UnlockEverythingClosesTheToolAndOkAfterItRelocks) {
  Store("relock", "10");
  sim::SimWindow& setup = OpenSetup();
  setup.ChooseMenu(cfg::kmnuunlock);
  EXPECT_FALSE(Engine().frmSetup.IsLoaded());
  EXPECT_TRUE(State().AllUnlocked);
  EXPECT_TRUE(Engine().frmMain.timrelock.Enabled());
  // While everything is unlocked the tool opens without a password.
  sim::SimWindow& again = OpenSetup();
  EXPECT_TRUE(again.IsVisible());
  again.Click("cmdOK");
  Pass(500);
  EXPECT_FALSE(State().AllUnlocked);
  EXPECT_EQ(world_.tray->toolTip, "Pelmora Pro 2003 - Locked");
}

TEST_F(SetupWindowTest, UnlockEverythingShowsTheIconEvenWithTheTrayIconDisabled) {
  Store("disablemenu", "1");
  OpenSetup().ChooseMenu(cfg::kmnuunlock);
  ASSERT_TRUE(world_.tray);
  EXPECT_EQ(world_.tray->toolTip, "Pelmora Pro 2003 - Unlocked");
}

// Relock Everything locks the open tool again: it is hidden behind the
// prompt, and until the password its menus do nothing.
TEST_F(SetupWindowTest, RelockLocksTheOpenToolAgain) {
  StorePasswords();
  sim::SimWindow& setup = OpenSetup();
  setup.ChooseMenu(cfg::kmnurelock);
  EXPECT_TRUE(State().ConfigWindowKey.empty());
  Pass(500);
  EXPECT_FALSE(setup.IsVisible());
  ASSERT_NE(Prompt(), nullptr);
  setup.ChooseMenu(cfg::kmnuunlock);
  EXPECT_FALSE(State().AllUnlocked);
  Answer("secret");
  EXPECT_TRUE(setup.IsVisible());
  setup.ChooseMenu(cfg::kmnuunlock);
  EXPECT_TRUE(State().AllUnlocked);
}

TEST_F(SetupWindowTest, EndAsksFirstAndCancelKeepsTheEngineRunning) {
  sim::SimWindow& setup = OpenSetup();
  world_.messageAnswers.push_back(platform::MessageResult::Cancel);
  setup.ChooseMenu(cfg::kmnushutdown);
  EXPECT_FALSE(process_->toolkit.exitCode());
  EXPECT_FALSE(world_.screenSaverRunning);
  world_.messageAnswers.push_back(platform::MessageResult::Ok);
  setup.ChooseMenu(cfg::kmnushutdown);
  EXPECT_EQ(process_->toolkit.exitCode(), 0);
  EXPECT_FALSE(world_.tray);
  EXPECT_TRUE(world_.startedPrograms.empty());
}

TEST_F(SetupWindowTest, HelpWebsiteAndUpdateOpenOurPages) {
  sim::SimWindow& setup = OpenSetup();
  setup.ChooseMenu(cfg::kmnuHelpTopics);
  setup.ChooseMenu(cfg::kmnuvisitwebsite);
  world_.messageAnswers.push_back(platform::MessageResult::Yes);
  setup.ChooseMenu(cfg::kmnuupdate);
  EXPECT_EQ(world_.openedDocuments,
            (std::vector<std::string>{"C:\\Program Files\\Pelmora Pro\\pmpro.htm",
                                      "https://www.example.com/",
                                      "https://www.example.com/download.htm"}));
  ASSERT_EQ(world_.shownMessages.size(), 1u);
  EXPECT_EQ(world_.shownMessages[0].caption, "Update");
  EXPECT_EQ(
      world_.shownMessages[0].text.rfind(std::string("The current version is: ") + kVersionText, 0),
      0u);
}

TEST_F(SetupWindowTest, SelectAllChecksEveryItem) {
  sim::SimWindow& setup = OpenSetup();
  List1().SetListIndex(5);
  setup.ChooseMenu(cfg::kmnuSelectAll);
  for (const ListItem& item : Items()) EXPECT_TRUE(item.checked) << item.text;
  EXPECT_EQ(List1().ListIndex(), 0);
  EXPECT_FALSE(ApplyEnabled());
}

TEST_F(SetupWindowTest, TheAboutEntryLeavesTheToolEnabled) {
  OpenSetup().ChooseMenu(cfg::kmnuAbout);
  EXPECT_TRUE(Engine().frmabout.Visible());
  EXPECT_TRUE(Engine().frmSetup.Enabled());
}

}  // namespace
}  // namespace pm::tests
