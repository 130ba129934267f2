// Against the real engine: titles that only look like a locked one, a locked
// window put inside another program's window, and a program item stored
// while the engine runs, which locks the program's windows whatever their
// titles and leaves the same title in another program alone.
#include <string>

#include "Fixtures.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"

namespace pm::e2e {

using namespace std::chrono_literals;

namespace {

void Dismiss(const Prompt& prompt) {
  prompt.Click("Command1");
  WaitFor([&] { return !prompt.StillShown(); }, kReactLimit);
}

bool Shown(HWND window) {
  return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

}  // namespace

TEST_F(EngineScenario, ProgramItems) {
  Say("titles that only look different from \"Registry Editor\"");
  for (const wchar_t* title : {L"Registry\u200BEditor", L"R\u0435gistry Editor",
                               L"Registry \u200FEditor", L"\uFF32egistry Editor"}) {
    TargetWindow window(title, L"PmHarnessDisguised", true);
    EXPECT_TRUE(LockedOnArrival(window, Utf8(title)));
    const Prompt prompt = WaitForPrompt();
    ASSERT_TRUE(prompt);
    Dismiss(prompt);
  }

  Say("a locked window put inside another program's window");
  {
    const DWORD hostId =
        StartOtherProgramWindow(engines, L"pmharness-host.exe", L"Harmless host", L"PmHarnessHost");
    const HWND host = WaitForWindowOf(hostId, L"Harmless host");
    ASSERT_NE(host, nullptr) << "another program shows its window";
    TargetWindow inside(L"Registry Editor - inside", L"PmHarnessInside", false);
    SetParent(inside.handle(), host);
    SetWindowLongW(inside.handle(), GWL_STYLE,
                   (GetWindowLongW(inside.handle(), GWL_STYLE) & ~WS_POPUP) | WS_CHILD);
    ShowWindow(inside.handle(), SW_SHOWNA);
    EXPECT_EQ(GetAncestor(inside.handle(), GA_PARENT), host) << "it is the host's child now";
    EXPECT_TRUE(WaitFor([&] { return !Shown(inside.handle()); }, kReactLimit))
        << "the engine hides it inside the host";
    const Prompt prompt = WaitForPrompt();
    ASSERT_TRUE(prompt);
    prompt.Answer(L"secret");
    EXPECT_TRUE(WaitFor([&] { return Shown(inside.handle()); }, kReactLimit))
        << "the right password gives it back";
    PumpFor(1500ms);
    EXPECT_TRUE(Shown(inside.handle())) << "and it stays unlocked inside the host";
    SetParent(inside.handle(), nullptr);
    engines.End(hostId);
  }

  Say("a program item stored while the engine runs");
  {
    // Spelled as Windows would also find the file: lower case, with the
    // long-path prefix and a short name where the file system has one.
    std::wstring path = win32::ModulePath();
    wchar_t shortPath[MAX_PATH] = {};
    if (GetShortPathNameW(path.c_str(), shortPath, MAX_PATH) > 0) path = shortPath;
    CharLowerW(path.data());
    Say("  stored as %s", Utf8(L"\\\\?\\" + path).c_str());
    ASSERT_TRUE(key.WriteProgramItems({{Utf8(L"\\\\?\\" + path), true}}))
        << "Programs\\Program0 = the harness's own path + \",1\"";
    PumpFor(1000ms);  // the engine sees the change and reloads

    TargetWindow mine(L"Untitled - Harness", L"PmHarnessPlain", true);
    ASSERT_TRUE(LockedOnArrival(mine, "a window of the locked program, ordinary title"));
    const Prompt prompt = WaitForPrompt();
    ASSERT_TRUE(prompt);
    EXPECT_EQ(prompt.Text("Label1"), L"The program 'pmharness.exe' requires a password.")
        << "the prompt names the program";

    const DWORD otherId = StartOtherProgramWindow(engines, L"pmharness-other-program.exe",
                                                  L"Untitled - Harness", L"PmHarnessPlain");
    const HWND theirs = WaitForWindowOf(otherId, L"Untitled - Harness");
    ASSERT_NE(theirs, nullptr);
    PumpFor(1500ms);
    EXPECT_TRUE(IsWindowVisible(theirs)) << "the same title in another program's window is shown";
    engines.End(otherId);
    Dismiss(prompt);

    TargetWindow renamed(L"Untitled", L"PmHarnessRenamed", false);
    SetWindowTextW(renamed.handle(), L"Holiday plans");
    ShowWindow(renamed.handle(), SW_SHOW);
    ASSERT_TRUE(LockedOnArrival(renamed, "a renamed window of the program"));
    const Prompt again = WaitForPrompt();
    ASSERT_TRUE(again);
    Dismiss(again);
  }
  EXPECT_TRUE(EngineStillRuns(engines, engineId));
}

}  // namespace pm::e2e
