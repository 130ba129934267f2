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
  Win32Picture(HICON icon, int size) : icon_(icon), width_(size), height_(size) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void Draw(HDC dc, const RECT& into) const;

 private:
  UniqueGdiObject bitmap_;
  UniqueHicon icon_;
  int width_;
  int height_;
};

// Null for a missing, unreadable, fake or oversized picture file.
platform::PicturePtr LoadPictureFile(std::string_view path);
platform::PicturePtr LoadBuiltInPicture(platform::BuiltIn picture);

}  // namespace pm::win32
