// Saving the setup window's edits, and the ways out of it. A save either
// stores everything or, when any write fails, puts back what was stored
// before and says why.
#include "config/frmSetup.h"
#include "config/frmSetupLayout.h"
#include "platform/Text.h"
#include "store/ItemLists.h"
#include "store/RegistrySnapshot.h"
#include "store/SettingsCatalogue.h"

namespace pm::config {

namespace {

// What a save may change, taken before it starts.
struct StoredBefore {
  store::KeySnapshot product;
  std::vector<store::ValueSnapshot> systemValues;
};

StoredBefore Capture(platform::Registry& registry) {
  StoredBefore before{store::CaptureKey(registry, store::kRootKey, store::kProductKey), {}};
  before.systemValues.push_back(
      store::CaptureValue(registry, store::kRootKey, store::kRunOnceKey, store::kRunOnceValue));
  for (std::string_view name : {"Background", "LogonType"}) {
    before.systemValues.push_back(
        store::CaptureValue(registry, store::kRootKey, store::kWinlogonKey, name));
  }
  return before;
}

void PutBack(platform::Registry& registry, const StoredBefore& before) {
  store::RestoreKey(registry, store::kRootKey, store::kProductKey, before.product);
  for (const store::ValueSnapshot& value : before.systemValues) {
    store::RestoreValue(registry, store::kRootKey, value);
  }
}

std::string NumberOrZero(std::int16_t value) {
  return std::to_string(value < 1 ? 0 : value);
}

}  // namespace

int SwitchMenuId(std::size_t switchIndex) {
  static constexpr int kIds[] = {kmnupasswordprompt, kmnulockzip,      kmnuLockInternet,
                                 kmnudisablemenu,    kmnublockinstall, kmnuLockInternetDownloads,
                                 kmnuLockDesktop,    kmnuBlankScreen,  kmnuHideMenu,
                                 kmlockstartup};
  return kIds[switchIndex];
}

void frmSetup::GetSettings() {
  const auto& switches = store::Switches();
  for (std::size_t i = 0; i < switches.size(); ++i) {
    window().SetMenuChecked(SwitchMenuId(i), store::ReadSwitch(registry_, switches[i].id));
  }
  // A stored text that is no number leaves the edited value as it was.
  const std::string timeDelay = store::ReadSetting(registry_, store::setting::kTimeDelay);
  if (const auto seconds = store::ToInteger16(timeDelay)) state_.SetupTimeDelay = *seconds;
}

store::RegResult frmSetup::SaveWindows() {
  std::vector<store::ListItem> items;
  for (int i = 0; i < List1.ListCount(); ++i) items.push_back({List1.List(i), List1.Selected(i)});
  std::vector<std::string> ignore;
  for (int i = 0; i < List2.ListCount(); ++i) ignore.push_back(List2.List(i));
  return store::WriteLists(registry_, items, ignore);
}

store::RegResult frmSetup::SaveSettings() {
  store::FirstFailure outcome;
  const auto& switches = store::Switches();
  for (std::size_t i = 0; i < switches.size(); ++i) {
    const bool on = window().MenuChecked(SwitchMenuId(i));
    outcome.Note(store::WriteSetting(registry_, switches[i].valueName, on ? "1" : "0"));
    if (switches[i].id == store::Switch::LockStartup) {
      outcome.Note(store::ApplyStartupLock(registry_, on, state_.AppFolder));
    }
  }
  outcome.Note(store::WriteSetting(registry_, store::setting::kTimeDelay,
                                   NumberOrZero(state_.SetupTimeDelay)));
  outcome.Note(
      store::WriteSetting(registry_, store::setting::kRelock, NumberOrZero(state_.RelockMinutes)));
  return outcome.result();
}

bool frmSetup::Save() {
  const StoredBefore before = Capture(registry_);
  store::RegResult result = SaveWindows();
  const store::RegResult settings = SaveSettings();
  if (result) result = settings;
  if (!result) {
    PutBack(registry_, before);
    toolkit_.MessageBox(&window(),
                        "The settings could not be saved, and the settings stored before are "
                        "kept.\r\n\r\n" +
                            platform::SystemErrorText(result.status),
                        "", platform::MessageStyle::Ok, platform::MessageIcon::Error);
    return false;
  }
  state_.ReloadRequested = true;
  return true;
}

void frmSetup::cmdOK_Click() {
  if (Save()) Unload();
}

void frmSetup::cmdApply_Click() {
  if (Save()) cmdApply.SetEnabled(false);
}

}  // namespace pm::config
