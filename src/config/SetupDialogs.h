// The setup window's own dialogs: adding an item, changing one, and the
// timers. Each gives the setup window back when it unloads.
#pragma once

#include "platform/ChildDialog.h"

namespace pm::config {

inline constexpr platform::FormSpec kfrmAddWizardSpec = {
    .caption = "Lock an Item", .clientWidth = 7080, .clientHeight = 4470};

inline constexpr platform::ControlSpec kfrmModifyControls[] = {
    {platform::ControlKind::TextBox, "txtModify", "", 120, 120, 3015, 285},
};
inline constexpr platform::FormSpec kfrmModifySpec = {
    .caption = "Change", .clientWidth = 4530, .clientHeight = 1035, .controls = kfrmModifyControls};

inline constexpr platform::FormSpec kfrmTimeDelaySpec = {
    .caption = "Timers", .clientWidth = 4455, .clientHeight = 3495};

class frmAddWizard : public platform::ChildDialog {
 public:
  frmAddWizard(platform::Toolkit& toolkit, platform::Form& setup)
      : ChildDialog(toolkit, kfrmAddWizardSpec, setup) {}
};

class frmModify : public platform::ChildDialog {
 public:
  frmModify(platform::Toolkit& toolkit, platform::Form& setup)
      : ChildDialog(toolkit, kfrmModifySpec, setup) {}
  platform::Control txtModify{*this, "txtModify"};
};

class frmTimeDelay : public platform::ChildDialog {
 public:
  frmTimeDelay(platform::Toolkit& toolkit, platform::Form& setup)
      : ChildDialog(toolkit, kfrmTimeDelaySpec, setup) {}
};

}  // namespace pm::config
