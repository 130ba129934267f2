// Apply through the service, from the click until the setting is stored:
// the configuration tool's own Apply, the pipe, the password check and the
// change. The first save of a sitting checks the password in full (600,000
// rounds); the service then remembers it, so later saves are measured apart.
// Needs the service installed from the programs' folder (scripts/bench.sh).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "Scenarios.h"
#include "ServiceControl.h"
#include "config/frmSetupLayout.h"
#include "store/PasswordCheck.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

using namespace std::chrono_literals;

namespace {

constexpr int kWarmSaves = 30;
constexpr int kFirstSaves = 10;

void Print(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  const auto at = [&](double fraction) {
    return ms[std::min(ms.size() - 1,
                       static_cast<std::size_t>(std::ceil(fraction * ms.size())) - 1)];
  };
  Say("bench-service-apply %s: %zu saves, median %.1f ms, 95th percentile %.1f ms, max %.1f ms",
      what, ms.size(), at(0.5), at(0.95), ms.back());
}

}  // namespace

int BenchServiceApply(const Options& options) {
  Checks checks;
  const win32::UniqueServiceHandle service = OpenOurService();
  if (!checks.Check(service && ServiceState(service.get()) == SERVICE_RUNNING,
                    "the service is installed and runs")) {
    return checks.ExitCode();
  }
  ProductKey key;
  if (!checks.Check(key.WriteSetting(store::setting::kUserPassword, store::HashPassword("secret")),
                    "the password stored hashed, as the programs store it")) {
    return checks.ExitCode();
  }
  Engines engines(options.program, options.standardUser);
  const DWORD engineId = StartEngine(engines, checks);
  const HWND tool = engineId != 0 ? OpenTool(engines, engineId, L"secret", checks) : nullptr;
  if (tool == nullptr) return checks.ExitCode();
  const HWND apply =
      FindControl(tool, platform::kControlIdBase +
                            platform::ControlIndex(config::kfrmSetupControls, "cmdApply"));
  const std::string_view lockZip = store::Info(store::Switch::LockZip).valueName;

  const auto save = [&]() -> std::optional<double> {
    const std::string before = key.ReadSetting(lockZip);
    PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnulockzip, 0), 0);
    if (!WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kReactLimit)) return {};
    const auto clicked = std::chrono::steady_clock::now();
    PostMessageW(apply, BM_CLICK, 0, 0);
    if (!WaitFor([&] { return key.ReadSetting(lockZip) != before; }, 10s)) return {};
    // Stored: the reply follows at once; Apply is disabled once it came.
    WaitFor([&] { return IsWindowEnabled(apply) == FALSE; }, kReactLimit);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - clicked)
        .count();
  };

  std::vector<double> first;
  for (int i = 0; i < kFirstSaves; ++i) {
    // A new start of the service forgets the password that passed.
    if (!StopService(service.get()) || !StartService(service.get())) break;
    if (const auto ms = save()) first.push_back(*ms);
  }
  std::vector<double> warm;
  for (int i = 0; i < kWarmSaves; ++i) {
    if (const auto ms = save()) warm.push_back(*ms);
  }
  if (!checks.Check(first.size() == kFirstSaves && warm.size() == kWarmSaves,
                    "every save was stored")) {
    return checks.ExitCode();
  }
  Print("first save of a sitting", first);
  Print("later saves", warm);
  return checks.ExitCode();
}

}  // namespace pm::e2e
