// Push buttons that show a built-in icon with their caption.
#pragma once

#include <windows.h>

#include "platform/Ui.h"
#include "platform/win32/Handles.h"

namespace pm::win32 {

// The room the picture of a button `heightTwips` high takes from its
// caption at `dpi`: across for a small icon, down for a large one.
SIZE ButtonPictureRoom(int heightTwips, UINT dpi);

// Puts `icon` on `button`, drawn for `dpi`: a button tall enough for an icon
// above three lines of caption gets a large icon above the caption, any other a
// small one to the left of it. The button draws from the returned list, which
// must outlive it (or be replaced by the next call, after a DPI change).
UniqueImageList SetButtonPicture(HWND button, platform::BuiltIn icon, int heightTwips, UINT dpi);

}  // namespace pm::win32
