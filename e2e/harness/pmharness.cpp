// pmharness <scenario> <program> [--no-foreground-hook] [--standard-user] [--show-inactive]
//           [--seconds N]
// Drives the real programs under Wine (or Windows) as a user would, with
// windows of its own standing in for the programs that are locked. The
// program is pmpro.exe, pmpstart.exe for startup-lock,
// startup-lock-shielded, startup-retry-wait, bench-startup-cpu and
// bench-taskmgr, or the setup program for install-uninstall.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <string>

#include "Scenarios.h"

namespace {

using namespace pm::e2e;

struct Entry {
  const wchar_t* name;
  int (*run)(const Options&);
};

constexpr Entry kScenarios[] = {
    {L"lock-unlock", LockUnlock},
    {L"second-start", SecondStart},
    {L"restart", Restart},
    {L"impostor-titles", ImpostorTitles},
    {L"forged-ends", ForgedEnds},
    {L"marked-title", MarkedTitle},
    {L"startup-lock", StartupLock},
    {L"startup-lock-shielded", StartupLockShielded},
    {L"startup-retry-wait", StartupRetryWait},
    {L"startup-arming", StartupArming},
    {L"startup-lock-service", StartupLockFromService},
    {L"setup-window", SetupWindow},
    {L"change-password", ChangePassword},
    {L"export-import", ExportImport},
    {L"prompt-picture", PromptPicture},
    {L"soak", Soak},
    {L"install-uninstall", InstallUninstall},
    {L"misbehaving-windows", MisbehavingWindows},
    {L"harden-prefix", HardenPrefix},
    {L"apply-refused-without-service", ApplyRefusedWithoutService},
    {L"service-guards", ServiceGuards},
    {L"write-settings-directly", WriteSettingsDirectly},
    {L"screen-watch", ScreenWatch},
    {L"bench-latency", BenchLatency},
    {L"bench-idle", BenchIdle},
    {L"bench-startup-time", BenchStartupTime},
    {L"bench-startup-cpu", BenchStartupCpu},
    {L"bench-taskmgr", BenchTaskManager},
    {L"bench-service-apply", BenchServiceApply},
    {L"bench-engine-restart", BenchEngineRestart},
};

int Usage() {
  Say("usage: pmharness <scenario> <pmpro.exe, pmpstart.exe or the setup> [--no-foreground-hook] "
      "[--standard-user] [--show-inactive] [--seconds N]");
  Say("scenarios:");
  for (const Entry& entry : kScenarios) Say("  %s", Utf8(entry.name).c_str());
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring scenario = argv[1];
  if (scenario == L"hold-window" && argc == 4) return HoldWindow(argv[2], argv[3]);
  Options options;
  options.program = WindowsPath(argv[2]);
  for (int i = 3; i < argc; ++i) {
    const std::wstring option = argv[i];
    if (option == L"--no-foreground-hook") {
      options.noForegroundHook = true;
    } else if (option == L"--standard-user") {
      options.standardUser = true;
    } else if (option == L"--show-inactive") {
      options.showInactive = true;
    } else if (option == L"--seconds" && i + 1 < argc) {
      options.seconds = std::max(1, _wtoi(argv[++i]));
    } else {
      return Usage();
    }
  }
  const auto entry = std::find_if(std::begin(kScenarios), std::end(kScenarios),
                                  [&](const Entry& e) { return scenario == e.name; });
  if (entry == std::end(kScenarios)) return Usage();
  Say("== %s (%s)", Utf8(scenario).c_str(), Utf8(options.program).c_str());
  try {
    return entry->run(options);
  } catch (const std::exception& error) {
    Say("scenario failed with an exception: %s", error.what());
    return 1;
  }
}
