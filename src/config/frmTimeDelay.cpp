// The timers: the prompt's time limit, kept for the next save, and the
// relock minutes, which the engine's relock count reads at once.
#include <string>

#include "config/SetupDialogs.h"
#include "config/frmTimeDelayLayout.h"
#include "store/PolicySettings.h"
#include "store/SettingsCatalogue.h"

namespace pm::config {

using platform::Event;

frmTimeDelay::frmTimeDelay(platform::Toolkit& toolkit, SetupParts setup,
                           platform::Registry& registry, store::ProgramState& state)
    : ChildDialog(toolkit, kfrmTimeDelaySpec, setup.window),
      setup_(setup),
      registry_(registry),
      state_(state) {
  On(Ids::cmdOK, Event::Click, [this] { cmdOK_Click(); });
  On(Ids::Command1, Event::Click, [this] { Unload(); });
}

void frmTimeDelay::Form_Load() {
  txtTimeDelay.SetText(std::to_string(state_.SetupTimeDelay));
  txtTimeDelay.SelectAll();
  txtrelock.SetText(std::to_string(state_.RelockMinutes));
  timeDelayFixed_ = ShowSetByPolicy(txtTimeDelay, store::setting::kTimeDelay);
  relockFixed_ = ShowSetByPolicy(txtrelock, store::setting::kRelock);
}

bool frmTimeDelay::ShowSetByPolicy(platform::Control& box, std::string_view valueName) {
  const std::optional<std::string> policy = store::ReadPolicySetting(registry_, valueName);
  if (!policy) return false;
  box.SetText(std::to_string(store::ToInteger16(*policy).value_or(0)));
  box.SetEnabled(false);
  box.SetToolTip(store::kSetByAdministrator);
  return true;
}

void frmTimeDelay::cmdOK_Click() {
  const auto seconds = store::ToInteger16(txtTimeDelay.Text());
  if (!timeDelayFixed_ && (!seconds || (*seconds >= 1 && *seconds <= 4))) {
    Refuse();
    return;
  }
  // Taken even when the relock text is then refused; Cancel keeps it.
  if (!timeDelayFixed_) state_.SetupTimeDelay = *seconds;
  const auto minutes = store::ToInteger16(txtrelock.Text());
  if (!relockFixed_ && !minutes) {
    Refuse();
    return;
  }
  if (!relockFixed_) state_.RelockMinutes = *minutes;
  setup_.cmdApply.SetEnabled(true);
  Unload();
}

void frmTimeDelay::Refuse() {
  toolkit_.Beep();
  Label1.SetCaption(kTimeDelayRefused);
  txtTimeDelay.SetFocus();
  txtTimeDelay.SelectAll();
}

}  // namespace pm::config
