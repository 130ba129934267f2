// Locked windows that misbehave, against the real engine: one that ignores
// WM_CLOSE (every window of the harness does), one with a title of 255
// characters, one retitled while it is blocked, one destroyed while the
// prompt is up, and fifty created at once. Each ends hidden or closed, and
// pmpro still runs and answers.
#include <memory>
#include <string>
#include <vector>

#include "Fixtures.h"

namespace pm::e2e {

using namespace std::chrono_literals;

namespace {

bool PromptGone() {
  return FindTopLevel(VisiblePromptQuery()) == nullptr;
}

// Blocks the window, answers the prompt wrongly, and checks that the window
// was asked to close and, ignoring it, stays hidden.
void WrongAnswerLeavesItHidden(TargetWindow& window, const std::string& name) {
  const Prompt prompt = WaitForPrompt();
  ASSERT_TRUE(prompt);
  prompt.Answer(L"wrong");
  EXPECT_TRUE(WaitFor([&] { return window.closeRequests() > 0; }, kReactLimit))
      << "'" << name << "' was sent WM_CLOSE after a wrong password";
  PumpFor(1500ms);
  EXPECT_FALSE(window.visible()) << "'" << name << "' ignores WM_CLOSE and stays hidden";
}

}  // namespace

TEST_F(EngineScenario, MisbehavingWindows) {
  Say("a window that ignores WM_CLOSE");
  {
    TargetWindow stubborn(L"Registry Editor - stubborn", L"PmHarnessStubborn", true);
    ASSERT_TRUE(LockedOnArrival(stubborn, "stubborn"));
    WrongAnswerLeavesItHidden(stubborn, "stubborn");
  }

  Say("a title of 255 characters");
  {
    std::wstring title = L"Registry Editor ";
    title.resize(255, L'w');
    TargetWindow longTitle(title, L"PmHarnessLongTitle", true);
    ASSERT_TRUE(LockedOnArrival(longTitle, "long title"));
    const Prompt prompt = WaitForPrompt();
    ASSERT_TRUE(prompt);
    EXPECT_EQ(Utf8(prompt.Text("Label1")),
              "'" + Utf8(title.substr(0, 40)) + "' requires a password.")
        << "the prompt names its first 40 characters";
    WrongAnswerLeavesItHidden(longTitle, "long title");
  }

  Say("a title that changes while the window is blocked");
  {
    TargetWindow changing(L"Registry Editor - before", L"PmHarnessRetitled", true);
    ASSERT_TRUE(LockedOnArrival(changing, "retitled"));
    SetWindowTextW(changing.handle(), L"Something harmless");
    PumpFor(1500ms);
    EXPECT_TRUE(!changing.visible() && !PromptGone())
        << "retitled to something unlocked, it stays hidden behind the prompt";
    WrongAnswerLeavesItHidden(changing, "retitled");
  }

  Say("a window destroyed while the prompt is up");
  {
    auto doomed =
        std::make_unique<TargetWindow>(L"Registry Editor - doomed", L"PmHarnessDoomed", true);
    ASSERT_TRUE(LockedOnArrival(*doomed, "doomed"));
    ASSERT_TRUE(WaitForPrompt());
    doomed.reset();
    EXPECT_TRUE(WaitFor(PromptGone, kReactLimit)) << "the prompt goes with the window it guarded";
  }

  Say("fifty locked windows at once");
  {
    std::vector<std::unique_ptr<TargetWindow>> windows;
    for (int i = 0; i < 50; ++i) {
      windows.push_back(std::make_unique<TargetWindow>(
          L"Registry Editor - " + std::to_wstring(i), L"PmHarnessMany" + std::to_wstring(i), true));
    }
    SetForegroundWindow(windows.back()->handle());
    const auto shown = [&] {
      int count = 0;
      for (const auto& window : windows) count += window->visible() ? 1 : 0;
      return count;
    };
    // The prompt guards one window at a time; the others wait behind it. The
    // user closes each prompt, and clicks a window still shown when nothing
    // came to the front by itself: every one is then blocked in turn.
    int prompts = 0;
    for (int round = 0; round < 200 && shown() > 0; ++round) {
      const Prompt prompt = Prompt::WaitVisible(1000ms);
      if (prompt) {
        ++prompts;
        prompt.Click("Command1");
        WaitFor([&] { return !prompt.StillShown(); }, kReactLimit);
        continue;
      }
      for (const auto& window : windows) {
        if (!window->visible()) continue;
        SetForegroundWindow(window->handle());
        break;
      }
    }
    EXPECT_EQ(shown(), 0) << "every one of them ends hidden (after " << prompts << " prompts)";
  }

  EXPECT_TRUE(EngineStillRuns(engines, engineId));
}

}  // namespace pm::e2e
