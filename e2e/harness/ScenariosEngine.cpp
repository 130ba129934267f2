// The engine's own roads: a locked window hidden and given back, a second
// start asking for the configuration tool, the close-and-restart, and windows
// of other programs that take our titles.
#include <string>

#include "Fixtures.h"
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include "config/frmSetupLayout.h"
#include "engine/frmMainLayout.h"
#include "platform/win32/Wide.h"

namespace pm::e2e {

using namespace std::chrono_literals;
using win32::Wide;

TEST_F(EngineScenario, LockUnlock) {
  Say("right password");
  {
    TargetWindow first(L"Registry Editor - test", L"PmHarnessEditorOne", true);
    ASSERT_TRUE(LockedOnArrival(first, "Registry Editor - test"));
    const Prompt prompt = WaitForPrompt();
    ASSERT_TRUE(prompt);
    EXPECT_EQ(Utf8(prompt.Text("Label1")), "'Registry Editor - test' requires a password.")
        << "the prompt names the window";
    prompt.Answer(L"SECRET");
    EXPECT_TRUE(WaitFor([&] { return first.visible(); }, kReactLimit))
        << "the right password (in other case) shows the window again";
    // The watch loop ticks every 500 ms: three ticks must leave it alone.
    PumpFor(1500ms);
    EXPECT_TRUE(first.visible()) << "the window is still shown 1.5 s later";
    EXPECT_EQ(FindTopLevel(VisiblePromptQuery()), nullptr) << "the prompt is gone";
  }

  Say("wrong password");
  {
    // Another class: the unlock of the first window does not cover it.
    TargetWindow second(L"Registry Editor - two", L"PmHarnessEditorTwo", true);
    ASSERT_TRUE(LockedOnArrival(second, "Registry Editor - two"));
    const Prompt prompt = WaitForPrompt();
    ASSERT_TRUE(prompt);
    prompt.Answer(L"wrong");
    EXPECT_TRUE(WaitFor([&] { return second.closeRequests() > 0; }, kReactLimit))
        << "a wrong password sends the window WM_CLOSE";
  }
  EXPECT_TRUE(EngineStillRuns(engines, engineId));
}

TEST_F(EngineScenario, SecondStart) {
  const auto started = std::chrono::steady_clock::now();
  const DWORD secondId = engines.Start();
  ASSERT_NE(secondId, 0u) << "a second pmpro started";
  const WindowQuery tool{.title = Wide(config::kSetupTitle)};
  EXPECT_TRUE(WaitFor([&] { return FindTopLevel(tool) != nullptr; }, kReactLimit))
      << "a window titled \"Configuration Tool\" exists";
  EXPECT_TRUE(WaitFor(
      [&] {
        const HWND window = FindTopLevel(tool);
        return window != nullptr && !IsWindowVisible(window) &&
               FindTopLevel(VisiblePromptQuery()) != nullptr;
      },
      kReactLimit))
      << "the configuration tool is hidden and the prompt asks for the password";
  const bool ended = WaitForSingleObject(engines.Process(secondId), 5000) == WAIT_OBJECT_0;
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  Say("the second copy %s after %.2f s", ended ? "ended by itself" : "still runs", seconds);
  EXPECT_TRUE(ended) << "the second copy ends by itself";
  EXPECT_EQ(WaitForSingleObject(engines.Process(engineId), 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the first copy still runs";
}

TEST_F(EngineScenario, Restart) {
  PostMessageW(FindTopLevel(MainWindowQuery(engineId)), WM_CLOSE, 0, 0);
  WindowQuery another = MainWindowQuery();
  another.notProcessId = engineId;
  HWND window = nullptr;
  WaitFor([&] { return (window = FindTopLevel(another)) != nullptr; }, kReactLimit);
  EXPECT_NE(window, nullptr) << "a new copy owns a window titled \"Pelmora Pro 2003\"";
  Say("the new copy is process %lu, the closed one was %lu", ProcessOf(window), engineId);
  EXPECT_EQ(WaitForSingleObject(engines.Process(engineId), 5000), WAIT_OBJECT_0)
      << "the closed copy has ended";
}

namespace {

// Whether the tray holds the icon of that window: changing nothing of an icon
// succeeds only for one that exists.
bool HasTrayIcon(HWND owner) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner;
  data.uID = 1;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// Windows of the harness titled as a running copy and as a second start,
// made before pmpro starts: they are no program of ours.
class ImpostorScenario : public EngineScenario {
 protected:
  TargetWindow running{Wide(engine::kRunningTitle), L"PmHarnessImpostorRunning", true};
  TargetWindow setupRequest{Wide(engine::kSetupRequestTitle), L"PmHarnessImpostorSetup", true};
};

}  // namespace

// With the impostors up, pmpro starts as the first copy and does not open
// its configuration tool for them.
TEST_F(ImpostorScenario, ImpostorTitles) {
  // A second start would have ended after about a second.
  ASSERT_TRUE(EngineStillRuns(engines, engineId));
  const HWND mainWindow = FindTopLevel(MainWindowQuery(engineId));
  EXPECT_TRUE(WaitFor([&] { return HasTrayIcon(mainWindow); }, kReactLimit))
      << "its icon is in the tray";
  const WindowQuery tool{.title = Wide(config::kSetupTitle)};
  EXPECT_EQ(FindTopLevel(tool), nullptr) << "no configuration tool was opened for the harness's \""
                                         << engine::kSetupRequestTitle << "\"";

  TargetWindow editor(L"Registry Editor - impostors around", L"PmHarnessEditorImpostor", true);
  EXPECT_TRUE(LockedOnArrival(editor, "Registry Editor - impostors around"));
  EXPECT_TRUE(running.closeRequests() == 0 && setupRequest.closeRequests() == 0)
      << "the windows that took our titles were left alone";
}

// A document named after the program, open in a locked editor: its title
// holds the program's name, but the window is not ours, so it is locked.
TEST_F(EngineScenario, MarkedTitle) {
  const std::string title = "Pelmora Pro.txt - Registry Editor";
  TargetWindow editor(Wide(title), L"PmHarnessMarkedEditor", true);
  ASSERT_TRUE(LockedOnArrival(editor, title));
  const Prompt prompt = WaitForPrompt();
  ASSERT_TRUE(prompt);
  PumpFor(1500ms);
  EXPECT_TRUE(prompt.StillShown()) << "our own prompt, titled with the program's name, stays up";
  prompt.Answer(L"secret");
  EXPECT_TRUE(WaitFor([&] { return editor.visible(); }, kReactLimit))
      << "the right password gives the editor back";
}

// Messages another program can post to end the engine without its restart:
// WM_QUIT to its window or its thread, and WM_ENDSESSION (after a posted
// WM_QUERYENDSESSION too). None of them counts; only Windows ending the
// session does.
TEST_F(EngineScenario, ForgedEnds) {
  const HWND main = FindTopLevel(MainWindowQuery(engineId));
  ASSERT_NE(main, nullptr) << "the engine's main window";
  PostMessageW(main, WM_QUIT, 0, 0);
  PostThreadMessageW(GetWindowThreadProcessId(main, nullptr), WM_QUIT, 0, 0);
  EXPECT_TRUE(EngineStillRuns(engines, engineId)) << "after WM_QUIT";
  PostMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_TRUE(EngineStillRuns(engines, engineId)) << "after WM_ENDSESSION";
  PostMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  PostMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_TRUE(EngineStillRuns(engines, engineId)) << "after WM_QUERYENDSESSION and WM_ENDSESSION";
  TargetWindow editor(L"Registry Editor - forged", L"PmHarnessForged", true);
  EXPECT_TRUE(LockedOnArrival(editor, "Registry Editor - forged"));
}

}  // namespace pm::e2e
