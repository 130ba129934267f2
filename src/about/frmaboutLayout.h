// The about window.
#pragma once

#include "platform/Ui.h"

namespace pm::about {

using platform::ControlKind;
using platform::ControlSpec;

inline constexpr std::string_view kAboutTitle = "About Pelmora Pro 2003";
inline constexpr std::string_view kWebAddress = "https://www.example.com/";
inline constexpr std::string_view kDownloadPage = "https://www.example.com/download.htm";
inline constexpr std::string_view kMailAddress = "support@example.com";

// clang-format off
inline constexpr ControlSpec kfrmaboutControls[] = {
  {ControlKind::Image, "Image1", "", 120,  240,  495,  495, platform::prop::kNone, {}, platform::kDefaultColor, 0, 0, {}, platform::BuiltIn::LockedIcon},
  {ControlKind::Label, "Label1", "", 960,  120, 3495, 2175},
  {ControlKind::Label, "Label2", kWebAddress,  840, 2280, 3375, 255, platform::prop::kNone, {}, 0x0000FF},
  {ControlKind::Label, "Label3", kMailAddress, 840, 2520, 2655, 255, platform::prop::kNone, {}, 0x0000FF},
};
// clang-format on

// Each control of the table by its own name, checked against the table when
// compiled: a name the table lacks does not build.
struct frmaboutIds {
  static constexpr platform::ControlId Image1 = platform::IdOf(kfrmaboutControls, "Image1");
  static constexpr platform::ControlId Label1 = platform::IdOf(kfrmaboutControls, "Label1");
  static constexpr platform::ControlId Label2 = platform::IdOf(kfrmaboutControls, "Label2");
  static constexpr platform::ControlId Label3 = platform::IdOf(kfrmaboutControls, "Label3");
};

inline constexpr platform::FormSpec kfrmaboutSpec = {
    .caption = kAboutTitle,
    .clientWidth = 4710,
    .clientHeight = 3015,
    .border = platform::Border::FixedDialog,
    .controls = kfrmaboutControls,
};

}  // namespace pm::about
