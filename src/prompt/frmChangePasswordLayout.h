// The change-password dialog, control by control (twips; inside a frame,
// relative to it), in tab order, and the texts it shows.
#pragma once

#include "platform/Ui.h"

namespace pm::prompt {

inline constexpr std::string_view kEnterPasswords = "Enter new passwords.";
inline constexpr std::string_view kConfirmPasswords = "Please confirm your passwords.";
inline constexpr std::string_view kFirstPasswordMismatch =
    "One of the passwords doesn't match, please enter both of them again.";
inline constexpr std::string_view kSecondPasswordMismatch =
    "One of the passwords doesn't match, please enter both again!";
inline constexpr std::string_view kSavingPasswords = "Saving the passwords...";
inline constexpr std::string_view kPasswordsNotSaved =
    "The passwords could not be saved, and the passwords stored before are kept.";

// clang-format off
inline constexpr platform::ControlSpec kfrmChangePasswordControls[] = {
  //  kind                              name            caption                            left  top   width height props                                           container  color                    maxLength
  {platform::ControlKind::Frame,       "Frame1",       "Password for all Locked Windows",  240,  720, 3255,  735},
  {platform::ControlKind::TextBox,     "txtPassword",  "",                                 240,  285, 2655,  295, platform::prop::kPassword,                      "Frame1",  platform::kDefaultColor, 16},
  {platform::ControlKind::Frame,       "Frame2",       "Password for Setup tool",          240, 1560, 3255,  975},
  {platform::ControlKind::TextBox,     "txtPassword2", "",                                 240,  285, 2655,  300, platform::prop::kPassword,                      "Frame2",  platform::kDefaultColor, 16},
  {platform::ControlKind::CheckBox,    "chkpassword",  "Keep same as above",               240,  600, 2535,  255, platform::prop::kNone,                          "Frame2"},
  {platform::ControlKind::Button,      "cmdOK",        "OK",                              3720,  120,  975,  360, platform::prop::kDefault | platform::prop::kDisabled},
  {platform::ControlKind::Button,      "cmdCancel",    "Cancel",                          3720,  555,  975,  360, platform::prop::kCancel},
  {platform::ControlKind::Label,       "Label1",       kEnterPasswords,                    240,  120, 3255,  495},
};
// clang-format on

// Each control of the table by its own name, checked against the table when
// compiled: a name the table lacks does not build.
struct frmChangePasswordIds {
  static constexpr platform::ControlId Frame1 =
      platform::IdOf(kfrmChangePasswordControls, "Frame1");
  static constexpr platform::ControlId txtPassword =
      platform::IdOf(kfrmChangePasswordControls, "txtPassword");
  static constexpr platform::ControlId Frame2 =
      platform::IdOf(kfrmChangePasswordControls, "Frame2");
  static constexpr platform::ControlId txtPassword2 =
      platform::IdOf(kfrmChangePasswordControls, "txtPassword2");
  static constexpr platform::ControlId chkpassword =
      platform::IdOf(kfrmChangePasswordControls, "chkpassword");
  static constexpr platform::ControlId cmdOK = platform::IdOf(kfrmChangePasswordControls, "cmdOK");
  static constexpr platform::ControlId cmdCancel =
      platform::IdOf(kfrmChangePasswordControls, "cmdCancel");
  static constexpr platform::ControlId Label1 =
      platform::IdOf(kfrmChangePasswordControls, "Label1");
};

inline constexpr platform::FormSpec kfrmChangePasswordSpec = {
    .caption = "Change Password",
    .clientWidth = 4890,
    .clientHeight = 2760,
    .border = platform::Border::FixedDialog,
    .controls = kfrmChangePasswordControls,
};

}  // namespace pm::prompt
