// What the engine sees beyond the window in front, against the real engine:
// a locked window shown behind another, a front window renamed to a locked
// title, two programs that share a window class, the locked configuration
// tool sent commands by another program, fifty locked windows at once, and
// a run of wrong passwords.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "config/frmSetupLayout.h"
#include "platform/win32/Wide.h"

namespace pm::e2e {

using namespace std::chrono_literals;

namespace {

bool PromptGone() {
  return FindTopLevel(VisiblePromptQuery()) == nullptr;
}

// Closes the prompt with its "X" and waits until it is gone.
void Dismiss(const Prompt& prompt) {
  prompt.Click("Command1");
  WaitFor([&] { return !prompt.StillShown(); }, kReactLimit);
}

// Does `act` to the window, waits until the engine has hidden it and prompts,
// and closes the prompt; says how long the hiding took.
testing::AssertionResult HiddenAfter(TargetWindow& window, const std::function<void()>& act,
                                     const std::string& what) {
  LARGE_INTEGER start;
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&start);
  act();
  const bool hidden = WaitFor([&] { return !window.visible(); }, kReactLimit);
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  const double milliseconds = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                              static_cast<double>(frequency.QuadPart);
  Say("%s: %s after %.1f ms", what.c_str(), hidden ? "hidden" : "still shown", milliseconds);
  const Prompt prompt = WaitForPrompt();
  if (prompt) Dismiss(prompt);
  if (hidden && prompt) return testing::AssertionSuccess();
  return testing::AssertionFailure() << what << ": " << (hidden ? "hidden" : "not hidden") << ", "
                                     << (prompt ? "a prompt came" : "no prompt came");
}

}  // namespace

TEST_F(EngineScenario, ScreenWatch) {
  Say("a locked window shown without activation behind another");
  {
    TargetWindow front(L"Untitled - Notepad", L"PmHarnessFront", true);
    SetForegroundWindow(front.handle());
    TargetWindow behind(L"Registry Editor - behind", L"PmHarnessBehind", false);
    const auto showBehind = [&] {
      ShowWindow(behind.handle(), SW_SHOWNA);
      EXPECT_NE(GetForegroundWindow(), behind.handle())
          << "the window came up behind the front one";
    };
    ASSERT_TRUE(HiddenAfter(behind, showBehind, "the window behind is hidden"));
  }

  Say("a front window whose title becomes a locked one");
  {
    TargetWindow browser(L"New Tab - Browser", L"PmHarnessBrowser", true);
    SetForegroundWindow(browser.handle());
    PumpFor(600ms);
    EXPECT_TRUE(browser.visible()) << "an unlocked title is left alone";
    const auto rename = [&] { SetWindowTextW(browser.handle(), L"Registry Editor - Browser"); };
    ASSERT_TRUE(HiddenAfter(browser, rename, "renamed to a locked title, it is hidden"));
  }

  Say("two programs with windows of one class");
  {
    const std::wstring shared = L"PmHarnessSharedClass";
    TargetWindow mine(L"Registry Editor - mine", shared, true);
    ASSERT_TRUE(LockedOnArrival(mine, "mine"));
    const Prompt prompt = WaitForPrompt();
    ASSERT_TRUE(prompt);
    prompt.Answer(L"secret");
    EXPECT_TRUE(WaitFor([&] { return mine.visible(); }, kReactLimit))
        << "the right password gives the first program's window back";
    const DWORD otherId = StartOtherProgramWindow(engines, L"pmharness-other-program.exe",
                                                  L"Registry Editor - theirs", shared);
    EXPECT_NE(otherId, 0u) << "another program opened a window of the same class";
    const WindowQuery theirs{
        .title = L"Registry Editor - theirs", .className = shared, .processId = otherId};
    EXPECT_TRUE(WaitFor([&] { return FindTopLevel(theirs) != nullptr; }, kStartLimit))
        << "its window exists";
    EXPECT_TRUE(WaitFor(
        [&] {
          const HWND window = FindTopLevel(theirs);
          return window != nullptr && !IsWindowVisible(window);
        },
        kReactLimit))
        << "the other program's window is still locked: hidden";
    const Prompt second = WaitForPrompt();
    ASSERT_TRUE(second);
    Dismiss(second);
    EXPECT_TRUE(mine.visible()) << "the unlocked program's window stays shown";
    engines.End(otherId);
  }

  Say("commands posted to the locked configuration tool");
  {
    ASSERT_NE(engines.Start(), 0u) << "a second pmpro asks for the tool";
    const WindowQuery toolQuery{.title = win32::Wide(config::kSetupTitle), .processId = engineId};
    HWND tool = nullptr;
    EXPECT_TRUE(WaitFor(
        [&] {
          tool = FindTopLevel(toolQuery);
          return tool != nullptr && !IsWindowVisible(tool) && !PromptGone();
        },
        kReactLimit))
        << "the tool waits hidden behind the prompt";
    for (const int command :
         {config::kmnuunlock, config::kmnushutdown, config::kmnuChangePassword}) {
      PostMessageW(tool, WM_COMMAND, static_cast<WPARAM>(command), 0);
    }
    PumpFor(1000ms);
    EXPECT_EQ(WaitForSingleObject(engines.Process(engineId), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "\"End Pelmora Pro\" (233) did not end the engine";
    EXPECT_EQ(WaitForMessageBox(engineId, 200ms).box, nullptr) << "no message box came up";
    EXPECT_EQ(FindTopLevel({.title = L"Change Password",
                            .visibility = WindowQuery::Visibility::Visible,
                            .processId = engineId}),
              nullptr)
        << "no change-password dialog opened (211)";
    const Prompt prompt = WaitForPrompt();
    ASSERT_TRUE(prompt);
    Dismiss(prompt);
    EXPECT_TRUE(WaitFor([&] { return FindTopLevel(toolQuery) == nullptr; }, kReactLimit))
        << "\"X\" closes the tool";
    TargetWindow next(L"Registry Editor - after the commands", L"PmHarnessAfterCommands", true);
    EXPECT_TRUE(LockedOnArrival(next, "next") && WaitForPrompt())
        << "\"Unlock Everything\" (231) did nothing: the next locked window is hidden and "
           "asks for the password";
    if (const Prompt last = Prompt::WaitVisible(kReactLimit)) Dismiss(last);
  }

  Say("fifty locked windows at once");
  {
    std::vector<std::unique_ptr<TargetWindow>> windows;
    for (int i = 0; i < 50; ++i) {
      windows.push_back(
          std::make_unique<TargetWindow>(L"Registry Editor - many " + std::to_wstring(i),
                                         L"PmHarnessAtOnce" + std::to_wstring(i), true));
    }
    const auto shown = [&] {
      int count = 0;
      for (const auto& window : windows) count += window->visible() ? 1 : 0;
      return count;
    };
    WaitForPrompt();
    EXPECT_TRUE(WaitFor([&] { return shown() == 0; }, kReactLimit))
        << "all fifty are hidden before the first prompt is answered (" << shown()
        << " still shown)";
    int prompts = 0;
    for (; prompts < 60; ++prompts) {
      const Prompt prompt = Prompt::WaitVisible(2000ms);
      if (!prompt) break;
      Dismiss(prompt);
    }
    EXPECT_EQ(prompts, 50) << "each asks in turn";
  }

  Say("five wrong passwords in a row");
  {
    for (int i = 0; i < 5; ++i) {
      TargetWindow guessed(L"Registry Editor - guess " + std::to_wstring(i),
                           L"PmHarnessGuess" + std::to_wstring(i), true);
      ASSERT_TRUE(LockedOnArrival(guessed, "guess"));
      const Prompt prompt = WaitForPrompt();
      ASSERT_TRUE(prompt);
      prompt.Answer(L"wrong");
      WaitFor([&] { return guessed.closeRequests() > 0; }, kReactLimit);
      WaitFor(PromptGone, kReactLimit);
    }
    TargetWindow sixth(L"Registry Editor - sixth", L"PmHarnessSixth", true);
    ASSERT_TRUE(LockedOnArrival(sixth, "sixth"));
    const Prompt prompt = WaitForPrompt();
    ASSERT_TRUE(prompt);
    const std::string label = Utf8(prompt.Text("Label1"));
    EXPECT_TRUE(label.starts_with("Too many wrong passwords.") && !prompt.Enabled("cmdOK"))
        << "the next prompt waits: \"" << label << "\", OK disabled";
    Dismiss(prompt);
  }

  EXPECT_TRUE(EngineStillRuns(engines, engineId));
}

// The window of "another program" for ScreenWatch: held until the process
// is ended, at most a minute.
int HoldWindow(const std::wstring& title, const std::wstring& className) {
  TargetWindow window(title, className, true);
  PumpFor(60s);
  return 0;
}

}  // namespace pm::e2e
