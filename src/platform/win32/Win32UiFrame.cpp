#include "platform/win32/Win32UiFrame.h"

#include <stdexcept>
#include <utility>

#include "platform/Placement.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Icons.h"
#include "platform/win32/Win32UiWindowText.h"

namespace pm::win32 {

namespace {

DWORD FrameStyle(const platform::FormSpec& layout) {
  DWORD style = WS_CLIPCHILDREN;
  switch (layout.border) {
    case platform::Border::None:
      return style | WS_POPUP;
    case platform::Border::Sizable:
      style |= WS_OVERLAPPEDWINDOW;
      break;
    case platform::Border::FixedSingle:
    case platform::Border::FixedDialog:
      style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
      break;
  }
  if (!layout.controlBox) style &= ~WS_SYSMENU;
  if (layout.minButton) style |= WS_MINIMIZEBOX;
  return style;
}

DWORD FrameExStyle(const platform::FormSpec& layout) {
  return layout.border == platform::Border::FixedDialog ? WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT
                                                        : WS_EX_CONTROLPARENT;
}

int ShowCommand(platform::WindowState state, bool activate) {
  switch (state) {
    case platform::WindowState::Minimized:
      return activate ? SW_SHOWMINIMIZED : SW_SHOWMINNOACTIVE;
    case platform::WindowState::Maximized:
      return SW_SHOWMAXIMIZED;
    default:
      return activate ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE;
  }
}

MONITORINFO InfoOf(HMONITOR monitorHandle) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(monitorHandle, &monitor);
  return monitor;
}

platform::Rect ToRect(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace

Win32UiFrame::Win32UiFrame(const platform::FormSpec& layout)
    : clientWidth_(layout.clientWidth),
      clientHeight_(layout.clientHeight),
      pendingState_(layout.initialState) {}

UniqueFormHwnd Win32UiFrame::Create(HINSTANCE instance, const platform::FormSpec& layout,
                                    HWND owner) {
  POINT start{CW_USEDEFAULT, CW_USEDEFAULT};
  RECT ownerRect{};
  if (owner != nullptr && GetWindowRect(owner, &ownerRect)) start = {ownerRect.left, ownerRect.top};
  UniqueFormHwnd window(CreateWindowExW(FrameExStyle(layout), kWindowClass,
                                        Wide(layout.caption).c_str(), FrameStyle(layout), start.x,
                                        start.y, 100, 100, owner, nullptr, instance, nullptr));
  if (!window) throw std::runtime_error("the window could not be created");
  return window;
}

void Win32UiFrame::SetCaption(std::string_view caption) {
  SetWindowTextW(window_, Wide(caption).c_str());
}

std::string Win32UiFrame::Caption() const {
  return WindowTextOf(window_);
}

void Win32UiFrame::Show(platform::ShowMode mode) {
  const bool activate = mode == platform::ShowMode::Normal;
  if (!shownOnce_ || !IsWindowVisible(window_)) {
    ShowWindow(window_, ShowCommand(shownOnce_ ? GetWindowState() : pendingState_, activate));
    shownOnce_ = true;
  }
  if (activate) SetForegroundWindow(window_);
}

void Win32UiFrame::Hide() {
  ShowWindow(window_, SW_HIDE);
}

bool Win32UiFrame::IsVisible() const {
  return IsWindowVisible(window_) != FALSE;
}

void Win32UiFrame::SetEnabled(bool enabled) {
  EnableWindow(window_, enabled ? TRUE : FALSE);
}

bool Win32UiFrame::IsEnabled() const {
  return IsWindowEnabled(window_) != FALSE;
}

void Win32UiFrame::SetWindowState(platform::WindowState state) {
  if (!IsWindowVisible(window_)) {
    pendingState_ = state;
    return;
  }
  ShowWindow(window_, state == platform::WindowState::Minimized   ? SW_MINIMIZE
                      : state == platform::WindowState::Maximized ? SW_MAXIMIZE
                                                                  : SW_RESTORE);
}

platform::WindowState Win32UiFrame::GetWindowState() const {
  if (!IsWindowVisible(window_) && !shownOnce_) return pendingState_;
  if (IsIconic(window_)) return platform::WindowState::Minimized;
  if (IsZoomed(window_)) return platform::WindowState::Maximized;
  return platform::WindowState::Normal;
}

void Win32UiFrame::CenterOnScreen() {
  CenterOn(InfoOf(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY)).rcWork);
}

void Win32UiFrame::CenterOnOwner(HWND owner) {
  RECT area{};
  // A minimised or hidden owner has no place on the screen to centre on.
  if (!IsWindowVisible(owner) || IsIconic(owner) || !GetWindowRect(owner, &area)) {
    area = InfoOf(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)).rcWork;
  }
  CenterOn(area);
}

void Win32UiFrame::CenterOn(const RECT& area) {
  const MONITORINFO monitor = InfoOf(MonitorFromRect(&area, MONITOR_DEFAULTTOPRIMARY));
  const RECT& work = monitor.rcWork;
  // The restored position, so a window first shown minimised comes back here.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  GetWindowPlacement(window_, &placement);
  const RECT& normal = placement.rcNormalPosition;
  const platform::Rect place = platform::CentredPlace(
      ToRect(area), ToRect(work), normal.right - normal.left, normal.bottom - normal.top);
  const int left = place.left;
  const int top = place.top;
  if (IsWindowVisible(window_)) {
    // A placement is in workspace coordinates, which start at the work
    // area: with the taskbar at the top or the left they are not the
    // screen's.
    const int x = left - (work.left - monitor.rcMonitor.left);
    const int y = top - (work.top - monitor.rcMonitor.top);
    placement.rcNormalPosition = {x, y, x + place.width, y + place.height};
    SetWindowPlacement(window_, &placement);
  } else {
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Win32UiFrame::CoverMonitorOf(HWND other) {
  Cover(InfoOf(MonitorFromWindow(other, MONITOR_DEFAULTTOPRIMARY)).rcMonitor);
}

void Win32UiFrame::CoverEveryMonitor() {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  Cover({left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
         top + GetSystemMetrics(SM_CYVIRTUALSCREEN)});
}

void Win32UiFrame::Cover(const RECT& r) {
  pendingState_ = platform::WindowState::Normal;
  SetWindowPos(window_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32UiFrame::SetTopmost(bool topmost) {
  SetWindowPos(window_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void Win32UiFrame::BringToFront() {
  if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
  SetForegroundWindow(window_);
}

void Win32UiFrame::SetIcon(platform::BuiltIn icon, UINT dpi) {
  // The old icons go only after the window has taken the new ones.
  const UniqueHicon oldBig = std::exchange(
      bigIcon_, UniqueHicon(LoadBuiltInIcon(icon, GetSystemMetricsForDpi(SM_CXICON, dpi))));
  const UniqueHicon oldSmall = std::exchange(
      smallIcon_, UniqueHicon(LoadBuiltInIcon(icon, GetSystemMetricsForDpi(SM_CXSMICON, dpi))));
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void Win32UiFrame::SetClientSize(int widthTwips, int heightTwips, const TwipsScale& scale) {
  clientWidth_ = widthTwips;
  clientHeight_ = heightTwips;
  FitClientArea(scale);
}

void Win32UiFrame::FitClientArea(const TwipsScale& scale) {
  RECT frame{0, 0, scale.Across(clientWidth_), scale.Down(clientHeight_)};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)),
                           GetMenu(window_) != nullptr ? TRUE : FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)),
                           scale.dpi());
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32UiFrame::MoveTo(const RECT& place) {
  SetWindowPos(window_, nullptr, place.left, place.top, place.right - place.left,
               place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32UiFrame::MakeToolWindow() {
  SetWindowLongPtrW(window_, GWL_EXSTYLE,
                    GetWindowLongPtrW(window_, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
}

}  // namespace pm::win32
