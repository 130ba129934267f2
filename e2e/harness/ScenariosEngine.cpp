// The engine's own roads: a locked window hidden and given back, a second
// start asking for the configuration tool, the close-and-restart, and windows
// of other programs that take our titles.
#include <string>

#include "Scenarios.h"
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include "config/frmSetupLayout.h"
#include "engine/frmMainLayout.h"
#include "platform/win32/Wide.h"

namespace pm::e2e {

using namespace std::chrono_literals;
using win32::Wide;

int LockUnlock(const Options& options) {
  Checks checks;
  ProductKey key;
  Engines engines(options.program, options.standardUser);
  if (!Prepare(key, checks, {{"Registry Editor", true}})) return checks.ExitCode();
  const DWORD processId = StartEngine(engines, checks);
  if (processId == 0) return checks.ExitCode();

  Say("right password");
  {
    TargetWindow first(L"Registry Editor - test", L"PmHarnessEditorOne", true);
    if (!LockedOnArrival(first, checks, "Registry Editor - test")) return checks.ExitCode();
    const Prompt prompt = WaitForPrompt(checks);
    if (!prompt) return checks.ExitCode();
    const std::string label = Utf8(prompt.Text("Label1"));
    checks.Check(label == "'Registry Editor - test' requires a password.",
                 "the prompt names the window: \"" + label + "\"");
    prompt.Answer(L"SECRET");
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
    const Prompt prompt = WaitForPrompt(checks);
    if (!prompt) return checks.ExitCode();
    prompt.Answer(L"wrong");
    checks.Check(WaitFor([&] { return second.closeRequests() > 0; }, kReactLimit),
                 "a wrong password sends the window WM_CLOSE");
  }
  EngineStillRuns(engines, processId, checks);
  return checks.ExitCode();
}

int SecondStart(const Options& options) {
  Checks checks;
  ProductKey key;
  Engines engines(options.program, options.standardUser);
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
  Engines engines(options.program, options.standardUser);
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

namespace {

// Whether the tray holds the icon of that window: changing nothing of an icon
// succeeds only for one that exists.
bool HasTrayIcon(HWND owner) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = owner;
  data.uID = 1;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

}  // namespace

// Windows of the harness titled as a running copy and as a second start,
// there before pmpro starts: they are no program of ours, so pmpro starts as
// the first copy and does not open its configuration tool for them.
int ImpostorTitles(const Options& options) {
  Checks checks;
  ProductKey key;
  Engines engines(options.program, options.standardUser);
  if (!Prepare(key, checks, {{"Registry Editor", true}})) return checks.ExitCode();
  TargetWindow running(Wide(engine::kRunningTitle), L"PmHarnessImpostorRunning", true);
  TargetWindow setupRequest(Wide(engine::kSetupRequestTitle), L"PmHarnessImpostorSetup", true);
  const DWORD processId = StartEngine(engines, checks);
  if (processId == 0) return checks.ExitCode();

  // A second start would have ended after about a second.
  if (!EngineStillRuns(engines, processId, checks)) return checks.ExitCode();
  const HWND mainWindow = FindTopLevel(MainWindowQuery(processId));
  checks.Check(WaitFor([&] { return HasTrayIcon(mainWindow); }, kReactLimit),
               "its icon is in the tray");
  const WindowQuery tool{.title = Wide(config::kSetupTitle)};
  checks.Check(FindTopLevel(tool) == nullptr,
               "no configuration tool was opened for the harness's \"" +
                   std::string(engine::kSetupRequestTitle) + "\"");

  TargetWindow editor(L"Registry Editor - impostors around", L"PmHarnessEditorImpostor", true);
  LockedOnArrival(editor, checks, "Registry Editor - impostors around");
  checks.Check(running.closeRequests() == 0 && setupRequest.closeRequests() == 0,
               "the windows that took our titles were left alone");
  return checks.ExitCode();
}

// A document named after the program, open in a locked editor: its title
// holds the program's name, but the window is not ours, so it is locked.
int MarkedTitle(const Options& options) {
  Checks checks;
  ProductKey key;
  Engines engines(options.program, options.standardUser);
  if (!Prepare(key, checks, {{"Registry Editor", true}})) return checks.ExitCode();
  if (StartEngine(engines, checks) == 0) return checks.ExitCode();

  const std::string title = "Pelmora Pro.txt - Registry Editor";
  TargetWindow editor(Wide(title), L"PmHarnessMarkedEditor", true);
  if (!LockedOnArrival(editor, checks, title)) return checks.ExitCode();
  const Prompt prompt = WaitForPrompt(checks);
  if (!prompt) return checks.ExitCode();
  PumpFor(1500ms);
  checks.Check(prompt.StillShown(), "our own prompt, titled with the program's name, stays up");
  prompt.Answer(L"secret");
  checks.Check(WaitFor([&] { return editor.visible(); }, kReactLimit),
               "the right password gives the editor back");
  return checks.ExitCode();
}

// Messages another program can post to end the engine without its restart:
// WM_QUIT to its window or its thread, and WM_ENDSESSION (after a posted
// WM_QUERYENDSESSION too). None of them counts; only Windows ending the
// session does.
int ForgedEnds(const Options& options) {
  Checks checks;
  ProductKey key;
  Engines engines(options.program, options.standardUser);
  if (!Prepare(key, checks, {{"Registry Editor", true}})) return checks.ExitCode();
  const DWORD engineId = StartEngine(engines, checks);
  const HWND main = engineId != 0 ? FindTopLevel(MainWindowQuery(engineId)) : nullptr;
  if (!checks.Check(main != nullptr, "the engine's main window")) return checks.ExitCode();
  PostMessageW(main, WM_QUIT, 0, 0);
  PostThreadMessageW(GetWindowThreadProcessId(main, nullptr), WM_QUIT, 0, 0);
  EngineStillRuns(engines, engineId, checks);
  PostMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EngineStillRuns(engines, engineId, checks);
  PostMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  PostMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EngineStillRuns(engines, engineId, checks);
  TargetWindow editor(L"Registry Editor - forged", L"PmHarnessForged", true);
  LockedOnArrival(editor, checks, "Registry Editor - forged");
  return checks.ExitCode();
}

}  // namespace pm::e2e
