// The start-up lock as the service runs it, with the setup installed: at a
// log-on (the service's start stands in, since Wine sends no log-on
// notification) the service starts pmpstart, which covers the screen and
// holds its prompt there, while the engine waits for the password; nothing
// a standard user can do ends or closes it, and the right password ends it
// for the rest of the session and lets the engine start. Ended any other
// way, it is started again.
#include <string>

#include "Scenarios.h"
#include "ServiceControl.h"
#include "StandardUser.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"
#include "startup/Form1.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

using namespace std::chrono_literals;
using win32::Wide;

namespace {

constexpr std::chrono::milliseconds kServiceLimit{20000};
constexpr DWORD kStandardUserLimitMs = 30000;

bool IsStartupLocker(DWORD processId) {
  const std::wstring path = win32::ProcessImagePath(processId);
  const std::wstring name = Wide(store::kStartupProgram);
  return path.size() >= name.size() &&
         _wcsicmp(path.c_str() + path.size() - name.size(), name.c_str()) == 0;
}

// pmpstart's full-screen cover: ours, titled "Pelmora Pro", visible.
HWND CoverOf(DWORD processId) {
  return FindTopLevel({.title = L"Pelmora Pro",
                       .visibility = WindowQuery::Visibility::Visible,
                       .processId = processId});
}

bool CoversTheVirtualScreen(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return r.left <= left && r.top <= top &&
         r.right >= left + GetSystemMetrics(SM_CXVIRTUALSCREEN) &&
         r.bottom >= top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
}

bool Topmost(HWND window) {
  return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Whether `upper` is above `lower` in the z-order of top-level windows.
bool Above(HWND upper, HWND lower) {
  for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == upper) return true;
    if (w == lower) return false;
  }
  return false;
}

}  // namespace

Prompt WaitForServiceStartupLocker(Engines& engines, Checks& checks, DWORD& processId) {
  processId = 0;
  Prompt prompt;
  WaitFor(
      [&] {
        prompt = Prompt::WaitVisible(0ms);
        return prompt && IsStartupLocker(ProcessOf(prompt.handle()));
      },
      kServiceLimit);
  if (!checks.Check(prompt && IsStartupLocker(ProcessOf(prompt.handle())),
                    "the service has started pmpstart, and its prompt is shown")) {
    return {};
  }
  processId = ProcessOf(prompt.handle());
  engines.Adopt(processId);
  return prompt;
}

bool PassStartupLocker(Engines& engines, const Prompt& prompt, DWORD processId, Checks& checks) {
  prompt.Answer(L"secret");
  const std::optional<DWORD> exitCode = engines.ExitCode(processId, kReactLimit);
  return checks.Check(exitCode == DWORD{0},
                      "the right password ends pmpstart with exit code 0 (" +
                          (exitCode ? std::to_string(*exitCode) : std::string("running")) + ")");
}

int StartupLockFromService(const Options& options) {
  Checks checks;
  ProductKey key;
  Engines engines(options.program, true);
  const win32::UniqueServiceHandle service = OpenOurService();
  if (!checks.Check(service && ServiceState(service.get()) == SERVICE_RUNNING,
                    "the service runs") ||
      !Prepare(key, checks, {{"Registry Editor", true}}) ||
      !checks.Check(key.WriteSetting(store::Info(store::Switch::LockStartup).valueName, "1"),
                    "\"LockStartup\" = \"1\" stored")) {
    return checks.ExitCode();
  }

  Say("a log-on: the service starts again with no engine running");
  checks.Check(StopService(service.get()), "the service stops");
  EndEveryCopyOf(engines.programPath());
  checks.Check(StartService(service.get()), "the service starts");
  DWORD locker = 0;
  const Prompt prompt = WaitForServiceStartupLocker(engines, checks, locker);
  if (!prompt) return checks.ExitCode();
  HWND cover = nullptr;
  checks.Check(WaitFor([&] { return (cover = CoverOf(locker)) != nullptr; }, kReactLimit) &&
                   CoversTheVirtualScreen(cover) && Topmost(cover),
               "a topmost cover of pmpstart's lies over the whole virtual screen");
  checks.Check(Topmost(prompt.handle()) && cover != nullptr && Above(prompt.handle(), cover),
               "the prompt is topmost, above the cover");
  PumpFor(1000ms);
  const HWND early = FindTopLevel(MainWindowQuery());
  checks.Check(early == nullptr,
               "the engine waits for the start-up lock's password" +
                   (early ? " (one runs: " + Utf8(win32::ProcessImagePath(ProcessOf(early))) + ")"
                          : std::string()));

  Say("what a standard user might try");
  RunAsStandardUser(L"taskkill /f /pid " + std::to_wstring(locker), kStandardUserLimitMs);
  PostMessageW(prompt.handle(), WM_CLOSE, 0, 0);
  PostMessageW(prompt.handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  // Alt+F4 as the keyboard delivers it: F4 with the Alt bit (29) set.
  PostMessageW(prompt.handle(), WM_SYSKEYDOWN, VK_F4, (1 << 29) | 1);
  PostMessageW(prompt.handle(), WM_SYSKEYUP, VK_F4, (1u << 31) | (1u << 30) | (1 << 29) | 1);
  if (cover != nullptr) PostMessageW(cover, WM_CLOSE, 0, 0);
  PumpFor(1500ms);
  checks.Check(WaitForSingleObject(engines.Process(locker), 0) == WAIT_TIMEOUT,
               "taskkill /f by a standard user, WM_CLOSE and Alt+F4 leave pmpstart running");
  checks.Check(prompt.StillShown(), "the prompt is still shown");
  checks.Check(CoverOf(locker) != nullptr, "a cover is up again");

  Say("a topmost window over the cover, given the foreground");
  {
    TargetWindow intruder(L"Command Prompt", L"PmHarnessIntruder", true);
    SetWindowPos(intruder.handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(intruder.handle());
    const auto shown = std::chrono::steady_clock::now();
    // TimerForce runs once a second; the limit leaves Wine's scheduling a
    // second more. The time it took is printed.
    const bool underneath = WaitFor(
        [&] {
          const HWND now = CoverOf(locker);
          return now != nullptr && Above(now, intruder.handle()) &&
                 Above(prompt.handle(), intruder.handle());
        },
        2000ms);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - shown);
    checks.Check(underneath, "the cover and the prompt are above it again after " +
                                 std::to_string(took.count()) + " ms");
    checks.Check(WaitFor([&] { return GetForegroundWindow() == prompt.handle(); }, 2000ms),
                 "the prompt has the foreground again");
  }

  Say("the Task Manager, by title and by class");
  {
    TargetWindow byTitle(Wide(startup::kTaskManagerTitle), L"PmHarnessTaskManager", true);
    TargetWindow byClass(L"Gestionnaire des t\u00e2ches", Wide(startup::kTaskManagerClass), true);
    checks.Check(WaitFor([&] { return byTitle.closeRequests() > 0; }, kReactLimit),
                 "a window titled \"Task Manager\" receives WM_CLOSE");
    checks.Check(WaitFor([&] { return byClass.closeRequests() > 0; }, kReactLimit),
                 "a window of class \"TaskManagerWindow\" under another title receives WM_CLOSE");
  }

  Say("a session end forged by another program: a sent query, then the end");
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(prompt.handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 5000,
                      &answer);
  PostMessageW(prompt.handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  const std::optional<DWORD> ended = engines.ExitCode(locker, kReactLimit);
  checks.Check(ended == DWORD(startup::kSessionEndExitCode),
               "pmpstart ends, but not as unlocked: exit code " +
                   (ended ? std::to_string(*ended) : std::string("(still runs)")));
  DWORD second = 0;
  const Prompt again = WaitForServiceStartupLocker(engines, checks, second);
  if (!again || !checks.Check(second != locker, "the service started a new pmpstart")) {
    return checks.ExitCode();
  }

  Say("pmpstart ended by an administrator");
  engines.End(second);
  DWORD third = 0;
  const Prompt last = WaitForServiceStartupLocker(engines, checks, third);
  if (!last || !checks.Check(third != second, "the service started a new pmpstart")) {
    return checks.ExitCode();
  }

  Say("the right password");
  if (!PassStartupLocker(engines, last, third, checks)) return checks.ExitCode();
  HWND engine = nullptr;
  checks.Check(
      WaitFor([&] { return (engine = FindTopLevel(MainWindowQuery())) != nullptr; }, kServiceLimit),
      "then the service starts the engine");
  if (engine != nullptr) engines.Adopt(ProcessOf(engine));
  PumpFor(3000ms);
  const Prompt later = Prompt::WaitVisible(0ms);
  checks.Check(!later || !IsStartupLocker(ProcessOf(later.handle())),
               "pmpstart is not started again in this session");
  return checks.ExitCode();
}

}  // namespace pm::e2e
