// When the service starts a session's program again after it ended: at once,
// since the user must not get a moment without the lock, but never sooner
// than a second after its last start, so a program that cannot run costs a
// start a second and no more.
#pragma once

#include <chrono>

namespace pm::service {

class RestartPolicy {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::seconds kLeastBetweenStarts{1};

  // Notes an end at `now`; answers how long to wait before the next start,
  // which it takes to happen then.
  Clock::duration DelayAfterEnd(Clock::time_point now);

 private:
  Clock::time_point lastStart_ = Clock::time_point::min();
};

}  // namespace pm::service
