// The owner locks a program, a document, a folder and a web site through the
// two add-ons while the engine runs and the configuration tool is open: each
// is stored with the password, the engine locks it at its next look, and the
// tool's list shows it.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "addons/AddonForms.h"
#include "config/SetupDialogFixture.h"
#include "platform/sim/SimFileDialogs.h"
#include "store/ProgramList.h"
#include "store/RegistrySnapshot.h"

namespace pm::tests {
namespace {

namespace fs = std::filesystem;
using store::ListItem;

constexpr std::uint32_t kAddonProcess = 300;

class AddonTest : public SetupDialogTest {
 protected:
  void SetUp() override {
    StorePasswords();
    Store(store::setting::kFirstTime, "1");
    LockItems({{"Notepad", true}});
    folder_ = fs::temp_directory_path() / ("pmp-addon-" + std::to_string(::getpid()));
    fs::create_directories(folder_ / "Holiday");
    std::ofstream(folder_ / "report.docx") << "x";
    std::ofstream(folder_ / "game.exe") << "x";
    // A shortcut of the simulation names its target in its first line.
    std::ofstream(folder_ / "Game.lnk") << (folder_ / "game.exe").string() << "\n";
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Path(const char* name) const { return (folder_ / name).string(); }
  sim::SimWindow& Ours(platform::Form& form) { return *world_.Find(form.hwnd())->ours; }

  fs::path folder_;
  sim::SimToolkit addonToolkit_{world_, kAddonProcess, "C:\\Program Files\\Pelmora Pro"};
  sim::SimFileDialogs dialogs_;
};

TEST_F(AddonTest, AProgramADocumentAFolderAndAWebSiteAreLockedThroughTheAddOns) {
  OpenSetup();
  // The change report Windows gives the engine, from the simulated registry.
  const std::unique_ptr<platform::KeyWatch> watch =
      registry_.Watch(store::kRootKey, store::kProductKey);
  State().StoredSettingsWatch = watch.get();

  addons::frmAddFile files(addonToolkit_, {registry_, nullptr}, dialogs_);
  files.Show();
  sim::SimWindow& fileWindow = Ours(files);
  EXPECT_EQ(fileWindow.Caption(), "Lock a File or Folder");

  // A wrong password stores nothing and says so.
  fileWindow.Type("txtPath", Path("report.docx"));
  fileWindow.Type("txtPassword", "wrong");
  fileWindow.Click("cmdLock");
  EXPECT_NE(fileWindow.TextOf("lblResult").find("password is not right"), std::string::npos);
  EXPECT_EQ(store::ReadItemList(registry_), (std::vector<ListItem>{{"Notepad", true}}));

  // A path that is no file.
  const int beeps = world_.beeps;
  fileWindow.Type("txtPath", Path("missing.txt"));
  fileWindow.Type("txtPassword", "secret");
  fileWindow.Click("cmdLock");
  EXPECT_EQ(world_.beeps, beeps + 1);

  const auto lock = [&](const std::string& path, const char* expected) {
    fileWindow.Type("txtPath", path);
    fileWindow.Type("txtPassword", "SECRET");
    fileWindow.Click("cmdLock");
    EXPECT_EQ(fileWindow.TextOf("lblResult"), std::string("Locked: ") + expected + ".") << path;
    EXPECT_EQ(fileWindow.TextOf("txtPassword"), "") << "the password does not stay in the box";
  };
  lock(Path("report.docx"), "every window whose title contains \"report.docx\"");
  // A folder, chosen in the system's dialog.
  dialogs_.answers.push_back(Path("Holiday") + "/");
  fileWindow.Click("cmdFolder");
  EXPECT_EQ(fileWindow.TextOf("txtPath"), Path("Holiday") + "/");
  lock(fileWindow.TextOf("txtPath"), "every window whose title contains \"Holiday\"");
  lock(Path("Game.lnk"), ("every window of the program " + Path("game.exe")).c_str());
  lock("shell:AppsFolder\\Microsoft.WindowsCalculator_8wekyb3d8bbwe!App",
       "every window of the program "
       "shell:AppsFolder\\Microsoft.WindowsCalculator_8wekyb3d8bbwe!App");

  addons::frmAddWeb web(addonToolkit_, {registry_, nullptr});
  web.Show();
  sim::SimWindow& webWindow = Ours(web);
  webWindow.Type("txtSite", "https://www.youtube.com/feed");
  webWindow.Type("txtPassword", "secret");
  webWindow.Click("cmdLock");
  EXPECT_EQ(webWindow.TextOf("lblResult"),
            "Locked: every window whose title contains \"[web page] youtube\".");

  EXPECT_EQ(store::ReadItemList(registry_), (std::vector<ListItem>{{"Notepad", true},
                                                                   {"report.docx", true},
                                                                   {"Holiday", true},
                                                                   {"[web page] youtube", true}}));
  const std::vector<ListItem> programs = {
      {Path("game.exe"), true},
      {"shell:AppsFolder\\Microsoft.WindowsCalculator_8wekyb3d8bbwe!App", true}};
  EXPECT_EQ(store::ReadProgramList(registry_), programs);

  // The engine and the open tool take it in at their next look.
  Pass(500);
  const std::vector<std::string> rows = {"report.docx", "Holiday", "[web page] youtube",
                                         config::ProgramEntries::RowText(Path("game.exe"))};
  for (const std::string& row : rows) {
    const int at = config::FindEntry(List1(), row);
    EXPECT_TRUE(at >= 0 && List1().Selected(at)) << row << " is in the tool's list, checked";
  }
  world_.SetProgramPath(5000, Path("game.exe"));
  world_.SetProgramPath(5001, "C:\\Program Files\\Microsoft\\Edge\\Application\\msedge.exe");
  const auto document = OpenWindow("report.docx - WordPad", "WordPadClass");
  const auto explorer = OpenWindow("Holiday", "CabinetWClass");
  const auto game = world_.CreateOtherWindow("Space Game", "GameWindow", 5000);
  const auto page = world_.CreateOtherWindow("Home - YouTube - Edge", "Chrome_WidgetWin_1", 5001);
  Pass(500);
  EXPECT_FALSE(Visible(document));
  EXPECT_FALSE(Visible(explorer));
  EXPECT_FALSE(Visible(game));
  EXPECT_FALSE(Visible(page));

  // Saving the tool keeps them.
  Ours(SetupForm()).Click("cmdOK");
  EXPECT_EQ(store::ReadProgramList(registry_), programs);
  EXPECT_EQ(store::ReadItemList(registry_).size(), 4u);

  // Close ends the add-on's program.
  webWindow.Click("cmdClose");
  EXPECT_FALSE(web.IsLoaded());
  State().StoredSettingsWatch = nullptr;
}

}  // namespace
}  // namespace pm::tests
