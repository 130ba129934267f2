#include "platform/win32/Win32UiButtons.h"

#include "platform/win32/Win32ButtonPictures.h"

namespace pm::win32 {

using platform::ControlKind;
namespace prop = platform::prop;

Win32UiButtons::Win32UiButtons(const Win32UiControls& controls)
    : controls_(controls), buttons_(static_cast<std::size_t>(controls.Count())) {
  for (int i = 0; i < controls.Count(); ++i) {
    buttons_[static_cast<std::size_t>(i)].isDefault =
        (controls.SpecOf(i).props & prop::kDefault) != 0;
  }
}

bool Win32UiButtons::Pressable(int control) const {
  HWND button = controls_.HandleOf(control);
  return button != nullptr && IsWindowEnabled(button);
}

void Win32UiButtons::SetDefault(int control, bool isDefault) {
  buttons_.at(static_cast<std::size_t>(control)).isDefault = isDefault;
  if (HWND button = controls_.HandleOf(control)) {
    SendMessageW(button, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

std::optional<int> Win32UiButtons::PressableDefault() const {
  for (int i = 0; i < controls_.Count(); ++i) {
    if (buttons_[static_cast<std::size_t>(i)].isDefault && Pressable(i)) return i;
  }
  return std::nullopt;
}

std::optional<int> Win32UiButtons::PressableCancel() const {
  for (int i = 0; i < controls_.Count(); ++i) {
    if ((controls_.SpecOf(i).props & prop::kCancel) != 0 && Pressable(i)) return i;
  }
  return std::nullopt;
}

void Win32UiButtons::SetChecked(int control, bool checked) {
  if (HWND button = controls_.HandleOf(control)) {
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (checked && controls_.SpecOf(control).kind == ControlKind::OptionButton) {
      ClearOtherOptions(control);
    }
  }
}

bool Win32UiButtons::Checked(int control) const {
  HWND button = controls_.HandleOf(control);
  return button != nullptr && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32UiButtons::ClearOtherOptions(int control) {
  const std::string_view panel = controls_.SpecOf(control).container;
  for (int i = 0; i < controls_.Count(); ++i) {
    const platform::ControlSpec& other = controls_.SpecOf(i);
    if (i == control || other.kind != ControlKind::OptionButton || other.container != panel) {
      continue;
    }
    if (HWND option = controls_.HandleOf(i)) SendMessageW(option, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

void Win32UiButtons::ShowPictures(UINT dpi) {
  for (int i = 0; i < controls_.Count(); ++i) {
    const platform::ControlSpec& c = controls_.SpecOf(i);
    ButtonState& state = buttons_[static_cast<std::size_t>(i)];
    HWND button = controls_.HandleOf(i);
    if (c.kind != ControlKind::Button || c.picture == platform::BuiltIn::None ||
        button == nullptr || state.pictureDpi == dpi) {
      continue;
    }
    // The new list is in place before the old one, which the button still
    // draws from, is destroyed.
    state.picture = SetButtonPicture(button, c.picture, controls_.Bounds(i).height, dpi);
    state.pictureDpi = dpi;
  }
}

}  // namespace pm::win32
