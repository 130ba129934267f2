// pmharness <scenario> <path of pmpro.exe> [--no-foreground-hook] [--seconds N]
// Drives the real engine under Wine (or Windows) as a user would, with
// windows of its own standing in for the programs that are locked. Each
// scenario prints what it checked and answers 0 when everything held.
#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Harness.h"
#include "config/frmSetupLayout.h"
#include "engine/frmMainLayout.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Desktop.h"
#include "prompt/frmPasswordLayout.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {
namespace {

using namespace std::chrono_literals;
using win32::Wide;

struct Options {
  std::wstring program;
  bool noForegroundHook = false;
  int idleSeconds = 30;
};

constexpr auto kStartLimit = 10s;  // the first program of a prefix starts wineserver's helpers
constexpr auto kReactLimit = 5s;

// The password store every scenario starts from: only the passwords and
// what is locked, the rest at its defaults.
bool Prepare(ProductKey& key, Checks& checks, const std::vector<store::ListItem>& items) {
  return checks.Check(key.WriteSetting(store::setting::kUserPassword, "secret") &&
                          key.WriteSetting(store::setting::kUserPassword2, "secret2") &&
                          key.WriteLockedItems(items),
                      "passwords and locked items stored");
}

// Starts a copy and waits for its hidden main window.
DWORD StartEngine(Engines& engines, Checks& checks) {
  const DWORD processId = engines.Start();
  if (!checks.Check(processId != 0, "pmpro started")) return 0;
  const bool up =
      WaitFor([&] { return FindTopLevel(MainWindowQuery(processId)) != nullptr; }, kStartLimit);
  if (!checks.Check(up, "a hidden window titled \"Pelmora Pro 2003\" appears")) return 0;
  return processId;
}

HWND WaitForPrompt(Checks& checks) {
  HWND prompt = nullptr;
  WaitFor([&] { return (prompt = FindTopLevel(VisiblePromptQuery())) != nullptr; }, kReactLimit);
  checks.Check(prompt != nullptr, "the password prompt is shown");
  return prompt;
}

// Types into the prompt's password box and presses OK, as a user would.
void AnswerPrompt(HWND prompt, const wchar_t* password) {
  SendMessageTimeoutW(PromptControl(prompt, "txtPassword"), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(password), SMTO_ABORTIFHUNG, 2000, nullptr);
  // Posted: the click may open a message box, and a sent message would wait
  // for it to close.
  PostMessageW(PromptControl(prompt, "cmdOK"), BM_CLICK, 0, 0);
}

// Brings the window to the front; answers whether it was hidden in time.
bool LockedOnArrival(TargetWindow& window, Checks& checks, const std::string& name) {
  SetForegroundWindow(window.handle());
  return checks.Check(WaitFor([&] { return !window.visible(); }, kReactLimit),
                      "'" + name + "' is hidden once it comes to the front");
}

int LockUnlock(const Options& options) {
  Checks checks;
  ProductKey key;
  Engines engines(options.program);
  if (!Prepare(key, checks, {{"Registry Editor", true}})) return checks.ExitCode();
  if (StartEngine(engines, checks) == 0) return checks.ExitCode();

  Say("right password");
  {
    TargetWindow first(L"Registry Editor - test", L"PmHarnessEditorOne", true);
    if (!LockedOnArrival(first, checks, "Registry Editor - test")) return checks.ExitCode();
    HWND prompt = WaitForPrompt(checks);
    if (prompt == nullptr) return checks.ExitCode();
    const std::string label = Utf8(TextOf(PromptControl(prompt, "Label1")));
    checks.Check(label == "'Registry Editor - test' requires a password.",
                 "the prompt names the window: \"" + label + "\"");
    AnswerPrompt(prompt, L"SECRET");
    checks.Check(WaitFor([&] { return first.visible(); }, kReactLimit),
                 "the right password (in other case) shows the window again");
    // The watch loop ticks every 500 ms: three ticks must leave it alone.
    PumpFor(1500ms);
    checks.Check(first.visible(), "the window is still shown 1.5 s later");
    checks.Check(FindTopLevel(VisiblePromptQuery()) == nullptr, "the prompt is gone");
  }

  Say("wrong password");
  {
    // Another class: the unlock of the first window does not cover it.
    TargetWindow second(L"Registry Editor - two", L"PmHarnessEditorTwo", true);
    if (!LockedOnArrival(second, checks, "Registry Editor - two")) return checks.ExitCode();
    HWND prompt = WaitForPrompt(checks);
    if (prompt == nullptr) return checks.ExitCode();
    AnswerPrompt(prompt, L"wrong");
    checks.Check(WaitFor([&] { return second.closeRequests() > 0; }, kReactLimit),
                 "a wrong password sends the window WM_CLOSE");
  }
  return checks.ExitCode();
}

int SecondStart(const Options& options) {
  Checks checks;
  ProductKey key;
  Engines engines(options.program);
  if (!Prepare(key, checks, {{"Registry Editor", true}})) return checks.ExitCode();
  const DWORD firstId = StartEngine(engines, checks);
  if (firstId == 0) return checks.ExitCode();

  const auto started = std::chrono::steady_clock::now();
  const DWORD secondId = engines.Start();
  if (!checks.Check(secondId != 0, "a second pmpro started")) return checks.ExitCode();
  const WindowQuery tool{.title = Wide(config::kSetupTitle)};
  checks.Check(WaitFor([&] { return FindTopLevel(tool) != nullptr; }, kReactLimit),
               "a window titled \"Configuration Tool\" exists");
  checks.Check(WaitFor(
                   [&] {
                     const HWND window = FindTopLevel(tool);
                     return window != nullptr && !IsWindowVisible(window) &&
                            FindTopLevel(VisiblePromptQuery()) != nullptr;
                   },
                   kReactLimit),
               "the configuration tool is hidden and the prompt asks for the password");
  const bool ended = WaitForSingleObject(engines.Process(secondId), 5000) == WAIT_OBJECT_0;
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  checks.Check(ended, "the second copy ended by itself (after " + std::to_string(seconds) + " s)");
  const HANDLE first = engines.Process(firstId);
  checks.Check(WaitForSingleObject(first, 0) == WAIT_TIMEOUT, "the first copy still runs");
  return checks.ExitCode();
}

int Restart(const Options& options) {
  Checks checks;
  ProductKey key;
  Engines engines(options.program);
  if (!Prepare(key, checks, {{"Registry Editor", true}})) return checks.ExitCode();
  const DWORD firstId = StartEngine(engines, checks);
  if (firstId == 0) return checks.ExitCode();

  PostMessageW(FindTopLevel(MainWindowQuery(firstId)), WM_CLOSE, 0, 0);
  WindowQuery another = MainWindowQuery();
  another.notProcessId = firstId;
  HWND window = nullptr;
  WaitFor([&] { return (window = FindTopLevel(another)) != nullptr; }, kReactLimit);
  checks.Check(window != nullptr, "a new copy (process " + std::to_string(ProcessOf(window)) +
                                      ", was " + std::to_string(firstId) +
                                      ") owns a window titled \"Pelmora Pro 2003\"");
  checks.Check(WaitForSingleObject(engines.Process(firstId), 5000) == WAIT_OBJECT_0,
               "the closed copy has ended");
  return checks.ExitCode();
}

// --- Benchmarks: figures are printed, never judged ---------------------------

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const std::size_t index =
      static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())) - 1);
  return values[std::min(index, values.size() - 1)];
}

void SetHookVariable(bool noHook) {
  SetEnvironmentVariableW(win32::kNoForegroundHookVariable, noHook ? L"1" : nullptr);
}

int BenchLatency(const Options& options) {
  constexpr int kTrials = 30;
  Checks checks;
  ProductKey key;
  Engines engines(options.program);
  SetHookVariable(options.noForegroundHook);
  if (!Prepare(key, checks, {{"Bench Locked", true}})) return checks.ExitCode();
  if (StartEngine(engines, checks) == 0) return checks.ExitCode();
  Say("foreground-change hook: %s", options.noForegroundHook ? "off (timer only)" : "on");

  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> latencies;
  int missed = 0;
  for (int trial = 0; trial < kTrials; ++trial) {
    // A class of its own per trial, so no earlier unlock covers it; shown
    // without activation, so the measured change is SetForegroundWindow's.
    TargetWindow window(L"Bench Locked " + std::to_wstring(trial),
                        L"PmHarnessBench" + std::to_wstring(trial), false);
    ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
    // A pause spread over one timer period: trials paced by the prompt would
    // otherwise start at the same phase of the engine's 500 ms timer, and the
    // timer-only figures would show one phase instead of the spread.
    PumpFor(std::chrono::milliseconds(100 + (trial * 137) % 500));
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    SetForegroundWindow(window.handle());
    const LONGLONG limit = frequency.QuadPart * 3;
    bool hidden = false;
    do {
      // The engine's hide is a message to our thread: handle it while polling.
      PumpPending();
      hidden = !window.visible();
      QueryPerformanceCounter(&now);
    } while (!hidden && now.QuadPart - start.QuadPart < limit);
    if (!hidden) {
      ++missed;
      continue;
    }
    latencies.push_back(1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
    if (HWND prompt = WaitForPrompt(checks)) {
      AnswerPrompt(prompt, L"secret");
      WaitFor([&] { return window.visible(); }, kReactLimit);
    }
  }
  if (latencies.empty()) {
    checks.Check(false, "no trial hid the window");
    return checks.ExitCode();
  }
  Say("bench-latency (%s): %zu trials, median %.1f ms, 95th percentile %.1f ms, "
      "min %.1f ms, max %.1f ms, missed %d",
      options.noForegroundHook ? "timer only" : "hook", latencies.size(),
      Percentile(latencies, 0.5), Percentile(latencies, 0.95),
      *std::min_element(latencies.begin(), latencies.end()),
      *std::max_element(latencies.begin(), latencies.end()), missed);
  return checks.ExitCode();
}

double Seconds(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return static_cast<double>(value.QuadPart) / 1e7;
}

bool CpuSeconds(HANDLE process, double& seconds) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return false;
  seconds = Seconds(kernel) + Seconds(user);
  return true;
}

int BenchIdle(const Options& options) {
  Checks checks;
  ProductKey key;
  Engines engines(options.program);
  SetHookVariable(options.noForegroundHook);
  if (!Prepare(key, checks, {{"Registry Editor", true}})) return checks.ExitCode();
  const DWORD processId = StartEngine(engines, checks);
  if (processId == 0) return checks.ExitCode();
  const HANDLE process = engines.Process(processId);
  PumpFor(1s);

  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  if (checks.Check(GetProcessMemoryInfo(process, &memory, sizeof(memory)) != FALSE,
                   "working set read")) {
    Say("bench-idle: working set after start-up %.1f MiB (peak %.1f MiB)",
        static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0),
        static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
  }
  double before = 0, after = 0;
  checks.Check(CpuSeconds(process, before), "CPU time read");
  const auto start = std::chrono::steady_clock::now();
  PumpFor(std::chrono::seconds(options.idleSeconds));
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (checks.Check(CpuSeconds(process, after), "CPU time read again")) {
    Say("bench-idle: %.3f s of CPU in %.1f s of idling = %.3f %% of one core", after - before, wall,
        100.0 * (after - before) / wall);
  }
  return checks.ExitCode();
}

int Usage() {
  Say("usage: pmharness lock-unlock|second-start|restart|bench-latency|bench-idle "
      "<pmpro.exe> [--no-foreground-hook] [--seconds N]");
  return 2;
}

}  // namespace
}  // namespace pm::e2e

int wmain(int argc, wchar_t** argv) {
  using namespace pm::e2e;
  if (argc < 3) return Usage();
  const std::wstring scenario = argv[1];
  Options options;
  options.program = WindowsPath(argv[2]);
  for (int i = 3; i < argc; ++i) {
    const std::wstring option = argv[i];
    if (option == L"--no-foreground-hook") {
      options.noForegroundHook = true;
    } else if (option == L"--seconds" && i + 1 < argc) {
      options.idleSeconds = std::max(1, _wtoi(argv[++i]));
    } else {
      return Usage();
    }
  }
  Say("== %s (%s)", Utf8(scenario).c_str(), Utf8(options.program).c_str());
  try {
    if (scenario == L"lock-unlock") return LockUnlock(options);
    if (scenario == L"second-start") return SecondStart(options);
    if (scenario == L"restart") return Restart(options);
    if (scenario == L"bench-latency") return BenchLatency(options);
    if (scenario == L"bench-idle") return BenchIdle(options);
  } catch (const std::exception& error) {
    Say("scenario failed with an exception: %s", error.what());
    return 1;
  }
  return Usage();
}
