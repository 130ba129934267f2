// The scenarios and benchmarks pmharness runs, and the steps they share.
// A scenario prints what it checked and answers 0 when everything held; a
// benchmark prints its figures on lines that start with its name.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "Harness.h"
#include "store/ItemLists.h"

namespace pm::e2e {

struct Options {
  // pmpro.exe, or pmpstart.exe for the start-up locker's scenarios.
  std::wstring program;
  bool noForegroundHook = false;
  // The programs run with a standard user's token (--standard-user).
  bool standardUser = false;
  bool showInactive = false;  // bench-latency: shown without activation
  int seconds = 0;            // 0: the benchmark's own default
};

// The first program of a prefix starts wineserver's helpers.
inline constexpr std::chrono::milliseconds kStartLimit{10000};
inline constexpr std::chrono::milliseconds kReactLimit{5000};

// The password store every scenario starts from: only the passwords and
// what is locked, the rest at its defaults.
bool Prepare(ProductKey& key, Checks& checks, const std::vector<store::ListItem>& items);
// Starts a copy of pmpro and waits for its hidden main window.
DWORD StartEngine(Engines& engines, Checks& checks);
Prompt WaitForPrompt(Checks& checks);
// After a pause, the copy still runs and its main window answers: a copy
// that crashed may sit in Wine's debugger with its windows still there.
bool EngineStillRuns(Engines& engines, DWORD processId, Checks& checks);
// The prompt of the pmpstart the service started, taken as one of the
// scenario's programs; an empty Prompt when none came.
Prompt WaitForServiceStartupLocker(Engines& engines, Checks& checks, DWORD& processId);
// Types the password into pmpstart's prompt; true once pmpstart ended with 0.
bool PassStartupLocker(Engines& engines, const Prompt& prompt, DWORD processId, Checks& checks);
// Stores the password, starts pmpstart and waits for its prompt; an empty
// Prompt when it does not come.
Prompt StartStartupLocker(Engines& engines, ProductKey& key, Checks& checks, DWORD& processId);
// Brings the window to the front; answers whether it was hidden in time.
bool LockedOnArrival(TargetWindow& window, Checks& checks, const std::string& name);

// The engine's visible configuration tool.
WindowQuery ToolQuery(DWORD engineId);
// A second start asks the running copy for its setup window, behind the
// prompt; answers the visible tool or null.
HWND OpenTool(Engines& engines, DWORD engineId, const wchar_t* password, Checks& checks);
bool ToolGone(DWORD engineId, Checks& checks, const std::string& why);
// A message box of a program: a visible standard dialog of its process.
struct MessageBoxSeen {
  HWND box = nullptr;
  std::wstring text;
};
MessageBoxSeen WaitForMessageBox(DWORD processId, std::chrono::milliseconds limit);
// The texts of a dialog's static controls, run together.
std::wstring DialogText(HWND dialog);
void PressOk(HWND box);
// The message box the last command opened, read and answered with OK.
std::wstring AnswerMessageBox(DWORD processId, Checks& checks, const std::string& what,
                              std::chrono::milliseconds limit);

// --- The steps of the tests on the framework (Fixtures.h). Each records its
// own failure; one that answers a value answers an empty one on failure.

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
// Stores the password, starts pmpstart and waits for its prompt.
Prompt StartStartupLocker(Engines& engines, ProductKey& key, DWORD& processId);
// Brings the window to the front; succeeds when it was hidden in time.
testing::AssertionResult LockedOnArrival(TargetWindow& window, const std::string& name);
// A second start asks the running copy for its setup window, behind the
// prompt; answers the visible tool.
HWND OpenTool(Engines& engines, DWORD engineId, const wchar_t* password);
testing::AssertionResult ToolGone(DWORD engineId, const std::string& why);
// The message box the last command opened, read and answered with OK.
std::wstring AnswerMessageBox(DWORD processId, const std::string& what,
                              std::chrono::milliseconds limit);

int LockUnlock(const Options& options);
int SecondStart(const Options& options);
int Restart(const Options& options);
int ImpostorTitles(const Options& options);
int ForgedEnds(const Options& options);
int MarkedTitle(const Options& options);
int StartupLock(const Options& options);
int StartupLockShielded(const Options& options);
int StartupRetryWait(const Options& options);
int StartupArming(const Options& options);
int SetupWindow(const Options& options);
int ChangePassword(const Options& options);
int ExportImport(const Options& options);
int PromptPicture(const Options& options);
int Soak(const Options& options);
int InstallUninstall(const Options& options);
int MisbehavingWindows(const Options& options);
int HardenPrefix(const Options& options);
// Without the service, a standard user's Apply is refused by Windows' rules.
int ApplyRefusedWithoutService(const Options& options);
int ServiceGuards(const Options& options);
int StartupLockFromService(const Options& options);
// Writes the Settings key straight through advapi32; the Win32 error is the exit code.
int WriteSettingsDirectly(const Options& options);
int ScreenWatch(const Options& options);
// Not a scenario: the other program's window that ScreenWatch starts.
int HoldWindow(const std::wstring& title, const std::wstring& className);

int BenchLatency(const Options& options);
int BenchIdle(const Options& options);
int BenchStartupTime(const Options& options);
int BenchStartupCpu(const Options& options);
int BenchTaskManager(const Options& options);
int BenchServiceApply(const Options& options);
int BenchEngineRestart(const Options& options);

}  // namespace pm::e2e
