// The text of a window or control, as UTF-8.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/Wide.h"

namespace pm::win32 {

inline std::string WindowTextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return Narrow(text);
}

}  // namespace pm::win32
