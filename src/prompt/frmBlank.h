// The black screen that covers the desktop behind the password prompt.
#pragma once

#include "platform/Form.h"

namespace pm::prompt {

class frmBlank : public platform::Form {
 public:
  explicit frmBlank(platform::Toolkit& toolkit);
  // Shows the blank screen over the monitor that `lockedWindow` is on.
  void ShowOver(platform::Hwnd lockedWindow);
  // Shows it, topmost and without taking the keyboard, over every monitor
  // at once: the start-up locker hides the whole desktop.
  void ShowOverEveryMonitor();
  void UnloadIfVisible();
};

}  // namespace pm::prompt
