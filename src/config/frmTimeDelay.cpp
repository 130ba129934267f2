// The timers: the prompt's time limit, kept for the next save, and the
// relock minutes, which the engine's relock count reads at once.
#include <string>

#include "config/SetupDialogs.h"
#include "config/frmTimeDelayLayout.h"
#include "store/SettingsCatalogue.h"

namespace pm::config {

using platform::Event;

frmTimeDelay::frmTimeDelay(platform::Toolkit& toolkit, SetupParts setup, store::ProgramState& state)
    : ChildDialog(toolkit, kfrmTimeDelaySpec, setup.window), setup_(setup), state_(state) {
  On(Ids::cmdOK, Event::Click, [this] { cmdOK_Click(); });
  On(Ids::Command1, Event::Click, [this] { Unload(); });
}

void frmTimeDelay::Form_Load() {
  txtTimeDelay.SetText(std::to_string(state_.SetupTimeDelay));
  txtTimeDelay.SelectAll();
  txtrelock.SetText(std::to_string(state_.RelockMinutes));
}

void frmTimeDelay::cmdOK_Click() {
  const auto seconds = store::ToInteger16(txtTimeDelay.Text());
  if (!seconds || (*seconds >= 1 && *seconds <= 4)) {
    Refuse();
    return;
  }
  // Taken even when the relock text is then refused; Cancel keeps it.
  state_.SetupTimeDelay = *seconds;
  const auto minutes = store::ToInteger16(txtrelock.Text());
  if (!minutes) {
    Refuse();
    return;
  }
  state_.RelockMinutes = *minutes;
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
