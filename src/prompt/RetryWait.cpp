#include "prompt/RetryWait.h"

#include "prompt/frmPasswordLayout.h"

namespace pm::prompt {

namespace {

std::string Count(int n, std::string_view one, std::string_view many) {
  return n == 1 ? std::string(one) : std::to_string(n) + std::string(many);
}

}  // namespace

std::string RetryWaitMessage(int secondsLeft) {
  const int minutes = secondsLeft / 60;
  const int seconds = secondsLeft % 60;
  std::string left;
  if (minutes > 0) left = Count(minutes, kOneMinute, kMinutes);
  if (seconds > 0 || minutes == 0) {
    if (!left.empty()) left += " ";
    left += Count(seconds, kOneSecond, kSeconds);
  }
  return std::string(kRetryWaitHead) + left + std::string(kRetryWaitTail);
}

}  // namespace pm::prompt
