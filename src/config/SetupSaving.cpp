// Saving the setup window's edits, and the ways out of it. A save either
// stores everything or, when any write fails, puts back what was stored
// before and says why.
#include <exception>

#include "config/frmSetup.h"
#include "config/frmSetupLayout.h"
#include "platform/DebugTrace.h"
#include "platform/Text.h"
#include "store/ItemLists.h"
#include "store/PlainPasswords.h"
#include "store/PolicySettings.h"
#include "store/ProgramList.h"
#include "store/SettingsCatalogue.h"
#include "store/SettingsWriter.h"

namespace pm::config {

namespace {

std::string NumberOrZero(std::int16_t value) {
  return std::to_string(value < 1 ? 0 : value);
}

// A password an earlier version stored as plain text goes as its hash with
// this save. Where the system cannot hash, the save goes on without it: the
// value stays as it was, and the next save tries again.
store::RegResult HashPlainPasswordsIfPossible(platform::Registry& target,
                                              std::uint32_t iterations) {
  try {
    return store::HashPlainPasswords(target, iterations);
  } catch (const std::exception&) {
    platform::TraceCaughtException("hashing a plain password at a save");
    return {};
  }
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
  ShowPolicySettings();
}

store::RegResult frmSetup::SaveWindows(platform::Registry& target) {
  // The administrator's entries stay in the policy key, not the PC's.
  std::vector<store::ListItem> items;
  std::vector<store::ListItem> programs;
  programEntries.Split(List1, items, programs);
  savingItems_ = ItemKeys(items, programs);
  std::vector<std::string> ignore;
  for (int i = 0; i < List2.ListCount(); ++i) {
    if (!List2.ItemFixed(i)) ignore.push_back(List2.List(i));
  }
  store::RegResult result = store::WriteLists(target, items, ignore);
  const store::RegResult programsWritten = store::WriteProgramList(target, programs);
  return result ? programsWritten : result;
}

store::RegResult frmSetup::SaveSettings(platform::Registry& target) {
  store::FirstFailure outcome;
  const auto& switches = store::Switches();
  // What the administrator set keeps the PC's own value under it, as stored.
  const auto setByPolicy = [this](std::string_view name) {
    return store::IsSetByPolicy(registry_, name);
  };
  for (std::size_t i = 0; i < switches.size(); ++i) {
    if (setByPolicy(switches[i].valueName)) continue;
    const bool on = window().MenuChecked(SwitchMenuId(i));
    outcome.Note(store::WriteSetting(target, switches[i].valueName, on ? "1" : "0"));
    if (switches[i].id == store::Switch::LockStartup) {
      outcome.Note(store::ApplyStartupLock(target, on, state_.AppFolder,
                                           state_.SettingsService != nullptr
                                               ? store::StartupLockStarter::Service
                                               : store::StartupLockStarter::RunOnce));
    }
  }
  if (!setByPolicy(store::setting::kTimeDelay)) {
    outcome.Note(store::WriteSetting(target, store::setting::kTimeDelay,
                                     NumberOrZero(state_.SetupTimeDelay)));
  }
  if (!setByPolicy(store::setting::kRelock)) {
    outcome.Note(
        store::WriteSetting(target, store::setting::kRelock, NumberOrZero(state_.RelockMinutes)));
  }
  return outcome.result();
}

bool frmSetup::Save() {
  store::SettingsChange change(registry_, state_);
  store::RegResult result = SaveWindows(change.registry());
  const store::RegResult settings = SaveSettings(change.registry());
  if (result) result = settings;
  if (result) {
    result = HashPlainPasswordsIfPossible(change.registry(), frmChangePassword.HashIterations());
  }
  const store::WriteOutcome outcome = change.Commit(result);
  if (!outcome) {
    toolkit_.MessageBox(&window(), outcome.Explain(kSettingsNotSaved), "",
                        platform::MessageStyle::Ok, platform::MessageIcon::Error);
    return false;
  }
  WarnWhenUnprotected(outcome);
  storedItems_ = std::move(savingItems_);
  state_.ReloadRequested = true;
  return true;
}

void frmSetup::WarnWhenUnprotected(const store::WriteOutcome& outcome) {
  if (!outcome.unprotected || unprotectedWarned_) return;
  unprotectedWarned_ = true;
  toolkit_.MessageBox(&window(), kNoPasswordProtects, "", platform::MessageStyle::Ok,
                      platform::MessageIcon::Warning);
}

void frmSetup::cmdOK_Click() {
  if (Save()) Unload();
}

void frmSetup::cmdApply_Click() {
  if (Save()) cmdApply.SetEnabled(false);
}

}  // namespace pm::config
