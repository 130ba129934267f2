// The start-up locker's own window: never shown, it owns the backstop timer
// that looks for the Task Manager between the window system's notifications.
#pragma once

#include "platform/Ui.h"

namespace pm::startup {

// clang-format off
inline constexpr platform::ControlSpec kForm1Controls[] = {
  {platform::ControlKind::Timer, "timTaskManager", "", 0, 0, 0, 0, platform::prop::kEnabledTimer, {}, platform::kDefaultColor, 0, 250},
};
// clang-format on

// Each control of the table by its own name, checked against the table when
// compiled: a name the table lacks does not build.
struct Form1Ids {
  static constexpr platform::ControlId timTaskManager =
      platform::IdOf(kForm1Controls, "timTaskManager");
};

inline constexpr platform::FormSpec kForm1Spec = {
    .caption = "Form1",
    .clientWidth = 1500,
    .clientHeight = 1000,
    .controls = kForm1Controls,
};

}  // namespace pm::startup
