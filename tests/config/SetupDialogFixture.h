// The owner in the configuration tool, about to use one of its dialogs:
// the engine runs, the tool is open, and the dialogs are reached through
// the tool's own buttons and menus.
#pragma once

#include <string>
#include <vector>

#include "config/frmSetupLayout.h"
#include "engine/EngineFixture.h"
#include "store/ItemLists.h"

namespace pm::tests {

// New passwords in these tests are hashed with fewer rounds: a hash with the
// real count takes over a second in a sanitized build. One test keeps it.
inline constexpr std::uint32_t kTestHashIterations = 1000;

class SetupDialogTest : public EngineTest {
 protected:
  // Opens the tool from the tray, answering the prompt with `password`.
  sim::SimWindow& OpenSetup(std::string_view password = {}) {
    if (!process_) {
      StartEngine();
      SetupForm().frmChangePassword.SetHashIterations(kTestHashIterations);
    }
    Engine().frmMain.mnuPMISetup_Click();
    world_.RunPending();
    if (Prompt() != nullptr) Answer(password.empty() ? State().UserPassword : password);
    return *Ours(SetupForm().hwnd());
  }
  config::frmSetup& SetupForm() { return Engine().frmSetup; }
  sim::SimWindow* Ours(platform::Hwnd handle) {
    sim::WindowRecord* record = world_.Find(handle);
    return record != nullptr ? record->ours : nullptr;
  }
  // The dialog's window while it is loaded, or null.
  sim::SimWindow* Window(const platform::Form& dialog) {
    return dialog.IsLoaded() ? Ours(dialog.hwnd()) : nullptr;
  }
  platform::ListBox& List1() { return SetupForm().List1; }
  std::vector<store::ListItem> Items() {
    std::vector<store::ListItem> items;
    for (int i = 0; i < List1().ListCount(); ++i) {
      items.push_back({List1().List(i), List1().Selected(i)});
    }
    return items;
  }
  std::string CurrentItem() {
    const int current = List1().ListIndex();
    return current >= 0 ? List1().List(current) : std::string("<none>");
  }
  void Select(std::string_view text) {
    for (int i = 0; i < List1().ListCount(); ++i) {
      if (List1().List(i) == text) List1().SetListIndex(i);
    }
  }
  bool ApplyEnabled() { return SetupForm().cmdApply.Enabled(); }
};

}  // namespace pm::tests
