// The font a form's controls are drawn in, and what it measures.
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
  // Centred in the block it measures, as a push button lays out its caption.
  bool centred = false;
};

// Whether `text` fits into `room` in `font`, wrapping at word breaks.
bool CaptionFits(const LOGFONTW& font, const CaptionRoom& room);

// The system's message font at `dpi`.
LOGFONTW MessageFont(UINT dpi);

// The dialog base units of `font` in pixels, measured as Windows measures a
// dialog's font: across, the average width of the 52 Latin letters, rounded;
// down, the height of a line. {0, 0} when it cannot be measured.
SIZE DialogBaseUnits(const LOGFONTW& font);

// `font`, or, where a caption does not fit its room in it (a font whose
// letters are broader for their height than the classic dialog font's, as
// Wine's stand-in is), its letters narrowed just enough that every caption
// fits; the height stays the font's.
LOGFONTW NarrowedToFit(const LOGFONTW& font, std::span<const CaptionRoom> captions);

}  // namespace pm::win32
