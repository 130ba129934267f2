// "Lock a File or Folder" (pmpaddon.exe), control by control (twips).
#pragma once

#include "platform/Ui.h"

namespace pm::addons {

inline constexpr std::string_view kAddFileTitle = "Lock a File or Folder";

// clang-format off
inline constexpr platform::ControlSpec kfrmAddFileControls[] = {
  //  kind                           name           caption                                                   left   top  width height props
  {platform::ControlKind::Label,   "Label1",      "Lock a program, a document or a folder. Type its full path, or choose it.",
                                                                                                              120,  120, 5415,  495},
  {platform::ControlKind::TextBox, "txtPath",     "",                                                         120,  720, 5415,  315, platform::prop::kNone, {}, platform::kDefaultColor, 32767, 0, "The program (.exe or a shortcut), the document or the folder to lock"},
  {platform::ControlKind::Button,  "cmdFile",     "Choose a &File...",                                        120, 1140, 1935,  375, platform::prop::kNone, {}, platform::kDefaultColor, 0, 0, "Choose a program, a shortcut or a document"},
  {platform::ControlKind::Button,  "cmdFolder",   "Choose a F&older...",                                     2160, 1140, 1935,  375, platform::prop::kNone, {}, platform::kDefaultColor, 0, 0, "Choose a folder"},
  {platform::ControlKind::Label,   "Label2",      "&Password:",                                               120, 1680, 1335,  255},
  {platform::ControlKind::TextBox, "txtPassword", "",                                                        1560, 1620, 2535,  315, platform::prop::kPassword, {}, platform::kDefaultColor, 0, 0, "The password that opens the configuration tool"},
  {platform::ControlKind::Label,   "lblResult",   "",                                                         120, 2100, 5415,  855},
  {platform::ControlKind::Button,  "cmdLock",     "&Lock",                                                   3240, 3060, 1095,  375, platform::prop::kDefault},
  {platform::ControlKind::Button,  "cmdClose",    "Close",                                                   4440, 3060, 1095,  375, platform::prop::kCancel},
};
// clang-format on

// Each control of the table by its own name, checked against the table when
// compiled: a name the table lacks does not build.
struct frmAddFileIds {
  static constexpr platform::ControlId Label1 = platform::IdOf(kfrmAddFileControls, "Label1");
  static constexpr platform::ControlId txtPath = platform::IdOf(kfrmAddFileControls, "txtPath");
  static constexpr platform::ControlId cmdFile = platform::IdOf(kfrmAddFileControls, "cmdFile");
  static constexpr platform::ControlId cmdFolder = platform::IdOf(kfrmAddFileControls, "cmdFolder");
  static constexpr platform::ControlId Label2 = platform::IdOf(kfrmAddFileControls, "Label2");
  static constexpr platform::ControlId txtPassword =
      platform::IdOf(kfrmAddFileControls, "txtPassword");
  static constexpr platform::ControlId lblResult = platform::IdOf(kfrmAddFileControls, "lblResult");
  static constexpr platform::ControlId cmdLock = platform::IdOf(kfrmAddFileControls, "cmdLock");
  static constexpr platform::ControlId cmdClose = platform::IdOf(kfrmAddFileControls, "cmdClose");
};

inline constexpr platform::FormSpec kfrmAddFileSpec = {
    .caption = kAddFileTitle,
    .clientWidth = 5655,
    .clientHeight = 3555,
    .border = platform::Border::FixedDialog,
    .minButton = true,
    .controls = kfrmAddFileControls,
};

}  // namespace pm::addons
