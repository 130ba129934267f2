// The few lines a standard user's script would write against the lock, each
// a command of the harness that a story runs with a standard user's token
// (RunAsStandardUser): `pmharness user-script <name> <folder>`. The exit
// code says what the script got.
#pragma once

#include <string>
#include <string_view>

namespace pm::e2e {

// Bits of `open-our-processes`' exit code.
inline constexpr int kOpenedAProcess = 1;
inline constexpr int kOpenedAThread = 2;
// Bits of `switch-off-the-watch`'s exit code: what it managed to write.
inline constexpr int kWroteBenchmarkSwitches = 1;
inline constexpr int kWroteMachinePolicy = 2;
inline constexpr int kWroteUserPolicy = 4;
// The window title its policies ask the engine to ignore, and where.
inline constexpr std::string_view kScriptIgnoredTitle = "Registry Editor";
std::string PolicyIgnoreListKey();
inline constexpr int kEnormousFontPixels = 240;

// `name` is one of:
//   end-startup-lock    a session end forged to pmpstart's windows (a sent
//                       WM_QUERYENDSESSION, a posted WM_ENDSESSION), then
//                       WM_QUIT with exit code 0 posted to its thread
//   close-engine        WM_CLOSE posted to the engine's main window
//   forge-messages      made-up WM_APP+1, WM_NOTIFY, WM_DRAWITEM,
//                       WM_DPICHANGED and label clicks, posted and sent to
//                       every window of our programs
//   open-our-processes  OpenProcess for PROCESS_TERMINATE or
//                       PROCESS_SUSPEND_RESUME, OpenThread for
//                       THREAD_TERMINATE or THREAD_SUSPEND_RESUME, on every
//                       process of our programs: the exit code's bits say
//                       what opened
//   guess-passwords     five wrong passwords to the service; the exit code
//                       is the wait it then asks for, in seconds
//   hold-pipe           connects to the service's pipe and sends nothing
//                       for fifteen seconds
//   switch-off-the-watch
//                       writes what the README names as the engine's
//                       switches: the benchmark's "NoForegroundHook" and
//                       "NoForegroundPoll" in HKLM, and an ignore entry for
//                       kScriptIgnoredTitle in the administrator's policy,
//                       under HKLM and, where many programs also read
//                       policies, under HKCU; the exit code's bits say what
//                       was written
//   report-foreground   raises the event the system sends when a window
//                       comes to the front (NotifyWinEvent
//                       EVENT_SYSTEM_FOREGROUND) for a window of its own
//                       that is not there, and keeps the window a moment;
//                       the exit code is 1 when it could
//   enlarge-message-font
//                       sets the user's own message font, by which every
//                       program lays out its dialogs, to letters
//                       kEnormousFontPixels high (SPI_SETNONCLIENTMETRICS,
//                       kept in HKCU); the exit code is 1 when it could
//   read-passwords      reads every value under HKLM\SOFTWARE\Pelmora Pro
//                       it may (RegEnumKeyEx, RegEnumValue): the exit code
//                       counts those named as a password or holding a hash
// `folder` is the program folder, with its closing backslash.
int RunUserScript(const std::wstring& name, const std::wstring& folder);
// The harness's command line that runs the script.
std::wstring UserScriptCommand(const std::wstring& name, const std::wstring& folder);

}  // namespace pm::e2e
