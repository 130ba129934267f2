// Drops the messages that carry a pointer in their parameters when they
// come through the thread's queue. Windows and our own controls send them
// (WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_DPICHANGED ...); only another
// program posts one, with an address that means nothing here, and reading
// it would crash the program. The filter is a hook on the UI thread's own
// queue, so it also sees what a message box's or a menu's loop takes out.
#pragma once

#include <windows.h>

#include "platform/win32/Handles.h"

namespace pm::win32 {

class Win32PostedMessageFilter {
 public:
  // Hooks the calling thread's queue.
  Win32PostedMessageFilter();

  // Whether a message of this number, taken from a queue, is one only a
  // sender could mean.
  static bool OnlyEverSent(UINT message);

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  UniqueHhook hook_;
};

}  // namespace pm::win32
