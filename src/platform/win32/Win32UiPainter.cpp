#include "platform/win32/Win32UiPainter.h"

#include <utility>

#include "platform/win32/GdiGuards.h"

namespace pm::win32 {

using platform::ControlKind;

Win32UiPainter::Win32UiPainter(const Win32UiControls& controls, const platform::FormSpec& layout,
                               const Win32PictureDecoder& pictures)
    : controls_(controls),
      layout_(layout),
      panelBrushes_(layout.controls.size()),
      pictures_(layout.controls.size()) {
  if (layout.backColor != platform::kDefaultColor) {
    backBrush_.reset(CreateSolidBrush(ToColorRef(layout.backColor)));
  }
  for (std::size_t i = 0; i < layout.controls.size(); ++i) {
    const platform::ControlSpec& c = layout.controls[i];
    if (c.kind == ControlKind::Frame) {
      panelBrushes_[i].reset(CreateSolidBrush(
          c.color == platform::kDefaultColor ? GetSysColor(COLOR_BTNFACE) : ToColorRef(c.color)));
    } else if (c.kind == ControlKind::Image && c.picture != platform::BuiltIn::None) {
      pictures_[i] = pictures.LoadBuiltIn(c.picture);
    }
  }
}

bool Win32UiPainter::EraseBackground(HWND window, HDC dc) const {
  if (!backBrush_) return false;
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, backBrush_.get());
  return true;
}

HBRUSH Win32UiPainter::ColorControl(HDC dc, int control) const {
  const platform::ControlSpec& c = controls_.SpecOf(control);
  // A control takes the background of the panel it lies on.
  HBRUSH brush = backBrush_.get();
  COLORREF background = backBrush_ ? ToColorRef(layout_.backColor) : GetSysColor(COLOR_BTNFACE);
  for (int p = c.kind == ControlKind::Frame ? control : controls_.ContainerOf(control); p >= 0;
       p = controls_.ContainerOf(p)) {
    if (const UniqueHbrush& panel = panelBrushes_[static_cast<std::size_t>(p)]) {
      brush = panel.get();
      const std::uint32_t color = controls_.SpecOf(p).color;
      background =
          color == platform::kDefaultColor ? GetSysColor(COLOR_BTNFACE) : ToColorRef(color);
      break;
    }
  }
  if (brush == nullptr) brush = GetSysColorBrush(COLOR_BTNFACE);
  SetBkColor(dc, background);
  if (c.kind == ControlKind::Label && c.color != platform::kDefaultColor) {
    SetTextColor(dc, ToColorRef(c.color));
  }
  return brush;
}

void Win32UiPainter::Paint(HWND window) const {
  const PaintGuard paint(window);
  for (int i = 0; i < controls_.Count(); ++i) {
    const platform::ControlSpec& c = controls_.SpecOf(i);
    if (c.kind != ControlKind::Line || !controls_.EffectivelyVisible(i)) continue;
    const RECT r = controls_.PixelRect(i);
    const UniqueHpen pen(
        CreatePen(PS_SOLID, 1, ToColorRef(c.color == platform::kDefaultColor ? 0 : c.color)));
    const SelectGuard selected(paint.dc(), pen.get());
    MoveToEx(paint.dc(), r.left, r.top, nullptr);
    LineTo(paint.dc(), r.right, r.bottom);
  }
}

void Win32UiPainter::DrawImage(const DRAWITEMSTRUCT& item, int control) const {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  if (const auto* picture = static_cast<const Win32Picture*>(Picture(control).get())) {
    picture->Draw(item.hDC, item.rcItem);
  }
}

void Win32UiPainter::SetPicture(int control, platform::PicturePtr picture) {
  pictures_.at(static_cast<std::size_t>(control)) = std::move(picture);
  if (HWND image = controls_.HandleOf(control)) InvalidateRect(image, nullptr, TRUE);
}

platform::PicturePtr Win32UiPainter::Picture(int control) const {
  return pictures_.at(static_cast<std::size_t>(control));
}

}  // namespace pm::win32
