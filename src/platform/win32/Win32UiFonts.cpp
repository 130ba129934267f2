#include "platform/win32/Win32UiFonts.h"

#include <optional>

#include "platform/win32/Wide.h"
#include "platform/win32/Win32ButtonPictures.h"
#include "platform/win32/Win32DialogFont.h"

namespace pm::win32 {

using platform::ControlKind;
namespace prop = platform::prop;

namespace {

// The scale of the form's twips in the message font at `dpi`, measured
// before any narrowing: a narrowed font would shrink the form with it.
TwipsScale ScaleOf(const LOGFONTW& message, UINT dpi) {
  const SIZE units = DialogBaseUnits(message);
  return units.cx > 0 && units.cy > 0 ? TwipsScale(dpi, units) : TwipsScale::ClassicAt(dpi);
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
  const LOGFONTW message = MessageFont(dpi);
  scale_ = ScaleOf(message, dpi);
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
