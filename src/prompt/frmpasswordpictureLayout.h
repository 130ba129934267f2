// The picture chooser, control by control (twips). Dir1 and Drive1 lie below
// the first client area until "Browse for more pictures >>" grows the window.
#pragma once

#include "platform/Ui.h"

namespace pm::prompt {

inline constexpr std::string_view kPictureForPasswordBox = "Picture for Password Box";
inline constexpr std::string_view kPictureForBadPassword = "Picture for Bad Password";
inline constexpr std::string_view kPictureNotSaved =
    "The picture could not be saved, and the picture stored before is kept.";
// The picture kinds File1 lists, in the pattern's order.
inline constexpr std::string_view kPicturePattern = "*.jpg;*.gif;*.bmp";

inline constexpr int kPictureFormWidth = 5445;
// The window grows to 5085 twips overall; less a dialog's title bar and
// borders (about 495 twips at 96 dpi) that is this much client area, which
// takes in Drive1's bottom edge at 4395.
inline constexpr int kPictureFormExpandedClientHeight = 4590;

// clang-format off
inline constexpr platform::ControlSpec kfrmpasswordpictureControls[] = {
  //  kind                              name         caption                                                              left  top   width height props
  {platform::ControlKind::FileList,    "File1",     "",                                                                 2160,  720, 1815, 1395},
  {platform::ControlKind::DriveList,   "Drive1",    "",                                                                  240, 4080, 3735,  315},
  {platform::ControlKind::Button,      "cmdCancel", "Cancel",                                                           4200,  570, 1095,  375, platform::prop::kCancel},
  {platform::ControlKind::Button,      "cmdOK",     "OK",                                                               4200,  120, 1095,  375, platform::prop::kDefault},
  {platform::ControlKind::FolderList,  "Dir1",      "",                                                                  240, 2880, 3735, 1215},
  {platform::ControlKind::Label,       "Label3",    "Browse for more pictures >>",                                       240, 2520, 2055,  255},
  {platform::ControlKind::Label,       "Label2",    "secure6.jpg",                                                       240, 2160, 3765,  615},
  {platform::ControlKind::Label,       "Label1",    "This picture is displayed on the background of the password box.",  240,  120, 3735,  495},
  {platform::ControlKind::Image,       "Image1",    "",                                                                  240,  720, 1815, 1395, platform::prop::kNone, {}, platform::kDefaultColor, 0, 0, {}, platform::BuiltIn::PreviewPicture},
};
// clang-format on

// Each control of the table by its own name, checked against the table when
// compiled: a name the table lacks does not build.
struct frmpasswordpictureIds {
  static constexpr platform::ControlId File1 = platform::IdOf(kfrmpasswordpictureControls, "File1");
  static constexpr platform::ControlId Drive1 =
      platform::IdOf(kfrmpasswordpictureControls, "Drive1");
  static constexpr platform::ControlId cmdCancel =
      platform::IdOf(kfrmpasswordpictureControls, "cmdCancel");
  static constexpr platform::ControlId cmdOK = platform::IdOf(kfrmpasswordpictureControls, "cmdOK");
  static constexpr platform::ControlId Dir1 = platform::IdOf(kfrmpasswordpictureControls, "Dir1");
  static constexpr platform::ControlId Label3 =
      platform::IdOf(kfrmpasswordpictureControls, "Label3");
  static constexpr platform::ControlId Label2 =
      platform::IdOf(kfrmpasswordpictureControls, "Label2");
  static constexpr platform::ControlId Label1 =
      platform::IdOf(kfrmpasswordpictureControls, "Label1");
  static constexpr platform::ControlId Image1 =
      platform::IdOf(kfrmpasswordpictureControls, "Image1");
};

inline constexpr platform::FormSpec kfrmpasswordpictureSpec = {
    .caption = "Password Box Picture",
    .clientWidth = kPictureFormWidth,
    .clientHeight = 2835,
    .border = platform::Border::FixedDialog,
    .controls = kfrmpasswordpictureControls,
};

}  // namespace pm::prompt
