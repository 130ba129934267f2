// A form's buttons: the one Enter presses and the one Esc presses, the
// checks of check boxes and option buttons (grouped by their panel), and
// the built-in pictures of push buttons, drawn for the form's DPI.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32UiControls.h"

namespace pm::win32 {

class Win32UiButtons {
 public:
  explicit Win32UiButtons(const Win32UiControls& controls);

  void SetDefault(int control, bool isDefault);
  // The default button while it can be pressed.
  std::optional<int> PressableDefault() const;
  // The cancel button while it can be pressed.
  std::optional<int> PressableCancel() const;

  void SetChecked(int control, bool checked);
  bool Checked(int control) const;
  // Clears the other option buttons of the panel that holds `control`.
  void ClearOtherOptions(int control);

  // Draws the buttons' pictures for `dpi`, where they are not drawn for it.
  void ShowPictures(UINT dpi);

 private:
  struct ButtonState {
    bool isDefault = false;
    UniqueImageList picture;  // drawn for `pictureDpi`; the button draws from it
    UINT pictureDpi = 0;
  };

  bool Pressable(int control) const;

  const Win32UiControls& controls_;
  std::vector<ButtonState> buttons_;  // by control
};

}  // namespace pm::win32
