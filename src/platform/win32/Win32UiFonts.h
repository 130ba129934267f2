// The fonts of a form's controls at one DPI, and the scale of the form's
// twips that goes with them.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/Toolkit.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32UiScale.h"

namespace pm::win32 {

class FormFonts {
 public:
  // None yet: a form's window makes its fonts once it knows its DPI.
  FormFonts() = default;
  // The system's message font at `dpi` (bold or underlined as a control
  // asks), for every control whose caption fits its control at the scale of
  // that font; narrowed letters for one that does not.
  FormFonts(const platform::FormSpec& layout, UINT dpi);

  const TwipsScale& scale() const { return scale_; }
  // The font `control` is drawn in.
  HFONT For(int control) const { return byControl_.at(static_cast<std::size_t>(control)); }

 private:
  struct MadeFont {
    LOGFONTW font;
    UniqueHfont handle;
  };

  // The font of `font`'s width, weight and underline, made once.
  HFONT Made(const LOGFONTW& font);

  TwipsScale scale_;
  std::vector<MadeFont> made_;
  std::vector<HFONT> byControl_;
};

}  // namespace pm::win32
