// The timers dialog, control by control (twips; inside a frame, relative to
// it), and the text of a refused entry.
#pragma once

#include "platform/Ui.h"

namespace pm::config {

inline constexpr std::string_view kTimeDelayRefused =
    "Enter time delay or 0 to disable. It should be between 5 - 99 secs.";

// clang-format off
inline constexpr platform::ControlSpec kfrmTimeDelayControls[] = {
  //  kind                           name            caption                                                                                          left  top   width height props                     container  color                    maxLength
  {platform::ControlKind::Label,   "Label5",       "Tip: Enter 0 to disable a timer.",                                                                120,  120, 2175,  255},
  {platform::ControlKind::Frame,   "Frame2",       "Password Prompt Timer",                                                                           120,  480, 4215, 1095},
  {platform::ControlKind::Label,   "Label1",       "Password entry timer.",                                                                           120,  240, 3975,  420, platform::prop::kNone,    "Frame2"},
  {platform::ControlKind::TextBox, "txtTimeDelay", "0",                                                                                               120,  600,  735,  295, platform::prop::kNone,    "Frame2",  platform::kDefaultColor, 2},
  {platform::ControlKind::Label,   "Label2",       "Seconds",                                                                                         960,  720,  735,  255, platform::prop::kNone,    "Frame2"},
  {platform::ControlKind::Frame,   "Frame1",       "Relock Timer",                                                                                    120, 1680, 4215, 1215},
  {platform::ControlKind::Label,   "Label3",       "Relock everything after a number of minutes. Applies only when Unlock Everything is clicked.",   120,  240, 3975,  495, platform::prop::kNone,    "Frame1"},
  {platform::ControlKind::TextBox, "txtrelock",    "0",                                                                                               120,  720,  735,  285, platform::prop::kNone,    "Frame1"},
  {platform::ControlKind::Label,   "Label4",       "Minutes",                                                                                         960,  825, 1215,  255, platform::prop::kNone,    "Frame1"},
  {platform::ControlKind::Button,  "Command1",     "Cancel",                                                                                         2040, 3000, 1095,  375, platform::prop::kCancel},
  {platform::ControlKind::Button,  "cmdOK",        "OK",                                                                                             3240, 3000, 1095,  375, platform::prop::kDefault},
};
// clang-format on

// Each control of the table by its own name, checked against the table when
// compiled: a name the table lacks does not build.
struct frmTimeDelayIds {
  static constexpr platform::ControlId Label5 = platform::IdOf(kfrmTimeDelayControls, "Label5");
  static constexpr platform::ControlId Frame2 = platform::IdOf(kfrmTimeDelayControls, "Frame2");
  static constexpr platform::ControlId Label1 = platform::IdOf(kfrmTimeDelayControls, "Label1");
  static constexpr platform::ControlId txtTimeDelay =
      platform::IdOf(kfrmTimeDelayControls, "txtTimeDelay");
  static constexpr platform::ControlId Label2 = platform::IdOf(kfrmTimeDelayControls, "Label2");
  static constexpr platform::ControlId Frame1 = platform::IdOf(kfrmTimeDelayControls, "Frame1");
  static constexpr platform::ControlId Label3 = platform::IdOf(kfrmTimeDelayControls, "Label3");
  static constexpr platform::ControlId txtrelock =
      platform::IdOf(kfrmTimeDelayControls, "txtrelock");
  static constexpr platform::ControlId Label4 = platform::IdOf(kfrmTimeDelayControls, "Label4");
  static constexpr platform::ControlId Command1 = platform::IdOf(kfrmTimeDelayControls, "Command1");
  static constexpr platform::ControlId cmdOK = platform::IdOf(kfrmTimeDelayControls, "cmdOK");
};

inline constexpr platform::FormSpec kfrmTimeDelaySpec = {
    .caption = "Timers",
    .clientWidth = 4455,
    .clientHeight = 3495,
    .border = platform::Border::FixedDialog,
    .controls = kfrmTimeDelayControls,
};

}  // namespace pm::config
