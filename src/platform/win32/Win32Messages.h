// Private window messages of our windows.
#pragma once

#include <windows.h>

namespace pm::win32 {

// The tray icon's callback to its owner window; lParam is the mouse message.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;

// Broadcast to every top-level window when Explorer starts again.
inline UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace pm::win32
