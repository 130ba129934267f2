// What the engine sees beyond the window in front, against the real engine:
// a locked window shown behind another, a front window renamed to a locked
// title, two programs that share a window class, the locked configuration
// tool sent commands by another program, fifty locked windows at once, and
// a run of wrong passwords.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Scenarios.h"
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
// and closes the prompt; the check says how long the hiding took.
bool HiddenAfter(TargetWindow& window, const std::function<void()>& act, Checks& checks,
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
  checks.Check(hidden, what + " (after " + std::to_string(milliseconds) + " ms)");
  const Prompt prompt = WaitForPrompt(checks);
  if (prompt) Dismiss(prompt);
  return hidden && prompt;
}

// A copy of the harness under another file name, so that its windows belong
// to another program; it holds one window until it is ended.
DWORD StartOtherProgramWindow(Engines& engines, const std::wstring& title,
                              const std::wstring& className) {
  wchar_t self[MAX_PATH] = {};
  wchar_t folder[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  GetTempPathW(MAX_PATH, folder);
  const std::wstring copy = std::wstring(folder) + L"pmharness-other-program.exe";
  if (!CopyFileW(self, copy.c_str(), FALSE)) return 0;
  return engines.StartOther(L"\"" + copy + L"\" hold-window \"" + title + L"\" \"" + className +
                            L"\"");
}

}  // namespace

int ScreenWatch(const Options& options) {
  Checks checks;
  ProductKey key;
  Engines engines(options.program);
  if (!Prepare(key, checks, {{"Registry Editor", true}})) return checks.ExitCode();
  const DWORD engineId = StartEngine(engines, checks);
  if (engineId == 0) return checks.ExitCode();

  Say("a locked window shown without activation behind another");
  {
    TargetWindow front(L"Untitled - Notepad", L"PmHarnessFront", true);
    SetForegroundWindow(front.handle());
    TargetWindow behind(L"Registry Editor - behind", L"PmHarnessBehind", false);
    const auto showBehind = [&] {
      ShowWindow(behind.handle(), SW_SHOWNA);
      checks.Check(GetForegroundWindow() != behind.handle(),
                   "the window came up behind the front one");
    };
    if (!HiddenAfter(behind, showBehind, checks, "the window behind is hidden")) {
      return checks.ExitCode();
    }
  }

  Say("a front window whose title becomes a locked one");
  {
    TargetWindow browser(L"New Tab - Browser", L"PmHarnessBrowser", true);
    SetForegroundWindow(browser.handle());
    PumpFor(600ms);
    checks.Check(browser.visible(), "an unlocked title is left alone");
    const auto rename = [&] { SetWindowTextW(browser.handle(), L"Registry Editor - Browser"); };
    if (!HiddenAfter(browser, rename, checks, "renamed to a locked title, it is hidden")) {
      return checks.ExitCode();
    }
  }

  Say("two programs with windows of one class");
  {
    const std::wstring shared = L"PmHarnessSharedClass";
    TargetWindow mine(L"Registry Editor - mine", shared, true);
    if (!LockedOnArrival(mine, checks, "mine")) return checks.ExitCode();
    const Prompt prompt = WaitForPrompt(checks);
    if (!prompt) return checks.ExitCode();
    prompt.Answer(L"secret");
    checks.Check(WaitFor([&] { return mine.visible(); }, kReactLimit),
                 "the right password gives the first program's window back");
    const DWORD otherId = StartOtherProgramWindow(engines, L"Registry Editor - theirs", shared);
    checks.Check(otherId != 0, "another program opened a window of the same class");
    const WindowQuery theirs{
        .title = L"Registry Editor - theirs", .className = shared, .processId = otherId};
    checks.Check(WaitFor([&] { return FindTopLevel(theirs) != nullptr; }, kStartLimit),
                 "its window exists");
    checks.Check(WaitFor(
                     [&] {
                       const HWND window = FindTopLevel(theirs);
                       return window != nullptr && !IsWindowVisible(window);
                     },
                     kReactLimit),
                 "the other program's window is still locked: hidden");
    const Prompt second = WaitForPrompt(checks);
    if (!second) return checks.ExitCode();
    Dismiss(second);
    checks.Check(mine.visible(), "the unlocked program's window stays shown");
    engines.End(otherId);
  }

  Say("commands posted to the locked configuration tool");
  {
    if (!checks.Check(engines.Start() != 0, "a second pmpro asks for the tool")) {
      return checks.ExitCode();
    }
    const WindowQuery toolQuery{.title = win32::Wide(config::kSetupTitle), .processId = engineId};
    HWND tool = nullptr;
    checks.Check(WaitFor(
                     [&] {
                       tool = FindTopLevel(toolQuery);
                       return tool != nullptr && !IsWindowVisible(tool) && !PromptGone();
                     },
                     kReactLimit),
                 "the tool waits hidden behind the prompt");
    for (const int command :
         {config::kmnuunlock, config::kmnushutdown, config::kmnuChangePassword}) {
      PostMessageW(tool, WM_COMMAND, static_cast<WPARAM>(command), 0);
    }
    PumpFor(1000ms);
    checks.Check(WaitForSingleObject(engines.Process(engineId), 0) == WAIT_TIMEOUT,
                 "\"End Pelmora Pro\" (233) did not end the engine");
    checks.Check(WaitForMessageBox(engineId, 200ms).box == nullptr, "no message box came up");
    checks.Check(FindTopLevel({.title = L"Change Password",
                               .visibility = WindowQuery::Visibility::Visible,
                               .processId = engineId}) == nullptr,
                 "no change-password dialog opened (211)");
    const Prompt prompt = WaitForPrompt(checks);
    if (!prompt) return checks.ExitCode();
    Dismiss(prompt);
    checks.Check(WaitFor([&] { return FindTopLevel(toolQuery) == nullptr; }, kReactLimit),
                 "\"X\" closes the tool");
    TargetWindow next(L"Registry Editor - after the commands", L"PmHarnessAfterCommands", true);
    checks.Check(LockedOnArrival(next, checks, "next") && WaitForPrompt(checks),
                 "\"Unlock Everything\" (231) did nothing: the next locked window is hidden and "
                 "asks for the password");
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
    WaitForPrompt(checks);
    const bool allHidden = WaitFor([&] { return shown() == 0; }, kReactLimit);
    checks.Check(allHidden, "all fifty are hidden before the first prompt is answered (" +
                                std::to_string(shown()) + " still shown)");
    int prompts = 0;
    for (; prompts < 60; ++prompts) {
      const Prompt prompt = Prompt::WaitVisible(2000ms);
      if (!prompt) break;
      Dismiss(prompt);
    }
    checks.Check(prompts == 50, "each asks in turn: " + std::to_string(prompts) + " prompts");
  }

  Say("five wrong passwords in a row");
  {
    for (int i = 0; i < 5; ++i) {
      TargetWindow guessed(L"Registry Editor - guess " + std::to_wstring(i),
                           L"PmHarnessGuess" + std::to_wstring(i), true);
      if (!LockedOnArrival(guessed, checks, "guess")) return checks.ExitCode();
      const Prompt prompt = WaitForPrompt(checks);
      if (!prompt) return checks.ExitCode();
      prompt.Answer(L"wrong");
      WaitFor([&] { return guessed.closeRequests() > 0; }, kReactLimit);
      WaitFor(PromptGone, kReactLimit);
    }
    TargetWindow sixth(L"Registry Editor - sixth", L"PmHarnessSixth", true);
    if (!LockedOnArrival(sixth, checks, "sixth")) return checks.ExitCode();
    const Prompt prompt = WaitForPrompt(checks);
    if (!prompt) return checks.ExitCode();
    const std::string label = Utf8(prompt.Text("Label1"));
    checks.Check(label.rfind("Too many wrong passwords.", 0) == 0 && !prompt.Enabled("cmdOK"),
                 "the next prompt waits: \"" + label + "\", OK disabled");
    Dismiss(prompt);
  }

  EngineStillRuns(engines, engineId, checks);
  return checks.ExitCode();
}

// The window of "another program" for ScreenWatch: held until the process
// is ended, at most a minute.
int HoldWindow(const std::wstring& title, const std::wstring& className) {
  TargetWindow window(title, className, true);
  PumpFor(60s);
  return 0;
}

}  // namespace pm::e2e
