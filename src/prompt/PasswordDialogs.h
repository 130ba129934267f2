// The owner's dialogs for the passwords and the prompt's pictures. Each
// gives the setup window back when it unloads.
#pragma once

#include "platform/ChildDialog.h"

namespace pm::prompt {

inline constexpr platform::FormSpec kfrmChangePasswordSpec = {
    .caption = "Change Password", .clientWidth = 4890, .clientHeight = 2760};
inline constexpr platform::FormSpec kfrmpasswordpictureSpec = {
    .caption = "Password Box Picture", .clientWidth = 5445, .clientHeight = 2835};

class frmChangePassword : public platform::ChildDialog {
 public:
  frmChangePassword(platform::Toolkit& toolkit, platform::Form& setup)
      : ChildDialog(toolkit, kfrmChangePasswordSpec, setup) {}
};

class frmpasswordpicture : public platform::ChildDialog {
 public:
  frmpasswordpicture(platform::Toolkit& toolkit, platform::Form& setup)
      : ChildDialog(toolkit, kfrmpasswordpictureSpec, setup) {}
};

}  // namespace pm::prompt
