// A form's window itself: made hidden in the program's one window class,
// its caption, icon and state, where it stands on the screen and how large
// its client area is.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/Toolkit.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32UiScale.h"
#include "platform/win32/Win32UiWindowHandle.h"

namespace pm::win32 {

inline constexpr wchar_t kWindowClass[] = L"PelmoraProWindow";

class Win32UiFrame {
 public:
  explicit Win32UiFrame(const platform::FormSpec& layout);

  // The form's window, hidden, on the monitor of `owner` (if any) so that it
  // is laid out at that monitor's DPI before it is centred there. Throws
  // when Windows cannot make it.
  static UniqueFormHwnd Create(HINSTANCE instance, const platform::FormSpec& layout, HWND owner);
  // The window this frame is of, once made; its owner destroys it.
  void Attach(HWND window) { window_ = window; }

  void SetCaption(std::string_view caption);
  std::string Caption() const;
  void Show(platform::ShowMode mode);
  void Hide();
  bool IsVisible() const;
  void SetEnabled(bool enabled);
  bool IsEnabled() const;
  void SetWindowState(platform::WindowState state);
  platform::WindowState GetWindowState() const;
  void SetTopmost(bool topmost);
  void BringToFront();
  void MakeToolWindow();
  void SetIcon(platform::BuiltIn icon, UINT dpi);

  void CenterOnScreen();
  void CenterOnOwner(HWND owner);
  void CoverMonitorOf(HWND other);
  void CoverEveryMonitor();
  // Where Windows puts the window for a new DPI.
  void MoveTo(const RECT& place);

  void SetClientSize(int widthTwips, int heightTwips, const TwipsScale& scale);
  // Sizes the window so that its client area is the form's, at `scale`.
  void FitClientArea(const TwipsScale& scale);

 private:
  // Puts the window over `screen`, in its normal state.
  void Cover(const RECT& screen);
  // Moves the window's restored position to be centred on `area`, inside
  // the work area of the monitor `area` is on.
  void CenterOn(const RECT& area);

  HWND window_ = nullptr;
  int clientWidth_;   // twips
  int clientHeight_;  // twips
  platform::WindowState pendingState_;
  bool shownOnce_ = false;
  UniqueHicon bigIcon_;
  UniqueHicon smallIcon_;
};

}  // namespace pm::win32
