#include "platform/win32/Win32UiTimers.h"

namespace pm::win32 {

Win32UiTimers::Win32UiTimers(const platform::FormSpec& layout)
    : layout_(layout), timers_(layout.controls.size()) {
  for (std::size_t i = 0; i < timers_.size(); ++i)
    timers_[i].interval = layout.controls[i].interval;
}

void Win32UiTimers::Start(HWND window) {
  window_ = window;
  for (std::size_t i = 0; i < timers_.size(); ++i) {
    const platform::ControlSpec& c = layout_.controls[i];
    if (c.kind == platform::ControlKind::Timer && (c.props & platform::prop::kEnabledTimer) != 0) {
      Set(static_cast<int>(i), c.interval, true);
    }
  }
}

void Win32UiTimers::Set(int control, int intervalMs, bool enabled) {
  TimerState& state = timers_.at(static_cast<std::size_t>(control));
  state.interval = intervalMs;
  state.enabled = enabled;
  const auto id = static_cast<UINT_PTR>(platform::kControlIdBase + control);
  // Setting a timer again starts its interval afresh.
  if (enabled && intervalMs > 0) {
    SetTimer(window_, id, static_cast<UINT>(intervalMs), nullptr);
  } else {
    KillTimer(window_, id);
  }
}

int Win32UiTimers::Interval(int control) const {
  return timers_.at(static_cast<std::size_t>(control)).interval;
}

bool Win32UiTimers::Enabled(int control) const {
  return timers_.at(static_cast<std::size_t>(control)).enabled;
}

}  // namespace pm::win32
