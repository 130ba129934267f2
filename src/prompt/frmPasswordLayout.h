// The password prompt's window, control by control (twips), in tab order.
#pragma once

#include "platform/Ui.h"

namespace pm::prompt {

using platform::BuiltIn;
using platform::ControlKind;
using platform::ControlSpec;
namespace prop = platform::prop;

inline constexpr std::string_view kPromptTitle = "Pelmora Pro 2003";

// Label1 while the typed password is being checked.
inline constexpr std::string_view kCheckingPassword = "Checking the password...";

// What Label1 says while a prompt makes the user wait after too many wrong
// passwords: the head, the time left, the tail.
inline constexpr std::string_view kRetryWaitHead = "Too many wrong passwords. Try again in ";
inline constexpr std::string_view kRetryWaitTail = ".";
inline constexpr std::string_view kOneSecond = "1 second";
inline constexpr std::string_view kSeconds = " seconds";
inline constexpr std::string_view kOneMinute = "1 minute";
inline constexpr std::string_view kMinutes = " minutes";

// clang-format off
inline constexpr ControlSpec kfrmPasswordControls[] = {
  //  kind                     name                 caption               left  top   width height props
  {ControlKind::TextBox,  "txtPassword",       "",                    240, 2400, 2535,  285, prop::kPassword, {}, platform::kDefaultColor, 16},
  {ControlKind::Button,   "cmdOK",             "OK",                 2880, 2400,  855,  360, prop::kDefault},
  {ControlKind::Button,   "Command1",          "X",                  3840, 2400,  375,  375, prop::kNone},
  {ControlKind::Timer,    "passwordtimedelay", "",                      0,    0,    0,    0},
  {ControlKind::Button,   "cmdShutDown",       "Shut Down",          1080, 5280, 1215,  375, prop::kDisabled},
  {ControlKind::Timer,    "TimerForce",        "",                      0,    0,    0,    0, prop::kNone, {}, platform::kDefaultColor, 0, 1000},
  {ControlKind::Label,    "Label2",            "Option Restricted!",  120, 3600, 4215,  255, prop::kBold | prop::kCentered},
  {ControlKind::Image,    "Image1",            "",                    120, 4080, 1335, 1095, prop::kNone, {}, platform::kDefaultColor, 0, 0, {}, BuiltIn::BadPasswordPicture},
  {ControlKind::Image,    "Image3",            "",                   1560, 4080, 1335, 1080, prop::kNone, {}, platform::kDefaultColor, 0, 0, {}, BuiltIn::PromptPicture},
  {ControlKind::Line,     "Line2",             "",                     15, 1815, 4425,    0, prop::kNone, {}, 0xFFFFFF},
  {ControlKind::Line,     "Line1",             "",                     15, 1800, 4425,    0, prop::kNone, {}, 0x808080},
  {ControlKind::Image,    "Image2",            "",                      0,    0, 4335, 1800, prop::kNone, {}, platform::kDefaultColor, 0, 0, {}, BuiltIn::PromptPicture},
  {ControlKind::Label,    "Label1",            "Password",            240, 1920, 3855,  495, prop::kBold},
  {ControlKind::Timer,    "tmrRetryWait",      "",                      0,    0,    0,    0, prop::kNone, {}, platform::kDefaultColor, 0, 1000},
};
// clang-format on

// Each control of the table by its own name, checked against the table when
// compiled: a name the table lacks does not build.
struct frmPasswordIds {
  static constexpr platform::ControlId txtPassword =
      platform::IdOf(kfrmPasswordControls, "txtPassword");
  static constexpr platform::ControlId cmdOK = platform::IdOf(kfrmPasswordControls, "cmdOK");
  static constexpr platform::ControlId Command1 = platform::IdOf(kfrmPasswordControls, "Command1");
  static constexpr platform::ControlId passwordtimedelay =
      platform::IdOf(kfrmPasswordControls, "passwordtimedelay");
  static constexpr platform::ControlId cmdShutDown =
      platform::IdOf(kfrmPasswordControls, "cmdShutDown");
  static constexpr platform::ControlId TimerForce =
      platform::IdOf(kfrmPasswordControls, "TimerForce");
  static constexpr platform::ControlId Label2 = platform::IdOf(kfrmPasswordControls, "Label2");
  static constexpr platform::ControlId Image1 = platform::IdOf(kfrmPasswordControls, "Image1");
  static constexpr platform::ControlId Image3 = platform::IdOf(kfrmPasswordControls, "Image3");
  static constexpr platform::ControlId Line2 = platform::IdOf(kfrmPasswordControls, "Line2");
  static constexpr platform::ControlId Line1 = platform::IdOf(kfrmPasswordControls, "Line1");
  static constexpr platform::ControlId Image2 = platform::IdOf(kfrmPasswordControls, "Image2");
  static constexpr platform::ControlId Label1 = platform::IdOf(kfrmPasswordControls, "Label1");
  static constexpr platform::ControlId tmrRetryWait =
      platform::IdOf(kfrmPasswordControls, "tmrRetryWait");
};

inline constexpr platform::FormSpec kfrmPasswordSpec = {
    .caption = kPromptTitle,
    .clientWidth = 4335,
    .clientHeight = 2850,
    .border = platform::Border::FixedDialog,
    .controlBox = false,
    .controls = kfrmPasswordControls,
};

}  // namespace pm::prompt
