// The start-up lock as the service runs it, with the setup installed: at a
// log-on (the service's start stands in, since Wine sends no log-on
// notification) the service starts pmpstart, which covers the screen and
// holds its prompt there, while the engine waits for the password; nothing
// a standard user can do ends or closes it, and the right password ends it
// for the rest of the session and lets the engine start. Ended any other
// way, it is started again.
#include <string>

#include "Fixtures.h"
#include "StandardUser.h"
#include "Tokens.h"
#include "UserScripts.h"
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
  return r.left <= left && r.top <= top && r.right >= left + GetSystemMetrics(SM_CXVIRTUALSCREEN) &&
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

Prompt WaitForServiceStartupLocker(Engines& engines, DWORD& processId) {
  processId = 0;
  Prompt prompt;
  const bool up = WaitFor(
      [&] {
        prompt = Prompt::WaitVisible(0ms);
        return prompt && IsStartupLocker(ProcessOf(prompt.handle()));
      },
      kServiceLimit);
  if (!up) {
    ADD_FAILURE() << "the service has not started pmpstart, or its prompt is not shown";
    return {};
  }
  processId = ProcessOf(prompt.handle());
  engines.Adopt(processId);
  return prompt;
}

testing::AssertionResult PassStartupLocker(Engines& engines, const Prompt& prompt,
                                           DWORD processId) {
  prompt.Answer(L"secret");
  const std::optional<DWORD> exitCode = engines.ExitCode(processId, kReactLimit);
  if (exitCode == DWORD{0}) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << "the right password does not end pmpstart with exit code 0 ("
         << (exitCode ? std::to_string(*exitCode) : std::string("running")) << ")";
}

namespace {

// The service runs with the start-up lock switched on: its next start
// stands in for a log-on. The programs run as a standard user.
class StartupLockServiceScenario : public ServiceScenario {
 protected:
  void SetUp() override {
    ServiceScenario::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(StoreSettings(key, {}));
    ASSERT_TRUE(key.WriteSetting(store::Info(store::Switch::LockStartup).valueName, "1"))
        << "\"LockStartup\" = \"1\" stored";
  }

  ProductKey key;
  Engines engines{options().program, /*standardUser=*/true};
};

}  // namespace

TEST_F(StartupLockServiceScenario, StartupLockService) {
  Say("a log-on: the service starts again with no engine running");
  EXPECT_TRUE(StopService(service.get())) << "the service stops";
  EndEveryCopyOf(engines.programPath());
  EXPECT_TRUE(StartService(service.get())) << "the service starts";
  DWORD locker = 0;
  const Prompt prompt = WaitForServiceStartupLocker(engines, locker);
  ASSERT_TRUE(prompt);
  HWND cover = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (cover = CoverOf(locker)) != nullptr; }, kReactLimit) &&
              CoversTheVirtualScreen(cover) && Topmost(cover))
      << "a topmost cover of pmpstart's lies over the whole virtual screen";
  EXPECT_TRUE(Topmost(prompt.handle()) && cover != nullptr && Above(prompt.handle(), cover))
      << "the prompt is topmost, above the cover";
  PumpFor(1000ms);
  const HWND early = FindTopLevel(MainWindowQuery());
  EXPECT_EQ(early, nullptr) << "the engine waits for the start-up lock's password"
                            << (early ? " (one runs: " +
                                            Utf8(win32::ProcessImagePath(ProcessOf(early))) + ")"
                                      : std::string());

  Say("what a standard user might try");
  RunAsStandardUser(L"taskkill /f /pid " + std::to_wstring(locker), kStandardUserLimitMs);
  PostMessageW(prompt.handle(), WM_CLOSE, 0, 0);
  PostMessageW(prompt.handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  // Alt+F4 as the keyboard delivers it: F4 with the Alt bit (29) set.
  PostMessageW(prompt.handle(), WM_SYSKEYDOWN, VK_F4, (1 << 29) | 1);
  PostMessageW(prompt.handle(), WM_SYSKEYUP, VK_F4, (1u << 31) | (1u << 30) | (1 << 29) | 1);
  if (cover != nullptr) PostMessageW(cover, WM_CLOSE, 0, 0);
  PumpFor(1500ms);
  EXPECT_TRUE(WaitForSingleObject(engines.Process(locker), 0) == WAIT_TIMEOUT)
      << "taskkill /f by a standard user, WM_CLOSE and Alt+F4 leave pmpstart running";
  EXPECT_TRUE(prompt.StillShown()) << "the prompt is still shown";
  EXPECT_TRUE(CoverOf(locker) != nullptr) << "a cover is up again";

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
    Say("the cover and the prompt %s above it after %lld ms", underneath ? "are" : "are not",
        static_cast<long long>(took.count()));
    EXPECT_TRUE(underneath) << "the cover and the prompt are above it again";
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == prompt.handle(); }, 2000ms))
        << "the prompt has the foreground again";
  }

  Say("the Task Manager, by title and by class");
  {
    TargetWindow byTitle(Wide(startup::kTaskManagerTitle), L"PmHarnessTaskManager", true);
    TargetWindow byClass(L"Gestionnaire des t\u00e2ches", Wide(startup::kTaskManagerClass), true);
    EXPECT_TRUE(WaitFor([&] { return byTitle.closeRequests() > 0; }, kReactLimit))
        << "a window titled \"Task Manager\" receives WM_CLOSE";
    EXPECT_TRUE(WaitFor([&] { return byClass.closeRequests() > 0; }, kReactLimit))
        << "a window of class \"TaskManagerWindow\" under another title receives WM_CLOSE";
  }

  Say("a standard user's script: a forged session end, then WM_QUIT with exit code 0");
  const std::wstring folder = FolderOf(options().program);
  EXPECT_TRUE(
      RunAsStandardUser(UserScriptCommand(L"end-startup-lock", folder), kStandardUserLimitMs)
          .value_or(0) > 0)
      << "the script finds pmpstart's windows";
  PumpFor(2000ms);
  DWORD second = 0;
  const Prompt again = WaitForServiceStartupLocker(engines, second);
  ASSERT_TRUE(again) << "two seconds later a start-up prompt is up";
  EXPECT_EQ(second, locker) << "the same pmpstart still holds it: neither message ended it";
  EXPECT_EQ(FindTopLevel(MainWindowQuery()), nullptr) << "and no engine has started";
  EXPECT_EQ(
      RunAsStandardUser(UserScriptCommand(L"open-our-processes", folder), kStandardUserLimitMs),
      DWORD{0})
      << "the standard user can open neither pmpstart nor any of its threads to end or suspend it";
  const TokenReadBack token = ReadBackToken(second);
  Say("pmpstart's token: integrity level 0x%lx, default DACL %s", token.integrity,
      Utf8(token.defaultDacl).c_str());
  EXPECT_TRUE(token.AsTheServiceGivesIt()) << "pmpstart runs with the token the service gives";

  Say("pmpstart ended by an administrator");
  engines.End(second);
  DWORD third = 0;
  const Prompt last = WaitForServiceStartupLocker(engines, third);
  ASSERT_TRUE(last);
  ASSERT_NE(third, second) << "the service started a new pmpstart";

  Say("the right password");
  ASSERT_TRUE(PassStartupLocker(engines, last, third));
  HWND engine = nullptr;
  EXPECT_TRUE(
      WaitFor([&] { return (engine = FindTopLevel(MainWindowQuery())) != nullptr; }, kServiceLimit))
      << "then the service starts the engine";
  if (engine != nullptr) engines.Adopt(ProcessOf(engine));
  PumpFor(3000ms);
  const Prompt later = Prompt::WaitVisible(0ms);
  EXPECT_TRUE(!later || !IsStartupLocker(ProcessOf(later.handle())))
      << "pmpstart is not started again in this session";
}

}  // namespace pm::e2e
