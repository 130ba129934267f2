// The font every form's controls are drawn in.
#pragma once

#include <windows.h>

namespace pm::win32 {

// The letters of A-Z and a-z side by side, in pixels at 96 DPI, in the
// 8-point dialog font the forms' tables in twips were laid out for.
inline constexpr int kDesignAlphabetWidthAt96Dpi = 310;

// The system's message font at `dpi`, narrowed where its letters are wider
// than the forms were laid out for (a substitute font with broad letters),
// so captions neither wrap nor clip. Its height stays the system's.
LOGFONTW DialogFont(UINT dpi);

// The width of A-Z and a-z in `font`, in pixels.
int AlphabetWidth(const LOGFONTW& font);

}  // namespace pm::win32
