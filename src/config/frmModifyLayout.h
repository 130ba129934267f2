// The dialog that changes the text of the current item, control by control
// (twips).
#pragma once

#include "platform/Ui.h"

namespace pm::config {

// clang-format off
inline constexpr platform::ControlSpec kfrmModifyControls[] = {
  //  kind                           name         caption       left  top   width height props                      container  color                    maxLength
  {platform::ControlKind::Label,   "Label1",    "Change to:",   240,  120, 2775,  375},
  {platform::ControlKind::TextBox, "txtModify", "",             240,  600, 2895,  295, platform::prop::kNone,     {},        platform::kDefaultColor, 255},
  {platform::ControlKind::Button,  "cmdOK",     "OK",          3360,  120,  975,  360, platform::prop::kDefault},
  {platform::ControlKind::Button,  "cmdCancel", "Cancel",      3360,  570,  975,  360},
};
// clang-format on

// Each control of the table by its own name, checked against the table when
// compiled: a name the table lacks does not build.
struct frmModifyIds {
  static constexpr platform::ControlId Label1 = platform::IdOf(kfrmModifyControls, "Label1");
  static constexpr platform::ControlId txtModify = platform::IdOf(kfrmModifyControls, "txtModify");
  static constexpr platform::ControlId cmdOK = platform::IdOf(kfrmModifyControls, "cmdOK");
  static constexpr platform::ControlId cmdCancel = platform::IdOf(kfrmModifyControls, "cmdCancel");
};

inline constexpr platform::FormSpec kfrmModifySpec = {
    .caption = "Change",
    .clientWidth = 4530,
    .clientHeight = 1035,
    .border = platform::Border::FixedDialog,
    .controls = kfrmModifyControls,
};

}  // namespace pm::config
