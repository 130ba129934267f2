// Scoped pairs of GDI calls: a paint, a window's device context, and an
// object selected into a device context. Each undoes its call when it goes,
// so no path out of a drawing function leaves a DC or a selection behind.
#pragma once

#include <windows.h>

namespace pm::win32 {

// BeginPaint now, EndPaint at the end of the scope.
class PaintGuard {
 public:
  explicit PaintGuard(HWND window) noexcept : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintGuard(const PaintGuard&) = delete;
  PaintGuard& operator=(const PaintGuard&) = delete;
  ~PaintGuard() { EndPaint(window_, &paint_); }
  HDC dc() const noexcept { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// GetDC now (null: the screen's), ReleaseDC at the end of the scope.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects `object` into `dc` and puts the one it replaced back at the end of
// the scope; declare it after the object's owner, so it goes first.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) noexcept
      : dc_(dc), old_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;
  ~SelectGuard() {
    if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace pm::win32
