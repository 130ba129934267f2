// The configuration tool from end to end: opened by a second start, its
// list read back, a switch turned on through its menu and saved, and the
// engine following the saved switch.
#include <string>

#include "Fixtures.h"
#include "ListViewReader.h"
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
void ExpectListShowsItems(HWND tool) {
  struct Shown {
    const wchar_t* text;
    bool checked;
  };
  constexpr Shown kExpected[] = {{L"Notepad", false}, {L"Registry Editor", true}};
  const HWND list = SetupControl(tool, "List1");
  ASSERT_NE(list, nullptr) << "the tool has its List1";
  ListViewReader reader(list);
  const int count = reader.Count();
  EXPECT_EQ(count, static_cast<int>(std::size(kExpected))) << "List1 holds the 2 stored items";
  ASSERT_TRUE(reader.ready()) << "memory for the item texts allocated in pmpro";
  for (int i = 0; i < std::min<int>(count, std::size(kExpected)); ++i) {
    EXPECT_EQ(reader.Text(i).value_or(L"(unreadable)"), kExpected[i].text) << "item " << i;
    EXPECT_EQ(reader.StateImage(i), kExpected[i].checked ? 2 : 1)
        << "item " << i << " is " << (kExpected[i].checked ? "checked" : "unchecked")
        << " (state image)";
  }
}

class SetupWindowScenario : public EngineScenario {
 protected:
  StoredSettings Stored() const override {
    return {.locked = {{"Registry Editor", true}, {"Notepad", false}}};
  }
};

}  // namespace

TEST_F(SetupWindowScenario, SetupWindow) {
  ASSERT_NE(engines.Start(), 0u) << "a second pmpro started";

  const WindowQuery toolQuery{.title = Wide(config::kSetupTitle), .processId = engineId};
  HWND tool = nullptr;
  EXPECT_TRUE(
      WaitFor([&] { return (tool = FindTopLevel(toolQuery)) != nullptr && !IsWindowVisible(tool); },
              kReactLimit))
      << "the running copy opens a hidden window titled \"Configuration Tool\"";
  const Prompt prompt = WaitForPrompt();
  ASSERT_TRUE(tool != nullptr && prompt);
  prompt.Answer(L"secret");
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(tool) && !IsIconic(tool); }, kReactLimit))
      << "the right password shows the Configuration Tool, restored (the prompt says: "
      << Utf8(prompt.Text("Label1")) << ")";
  ExpectListShowsItems(tool);

  Say("before the switch");
  {
    TargetWindow wizard(L"Setup Wizard", L"PmHarnessWizardBefore", true);
    SetForegroundWindow(wizard.handle());
    // Three ticks of the engine's 500 ms timer.
    PumpFor(1500ms);
    EXPECT_TRUE(wizard.visible()) << "a window titled \"Setup Wizard\" is not locked yet";
  }

  Say("Lock Software Installations");
  // Another process cannot read a menu under Wine, so the entry is chosen by
  // its command id.
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnublockinstall, 0), 0);
  const HWND apply = SetupControl(tool, "cmdApply");
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kReactLimit))
      << "the menu entry enables Apply";
  PostMessageW(apply, BM_CLICK, 0, 0);
  const std::string_view blockInstall = store::Info(store::Switch::BlockInstall).valueName;
  std::string stored;
  const bool saved =
      WaitFor([&] { return (stored = key.ReadSetting(blockInstall)) == "1"; }, kReactLimit);
  EXPECT_TRUE(saved) << "Apply stores \"BlockInstall\" = \"" << stored << "\"";
  EXPECT_TRUE(IsWindowVisible(tool)) << "the tool stays open after Apply";

  TargetWindow wizard(L"Setup Wizard", L"PmHarnessWizard", true);
  const testing::AssertionResult locked = LockedOnArrival(wizard, "Setup Wizard");
  EXPECT_TRUE(locked);
  if (locked) {
    if (const Prompt wizardPrompt = WaitForPrompt()) {
      EXPECT_EQ(Utf8(wizardPrompt.Text("Label1")), "'Setup Wizard' requires a password.")
          << "the prompt names the window";
    }
  }
  EXPECT_TRUE(EngineStillRuns(engines, engineId));
}

}  // namespace pm::e2e
