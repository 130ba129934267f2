// What the administrator set by Group Policy or Intune, as the setup window
// shows it: in force, greyed, with the note "Set by your administrator",
// never changed here and never saved with the PC's own settings.
#include "config/frmSetup.h"
#include "config/frmSetupLayout.h"
#include "store/ItemLists.h"
#include "store/PolicySettings.h"
#include "store/ProgramList.h"
#include "store/SettingsCatalogue.h"

namespace pm::config {

namespace {
// Greys a menu entry the administrator set and says so beside it.
void MarkSetByAdministrator(platform::Window& window, int menuId) {
  window.SetMenuEnabled(menuId, false);
  window.SetMenuNote(menuId, store::kSetByAdministrator);
}
}  // namespace

void frmSetup::ShowPolicySettings() {
  const auto& switches = store::Switches();
  for (std::size_t i = 0; i < switches.size(); ++i) {
    if (store::IsSetByPolicy(registry_, switches[i].valueName)) {
      MarkSetByAdministrator(window(), SwitchMenuId(i));
    }
  }
  if (store::IsSetByPolicy(registry_, store::setting::kTimeDelay) &&
      store::IsSetByPolicy(registry_, store::setting::kRelock)) {
    MarkSetByAdministrator(window(), kmnuTimeDelay);
  }
  if (store::PolicyPassword(registry_)) {
    MarkSetByAdministrator(window(), kmnuChangePassword);
    Command1.SetEnabled(false);
    Command1.SetToolTip(store::kSetByAdministrator);
  }
}

void frmSetup::AddPolicyEntries() {
  // Title and program items differ only in how their row is written.
  const auto fixRow = [this](int at, bool checked) {
    List1.SetSelected(at, checked);
    List1.SetItemFixed(at, store::kSetByAdministrator);
  };
  for (const store::ListItem& item : store::ReadItemList(registry_, store::kPolicyKey)) {
    fixRow(List1.AddItem(item.text), item.checked);
  }
  for (const store::ListItem& item :
       store::ReadProgramList(registry_, store::kPolicyProgramListKey)) {
    fixRow(programEntries.Add(List1, item.text), item.checked);
  }
  for (const std::string& entry : store::ReadIgnoreList(registry_, store::kPolicyKey)) {
    List2.SetItemFixed(List2.AddItem(entry), store::kSetByAdministrator);
  }
}

bool frmSetup::RefusesFixedEntry(platform::ListBox& list, int index) {
  if (index < 0 || !list.ItemFixed(index)) return false;
  toolkit_.Beep();
  return true;
}

void frmSetup::OpenPasswordsDialog() {
  // Greyed while the administrator's password is in force.
  if (window().MenuEnabled(kmnuChangePassword)) OpenDialog(frmChangePassword);
}

}  // namespace pm::config
