// The foreground poll stands in for the foreground event only until the
// system has shown that it reports another program's window coming to the
// front (Windows does), and then stops for good; a window of our own process
// coming to the front, as the engine's prompt does all the time, proves
// nothing, and neither does a report of a window that is not in front, which
// any program can raise. Wine sends no EVENT_SYSTEM_FOREGROUND (under it the
// engine's poll stays), so the test raises the event as Windows would, with
// NotifyWinEvent.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Desktop.h"

namespace pm::tests {
namespace {

using Clock = std::chrono::steady_clock;

// The event Windows raises when `window` comes to the front.
void ReportForeground(HWND window) {
  NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, window, OBJID_WINDOW, CHILDID_SELF);
}

// Handles what arrives, the hooks' callbacks among it, until `done` or the
// time is up.
template <typename Done>
bool PumpUntil(Done done, std::chrono::milliseconds limit) {
  const auto end = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() >= end) return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  return true;
}

bool ForegroundOfAnotherProcess() {
  DWORD processId = 0;
  const HWND front = GetForegroundWindow();
  return front != nullptr && GetWindowThreadProcessId(front, &processId) != 0 &&
         processId != GetCurrentProcessId();
}

// A program of the system's with a window of its own, ended with the test.
class OtherProgram {
 public:
  OtherProgram() {
    std::wstring command = L"notepad.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &started)) {
      process_.reset(started.hProcess);
      win32::UniqueKernelHandle thread(started.hThread);
      WaitForInputIdle(process_.get(), 10000);
    }
  }
  ~OtherProgram() {
    if (process_) TerminateProcess(process_.get(), 0);
  }
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;
  explicit operator bool() const { return static_cast<bool>(process_); }

 private:
  win32::UniqueKernelHandle process_;
};

TEST(Win32DesktopPollTest, ThePollStopsForGoodOnceAnotherProgramsActivationIsReported) {
  win32::Win32Desktop desktop(win32::Win32Desktop::ForegroundPoll::On);
  int reports = 0;
  desktop.SetWindowChangeHandler([&reports](platform::Hwnd) { ++reports; });
  ASSERT_TRUE(desktop.PollingForeground());

  // Our own window to the front stops nothing.
  win32::UniqueHwnd own(CreateWindowExW(0, L"STATIC", L"Poll test",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200, 100,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(own);
  SetForegroundWindow(own.get());
  ReportForeground(own.get());
  EXPECT_TRUE(PumpUntil([&] { return reports > 0; }, std::chrono::seconds(5)));
  PumpUntil([] { return false; }, std::chrono::milliseconds(200));
  EXPECT_TRUE(desktop.PollingForeground());

  const OtherProgram other;
  ASSERT_TRUE(other) << "the other program started";
  ASSERT_TRUE(PumpUntil(ForegroundOfAnotherProcess, std::chrono::seconds(10)))
      << "the other program's window came to the front";
  const HWND otherWindow = GetForegroundWindow();

  // Any program can raise the event for any window: one for a window that
  // is not in front proves nothing.
  SetForegroundWindow(own.get());
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == own.get(); },
                        std::chrono::seconds(5)));
  const int before = reports;
  ReportForeground(otherWindow);
  EXPECT_TRUE(PumpUntil([&] { return reports > before; }, std::chrono::seconds(5)));
  PumpUntil([] { return false; }, std::chrono::milliseconds(200));
  EXPECT_TRUE(desktop.PollingForeground()) << "a report of a window that is not in front";

  SetForegroundWindow(otherWindow);
  ASSERT_TRUE(PumpUntil(ForegroundOfAnotherProcess, std::chrono::seconds(10)));
  ReportForeground(otherWindow);
  EXPECT_TRUE(PumpUntil([&] { return !desktop.PollingForeground(); }, std::chrono::seconds(5)))
      << "the poll stops at the report";

  // Hooked again, as a restart of the watch would: no poll comes back.
  desktop.SetWindowChangeHandler(nullptr);
  desktop.SetWindowChangeHandler([](platform::Hwnd) {});
  EXPECT_FALSE(desktop.PollingForeground());
  desktop.SetWindowChangeHandler(nullptr);
}

}  // namespace
}  // namespace pm::tests
