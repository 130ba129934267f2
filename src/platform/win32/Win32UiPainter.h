// What a form draws itself: its background colour, the colour of each panel
// and of the labels on it, its lines, and the pictures of its images.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/Toolkit.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32UiControls.h"
#include "platform/win32/Win32UiPictures.h"

namespace pm::win32 {

// A table's 0xRRGGBB colour as GDI takes it.
inline COLORREF ToColorRef(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

class Win32UiPainter {
 public:
  // The brushes of the form and its panels, and the images' built-in
  // pictures.
  Win32UiPainter(const Win32UiControls& controls, const platform::FormSpec& layout,
                 const Win32PictureDecoder& pictures);

  // Fills the form's background in its own colour; false for a form of the
  // system's colour, which the window class fills.
  bool EraseBackground(HWND window, HDC dc) const;
  // The brush a control's background is drawn with, its colours set into
  // `dc`: the colour of the panel it lies on (or is), a label's own text
  // colour.
  HBRUSH ColorControl(HDC dc, int control) const;
  // Draws the form's lines.
  void Paint(HWND window) const;
  // Draws an image control's picture.
  void DrawImage(const DRAWITEMSTRUCT& item, int control) const;

  void SetPicture(int control, platform::PicturePtr picture);
  platform::PicturePtr Picture(int control) const;

 private:
  const Win32UiControls& controls_;
  const platform::FormSpec& layout_;
  UniqueHbrush backBrush_;                      // none: the system's colour
  std::vector<UniqueHbrush> panelBrushes_;      // by control: a panel's background
  std::vector<platform::PicturePtr> pictures_;  // by control: an image's picture
};

}  // namespace pm::win32
