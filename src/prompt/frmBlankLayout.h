// The black screen behind the password prompt.
#pragma once

#include "platform/Ui.h"

namespace pm::prompt {

inline constexpr platform::FormSpec kfrmBlankSpec = {
    // Its title holds "Pelmora Pro" so the watch loop never takes it for a
    // locked window, whatever the locked texts are.
    .caption = "Pelmora Pro", .clientWidth = 4800,
    .clientHeight = 3600,     .border = platform::Border::None,
    .controlBox = false,      .initialState = platform::WindowState::Maximized,
    .backColor = 0x000000,
};

}  // namespace pm::prompt
