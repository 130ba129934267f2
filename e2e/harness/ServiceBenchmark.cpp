// Through the installed service (scripts/bench.sh installs it from the
// programs' folder): Apply in the configuration tool, from the click until
// the setting is stored (the tool's ticket, the pipe and the change), and an
// engine ended by an administrator until the service's next one runs. (From
// OK in the prompt until the locked window is back is measured in the
// standard-user bed, passwords-with-the-service.)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "Fixtures.h"
#include "config/frmSetupLayout.h"
#include "store/PasswordCheck.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

using namespace std::chrono_literals;

namespace {

constexpr int kWarmSaves = 30;

// One line of figures, starting with `what`, which scripts/bench.sh collects.
void Print(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  const auto at = [&](double fraction) {
    return ms[std::min(ms.size() - 1,
                       static_cast<std::size_t>(std::ceil(fraction * ms.size())) - 1)];
  };
  Say("%s: %zu times, median %.1f ms, 95th percentile %.1f ms, max %.1f ms", what, ms.size(),
      at(0.5), at(0.95), ms.back());
}

}  // namespace

TEST_F(ServiceScenario, BenchServiceApply) {
  ProductKey key;
  ASSERT_TRUE(key.WriteSetting(store::setting::kUserPassword, store::HashPassword("secret")))
      << "the password stored hashed, as the programs store it";
  Engines engines(options().program, options().standardUser);
  const DWORD engineId = BringUpEngine(engines);
  ASSERT_NE(engineId, 0u);
  const HWND tool = OpenTool(engines, engineId, L"secret");
  ASSERT_NE(tool, nullptr);
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

  std::vector<double> saves;
  for (int i = 0; i < kWarmSaves; ++i) {
    if (const auto ms = save()) saves.push_back(*ms);
  }
  ASSERT_EQ(saves.size(), static_cast<std::size_t>(kWarmSaves)) << "every save was stored";
  Print("bench-service-apply saves with the tool's ticket", saves);
}

// An engine ended by an administrator (End task as one, or taskkill /f)
// until the service's new engine has its hidden main window. The service
// is started again after every four, so that its once-a-second limit on
// restarts is not what is measured.
TEST_F(ServiceScenario, BenchEngineRestart) {
  std::vector<double> restarts;
  for (int i = 0; i < kWarmSaves; ++i) {
    if (i % 4 == 0 && !(StopService(service.get()) && StartService(service.get()))) break;
    HWND engine = nullptr;
    if (!WaitFor([&] { return (engine = FindTopLevel(MainWindowQuery())) != nullptr; }, 10s)) {
      break;
    }
    const DWORD ended = ProcessOf(engine);
    const win32::UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, ended));
    const auto killed = std::chrono::steady_clock::now();
    if (!process || !TerminateProcess(process.get(), 1)) break;
    const bool back = WaitFor(
        [&] {
          const HWND next = FindTopLevel(MainWindowQuery());
          return next != nullptr && ProcessOf(next) != ended;
        },
        10s);
    if (!back) break;
    restarts.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - killed)
            .count());
  }
  ASSERT_EQ(restarts.size(), static_cast<std::size_t>(kWarmSaves))
      << "every ended engine came back";
  Print("bench-engine-restart", restarts);
}

}  // namespace pm::e2e
