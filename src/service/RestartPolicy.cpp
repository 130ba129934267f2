#include "service/RestartPolicy.h"

#include <algorithm>

namespace pm::service {

RestartPolicy::Clock::duration RestartPolicy::DelayAfterEnd(Clock::time_point now) {
  const Clock::time_point earliest =
      lastStart_ == Clock::time_point::min() ? now : lastStart_ + kLeastBetweenStarts;
  const Clock::time_point next = std::max(now, earliest);
  lastStart_ = next;
  return next - now;
}

}  // namespace pm::service
