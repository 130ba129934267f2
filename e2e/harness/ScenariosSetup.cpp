// The configuration tool from end to end: opened by a second start, its
// list read back, a switch turned on through its menu and saved, and the
// engine following the saved switch.
#include <string>

#include "ListViewReader.h"
#include "Scenarios.h"
#include "config/frmSetupLayout.h"
#include "platform/win32/Wide.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

using namespace std::chrono_literals;
using win32::Wide;

namespace {

HWND SetupControl(HWND tool, std::string_view name) {
  return FindControl(
      tool, platform::kControlIdBase + platform::ControlIndex(config::kfrmSetupControls, name));
}

// The stored items as List1 shows them: sorted without regard to case, each
// with its check box.
void CheckListShowsItems(HWND tool, Checks& checks) {
  struct Shown {
    const wchar_t* text;
    bool checked;
  };
  constexpr Shown kExpected[] = {{L"Notepad", false}, {L"Registry Editor", true}};
  const HWND list = SetupControl(tool, "List1");
  if (!checks.Check(list != nullptr, "the tool has its List1")) return;
  ListViewReader reader(list);
  const int count = reader.Count();
  checks.Check(count == static_cast<int>(std::size(kExpected)),
               "List1 holds the 2 stored items (" + std::to_string(count) + ")");
  if (!checks.Check(reader.ready(), "memory for the item texts allocated in pmpro")) return;
  for (int i = 0; i < std::min<int>(count, std::size(kExpected)); ++i) {
    const std::wstring text = reader.Text(i).value_or(L"(unreadable)");
    const int stateImage = reader.StateImage(i);
    checks.Check(text == kExpected[i].text, "item " + std::to_string(i) + " reads \"" + Utf8(text) +
                                                "\", expected \"" + Utf8(kExpected[i].text) + "\"");
    checks.Check(stateImage == (kExpected[i].checked ? 2 : 1),
                 "item " + std::to_string(i) + " is " +
                     (kExpected[i].checked ? "checked" : "unchecked") + " (state image " +
                     std::to_string(stateImage) + ")");
  }
}

}  // namespace

int SetupWindow(const Options& options) {
  Checks checks;
  ProductKey key;
  Engines engines(options.program, options.standardUser);
  if (!Prepare(key, checks, {{"Registry Editor", true}, {"Notepad", false}})) {
    return checks.ExitCode();
  }
  const DWORD firstId = StartEngine(engines, checks);
  if (firstId == 0) return checks.ExitCode();
  if (!checks.Check(engines.Start() != 0, "a second pmpro started")) return checks.ExitCode();

  const WindowQuery toolQuery{.title = Wide(config::kSetupTitle), .processId = firstId};
  HWND tool = nullptr;
  checks.Check(
      WaitFor([&] { return (tool = FindTopLevel(toolQuery)) != nullptr && !IsWindowVisible(tool); },
              kReactLimit),
      "the running copy opens a hidden window titled \"Configuration Tool\"");
  const Prompt prompt = WaitForPrompt(checks);
  if (tool == nullptr || !prompt) return checks.ExitCode();
  prompt.Answer(L"secret");
  checks.Check(WaitFor([&] { return IsWindowVisible(tool) && !IsIconic(tool); }, kReactLimit),
               "the right password shows the Configuration Tool, restored");
  CheckListShowsItems(tool, checks);

  Say("before the switch");
  {
    TargetWindow wizard(L"Setup Wizard", L"PmHarnessWizardBefore", true);
    SetForegroundWindow(wizard.handle());
    // Three ticks of the engine's 500 ms timer.
    PumpFor(1500ms);
    checks.Check(wizard.visible(), "a window titled \"Setup Wizard\" is not locked yet");
  }

  Say("Lock Software Installations");
  // Another process cannot read a menu under Wine, so the entry is chosen by
  // its command id.
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnublockinstall, 0), 0);
  const HWND apply = SetupControl(tool, "cmdApply");
  checks.Check(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kReactLimit),
               "the menu entry enables Apply");
  PostMessageW(apply, BM_CLICK, 0, 0);
  const std::string_view blockInstall = store::Info(store::Switch::BlockInstall).valueName;
  std::string stored;
  const bool saved =
      WaitFor([&] { return (stored = key.ReadSetting(blockInstall)) == "1"; }, kReactLimit);
  checks.Check(saved, "Apply stores \"BlockInstall\" = \"" + stored + "\"");
  checks.Check(IsWindowVisible(tool) != FALSE, "the tool stays open after Apply");

  TargetWindow wizard(L"Setup Wizard", L"PmHarnessWizard", true);
  if (LockedOnArrival(wizard, checks, "Setup Wizard")) {
    const Prompt wizardPrompt = WaitForPrompt(checks);
    if (wizardPrompt) {
      const std::string label = Utf8(wizardPrompt.Text("Label1"));
      checks.Check(label == "'Setup Wizard' requires a password.",
                   "the prompt names the window: \"" + label + "\"");
    }
  }
  EngineStillRuns(engines, firstId, checks);
  return checks.ExitCode();
}

}  // namespace pm::e2e
