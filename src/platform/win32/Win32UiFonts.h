// The fonts of a form's controls at one DPI, and the scale of the form's
// twips that goes with them.
#pragma once

#include <windows.h>

#include "platform/Toolkit.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32UiScale.h"

namespace pm::win32 {

class FormFonts {
 public:
  // None yet: a form's window makes its fonts once it knows its DPI.
  FormFonts() = default;
  FormFonts(const platform::FormSpec& layout, UINT dpi);

  const TwipsScale& scale() const { return scale_; }
  // The font `control` is drawn in: bold, underlined or plain.
  HFONT For(const platform::ControlSpec& control) const;

 private:
  TwipsScale scale_;
  UniqueHfont normal_;
  UniqueHfont bold_;
  UniqueHfont underlined_;
};

}  // namespace pm::win32
