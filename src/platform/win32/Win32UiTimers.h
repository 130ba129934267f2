// A form's timers: Windows timers of the form's window, each by its
// control's child id, with the interval and the switch the form set.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/Toolkit.h"

namespace pm::win32 {

class Win32UiTimers {
 public:
  explicit Win32UiTimers(const platform::FormSpec& layout);

  // Starts the table's enabled timers on `window`, which ends them all
  // when it is destroyed.
  void Start(HWND window);
  void Set(int control, int intervalMs, bool enabled);
  int Interval(int control) const;
  bool Enabled(int control) const;

 private:
  struct TimerState {
    int interval = 0;
    bool enabled = false;
  };

  const platform::FormSpec& layout_;
  HWND window_ = nullptr;
  std::vector<TimerState> timers_;  // by control
};

}  // namespace pm::win32
