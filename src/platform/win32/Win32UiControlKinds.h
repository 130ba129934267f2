// What each kind of control of a form's table is on Windows: its window
// class and styles, what it is given once made, and which of its notices
// is which of the form's events.
#pragma once

#include <windows.h>

#include <optional>
#include <span>

#include "platform/Toolkit.h"

namespace pm::win32 {

struct ControlWindowClass {
  const wchar_t* name = nullptr;  // null: the kind has no window (timers, lines)
  DWORD style = 0;
  DWORD exStyle = 0;
};

// The class and styles of the control at `index` of `controls`.
ControlWindowClass WindowClassOf(std::span<const platform::ControlSpec> controls, int index);

// Settings a control's window takes once it is made: a text box's length
// and password character, a checked list's column and check boxes.
void PrepareControlWindow(HWND window, const platform::ControlSpec& control);

// Sizes what lies inside a control to its new width: a checked list's one
// column spans the list but for its scroll bar.
void FitControlContent(HWND window, const platform::ControlSpec& control, int width);

// The event a control of `kind` reports with the WM_COMMAND notice `code`;
// none for the notices the form does not hear.
std::optional<platform::Event> EventOfNotice(platform::ControlKind kind, int code);

// A list with check boxes is a list view; any other list a list box.
bool IsListView(const platform::ControlSpec& control);

// Option buttons are grouped by their panel: a new group starts where the
// table goes on with another panel's, or with a control of another kind.
bool StartsGroup(std::span<const platform::ControlSpec> controls, int index);

}  // namespace pm::win32
