#include "config/frmSetup.h"

#include "config/frmSetupLayout.h"

namespace pm::config {

frmSetup::frmSetup(platform::Toolkit& toolkit, store::ProgramState& state)
    : Form(toolkit, kfrmSetupSpec), state_(state) {}

void frmSetup::Form_Unload() {
  // The next "Configure..." asks for the password again.
  state_.ConfigWindowKey.clear();
}

}  // namespace pm::config
