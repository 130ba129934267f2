#include "platform/win32/Win32UiFonts.h"

#include <algorithm>
#include <optional>

#include "platform/win32/Wide.h"
#include "platform/win32/Win32ButtonPictures.h"
#include "platform/win32/Win32DialogFont.h"

namespace pm::win32 {

using platform::ControlKind;
namespace prop = platform::prop;

namespace {

// The font every control of a form starts from, and the scale of the
// form's twips in it, measured before any narrowing (a narrowed font would
// shrink the form with it).
struct FormBase {
  LOGFONTW font;
  TwipsScale scale;
};

// The message font is the user's own setting, which any program of theirs
// may change. A form follows it as a dialog does, but only so far: letters
// taller than three times the classic font's (Windows' own largest text
// size is 225 %) or shorter than half of it are scaled back to that bound,
// in their own proportions, and the scale is held to the same bounds, so
// that no setting makes a form larger than the screen or too small to read.
FormBase MessageFontWithinBounds(UINT dpi) {
  LOGFONTW font = MessageFont(dpi);
  const SIZE classic = TwipsScale::ClassicAt(dpi).baseUnits();
  const SIZE least{classic.cx / 2, classic.cy / 2};
  const SIZE most{classic.cx * 3, classic.cy * 3};
  SIZE units = DialogBaseUnits(font);
  if (units.cx <= 0 || units.cy <= 0) return {font, TwipsScale::ClassicAt(dpi)};
  if (units.cx < least.cx || units.cx > most.cx || units.cy < least.cy || units.cy > most.cy) {
    font.lfWidth = 0;
    font.lfHeight = MulDiv(font.lfHeight, std::clamp(units.cy, least.cy, most.cy), units.cy);
    units = DialogBaseUnits(font);
    if (units.cx <= 0 || units.cy <= 0) return {font, TwipsScale::ClassicAt(dpi)};
  }
  return {font, TwipsScale(dpi, {std::clamp(units.cx, least.cx, most.cx),
                                 std::clamp(units.cy, least.cy, most.cy)})};
}

// What a captioned control keeps of its size for its caption: a button its
// edges (its frame, and the dark line round the default button) and its
// picture, a check box or option button the box beside it. None for a
// control without a caption.
std::optional<CaptionRoom> CaptionRoomOf(const platform::ControlSpec& c, const TwipsScale& scale) {
  if (c.caption.empty()) return std::nullopt;
  CaptionRoom room{Wide(c.caption), scale.Across(c.width), scale.Down(c.height),
                   (c.props & prop::kBold) != 0};
  const int edge = scale.AtDpi(45);
  switch (c.kind) {
    case ControlKind::Label:
      return room;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
      room.width -= GetSystemMetricsForDpi(SM_CXMENUCHECK, scale.dpi()) + scale.AtDpi(60);
      return room;
    case ControlKind::Button:
      room.centred = true;
      room.width -= 2 * edge;
      room.height -= 2 * edge;
      if (c.picture != platform::BuiltIn::None) {
        const SIZE picture = ButtonPictureRoom(c.height, scale.dpi());
        room.width -= picture.cx;
        room.height -= picture.cy;
      }
      return room;
    default:
      return std::nullopt;
  }
}

}  // namespace

FormFonts::FormFonts(const platform::FormSpec& layout, UINT dpi) {
  // Read once for the whole form: every control starts from it.
  const FormBase base = MessageFontWithinBounds(dpi);
  const LOGFONTW& message = base.font;
  scale_ = base.scale;
  for (const platform::ControlSpec& c : layout.controls) {
    LOGFONTW font = message;
    if (const std::optional<CaptionRoom> room = CaptionRoomOf(c, scale_)) {
      font.lfWidth = NarrowedToFit(message, {&*room, 1}).lfWidth;
    }
    if ((c.props & prop::kBold) != 0) {
      font.lfWeight = FW_BOLD;
    } else if ((c.props & prop::kUnderlined) != 0) {
      font.lfUnderline = TRUE;
    }
    byControl_.push_back(Made(font));
  }
}

HFONT FormFonts::Made(const LOGFONTW& font) {
  for (const MadeFont& made : made_) {
    if (made.font.lfWidth == font.lfWidth && made.font.lfWeight == font.lfWeight &&
        made.font.lfUnderline == font.lfUnderline) {
      return made.handle.get();
    }
  }
  made_.push_back({font, UniqueHfont(CreateFontIndirectW(&font))});
  return made_.back().handle.get();
}

}  // namespace pm::win32
