// Private window messages of our windows.
#pragma once

#include <windows.h>

namespace pm::win32 {

// The tray icon's callback to its owner window; lParam is the mouse message.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

}  // namespace pm::win32
