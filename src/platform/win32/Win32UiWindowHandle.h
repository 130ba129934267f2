// The owner of a form's window. Its close first cuts the window off from the
// object behind it (GWLP_USERDATA), so that no message Windows sends while it
// destroys the window (WM_DESTROY, a list's last notices, a lost focus)
// reaches an object that is going or was never finished, and then destroys
// the window with its controls.
#pragma once

#include <windows.h>

#include "platform/win32/Handles.h"

namespace pm::win32 {

inline void DetachAndDestroyWindow(HWND window) noexcept {
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
}

using UniqueFormHwnd = UniqueHandle<HWND, DetachAndDestroyWindow>;

}  // namespace pm::win32
