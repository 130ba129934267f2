// Benchmarks under Wine: figures are printed, never judged. Each prints one
// line starting with its name, which scripts/bench.sh collects.
#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "ProcessResources.h"
#include "TrayIcons.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/Win32Registry.h"
#include "startup/Form1.h"
#include "store/RegistryModule.h"
#include "store/SettingsCatalogue.h"
#include "store/modRegistry.h"

namespace pm::e2e {
namespace {

using namespace std::chrono_literals;
using win32::Wide;

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const std::size_t index =
      static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())) - 1);
  return values[std::min(index, values.size() - 1)];
}

// One of the benchmark's switches, where only an administrator (the
// harness) may write; the product key they lie in is removed at the
// scenario's end.
void SetBenchmarkSwitch(std::string_view name, bool on) {
  win32::Win32Registry registry;
  if (on) {
    EXPECT_TRUE(store::RegistryModule::WriteValue(registry, store::kRootKey, store::kBenchmarkKey,
                                                  name, std::string("1")));
  } else {
    // Not there is what was wanted.
    const store::RegResult deleted =
        store::modRegistry::DeleteValue(registry, store::kRootKey, store::kBenchmarkKey, name);
    EXPECT_TRUE(deleted || deleted.code() == platform::reg_error::kFileNotFound);
  }
}

void SetBenchmarkSwitches(const Options& options) {
  SetBenchmarkSwitch(store::kNoForegroundHook, options.noForegroundHook);
  SetBenchmarkSwitch(store::kNoForegroundPoll, options.noForegroundPoll);
}

LONGLONG TicksPerSecond() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

LONGLONG Ticks() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double Milliseconds(LONGLONG ticks) {
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(TicksPerSecond());
}

// Median, 95th percentile and the extremes of a non-empty set of times.
std::string Spread(const std::vector<double>& milliseconds) {
  char text[160];
  std::snprintf(text, sizeof(text),
                "median %.1f ms, 95th percentile %.1f ms, min %.1f ms, max %.1f ms",
                Percentile(milliseconds, 0.5), Percentile(milliseconds, 0.95),
                *std::min_element(milliseconds.begin(), milliseconds.end()),
                *std::max_element(milliseconds.begin(), milliseconds.end()));
  return text;
}

const char* HookMode(const Options& options) {
  if (options.noForegroundHook) return "timer only";
  return options.noForegroundPoll ? "hook, no poll" : "hook";
}

// The CPU time a process takes while the harness waits for `duration`.
struct CpuUse {
  double cpuSeconds = 0;
  double wallSeconds = 0;
  double PercentOfOneCore() const { return 100.0 * cpuSeconds / wallSeconds; }
};

std::optional<CpuUse> CpuUseOver(DWORD processId, std::chrono::seconds duration) {
  const std::optional<double> before = CpuSeconds(processId);
  EXPECT_TRUE(before.has_value()) << "CPU time read";
  const auto start = std::chrono::steady_clock::now();
  PumpFor(duration);
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::optional<double> after = CpuSeconds(processId);
  EXPECT_TRUE(before && after) << "CPU time read again";
  if (!before || !after) return std::nullopt;
  return CpuUse{*after - *before, wall};
}

// pmpro started with its foreground-change hook, or without it when the
// command line says --no-foreground-hook; with its foreground poll, or
// without it (--no-foreground-poll), as where the system reports every
// foreground change.
class EngineBenchmark : public EngineScenario {
 protected:
  void SetUp() override {
    SetBenchmarkSwitches(options());
    EngineScenario::SetUp();
  }
};

// The trials' windows are locked by their title, or with --program-item by
// a program item naming the harness's own file, their titles locking nothing.
class LatencyBenchmark : public EngineBenchmark {
 protected:
  void SetUp() override {
    if (options().programItem) {
      ASSERT_TRUE(key.WriteProgramItems({{Utf8(win32::ModulePath()), true}}));
    }
    EngineBenchmark::SetUp();
  }
  StoredSettings Stored() const override { return {.locked = {{"Bench Locked", true}}}; }
  std::wstring TrialTitle(int trial) const {
    return (options().programItem ? L"Bench window " : L"Bench Locked ") + std::to_wstring(trial);
  }
  const char* Name() const {
    if (options().programItem) return "bench-latency-program-item";
    return options().showInactive ? "bench-latency-shown-inactive" : "bench-latency";
  }
};

// pmpstart with its prompt up, started with or without the hook.
class LockerBenchmark : public StartupLockerScenario {
 protected:
  void SetUp() override {
    SetBenchmarkSwitches(options());
    StartupLockerScenario::SetUp();
  }
};

}  // namespace

// From the call that brings a locked window up until the engine has hidden
// it: shown and activated at once (a program opening its window), or with
// --show-inactive shown without activation behind the front window (a
// program opened while the user works in another, or SW_SHOWNA).
TEST_F(LatencyBenchmark, BenchLatency) {
  constexpr int kTrials = 30;
  Say("foreground-change hook: %s", options().noForegroundHook ? "off (timer only)" : "on");
  TargetWindow front(L"Bench front window", L"PmHarnessBenchFront", true);

  const LONGLONG frequency = TicksPerSecond();
  std::vector<double> latencies;
  int missed = 0;
  for (int trial = 0; trial < kTrials; ++trial) {
    // A class of its own per trial, so no earlier unlock covers it.
    TargetWindow window(TrialTitle(trial), L"PmHarnessBench" + std::to_wstring(trial), false);
    if (options().showInactive) SetForegroundWindow(front.handle());
    // A pause spread over one timer period: trials paced by the prompt would
    // otherwise start at the same phase of the engine's 500 ms timer, and the
    // timer-only figures would show one phase instead of the spread.
    PumpFor(std::chrono::milliseconds(100 + (trial * 137) % 500));
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    if (options().showInactive) {
      ShowWindow(window.handle(), SW_SHOWNA);
    } else {
      ShowWindow(window.handle(), SW_SHOWNORMAL);
      SetForegroundWindow(window.handle());
    }
    const LONGLONG limit = frequency * 3;
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
    latencies.push_back(Milliseconds(now.QuadPart - start.QuadPart));
    if (const Prompt prompt = WaitForPrompt()) {
      prompt.Answer(L"secret");
      WaitFor([&] { return window.visible(); }, kReactLimit);
    }
  }
  ASSERT_FALSE(latencies.empty()) << "no trial hid the window";
  Say("%s (%s): %zu trials, %s, missed %d", Name(), HookMode(options()), latencies.size(),
      Spread(latencies).c_str(), missed);
}

TEST_F(EngineBenchmark, BenchIdle) {
  const HANDLE process = engines.Process(engineId);
  PumpFor(1s);

  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  const bool memoryRead = GetProcessMemoryInfo(process, &memory, sizeof(memory)) != FALSE;
  EXPECT_TRUE(memoryRead) << "working set read";
  if (memoryRead) {
    Say("bench-idle (%s): working set after start-up %.1f MiB (peak %.1f MiB)", HookMode(options()),
        static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0),
        static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
  }
  const auto use =
      CpuUseOver(engineId, std::chrono::seconds(options().seconds > 0 ? options().seconds : 30));
  if (use) {
    Say("bench-idle (%s): CPU %.3f s in %.1f s of idling = %.3f %% of one core",
        HookMode(options()), use->cpuSeconds, use->wallSeconds, use->PercentOfOneCore());
  }
}

TEST_F(ProgramScenario, BenchStartupTime) {
  constexpr int kStarts = 10;
  ASSERT_NO_FATAL_FAILURE(Store({}));

  // Icons of other programs, present before any start and after each end.
  const int otherIcons = WineTrayIcons();
  std::vector<double> windowTimes, trayTimes;
  for (int start = 0; start < kStarts; ++start) {
    // A copy still going would make this one a second start; the icon of the
    // copy ended last leaves the tray when the tray notices its owner gone.
    const bool clear = WaitFor(
        [&] { return FindTopLevel(MainWindowQuery()) == nullptr && WineTrayIcons() <= otherIcons; },
        kReactLimit);
    EXPECT_TRUE(clear) << "no copy and no icon of ours before start " << start + 1;
    if (!clear) break;
    const LONGLONG begin = Ticks();
    const DWORD processId = engines.Start();
    EXPECT_NE(processId, 0u) << "pmpro started";
    if (processId == 0) break;
    const LONGLONG limit = begin + TicksPerSecond() * 10;
    HWND mainWindow = nullptr;
    LONGLONG windowAt = 0, trayAt = 0;
    // Polled every millisecond: the harness has no window to wait on here.
    while ((windowAt == 0 || trayAt == 0) && Ticks() < limit) {
      if (mainWindow == nullptr) mainWindow = FindTopLevel(MainWindowQuery(processId));
      if (mainWindow != nullptr && windowAt == 0) windowAt = Ticks();
      if (windowAt != 0 && TrayIconShown(mainWindow, otherIcons)) trayAt = Ticks();
      if (trayAt == 0) Sleep(1);
    }
    engines.End(processId);
    const std::string which = "start " + std::to_string(start + 1) + ": ";
    EXPECT_NE(windowAt, 0) << which << "the main window appears";
    if (windowAt == 0) break;
    EXPECT_NE(trayAt, 0) << which << "the tray icon appears";
    if (trayAt == 0) break;
    windowTimes.push_back(Milliseconds(windowAt - begin));
    trayTimes.push_back(Milliseconds(trayAt - begin));
  }
  if (trayTimes.empty()) return;
  Say("bench-startup-time: %zu starts, to the hidden main window: %s, first %.1f ms",
      windowTimes.size(), Spread(windowTimes).c_str(), windowTimes.front());
  Say("bench-startup-tray: %zu starts, to the tray icon: %s, first %.1f ms", trayTimes.size(),
      Spread(trayTimes).c_str(), trayTimes.front());
}

TEST_F(LockerBenchmark, BenchStartupCpu) {
  PumpFor(1s);

  const auto use =
      CpuUseOver(lockerId, std::chrono::seconds(options().seconds > 0 ? options().seconds : 10));
  if (use) {
    Say("bench-startup-cpu (%s): %.3f s of CPU in %.1f s with the prompt waiting = %.3f %% of "
        "one core",
        HookMode(options()), use->cpuSeconds, use->wallSeconds, use->PercentOfOneCore());
  }
}

TEST_F(LockerBenchmark, BenchTaskmgr) {
  constexpr int kTrials = 30;

  std::vector<double> latencies;
  int missed = 0;
  for (int trial = 0; trial < kTrials; ++trial) {
    // Spread over pmpstart's 100 ms backstop timer, so the figures are not
    // those of one phase of it.
    PumpFor(std::chrono::milliseconds(50 + (trial * 37) % 100));
    const std::string_view title =
        trial % 2 == 0 ? startup::kTaskManagerTitle : startup::kOldTaskManagerTitle;
    const LONGLONG begin = Ticks();
    TargetWindow window(Wide(title), L"PmHarnessTaskManager", true);
    const LONGLONG limit = begin + TicksPerSecond() * 3;
    while (window.firstCloseTicks() == 0 && Ticks() < limit) {
      // Wakes as soon as the WM_CLOSE is posted to our queue.
      MsgWaitForMultipleObjectsEx(0, nullptr, 5, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      PumpPending();
    }
    if (window.firstCloseTicks() == 0) {
      ++missed;
      continue;
    }
    latencies.push_back(Milliseconds(window.firstCloseTicks() - begin));
  }
  ASSERT_FALSE(latencies.empty()) << "no trial's window received WM_CLOSE";
  Say("bench-taskmgr: %zu trials (both titles), creation to WM_CLOSE: %s, missed %d",
      latencies.size(), Spread(latencies).c_str(), missed);
}

}  // namespace pm::e2e
