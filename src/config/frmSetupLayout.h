// The configuration tool's window.
#pragma once

#include "platform/Ui.h"

namespace pm::config {

// The title that makes the tool a locked window.
inline constexpr std::string_view kSetupTitle = "Configuration Tool";

inline constexpr platform::FormSpec kfrmSetupSpec = {
    .caption = kSetupTitle,
    .clientWidth = 6975,
    .clientHeight = 5505,
    .border = platform::Border::FixedSingle,
    .minButton = true,
    .initialState = platform::WindowState::Minimized,
};

}  // namespace pm::config
