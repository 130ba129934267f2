// Work on a thread of its own, its completion handed back to the UI thread
// through a message-only window, which no modal loop drops (a thread
// message would be lost in a message box's or a menu's loop).
#pragma once

#include <windows.h>

#include <functional>

#include "platform/win32/Handles.h"

namespace pm::win32 {

class Win32Background {
 public:
  Win32Background() = default;
  ~Win32Background();
  Win32Background(const Win32Background&) = delete;
  Win32Background& operator=(const Win32Background&) = delete;

  // Call on the UI thread; `done` runs there once `work` has finished. When
  // no thread can be started, both run at once on the calling thread.
  void Run(std::function<void()> work, std::function<void()> done);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static DWORD WINAPI ThreadMain(void* job);
  bool EnsureWindow();

  UniqueHwnd window_;
};

}  // namespace pm::win32
