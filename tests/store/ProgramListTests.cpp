// The program items as they are stored, the web-page items as the add-on
// makes them, and the programs offered before the first save.
#include <gtest/gtest.h>

#include "platform/sim/SimRegistry.h"
#include "store/ProgramList.h"
#include "store/StoreTestSupport.h"
#include "store/WebPageItems.h"

namespace pm::store {
namespace {

TEST(ProgramListTest, ProgramItemsAreStoredAsTheItemListIsAndReadBackInPositionOrder) {
  sim::SimRegistry registry;
  EXPECT_TRUE(WriteProgramList(registry, {{{"C:\\Windows\\regedit.exe", true},
                                           {"C:\\Tools\\a,b.exe", false},
                                           {"shell:AppsFolder\\X_1!App", true}}}));
  EXPECT_EQ(tests::StoredText(registry, kProgramListKey, "Program0"), "C:\\Windows\\regedit.exe,1");
  EXPECT_EQ(tests::StoredText(registry, kProgramListKey, "Program1"), "C:\\Tools\\a,b.exe,0");
  tests::StoreText(registry, kProgramListKey, "Program7", "C:\\late.exe,1");
  tests::StoreText(registry, kProgramListKey, "Program8", "C:\\broken.exe,x");
  tests::StoreText(registry, kProgramListKey, "Program1000", "C:\\beyond.exe,1");
  EXPECT_EQ(ReadProgramList(registry), (std::vector<ListItem>{{"C:\\Windows\\regedit.exe", true},
                                                              {"C:\\Tools\\a,b.exe", false},
                                                              {"shell:AppsFolder\\X_1!App", true},
                                                              {"C:\\late.exe", true}}));
  // Rewritten whole: nothing of the earlier list stays.
  EXPECT_TRUE(WriteProgramList(registry, {{{"C:\\only.exe", true}}}));
  EXPECT_EQ(ReadProgramList(registry), (std::vector<ListItem>{{"C:\\only.exe", true}}));
}

TEST(ProgramListTest, AProgramIsNamedByItsFileAndAStoreAppByItsPackage) {
  EXPECT_EQ(ProgramName("C:\\Windows\\System32\\cmd.exe"), "cmd.exe");
  EXPECT_EQ(ProgramName("shell:AppsFolder\\Microsoft.WindowsCalculator_8wekyb3d8bbwe!App"),
            "Microsoft.WindowsCalculator");
  EXPECT_EQ(StoreAppId("shell:appsfolder\\A!B"), "A!B");
  EXPECT_EQ(StoreAppId("C:\\shell:AppsFolder\\x.exe"), "");
}

TEST(ProgramListTest, TheDefaultProgramsAreWindowsOwnAndPowerShell7OnlyWhereInstalled) {
  const auto none = [](const std::string&) { return false; };
  const auto all = [](const std::string&) { return true; };
  const std::vector<std::string> without = DefaultPrograms("D:\\Win", "D:\\Programs", none);
  EXPECT_EQ(without, (std::vector<std::string>{
                         "D:\\Win\\System32\\cmd.exe",
                         "D:\\Win\\System32\\WindowsPowerShell\\v1.0\\powershell.exe",
                         "D:\\Win\\regedit.exe", "D:\\Win\\System32\\Taskmgr.exe",
                         "D:\\Win\\System32\\mmc.exe", "D:\\Win\\System32\\msconfig.exe",
                         "D:\\Win\\System32\\control.exe",
                         "shell:AppsFolder\\windows.immersivecontrolpanel_cw5n1h2txyewy!"
                         "microsoft.windows.immersivecontrolpanel"}));
  const std::vector<std::string> with = DefaultPrograms("D:\\Win", "D:\\Programs", all);
  ASSERT_EQ(with.size(), without.size() + 1);
  EXPECT_EQ(with[7], "D:\\Programs\\PowerShell\\7\\pwsh.exe");
}

struct TypedSite {
  const char* typed;
  const char* item;
};

class WebPageItemTest : public ::testing::TestWithParam<TypedSite> {};

TEST_P(WebPageItemTest, ASiteIsStoredByTheNameBrowsersShowInTheirTitles) {
  EXPECT_EQ(WebPageItem(GetParam().typed), GetParam().item);
  if (!std::string(GetParam().item).empty()) {
    EXPECT_EQ(WebPageTitle(GetParam().item), std::string(GetParam().item).substr(11));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sites, WebPageItemTest,
    ::testing::Values(TypedSite{"YouTube", "[web page] YouTube"},
                      TypedSite{"  Online Banking  ", "[web page] Online Banking"},
                      TypedSite{"https://www.youtube.com/watch?v=1", "[web page] youtube"},
                      TypedSite{"youtube.com", "[web page] youtube"},
                      TypedSite{"WWW.Facebook.com", "[web page] Facebook"},
                      TypedSite{"http://user@news.bbc.co.uk:8080/sport", "[web page] bbc"},
                      TypedSite{"https://localhost/", "[web page] localhost"},
                      TypedSite{"https://", ""}, TypedSite{"   ", ""}));

TEST(WebPageItemsTest, OnlyTheListedBrowsersProgramFilesAreBrowsers) {
  for (const char* browser :
       {"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe",
        "C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\MSEDGE.EXE", "firefox.exe",
        "C:\\Users\\a\\AppData\\Local\\BraveSoftware\\brave.exe", "D:\\opera.exe", "vivaldi.exe",
        "C:\\Program Files\\Internet Explorer\\iexplore.exe"}) {
    EXPECT_TRUE(IsWebBrowserProgram(browser)) << browser;
  }
  EXPECT_FALSE(IsWebBrowserProgram("C:\\Windows\\notepad.exe"));
  EXPECT_FALSE(IsWebBrowserProgram("C:\\Tools\\chrome.exe.bak"));
  EXPECT_EQ(WebPageTitle("web page youtube"), "");
}

}  // namespace
}  // namespace pm::store
