// The controls of a form's table as the child windows of its window: each
// made by its kind, placed in the form's twips at the form's scale (inside
// the panel that holds it), shown while it and its panels are visible, and
// what a form asks of any control: its text, whether it is enabled, the
// keyboard focus.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/Toolkit.h"
#include "platform/win32/Win32UiFonts.h"
#include "platform/win32/Win32UiScale.h"

namespace pm::win32 {

class Win32UiControls {
 public:
  explicit Win32UiControls(const platform::FormSpec& layout);

  // Makes every control's window in `window`, panels under what they hold.
  void Build(HWND window, HINSTANCE instance);
  // Places every control at the scale of `fonts` and gives it its font.
  void LayOut(const FormFonts& fonts);

  int Count() const { return static_cast<int>(controls_.size()); }
  const platform::ControlSpec& SpecOf(int control) const {
    return layout_.controls[static_cast<std::size_t>(control)];
  }
  // The window of `control`; null for the kinds that have none. Throws
  // std::out_of_range for an index the table does not have.
  HWND HandleOf(int control) const { return controls_.at(static_cast<std::size_t>(control)).hwnd; }
  // The control a child id names; -1 for none.
  int FromId(int id) const;
  // The panel that holds `control`; -1 for the form.
  int ContainerOf(int control) const;
  // Where `control` is in the form's client area, in pixels.
  RECT PixelRect(int control) const;
  // Whether `control` and every panel that holds it are visible.
  bool EffectivelyVisible(int control) const;
  // The control the keyboard goes to when the window is activated.
  HWND FirstFocus() const;

  void SetText(int control, std::string_view text);
  std::string Text(int control) const;
  void SetEnabled(int control, bool enabled);
  bool Enabled(int control) const;
  void SetVisible(int control, bool visible);
  bool Visible(int control) const;
  void SetBounds(int control, platform::Rect twips);
  platform::Rect Bounds(int control) const;
  void SetFocus(int control);
  void SelectAllText(int control);

 private:
  struct ControlState {
    HWND hwnd = nullptr;  // none for timers and lines; the form's window destroys it
    platform::Rect bounds;
    bool visible = true;
  };

  void PutPanelsUnderTheirControls();
  void UpdateVisibility();
  // Places every control at the last scale.
  void Place();

  const platform::FormSpec& layout_;
  HWND window_ = nullptr;
  std::vector<ControlState> controls_;
  TwipsScale scale_;
};

}  // namespace pm::win32
