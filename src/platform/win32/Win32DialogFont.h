// The font a form's controls are drawn in.
#pragma once

#include <windows.h>

#include <span>
#include <string>

namespace pm::win32 {

// A caption and the room it has, in pixels.
struct CaptionRoom {
  std::wstring text;
  int width = 0;
  int height = 0;
  bool bold = false;
};

// Whether `text` fits into `room` in `font`, wrapping at word breaks.
bool CaptionFits(const LOGFONTW& font, const CaptionRoom& room);

// The system's message font at `dpi`. Where a caption does not fit its room
// (the forms' tables in twips were laid out for a narrower 8-point font than
// some systems substitute), the letters are narrowed just enough that every
// caption fits; the height stays the system's.
LOGFONTW DialogFont(UINT dpi, std::span<const CaptionRoom> captions);

}  // namespace pm::win32
