#include "service/RestartPolicy.h"

namespace pm::service {

RestartPolicy::Clock::duration RestartPolicy::DelayAfterEnd(Clock::time_point now) {
  ends_.push_back(now);
  while (!ends_.empty() && now - ends_.front() >= kWindow) ends_.pop_front();
  if (static_cast<int>(ends_.size()) < kEndsBeforeWaiting) return Clock::duration::zero();
  // The wait starts the count again: after it, five more ends are allowed.
  ends_.clear();
  return kWait;
}

}  // namespace pm::service
