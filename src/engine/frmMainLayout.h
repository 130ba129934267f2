// The engine's hidden main window: its timers and its two tray menus.
#pragma once

#include "platform/Ui.h"

namespace pm::engine {

using platform::ControlKind;
using platform::ControlSpec;
using platform::MenuSpec;

// The title by which a running copy is recognised, and the one a second
// start shows to ask the running copy for its configuration tool.
inline constexpr std::string_view kRunningTitle = "Pelmora Pro 2003";
inline constexpr std::string_view kSetupRequestTitle = "Pelmora Pro Setup Tool";
// Set just before the close-and-restart, so the new copy does not take the
// closing one for a running copy.
inline constexpr std::string_view kClosingTitle = "ooh! ";

// Menu command ids.
inline constexpr int kmnuPMISetup = 101;
inline constexpr int kmnuAbout = 102;
inline constexpr int kmnuClose = 103;
inline constexpr int kmnuabout2 = 104;
inline constexpr int kmnuCloseMenu2 = 105;

// clang-format off
inline constexpr ControlSpec kfrmMainControls[] = {
  {ControlKind::Timer, "timPelmora",   "", 0, 0, 0, 0, platform::prop::kEnabledTimer, {}, platform::kDefaultColor, 0, 500},
  {ControlKind::Timer, "Timer1",       "", 0, 0, 0, 0, platform::prop::kEnabledTimer, {}, platform::kDefaultColor, 0, 500},
  {ControlKind::Timer, "timrelock",    "", 0, 0, 0, 0, platform::prop::kNone,         {}, platform::kDefaultColor, 0, 60000},
  {ControlKind::Timer, "tmrTimeDelay", "", 0, 0, 0, 0, platform::prop::kNone,         {}, platform::kDefaultColor, 0, 0},
};
// Each control of the table by its own name, checked against the table when
// compiled: a name the table lacks does not build.
struct frmMainIds {
  static constexpr platform::ControlId timPelmora = platform::IdOf(kfrmMainControls, "timPelmora");
  static constexpr platform::ControlId Timer1 = platform::IdOf(kfrmMainControls, "Timer1");
  static constexpr platform::ControlId timrelock = platform::IdOf(kfrmMainControls, "timrelock");
  static constexpr platform::ControlId tmrTimeDelay = platform::IdOf(kfrmMainControls, "tmrTimeDelay");
};

inline constexpr MenuSpec kfrmMainPopups[] = {
  {"mnufile",       "&File",        0,              {}},
  {"mnuPMISetup",   "Configure...", kmnuPMISetup,   "mnufile", true},
  {"mnuAbout",      "About",        kmnuAbout,      "mnufile"},
  {"mnuClose",      "Cancel",       kmnuClose,      "mnufile"},
  {"mnufile2",      "File2",        0,              {}},
  {"mnuabout2",     "About",        kmnuabout2,     "mnufile2"},
  {"mnuCloseMenu2", "Cancel",       kmnuCloseMenu2, "mnufile2"},
};
// clang-format on

inline constexpr platform::FormSpec kfrmMainSpec = {
    .caption = "frmMain",
    .clientWidth = 1500,
    .clientHeight = 1000,
    .border = platform::Border::FixedSingle,
    .controls = kfrmMainControls,
    .popups = kfrmMainPopups,
};

}  // namespace pm::engine
