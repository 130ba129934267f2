// Whether a program's tray icon is in the notification area. Windows says
// where an icon sits (Shell_NotifyIconGetRect); Wine 8 answers E_NOTIMPL, and
// without a desktop window of its own it shows every icon as a child window
// of class "__winex11_tray_icon" in one window of class
// "__winex11_standalone_tray", owned by Wine's explorer, not by the icon's
// program: there the icons are counted instead.
#pragma once

#include <windows.h>

namespace pm::e2e {

// The icons Wine's own tray window shows now (0 where there is none).
int WineTrayIcons();

// Whether `owner`'s icon with id 1 is shown: by Windows' own answer, or, where
// the system cannot answer, by Wine's tray holding more icons than
// `wineIconsBefore`.
bool TrayIconShown(HWND owner, int wineIconsBefore);

}  // namespace pm::e2e
