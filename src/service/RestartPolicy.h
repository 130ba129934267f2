// When the service starts a session's engine again after it ended: at once
// (the user must not get a moment without the lock), unless it ended five
// times within a minute; then 30 seconds later, so a program that cannot
// run is not started in a tight loop.
#pragma once

#include <chrono>
#include <deque>

namespace pm::service {

class RestartPolicy {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int kEndsBeforeWaiting = 5;
  static constexpr std::chrono::seconds kWindow{60};
  static constexpr std::chrono::seconds kWait{30};

  // Notes an end at `now`; answers how long to wait before the next start.
  Clock::duration DelayAfterEnd(Clock::time_point now);

 private:
  std::deque<Clock::time_point> ends_;
};

}  // namespace pm::service
