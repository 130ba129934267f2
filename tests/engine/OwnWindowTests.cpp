// Which windows the engine takes for its own: only those of our program files
// in the program folder. Any other program's window is judged by its title,
// whatever words it holds, and cannot pose as a running copy or as a second
// start.
#include "engine/EngineFixture.h"
#include "engine/OwnPrograms.h"

namespace pm::tests {
namespace {

using engine::IsOwnProgramFile;
using engine::OwnPrograms;

constexpr const char* kFolder = "C:\\Program Files\\Pelmora Pro\\";

struct ProgramFileCase {
  const char* label;
  const char* path;
  bool engine;     // counts as the engine
  bool eitherOne;  // counts as the engine or the start-up locker
};

class OwnProgramFileTest : public ::testing::TestWithParam<ProgramFileCase> {};

TEST_P(OwnProgramFileTest, OnlyOurProgramFilesInTheProgramFolderAreOurs) {
  const ProgramFileCase& c = GetParam();
  EXPECT_EQ(IsOwnProgramFile(c.path, kFolder, OwnPrograms::Engine), c.engine);
  EXPECT_EQ(IsOwnProgramFile(c.path, kFolder, OwnPrograms::EngineOrStartupLocker), c.eitherOne);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OwnProgramFileTest,
    ::testing::Values(
        ProgramFileCase{"Engine", "C:\\Program Files\\Pelmora Pro\\pmpro.exe", true, true},
        ProgramFileCase{"StartupLocker", "C:\\Program Files\\Pelmora Pro\\pmpstart.exe", false,
                        true},
        ProgramFileCase{"OtherCase", "c:\\PROGRAM FILES\\pelmora pro\\PMPRO.EXE", true, true},
        ProgramFileCase{"OtherProgramInOurFolder", "C:\\Program Files\\Pelmora Pro\\notepad.exe",
                        false, false},
        ProgramFileCase{"SameNameElsewhere", "C:\\Users\\Guest\\Downloads\\pmpro.exe", false,
                        false},
        ProgramFileCase{"FolderWithALongerName", "C:\\Program Files\\Pelmora Pro Tools\\pmpro.exe",
                        false, false},
        ProgramFileCase{"SubFolder", "C:\\Program Files\\Pelmora Pro\\bin\\pmpro.exe", false,
                        false},
        ProgramFileCase{"LongerFileName", "C:\\Program Files\\Pelmora Pro\\pmpro.exe.bak", false,
                        false},
        ProgramFileCase{"BareFileName", "pmpro.exe", false, false},
        ProgramFileCase{"OwnerUnknown", "", false, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(OwnProgramFolderTest, TheFolderComparesWithoutCaseWithOrWithoutItsBackslash) {
  const char* engine = "C:\\Program Files\\Pelmora Pro\\pmpro.exe";
  for (const char* folder : {"C:\\Program Files\\Pelmora Pro", "C:\\Program Files\\Pelmora Pro\\",
                             "c:\\program files\\PELMORA PRO\\"}) {
    SCOPED_TRACE(folder);
    EXPECT_TRUE(IsOwnProgramFile(engine, folder, OwnPrograms::Engine));
  }
  EXPECT_TRUE(
      IsOwnProgramFile("C:\\ЛАБОРАТОРИЯ\\pmpro.exe", "C:\\Лаборатория", OwnPrograms::Engine))
      << "letters beyond ASCII compare without case too";
  EXPECT_FALSE(IsOwnProgramFile(engine, "", OwnPrograms::Engine))
      << "no program folder known: nothing is ours";
}

// --- The watch tick --------------------------------------------------------

struct MarkedTitleCase {
  const char* label;
  const char* ownerPath;  // the program file of the window's process
  bool blocked;
};

class MarkedTitleTest : public EngineTest, public ::testing::WithParamInterface<MarkedTitleCase> {
 protected:
  // A window of a process running `ownerPath` comes to the front.
  platform::Hwnd OpenWindowOf(const char* ownerPath, std::string title) {
    world_.SetProgramPath(777, ownerPath);
    return world_.CreateOtherWindow(std::move(title), "Notepad", 777);
  }
};

TEST_P(MarkedTitleTest, ADocumentNamedAfterTheProgramOpensInALockedEditorOnlyWithThePassword) {
  StorePasswords();
  LockItems({{"Notepad", true}});
  StartEngine();
  const auto editor = OpenWindowOf(GetParam().ownerPath, "Pelmora Pro.txt - Notepad");
  Pass(500);
  EXPECT_EQ(!Visible(editor), GetParam().blocked);
  EXPECT_EQ(Prompt() != nullptr, GetParam().blocked);
}

INSTANTIATE_TEST_SUITE_P(
    Owners, MarkedTitleTest,
    ::testing::Values(
        MarkedTitleCase{"TextEditor", "C:\\Windows\\System32\\notepad.exe", true},
        MarkedTitleCase{"OwnerUnknown", "", true},
        MarkedTitleCase{"ACopyOfTheEngineElsewhere", "D:\\Downloads\\pmpro.exe", true},
        MarkedTitleCase{"TheEngine", "C:\\Program Files\\Pelmora Pro\\pmpro.exe", false},
        MarkedTitleCase{"TheStartupLocker", "C:\\Program Files\\Pelmora Pro\\pmpstart.exe", false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(EngineTest, OurOwnPromptIsPassedOverEvenWhenItsTitleHoldsALockedWord) {
  StorePasswords();
  // "pelmora" is in the title of our own prompt, "Pelmora Pro 2003".
  LockItems({{"Registry Editor", true}, {"Pelmora", true}});
  StartEngine();
  const auto editor = OpenWindow("Registry Editor");
  Pass(500);
  ASSERT_NE(Prompt(), nullptr);
  ASSERT_EQ(world_.Foreground(), Engine().frmPassword.hwnd());
  Pass(2000);
  EXPECT_NE(Prompt(), nullptr) << "the prompt in front is not hidden";
  EXPECT_EQ(CloseRequests(editor), 0) << "nor taken for a second locked window";
  Answer("secret");
  EXPECT_TRUE(Visible(editor));
}

TEST_F(EngineTest, TheConfigurationToolOfOurOwnIsStillLockedByItsTitle) {
  StorePasswords();
  StartEngine();
  Engine().frmMain.mnuPMISetup_Click();
  world_.RunPending();
  EXPECT_FALSE(Engine().frmSetup.Visible());
  EXPECT_NE(Prompt(), nullptr);
}

// --- The running copy and the second start ---------------------------------

struct ImpostorCase {
  const char* label;
  const char* title;
  const char* ownerPath;
};

class ImpostorTest : public EngineTest, public ::testing::WithParamInterface<ImpostorCase> {
 protected:
  void OpenImpostor() {
    world_.SetProgramPath(888, GetParam().ownerPath);
    world_.CreateOtherWindow(GetParam().title, "Impostor", 888);
  }
};

TEST_P(ImpostorTest, AWindowOfAnotherProgramDoesNotKeepTheEngineFromStarting) {
  StorePasswords();
  LockItems({{"Registry Editor", true}});
  OpenImpostor();
  auto& process = StartEngine();
  EXPECT_FALSE(Engine().frmMain.IsSecondStart());
  EXPECT_FALSE(process.toolkit.exitCode().has_value());
  EXPECT_EQ(Engine().frmMain.Caption(), "Pelmora Pro 2003");
  ASSERT_TRUE(world_.tray);
  EXPECT_EQ(world_.tray->owner, Engine().frmMain.hwnd());
  const auto editor = OpenWindow("Registry Editor");
  Pass(1500);
  EXPECT_FALSE(Visible(editor)) << "the engine watches";
  EXPECT_FALSE(State().SetupRequested) << "and opens no configuration tool by itself";
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ImpostorTest,
    ::testing::Values(ImpostorCase{"RunningTitle", "Pelmora Pro 2003",
                                   "C:\\Windows\\System32\\notepad.exe"},
                      ImpostorCase{"SetupRequestTitle", "Pelmora Pro Setup Tool",
                                   "C:\\Windows\\System32\\notepad.exe"},
                      ImpostorCase{"OwnerUnknown", "Pelmora Pro 2003", ""},
                      // The start-up locker's prompt has the running title, but it is no
                      // running engine.
                      ImpostorCase{"StartupLockersPrompt", "Pelmora Pro 2003",
                                   "C:\\Program Files\\Pelmora Pro\\pmpstart.exe"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(EngineTest, ARunningCopyIsFoundBehindAnotherProgramsWindowOfTheSameTitle) {
  StorePasswords();
  StartEngine();
  world_.CreateOtherWindow("Pelmora Pro 2003", "Impostor");  // in front of ours
  EngineProcess second(world_, registry_, 200);
  second.engine.Start();
  EXPECT_TRUE(second.engine.frmMain.IsSecondStart());
  EXPECT_TRUE(State().SetupRequested) << "the running copy opened its tool";
}

}  // namespace
}  // namespace pm::tests
