#include "platform/win32/Win32UiScale.h"

namespace pm::win32 {

namespace {
constexpr int kTwipsPerPixelAt96Dpi = 15;
constexpr int kTwipsPerInch = 1440;
}  // namespace

TwipsScale TwipsScale::ClassicAt(UINT dpi) {
  const int scaled = static_cast<int>(dpi);
  return TwipsScale(
      dpi, {MulDiv(kClassicBaseUnits.cx, scaled, 96), MulDiv(kClassicBaseUnits.cy, scaled, 96)});
}

int TwipsScale::Across(int twips) const {
  return MulDiv(twips, baseUnits_.cx, kTwipsPerPixelAt96Dpi * kClassicBaseUnits.cx);
}

int TwipsScale::Down(int twips) const {
  return MulDiv(twips, baseUnits_.cy, kTwipsPerPixelAt96Dpi * kClassicBaseUnits.cy);
}

int TwipsScale::AtDpi(int twips) const {
  return MulDiv(twips, static_cast<int>(dpi_), kTwipsPerInch);
}

}  // namespace pm::win32
