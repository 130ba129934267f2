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

inline constexpr platform::FormSpec kForm1Spec = {
    .caption = "Form1",
    .clientWidth = 1500,
    .clientHeight = 1000,
    .controls = kForm1Controls,
};

}  // namespace pm::startup
