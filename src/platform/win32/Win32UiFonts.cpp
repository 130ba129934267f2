#include "platform/win32/Win32UiFonts.h"

#include <vector>

#include "platform/win32/Wide.h"
#include "platform/win32/Win32ButtonPictures.h"
#include "platform/win32/Win32DialogFont.h"

namespace pm::win32 {

using platform::ControlKind;
namespace prop = platform::prop;

namespace {

// The scale of the form's twips in the message font at `dpi`, measured
// before any narrowing: a narrowed font would shrink the form with it.
TwipsScale ScaleAt(UINT dpi) {
  const SIZE units = DialogBaseUnits(MessageFont(dpi));
  return units.cx > 0 && units.cy > 0 ? TwipsScale(dpi, units) : TwipsScale::ClassicAt(dpi);
}

// What each captioned control keeps of its size for its caption: a button
// its edges and its picture, a check box or option button the box beside it.
std::vector<CaptionRoom> CaptionRooms(const platform::FormSpec& layout, const TwipsScale& scale) {
  const int edge = scale.AtDpi(90);
  const int box = GetSystemMetricsForDpi(SM_CXMENUCHECK, scale.dpi()) + scale.AtDpi(60);
  std::vector<CaptionRoom> rooms;
  for (const platform::ControlSpec& c : layout.controls) {
    CaptionRoom room{Wide(c.caption), scale.Across(c.width), scale.Down(c.height),
                     (c.props & prop::kBold) != 0};
    switch (c.kind) {
      case ControlKind::Label:
        break;
      case ControlKind::CheckBox:
      case ControlKind::OptionButton:
        room.width -= box;
        break;
      case ControlKind::Button: {
        room.width -= 2 * edge;
        room.height -= edge;
        if (c.picture != platform::BuiltIn::None) {
          const SIZE picture = ButtonPictureRoom(c.height, scale.dpi());
          room.width -= picture.cx;
          room.height -= picture.cy;
        }
        break;
      }
      default:
        continue;
    }
    if (!room.text.empty()) rooms.push_back(std::move(room));
  }
  return rooms;
}

}  // namespace

FormFonts::FormFonts(const platform::FormSpec& layout, UINT dpi) : scale_(ScaleAt(dpi)) {
  LOGFONTW font = DialogFont(dpi, CaptionRooms(layout, scale_));
  normal_.reset(CreateFontIndirectW(&font));
  const LONG weight = font.lfWeight;
  font.lfWeight = FW_BOLD;
  bold_.reset(CreateFontIndirectW(&font));
  font.lfWeight = weight;
  font.lfUnderline = TRUE;
  underlined_.reset(CreateFontIndirectW(&font));
}

HFONT FormFonts::For(const platform::ControlSpec& control) const {
  if ((control.props & prop::kBold) != 0) return bold_.get();
  if ((control.props & prop::kUnderlined) != 0) return underlined_.get();
  return normal_.get();
}

}  // namespace pm::win32
