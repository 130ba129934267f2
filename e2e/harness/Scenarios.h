// The steps the scenarios and benchmarks share (they are tests on the
// fixtures of Fixtures.h). A step records its own failure through
// GoogleTest; one that answers a value answers an empty one on failure, for
// the story to ASSERT_ on. A benchmark prints its figures on lines that
// start with its name.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "Harness.h"
#include "store/ItemLists.h"

namespace pm::e2e {

// What pmharness was given on its command line.
struct Options {
  // pmpro.exe, or pmpstart.exe for the start-up locker's scenarios.
  std::wstring program;
  bool noForegroundHook = false;
  // pmpro without its foreground poll, as it runs where the system reports
  // every foreground change (--no-foreground-poll; benchmarks only).
  bool noForegroundPoll = false;
  // The programs run with a standard user's token (--standard-user).
  bool standardUser = false;
  bool showInactive = false;  // bench-latency: shown without activation
  bool programItem = false;   // bench-latency: locked by a program item, not the title
  int seconds = 0;            // 0: the benchmark's own default
};

// The first program of a prefix starts wineserver's helpers.
inline constexpr std::chrono::milliseconds kStartLimit{10000};
inline constexpr std::chrono::milliseconds kReactLimit{5000};
// The service starting or stopping, and the programs it starts.
inline constexpr std::chrono::milliseconds kServiceLimit{20000};

// The engine's visible configuration tool.
WindowQuery ToolQuery(DWORD engineId);
// A message box of a program: a visible standard dialog of its process.
struct MessageBoxSeen {
  HWND box = nullptr;
  std::wstring text;
};
MessageBoxSeen WaitForMessageBox(DWORD processId, std::chrono::milliseconds limit);
// The texts of a dialog's static controls, run together.
std::wstring DialogText(HWND dialog);
void PressOk(HWND box);

// What a scenario stores before the engine starts: only the passwords and
// what is locked, the rest at its defaults.
struct StoredSettings {
  std::string password = "secret";
  std::string password2 = "secret2";
  std::vector<store::ListItem> locked = {{"Registry Editor", true}};
};
testing::AssertionResult StoreSettings(ProductKey& key, const StoredSettings& settings);
// Starts a copy of pmpro and waits for its hidden main window; where the
// service runs, the fresh engine it starts. 0 on failure.
DWORD BringUpEngine(Engines& engines);
Prompt WaitForPrompt();
// After a pause, the copy still runs and its main window answers: a copy
// that crashed may sit in Wine's debugger with its windows still there.
testing::AssertionResult EngineStillRuns(Engines& engines, DWORD processId);
// The prompt of the pmpstart the service started, taken as one of the
// scenario's programs.
Prompt WaitForServiceStartupLocker(Engines& engines, DWORD& processId);
// Types the password into pmpstart's prompt; succeeds once pmpstart ended
// with 0.
testing::AssertionResult PassStartupLocker(Engines& engines, const Prompt& prompt, DWORD processId);
// Stores the password, starts pmpstart and waits for its prompt.
Prompt StartStartupLocker(Engines& engines, ProductKey& key, DWORD& processId);
// Brings the window to the front; succeeds when it was hidden in time.
testing::AssertionResult LockedOnArrival(TargetWindow& window, const std::string& name);
// The same, then the prompt that asks for it; an empty Prompt on failure.
Prompt PromptFor(TargetWindow& window, const std::string& name);
// Answers the prompt with the password; succeeds when the window is back.
testing::AssertionResult GivenBack(TargetWindow& window, const Prompt& prompt,
                                   const wchar_t* password);
// A second start asks the running copy for its setup window, behind the
// prompt; answers the visible tool.
HWND OpenTool(Engines& engines, DWORD engineId, const wchar_t* password);
testing::AssertionResult ToolGone(DWORD engineId, const std::string& why);
// The message box the last command opened, read and answered with OK.
std::wstring AnswerMessageBox(DWORD processId, const std::string& what,
                              std::chrono::milliseconds limit);

// A copy of the harness under another file name (in the temporary folder),
// so that its window belongs to another program; it holds one window until
// it is ended. Its process id, 0 on failure.
DWORD StartOtherProgramWindow(Engines& engines, const std::wstring& fileName,
                              const std::wstring& title, const std::wstring& className);
// The window of that process with that title, once it is there; null after
// kStartLimit.
HWND WaitForWindowOf(DWORD processId, const std::wstring& title);

// Writes the Settings key straight through advapi32; the Win32 error is the
// exit code. Run by ServiceGuards as a standard user.
int WriteSettingsDirectly();
// The window of "another program" that ScreenWatch starts.
int HoldWindow(const std::wstring& title, const std::wstring& className);

}  // namespace pm::e2e
