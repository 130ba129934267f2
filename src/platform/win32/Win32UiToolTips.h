// The tips a form's controls show while the mouse rests on them: one
// tool-tip window a form, owned by the form's window, which destroys it.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/win32/Win32UiControls.h"

namespace pm::win32 {

class Win32UiToolTips {
 public:
  // Makes the tip window of `window` with the tips of the table.
  void Build(HWND window, HINSTANCE instance, const Win32UiControls& controls);
  // Replaces the tip of `control`; an empty text takes it away.
  void Set(HWND control, std::string_view text);

 private:
  void Add(HWND control, std::string_view text);

  HWND window_ = nullptr;
  HWND toolTip_ = nullptr;
};

}  // namespace pm::win32
