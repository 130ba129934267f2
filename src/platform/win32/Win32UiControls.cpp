#include "platform/win32/Win32UiControls.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "platform/Text.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32UiControlKinds.h"
#include "platform/win32/Win32UiWindowText.h"

namespace pm::win32 {

using platform::ControlKind;
namespace prop = platform::prop;

Win32UiControls::Win32UiControls(const platform::FormSpec& layout)
    : layout_(layout), controls_(layout.controls.size()) {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const platform::ControlSpec& c = layout.controls[i];
    controls_[i].bounds = {c.left, c.top, c.width, c.height};
    controls_[i].visible = (c.props & prop::kHidden) == 0;
  }
}

void Win32UiControls::Build(HWND window, HINSTANCE instance) {
  window_ = window;
  for (int i = 0; i < Count(); ++i) {
    const ControlWindowClass windowClass = WindowClassOf(layout_.controls, i);
    if (windowClass.name == nullptr) continue;
    const platform::ControlSpec& c = SpecOf(i);
    const auto id = static_cast<INT_PTR>(platform::kControlIdBase + i);
    HWND hwnd = CreateWindowExW(windowClass.exStyle, windowClass.name, Wide(c.caption).c_str(),
                                windowClass.style, 0, 0, 0, 0, window, reinterpret_cast<HMENU>(id),
                                instance, nullptr);
    if (hwnd == nullptr) continue;
    controls_[static_cast<std::size_t>(i)].hwnd = hwnd;
    PrepareControlWindow(hwnd, c);
  }
  PutPanelsUnderTheirControls();
  UpdateVisibility();
}

void Win32UiControls::PutPanelsUnderTheirControls() {
  // Each panel goes to the bottom, the outermost last, so a panel lies under
  // the controls and the panels it holds.
  std::vector<std::pair<int, int>> panels;  // depth, index
  for (int i = 0; i < Count(); ++i) {
    if (SpecOf(i).kind != ControlKind::Frame || HandleOf(i) == nullptr) continue;
    int depth = 0;
    for (int c = ContainerOf(i); c >= 0; c = ContainerOf(c)) ++depth;
    panels.emplace_back(depth, i);
  }
  std::sort(panels.begin(), panels.end(), std::greater<>());
  for (const auto& [depth, index] : panels) {
    SetWindowPos(HandleOf(index), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Win32UiControls::LayOut(const FormFonts& fonts) {
  scale_ = fonts.scale();
  Place();
  for (int i = 0; i < Count(); ++i) {
    if (HWND hwnd = HandleOf(i)) {
      SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.For(i)), TRUE);
    }
  }
}

void Win32UiControls::Place() {
  for (int i = 0; i < Count(); ++i) {
    HWND hwnd = HandleOf(i);
    if (hwnd == nullptr) continue;
    const RECT r = PixelRect(i);
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    FitControlContent(hwnd, SpecOf(i), r.right - r.left);
  }
  InvalidateRect(window_, nullptr, TRUE);
}

int Win32UiControls::FromId(int id) const {
  const int index = id - platform::kControlIdBase;
  return index >= 0 && index < Count() ? index : -1;
}

int Win32UiControls::ContainerOf(int control) const {
  const std::string_view container = SpecOf(control).container;
  return container.empty() ? -1 : platform::ControlIndex(layout_.controls, container);
}

RECT Win32UiControls::PixelRect(int control) const {
  const platform::Rect& b = controls_[static_cast<std::size_t>(control)].bounds;
  int left = b.left;
  int top = b.top;
  // Positions are relative to the panel that holds the control.
  for (int c = ContainerOf(control); c >= 0; c = ContainerOf(c)) {
    left += controls_[static_cast<std::size_t>(c)].bounds.left;
    top += controls_[static_cast<std::size_t>(c)].bounds.top;
  }
  // Each edge is scaled on its own, so controls that meet in twips meet in
  // pixels, and none that stay apart in twips overlap.
  return {scale_.Across(left), scale_.Down(top), scale_.Across(left + b.width),
          scale_.Down(top + b.height)};
}

bool Win32UiControls::EffectivelyVisible(int control) const {
  for (int c = control; c >= 0; c = ContainerOf(c)) {
    if (!controls_[static_cast<std::size_t>(c)].visible) return false;
  }
  return true;
}

void Win32UiControls::UpdateVisibility() {
  for (int i = 0; i < Count(); ++i) {
    if (HWND hwnd = HandleOf(i)) ShowWindow(hwnd, EffectivelyVisible(i) ? SW_SHOWNA : SW_HIDE);
  }
  InvalidateRect(window_, nullptr, TRUE);
}

HWND Win32UiControls::FirstFocus() const {
  // An unchecked option button is passed over: on Windows, an automatic
  // option button that takes the focus checks itself, and a form must open
  // with the choice the user has not made yet left open.
  HWND first = GetNextDlgTabItem(window_, nullptr, FALSE);
  for (HWND candidate = first; candidate != nullptr;) {
    const int control = FromId(GetDlgCtrlID(candidate));
    if (control < 0 || SpecOf(control).kind != ControlKind::OptionButton ||
        SendMessageW(candidate, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      return candidate;
    }
    candidate = GetNextDlgTabItem(window_, candidate, FALSE);
    if (candidate == first) break;
  }
  return nullptr;
}

void Win32UiControls::SetText(int control, std::string_view text) {
  HWND child = HandleOf(control);
  if (child == nullptr) return;
  // A text box holds at most its length in characters, as typing allows.
  const int limit = SpecOf(control).maxLength;
  if (limit > 0) text = platform::FirstCodePoints(text, static_cast<std::size_t>(limit));
  SetWindowTextW(child, Wide(text).c_str());
}

std::string Win32UiControls::Text(int control) const {
  HWND child = HandleOf(control);
  return child != nullptr ? WindowTextOf(child) : std::string();
}

void Win32UiControls::SetEnabled(int control, bool enabled) {
  if (HWND child = HandleOf(control)) EnableWindow(child, enabled ? TRUE : FALSE);
}

bool Win32UiControls::Enabled(int control) const {
  HWND child = HandleOf(control);
  return child == nullptr || IsWindowEnabled(child) != FALSE;
}

void Win32UiControls::SetVisible(int control, bool visible) {
  controls_.at(static_cast<std::size_t>(control)).visible = visible;
  UpdateVisibility();
}

bool Win32UiControls::Visible(int control) const {
  return controls_.at(static_cast<std::size_t>(control)).visible;
}

void Win32UiControls::SetBounds(int control, platform::Rect twips) {
  controls_.at(static_cast<std::size_t>(control)).bounds = twips;
  // The controls a panel holds move with it.
  Place();
}

platform::Rect Win32UiControls::Bounds(int control) const {
  return controls_.at(static_cast<std::size_t>(control)).bounds;
}

void Win32UiControls::SetFocus(int control) {
  if (HWND child = HandleOf(control)) ::SetFocus(child);
}

void Win32UiControls::SelectAllText(int control) {
  if (HWND child = HandleOf(control)) SendMessageW(child, EM_SETSEL, 0, -1);
}

}  // namespace pm::win32
