// Pictures decoded with WIC into 32-bit DIBs, and the built-in ones from the
// program's resources; drawn stretched into an image control.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/Toolkit.h"
#include "platform/win32/Handles.h"

namespace pm::win32 {

class Win32Picture final : public platform::Picture {
 public:
  Win32Picture(HBITMAP bitmap, int width, int height)
      : bitmap_(bitmap), width_(width), height_(height) {}
  // A built-in icon, loaded at `size`; drawn at another size, it is loaded
  // again at that size from its multi-size resource rather than stretched.
  Win32Picture(platform::BuiltIn builtInIcon, HICON icon, int size)
      : builtInIcon_(builtInIcon), icon_(icon), width_(size), height_(size) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void Draw(HDC dc, const RECT& into) const;

 private:
  // The icon to draw into a square of `side` pixels: the one loaded for that
  // side, kept from the last paint so that a repaint loads nothing.
  HICON IconForSide(int side) const;

  platform::BuiltIn builtInIcon_ = platform::BuiltIn::None;
  UniqueHbitmap bitmap_;
  UniqueHicon icon_;
  mutable UniqueHicon sizedIcon_;
  mutable int sizedSide_ = 0;
  int width_;
  int height_;
};

// Null for a missing, unreadable, fake or oversized picture file.
platform::PicturePtr LoadPictureFile(std::string_view path);
platform::PicturePtr LoadBuiltInPicture(platform::BuiltIn picture);

}  // namespace pm::win32
