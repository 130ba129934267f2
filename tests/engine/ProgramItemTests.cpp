// Programs locked by their file, whatever their windows' titles say; titles
// that only look different; windows put inside another program's window;
// and web pages, locked only in web browsers.
#include "engine/EngineFixture.h"
#include "store/ProgramList.h"

namespace pm::tests {
namespace {

using store::ListItem;

constexpr std::uint32_t kRegeditProcess = 5000;
constexpr std::string_view kRegeditPath = "C:\\Windows\\regedit.exe";

class ProgramItemTest : public EngineTest {
 protected:
  void SetUp() override {
    StorePasswords();
    world_.SetProgramPath(kRegeditProcess, std::string(kRegeditPath));
  }
  void LockPrograms(const std::vector<ListItem>& programs) {
    EXPECT_TRUE(store::WriteProgramList(registry_, programs));
  }
  platform::Hwnd OpenOf(std::uint32_t process, std::string title, std::string className) {
    return world_.CreateOtherWindow(std::move(title), std::move(className), process);
  }
};

TEST_F(ProgramItemTest, EveryWindowOfTheProgramIsLockedWhateverItsTitleAndOnlyItsWindows) {
  LockPrograms({{std::string(kRegeditPath), true}});
  StartEngine();
  world_.SetForegroundNotifications(false);  // the 500 ms tick alone

  const auto editor = OpenOf(kRegeditProcess, "C:\\Windows\\regedit.exe", "RegEdit_RegEdit");
  const auto lookalike = OpenWindow("C:\\Windows\\regedit.exe");  // notepad's, same title
  Pass(500);
  EXPECT_FALSE(Visible(editor)) << "the program's window, titled by its path";
  EXPECT_TRUE(Visible(lookalike)) << "the same title in another program's window";
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->TextOf("Label1"), "The program 'regedit.exe' requires a password.");

  Answer("secret");
  EXPECT_TRUE(Visible(editor)) << "the right password gives it back";
  EXPECT_EQ(State().UnlockedKeys, std::vector{Key("RegEdit_RegEdit", std::string(kRegeditPath))});
  world_.DestroyWindow(editor);
  Pass(500);
  EXPECT_TRUE(State().UnlockedKeys.empty()) << "the unlock ends with its last window";

  // A window of the program renamed to anything at all is locked again.
  const auto renamed = OpenOf(kRegeditProcess, "Untitled", "RegEdit_RegEdit");
  world_.SetTitle(renamed, "Holiday photos");
  Pass(500);
  EXPECT_FALSE(Visible(renamed));
}

TEST_F(ProgramItemTest, AnUncheckedProgramItemLocksNothing) {
  LockPrograms({{std::string(kRegeditPath), false}});
  StartEngine();
  const auto editor = OpenOf(kRegeditProcess, "Registry Editor", "RegEdit_RegEdit");
  Pass(1000);
  EXPECT_TRUE(Visible(editor));
}

struct PathSpelling {
  const char* stored;
  bool locks;
};

class ProgramPathSpellingTest : public ProgramItemTest,
                                public ::testing::WithParamInterface<PathSpelling> {};

TEST_P(ProgramPathSpellingTest, APathLocksTheFileWindowsWouldOpenForIt) {
  LockPrograms({{GetParam().stored, true}});
  StartEngine();
  const auto editor = OpenOf(kRegeditProcess, "Registry Editor", "RegEdit_RegEdit");
  Pass(500);
  EXPECT_EQ(!Visible(editor), GetParam().locks) << GetParam().stored;
}

INSTANTIATE_TEST_SUITE_P(Spellings, ProgramPathSpellingTest,
                         ::testing::Values(PathSpelling{"C:\\Windows\\regedit.exe", true},
                                           PathSpelling{"c:\\WINDOWS\\RegEdit.EXE", true},
                                           PathSpelling{"\\\\?\\C:\\Windows\\regedit.exe", true},
                                           PathSpelling{"C:/Windows/regedit.exe", true},
                                           PathSpelling{"C:\\Windows\\System32\\..\\regedit.exe",
                                                        true},
                                           PathSpelling{"C:\\Windows\\.\\\\regedit.exe", true},
                                           PathSpelling{"C:\\Windows\\regedit.exe.", true},
                                           PathSpelling{"C:\\Windows\\regedit.exe.bak", false},
                                           PathSpelling{"D:\\Windows\\regedit.exe", false},
                                           PathSpelling{"regedit.exe", false}));

TEST_F(ProgramItemTest, AStoreAppIsFoundInsideTheSystemsFrameByItsAppId) {
  constexpr std::uint32_t kFrameHost = 6000;
  constexpr std::uint32_t kCalculator = 6001;
  constexpr std::uint32_t kPhotos = 6002;
  world_.SetProgramPath(kFrameHost, "C:\\Windows\\System32\\ApplicationFrameHost.exe");
  world_.SetProgramPath(kCalculator, "C:\\Program Files\\WindowsApps\\Calc\\CalculatorApp.exe");
  world_.SetAppUserModelId(kCalculator, "Microsoft.WindowsCalculator_8wekyb3d8bbwe!App");
  world_.SetProgramPath(kPhotos, "C:\\Program Files\\WindowsApps\\Photos\\Photos.exe");
  world_.SetAppUserModelId(kPhotos, "Microsoft.Windows.Photos_8wekyb3d8bbwe!App");
  LockPrograms({{"SHELL:AppsFolder\\Microsoft.WindowsCalculator_8wekyb3d8bbwe!app", true}});
  StartEngine();

  const auto OpenApp = [&](std::uint32_t app, std::string title) {
    const auto frame = OpenOf(kFrameHost, title, "ApplicationFrameWindow");
    world_.SetParent(OpenOf(app, title, "Windows.UI.Core.CoreWindow"), frame);
    return frame;
  };
  const auto calculator = OpenApp(kCalculator, "Calculator");
  const auto photos = OpenApp(kPhotos, "Photos");
  Pass(500);
  EXPECT_FALSE(Visible(calculator)) << "the frame that shows the locked app";
  EXPECT_TRUE(Visible(photos)) << "a frame of another app";
  ASSERT_NE(Prompt(), nullptr);
  EXPECT_EQ(Prompt()->TextOf("Label1"),
            "The program 'Microsoft.WindowsCalculator' requires a password.");
}

struct DisguisedTitle {
  const char* name;
  const char* title;
};

class DisguisedTitleTest : public ProgramItemTest,
                           public ::testing::WithParamInterface<DisguisedTitle> {};

TEST_P(DisguisedTitleTest, ATitleThatOnlyLooksDifferentIsLocked) {
  LockItems({{"Registry Editor", true}});
  StartEngine();
  const auto window = OpenWindow(GetParam().title, "RegEdit_RegEdit");
  Pass(500);
  EXPECT_FALSE(Visible(window));
}

INSTANTIATE_TEST_SUITE_P(
    Disguises, DisguisedTitleTest,
    ::testing::Values(DisguisedTitle{"ZeroWidthSpace", "Registry\u200BEditor"},
                      DisguisedTitle{"ZeroWidthInsideAWord", "Regi\u200Bstry Ed\u200Citor"},
                      DisguisedTitle{"CyrillicE", "R\u0435gistry Editor"},
                      DisguisedTitle{"GreekCapitals", "\u0395DIT: REGISTRY \u0395DITOR"},
                      DisguisedTitle{"RightToLeftMark", "Registry \u200FEditor"},
                      DisguisedTitle{"DirectionOverride", "Registry\u202E Editor\u202C"},
                      DisguisedTitle{"NoBreakSpace", "Registry\u00A0Editor"},
                      DisguisedTitle{"FullWidth",
                                     "\uFF32\uFF45\uFF47\uFF49\uFF53\uFF54\uFF52\uFF59 "
                                     "\uFF25\uFF44\uFF49\uFF54\uFF4F\uFF52"},
                      DisguisedTitle{"MathematicalBold", "\U0001D411egistry Editor"},
                      DisguisedTitle{"SoftHyphen", "Regis\u00ADtry Editor"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramItemTest, AKeywordTypedWithLookAlikesLocksThePlainTitleAndNothingElse) {
  LockItems({{"R\u0435gistry \u0415ditor", true}, {"\u200B\u00A0", true}});
  StartEngine();
  const auto editor = OpenWindow("Registry Editor", "RegEdit_RegEdit");
  const auto other = OpenWindow("Untitled - Notepad");
  Pass(500);
  EXPECT_FALSE(Visible(editor));
  EXPECT_TRUE(Visible(other)) << "a keyword of no letters locks no title";
}

TEST_F(ProgramItemTest, ALockedWindowPutInsideAnotherProgramsWindowIsJudgedAsItsOwn) {
  constexpr std::uint32_t kHostProcess = 7000;
  world_.SetProgramPath(kHostProcess, "C:\\Tools\\host.exe");
  LockItems({{"Registry Editor", true}});
  StartEngine();
  const auto host = OpenOf(kHostProcess, "My harmless tool", "HostFrame");
  const auto editor = world_.CreateOtherWindowBehind("Untitled", "RegEdit_RegEdit");
  Pass(500);
  world_.SetParent(editor, host);
  world_.SetTitle(editor, "Registry Editor");
  Pass(500);
  EXPECT_FALSE(Visible(editor)) << "hidden inside the host";
  EXPECT_TRUE(Visible(host));
  Answer("secret");
  EXPECT_TRUE(Visible(editor));
  Pass(2000);
  EXPECT_TRUE(Visible(editor)) << "its unlock lasts while it is there, inside the host";
  EXPECT_EQ(State().UnlockedKeys, std::vector{Key("RegEdit_RegEdit")});
}

TEST_F(ProgramItemTest, AWebPageIsLockedInBrowsersOnly) {
  constexpr std::uint32_t kChrome = 8000;
  constexpr std::uint32_t kFirefox = 8001;
  world_.SetProgramPath(kChrome, "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe");
  world_.SetProgramPath(kFirefox, "C:\\Users\\ann\\AppData\\Local\\Firefox\\FIREFOX.EXE");
  LockItems({{"[web page] youtube", true}});
  StartEngine();
  const auto chrome = OpenOf(kChrome, "Cats - YouTube - Google Chrome", "Chrome_WidgetWin_1");
  const auto firefox = OpenOf(kFirefox, "New Tab - Mozilla Firefox", "MozillaWindowClass");
  const auto notes = OpenWindow("youtube ideas - Notepad");
  Pass(500);
  EXPECT_FALSE(Visible(chrome));
  EXPECT_TRUE(Visible(firefox)) << "a browser on another page";
  EXPECT_TRUE(Visible(notes)) << "the site's name in another program's window";
  Answer("secret");
  world_.SetTitle(firefox, "YouTube - Mozilla Firefox");
  Pass(500);
  EXPECT_FALSE(Visible(firefox)) << "a browser that goes to the page";
}

}  // namespace
}  // namespace pm::tests
