// The owner adds an item with the wizard: a window title goes into the
// list; a file, folder or web page goes to its add-on, or to the download
// of the add-on when it is not installed.
#include "config/SetupDialogFixture.h"
#include "config/frmAddWizardLayout.h"

namespace pm::tests {
namespace {

using store::ListItem;

class AddWizardTest : public SetupDialogTest {
 protected:
  sim::SimWindow& OpenWizard() {
    OpenSetup().Click("cmdAdd");
    sim::SimWindow* wizard = Window(Wizard());
    EXPECT_NE(wizard, nullptr);
    return *wizard;
  }
  config::frmAddWizard& Wizard() { return SetupForm().frmAddWizard; }
  bool Shows(sim::SimWindow& wizard, std::string_view control) {
    return wizard.ControlVisible(wizard.Index(control));
  }
  bool Selected(sim::SimWindow& wizard, std::string_view control) {
    return wizard.Checked(wizard.Index(control));
  }
  sim::SimWindow& TitlePage() {
    sim::SimWindow& wizard = OpenWizard();
    wizard.Click("Option1");
    wizard.Click("cmdNext");
    return wizard;
  }
};

TEST_F(AddWizardTest, WalksFromTheChoiceToTheTitlePageAndBack) {
  sim::SimWindow& wizard = OpenWizard();
  EXPECT_FALSE(SetupForm().Enabled());
  EXPECT_EQ(wizard.TextOf("cmdNext"), "&Next >");
  EXPECT_FALSE(wizard.EnabledOf("cmdBack"));
  EXPECT_EQ(wizard.DefaultButton(), -1) << "Next is not the default button at first";
  for (std::string_view option : {"Option1", "Option2", "Option3"}) {
    EXPECT_FALSE(Selected(wizard, option)) << option;
  }
  EXPECT_FALSE(Shows(wizard, "txtWindow"));
  EXPECT_TRUE(wizard.WholeTextSelected("txtWindow"));

  wizard.Click("cmdNext");  // nothing chosen: nothing happens
  EXPECT_EQ(wizard.TextOf("cmdNext"), "&Next >");
  EXPECT_FALSE(wizard.EnabledOf("cmdBack"));
  EXPECT_TRUE(Shows(wizard, "Option2"));

  wizard.Click("Option1");
  wizard.Click("cmdNext");
  EXPECT_EQ(wizard.TextOf("cmdNext"), "Finish");
  EXPECT_TRUE(wizard.EnabledOf("cmdBack"));
  for (std::string_view shown : {"Label2", "Label4", "txtWindow", "Option1"}) {
    EXPECT_TRUE(Shows(wizard, shown)) << shown;
  }
  for (std::string_view hidden : {"Option2", "Option3", "Label3", "Image2"}) {
    EXPECT_FALSE(Shows(wizard, hidden)) << hidden;
  }
  EXPECT_EQ(wizard.focus(), wizard.Index("txtWindow"));
  EXPECT_TRUE(wizard.WholeTextSelected("txtWindow"));
  EXPECT_EQ(wizard.TextOf("txtWindow"), config::kWindowHint);

  wizard.Click("cmdBack");
  EXPECT_EQ(wizard.TextOf("cmdNext"), "&Next >");
  EXPECT_FALSE(wizard.EnabledOf("cmdBack"));
  EXPECT_EQ(wizard.TextOf("Label1"), config::kWizardIntro);
  for (std::string_view shown : {"Option1", "Option2", "Option3"}) {
    EXPECT_TRUE(Shows(wizard, shown)) << shown;
  }
  for (std::string_view hidden : {"Label2", "Label4", "txtWindow", "Label3", "Image2"}) {
    EXPECT_FALSE(Shows(wizard, hidden)) << hidden;
  }
  EXPECT_TRUE(Selected(wizard, "Option1")) << "the choice stays";
}

struct FinishCase {
  const char* name;
  std::string_view title;
  std::vector<ListItem> items;  // after Finish
};

class FinishTest : public AddWizardTest, public ::testing::WithParamInterface<FinishCase> {};

TEST_P(FinishTest, AddsATitleOnceAndChecksIt) {
  LockItems({{"Notepad", false}, {"Paint", false}});
  sim::SimWindow& wizard = TitlePage();
  wizard.Type("txtWindow", GetParam().title);
  wizard.Click("cmdNext");
  EXPECT_FALSE(Wizard().IsLoaded());
  EXPECT_TRUE(SetupForm().Enabled());
  EXPECT_EQ(Items(), GetParam().items);
  EXPECT_EQ(CurrentItem(), GetParam().title);
  EXPECT_TRUE(ApplyEnabled());
  EXPECT_EQ(StoredText(registry_, store::kItemListKey, "Window0"), "Notepad,0")
      << "the wizard stores nothing itself";
}

INSTANTIATE_TEST_SUITE_P(
    Titles, FinishTest,
    ::testing::Values(
        FinishCase{"already_listed", "Notepad", {{"Notepad", true}, {"Paint", false}}},
        FinishCase{
            "other_case", "notepad", {{"Notepad", false}, {"notepad", true}, {"Paint", false}}},
        FinishCase{"new_in_its_place",
                   "Calculator",
                   {{"Calculator", true}, {"Notepad", false}, {"Paint", false}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AddWizardTest, TheUntouchedHintIsNoTitle) {
  LockItems({{"Notepad", false}});
  sim::SimWindow& wizard = TitlePage();
  wizard.Click("cmdNext");
  EXPECT_TRUE(Wizard().IsLoaded());
  EXPECT_EQ(Items(), (std::vector<ListItem>{{"Notepad", false}}));
  EXPECT_FALSE(SetupForm().Enabled());
}

TEST_F(AddWizardTest, AnEmptyTitleDisablesNextAlsoBackOnTheChoicePage) {
  sim::SimWindow& wizard = TitlePage();
  wizard.Type("txtWindow", "Paint");
  EXPECT_TRUE(wizard.EnabledOf("cmdNext"));
  EXPECT_EQ(wizard.DefaultButton(), wizard.Index("cmdNext")) << "Enter finishes";
  wizard.Type("txtWindow", "");
  EXPECT_FALSE(wizard.EnabledOf("cmdNext"));
  EXPECT_EQ(wizard.DefaultButton(), -1);
  wizard.Click("cmdBack");
  EXPECT_EQ(wizard.TextOf("cmdNext"), "&Next >");
  EXPECT_FALSE(wizard.EnabledOf("cmdNext"));
  wizard.Click("cmdCancel");
  EXPECT_FALSE(Wizard().IsLoaded());
  EXPECT_TRUE(SetupForm().Enabled());
}

struct AddonCase {
  const char* name;
  std::string_view option;
  std::string_view key;
  std::string_view program;
  std::string_view downloadCaption;
  std::string_view downloadAddress;
  std::vector<std::string_view> hidden;
};

const AddonCase kAddons[] = {
    {"file_or_folder",
     "Option2",
     "Software\\Pelmora Pro\\Addon\\Settings",
     "pmpaddon.exe",
     "&Download",
     "https://www.example.com/download/pmpaddon.exe",
     {"Option1", "Option3"}},
    {"web_page",
     "Option3",
     "Software\\Pelmora Pro\\Addon2\\Settings",
     "qwenet.exe",
     "Download",
     "https://www.example.com/download/qwenet.exe",
     {"Option1", "Option2"}},
};

class AddonTest : public AddWizardTest, public ::testing::WithParamInterface<AddonCase> {
 protected:
  void Register(std::string_view folder) {
    StoreText(registry_, GetParam().key, "InstallPath", folder);
  }
  sim::SimWindow& ChooseAddon() {
    sim::SimWindow& wizard = OpenWizard();
    // The owner has the setup window on the screen (it opens minimised).
    SetupForm().window().SetWindowState(platform::WindowState::Normal);
    wizard.Click(GetParam().option);
    wizard.Click("cmdNext");
    return wizard;
  }
  void ExpectDownloadOffer(sim::SimWindow& wizard) {
    ASSERT_TRUE(Wizard().IsLoaded());
    EXPECT_EQ(wizard.TextOf("cmdNext"), GetParam().downloadCaption);
    EXPECT_TRUE(Shows(wizard, "Label3"));
    EXPECT_TRUE(Shows(wizard, "Image2"));
    EXPECT_TRUE(wizard.EnabledOf("cmdBack"));
    for (std::string_view hidden : GetParam().hidden) EXPECT_FALSE(Shows(wizard, hidden)) << hidden;
  }
};

TEST_P(AddonTest, NotInstalledOffersTheDownloadUntilBack) {
  sim::SimWindow& wizard = ChooseAddon();
  ExpectDownloadOffer(wizard);
  EXPECT_TRUE(world_.startedPrograms.empty());
  wizard.Click("cmdNext");
  wizard.Click("cmdNext");
  EXPECT_EQ(world_.openedDocuments,
            (std::vector<std::string>(2, std::string(GetParam().downloadAddress))));
  ExpectDownloadOffer(wizard);  // the page stays
  wizard.Click("cmdBack");
  EXPECT_EQ(wizard.TextOf("cmdNext"), "&Next >");
  EXPECT_FALSE(Shows(wizard, "Label3"));
  EXPECT_EQ(SetupForm().window().GetWindowState(), platform::WindowState::Normal);
}

TEST_P(AddonTest, InstalledStartsTheAddonAndMakesRoomForIt) {
  Register("C:\\Addons\\");
  ChooseAddon();
  ASSERT_EQ(world_.startedPrograms.size(), 1u);
  EXPECT_EQ(world_.startedPrograms[0].first, "C:\\Addons\\" + std::string(GetParam().program));
  EXPECT_EQ(world_.startedPrograms[0].second, platform::kShowNormal);
  EXPECT_FALSE(Wizard().IsLoaded());
  EXPECT_TRUE(SetupForm().Enabled());
  EXPECT_EQ(SetupForm().window().GetWindowState(), platform::WindowState::Minimized);
  EXPECT_TRUE(world_.openedDocuments.empty());
}

TEST_P(AddonTest, ARegisteredAddonThatCannotStartOffersTheDownload) {
  Register("C:\\Gone\\");
  world_.startSucceeds = false;
  sim::SimWindow& wizard = ChooseAddon();
  EXPECT_EQ(world_.startedPrograms.size(), 1u);
  ExpectDownloadOffer(wizard);
  EXPECT_EQ(SetupForm().window().GetWindowState(), platform::WindowState::Minimized);
  wizard.Click("cmdNext");
  EXPECT_EQ(world_.openedDocuments,
            std::vector<std::string>{std::string(GetParam().downloadAddress)});
}

INSTANTIATE_TEST_SUITE_P(Addons, AddonTest, ::testing::ValuesIn(kAddons),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AddWizardTest, EveryWayOutGivesTheSetupWindowBack) {
  for (const char* way : {"Cancel", "title bar"}) {
    SCOPED_TRACE(way);
    sim::SimWindow& wizard = OpenWizard();
    ASSERT_FALSE(SetupForm().Enabled());
    if (std::string_view(way) == "Cancel") {
      wizard.Click("cmdCancel");
    } else {
      wizard.CloseFromTitleBar();
    }
    EXPECT_FALSE(Wizard().IsLoaded());
    EXPECT_TRUE(SetupForm().Enabled());
    SetupForm().Unload();
  }
}

}  // namespace
}  // namespace pm::tests
