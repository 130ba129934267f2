// The watch on its own, on the simulated desktop: what it says of a window
// by its title and its program, and how an unlock by password passes a
// program's windows until the last of them closes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/WindowWatch.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimWorld.h"

namespace pm::tests {
namespace {

constexpr std::uint32_t kOurProcess = 100;
constexpr std::uint32_t kLockedProgram = 501;
constexpr std::uint32_t kBrowser = 502;
constexpr std::uint32_t kOurEngineFile = 503;  // another process of our own program file

class WindowWatchTest : public ::testing::Test {
 protected:
  WindowWatchTest() {
    state_.AppFolder = "C:\\Program Files\\Pelmora Pro\\";
    world_.SetProgramPath(kLockedProgram, "C:\\Tools\\locked.exe");
    world_.SetProgramPath(kBrowser, "C:\\Program Files\\Browser\\chrome.exe");
    world_.SetProgramPath(kOurEngineFile, "C:\\Program Files\\Pelmora Pro\\pmpro.exe");
    watch_.SetLockedKeywords({"registry editor"});
    watch_.SetIgnoreKeywords({"setup log"});
    watch_.SetWebPages({"bank.example"});
    watch_.SetPrograms({"C:\\Tools\\locked.exe"});
  }

  sim::SimWorld world_;
  sim::SimDesktop desktop_{world_, kOurProcess};
  store::ProgramState state_;
  engine::WindowWatch watch_{desktop_, state_};
};

struct VerdictCase {
  const char* label;
  const char* title;
  const char* className;
  std::uint32_t process;
  const char* expectedKey;      // nullptr: the window passes
  const char* expectedProgram;  // the locked program the prompt names
};

class WindowVerdictTest : public WindowWatchTest,
                          public ::testing::WithParamInterface<VerdictCase> {};

TEST_P(WindowVerdictTest, AWindowIsStoppedByItsTitleOrItsProgramUnlessItIsPassedOver) {
  const VerdictCase& c = GetParam();
  const platform::Hwnd window = world_.CreateOtherWindow(c.title, c.className, c.process);
  const auto blocked = watch_.Examine(window);
  ASSERT_EQ(blocked.has_value(), c.expectedKey != nullptr);
  if (!blocked) return;
  EXPECT_EQ(blocked->hwnd, window);
  EXPECT_EQ(blocked->key.name, c.expectedKey);
  EXPECT_EQ(blocked->program, c.expectedProgram);
  EXPECT_EQ(blocked->title, std::string(c.title).substr(0, 40));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowVerdictTest,
    ::testing::Values(
        VerdictCase{"LockedTitle", "Registry Editor", "RegEdit", sim::kOtherProcessId, "RegEdit",
                    ""},
        // The keywords are folded as the titles are: a Cyrillic "е" hides nothing.
        VerdictCase{"LookAlikeLetters", "R\xD0\xB5gistry Editor", "RegEdit", sim::kOtherProcessId,
                    "RegEdit", ""},
        VerdictCase{"OrdinaryTitle", "Untitled - Notepad", "Notepad", sim::kOtherProcessId, nullptr,
                    ""},
        VerdictCase{"IgnoredTitle", "Registry Editor - Setup Log", "Viewer", sim::kOtherProcessId,
                    nullptr, ""},
        VerdictCase{"ProgramItem", "Anything at all", "Tool", kLockedProgram, "Tool", "locked.exe"},
        VerdictCase{"ProgramItemIgnoredByTitle", "A setup log", "Tool", kLockedProgram, nullptr,
                    ""},
        VerdictCase{"WebPageInABrowser", "bank.example - Browser", "Chrome_WidgetWin_1", kBrowser,
                    "Chrome_WidgetWin_1", ""},
        VerdictCase{"WebPageTitleOutsideABrowser", "bank.example notes", "Notepad",
                    sim::kOtherProcessId, nullptr, ""},
        VerdictCase{"OurOwnMarkedWindow", "Registry Editor - Pelmora Pro", "Notepad",
                    kOurEngineFile, nullptr, ""},
        VerdictCase{"AnotherProgramsMarkedWindow", "Registry Editor - Pelmora Pro", "Notepad",
                    sim::kOtherProcessId, "Notepad", ""},
        // A standard dialog is keyed by its first forty title characters.
        VerdictCase{"Dialog", "Registry Editor - a title longer than forty characters", "#32770",
                    sim::kOtherProcessId, "Registry Editor - a title longer than fo", ""}),
    [](const auto& info) { return std::string(info.param.label); });

// One unlock opens one program's windows of one class, for as long as one
// of them is open; the screen is examined front first, hosted windows last.
TEST_F(WindowWatchTest, AnUnlockPassesItsProgramsWindowsUntilTheLastOneCloses) {
  const auto host = world_.CreateOtherWindow("Untitled - Notepad", "Notepad", kBrowser);
  const auto hosted = world_.CreateOtherWindow("Registry Editor inside", "Inner");
  world_.SetParent(hosted, host);
  const auto editor = world_.CreateOtherWindow("Registry Editor", "RegEdit", kLockedProgram);
  const auto behind = world_.CreateOtherWindowBehind("Registry Editor 2", "Other");
  std::vector<platform::Hwnd> stopped;
  watch_.ExamineScreen([&](store::BlockedWindow blocked) { stopped.push_back(blocked.hwnd); });
  EXPECT_EQ(stopped, (std::vector{editor, behind, hosted}));

  watch_.RememberUnlock(*watch_.Examine(editor));
  EXPECT_EQ(state_.UnlockedKeys,
            (std::vector<store::UnlockKey>{{"RegEdit", "C:\\Tools\\locked.exe"}}));
  EXPECT_FALSE(watch_.Examine(editor));
  const auto sameProgram = world_.CreateOtherWindow("Registry Editor", "RegEdit", kLockedProgram);
  EXPECT_FALSE(watch_.Examine(sameProgram));
  const auto otherProgram = world_.CreateOtherWindow("Registry Editor", "RegEdit");
  EXPECT_TRUE(watch_.Examine(otherProgram)) << "the same class of another program stays locked";

  world_.DestroyWindow(editor);
  watch_.ForgetClosedUnlocks();
  EXPECT_EQ(state_.UnlockedKeys.size(), 1u) << "one of its windows is still open";
  world_.DestroyWindow(sameProgram);
  watch_.ForgetClosedUnlocks();
  EXPECT_TRUE(state_.UnlockedKeys.empty());
  EXPECT_TRUE(
      watch_.Examine(world_.CreateOtherWindow("Registry Editor", "RegEdit", kLockedProgram)));
}

// The configuration tool's unlock is kept apart and ends with the tool.
TEST_F(WindowWatchTest, TheToolsUnlockEndsWithTheTool) {
  const auto tool = world_.CreateOtherWindow("Configuration Tool", "PelmoraProWindow", kOurProcess);
  watch_.SetLockedKeywords({"configuration tool"});
  state_.ConfigToolHwnd = tool;
  const auto blocked = watch_.Examine(tool);
  ASSERT_TRUE(blocked);
  watch_.RememberUnlock(*blocked);
  EXPECT_EQ(state_.ConfigWindowKey, blocked->key);
  EXPECT_TRUE(state_.UnlockedKeys.empty());
  EXPECT_FALSE(watch_.Examine(tool));
  state_.ConfigToolHwnd = 0;
  world_.DestroyWindow(tool);
  watch_.ForgetClosedUnlocks();
  EXPECT_TRUE(state_.ConfigWindowKey.empty());
}

}  // namespace
}  // namespace pm::tests
