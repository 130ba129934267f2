// The key under which a window is unlocked by password: its class name (for
// a standard dialog, its first 40 title characters) together with the full
// path of the program that owns it, so that one unlock opens one program
// and not every program that shares a window class.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Desktop.h"
#include "store/ProgramState.h"

namespace pm::engine {

// The name part of the key of `window`, whose first 40 title characters are
// `title40`: its class, or for a standard dialog those characters.
std::string KeyName(platform::Desktop& desktop, platform::Hwnd window, std::string_view title40);

// Whether a window with this key still exists: a top-level one, shown or
// hidden, or one of `hostedWindows` (asked only when no top-level one has
// the key), of the key's program, whose class equals the key's name
// (without case, as the window manager compares classes) or whose title is
// exactly the name (a dialog's key).
bool KeyStillInUse(platform::Desktop& desktop, const store::UnlockKey& key,
                   const std::function<const std::vector<platform::Hwnd>&()>& hostedWindows);

}  // namespace pm::engine
