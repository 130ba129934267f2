// "Lock a Web Page" (qwenet.exe), control by control (twips).
#pragma once

#include "platform/Ui.h"

namespace pm::addons {

inline constexpr std::string_view kAddWebTitle = "Lock a Web Page";

// clang-format off
inline constexpr platform::ControlSpec kfrmAddWebControls[] = {
  //  kind                           name           caption                                                   left   top  width height props
  {platform::ControlKind::Label,   "Label1",      "Type the name or the address of the web site to lock:",    120,  120, 5415,  255},
  {platform::ControlKind::TextBox, "txtSite",     "",                                                         120,  420, 5415,  315, platform::prop::kNone, {}, platform::kDefaultColor, 2048, 0, "For example youtube.com, or YouTube"},
  {platform::ControlKind::Label,   "Label3",      "Web browsers show a page's own title in their windows. Pelmora Pro locks a browser's window whose title holds the site's name.",
                                                                                                              120,  840, 5415,  495},
  {platform::ControlKind::Label,   "Label2",      "&Password:",                                               120, 1500, 1335,  255},
  {platform::ControlKind::TextBox, "txtPassword", "",                                                        1560, 1440, 2535,  315, platform::prop::kPassword, {}, platform::kDefaultColor, 0, 0, "The password that opens the configuration tool"},
  {platform::ControlKind::Label,   "lblResult",   "",                                                         120, 1920, 5415,  855},
  {platform::ControlKind::Button,  "cmdLock",     "&Lock",                                                   3240, 2880, 1095,  375, platform::prop::kDefault},
  {platform::ControlKind::Button,  "cmdClose",    "Close",                                                   4440, 2880, 1095,  375, platform::prop::kCancel},
};
// clang-format on

// Each control of the table by its own name, checked against the table when
// compiled: a name the table lacks does not build.
struct frmAddWebIds {
  static constexpr platform::ControlId Label1 = platform::IdOf(kfrmAddWebControls, "Label1");
  static constexpr platform::ControlId txtSite = platform::IdOf(kfrmAddWebControls, "txtSite");
  static constexpr platform::ControlId Label3 = platform::IdOf(kfrmAddWebControls, "Label3");
  static constexpr platform::ControlId Label2 = platform::IdOf(kfrmAddWebControls, "Label2");
  static constexpr platform::ControlId txtPassword =
      platform::IdOf(kfrmAddWebControls, "txtPassword");
  static constexpr platform::ControlId lblResult = platform::IdOf(kfrmAddWebControls, "lblResult");
  static constexpr platform::ControlId cmdLock = platform::IdOf(kfrmAddWebControls, "cmdLock");
  static constexpr platform::ControlId cmdClose = platform::IdOf(kfrmAddWebControls, "cmdClose");
};

inline constexpr platform::FormSpec kfrmAddWebSpec = {
    .caption = kAddWebTitle,
    .clientWidth = 5655,
    .clientHeight = 3375,
    .border = platform::Border::FixedDialog,
    .minButton = true,
    .controls = kfrmAddWebControls,
};

}  // namespace pm::addons
