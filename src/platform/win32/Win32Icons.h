// The programs' built-in icons, from their own resources.
#pragma once

#include <windows.h>

#include "platform/Ui.h"

namespace pm::win32 {

// The icon resource of a built-in picture that is an icon; 0 for the others.
int BuiltInIconResource(platform::BuiltIn icon);

// An icon of `size` x `size` pixels that the caller destroys (DestroyIcon).
// A program linked without the icon resource gets a copy of the system's
// application icon, so a window or the tray never shows an empty slot; null
// only for BuiltIn values that are no icon.
HICON LoadBuiltInIcon(platform::BuiltIn icon, int size);

}  // namespace pm::win32
