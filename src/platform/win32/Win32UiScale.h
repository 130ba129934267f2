// How a form's twips become pixels. The tables were laid out for the classic
// 8-point dialog font, whose dialog base units are 6 pixels across and 13
// down at 96 DPI, where a pixel is 15 twips. As the dialog manager scales a
// dialog's units by the base units of its font (MapDialogRect), a twip is
// scaled here by those of the font the controls are drawn in: broader
// letters get wider controls, taller letters taller ones, and a caption
// keeps the room it was given in the classic font.
#pragma once

#include <windows.h>

namespace pm::win32 {

class TwipsScale {
 public:
  // The classic font at 96 DPI: 15 twips a pixel.
  TwipsScale() = default;
  TwipsScale(UINT dpi, SIZE baseUnits) : dpi_(dpi), baseUnits_(baseUnits) {}
  // The classic font's own at `dpi`, for when a font cannot be measured.
  static TwipsScale ClassicAt(UINT dpi);

  UINT dpi() const { return dpi_; }
  SIZE baseUnits() const { return baseUnits_; }
  int Across(int twips) const;
  int Down(int twips) const;
  // For what the system draws at the DPI whatever the font: a button's
  // edges, the box of a check box.
  int AtDpi(int twips) const;

 private:
  UINT dpi_ = 96;
  SIZE baseUnits_ = kClassicBaseUnits;

  static constexpr SIZE kClassicBaseUnits{6, 13};
};

}  // namespace pm::win32
