#include "startup/RetryWait.h"

#include "prompt/frmPasswordLayout.h"

namespace pm::startup {

namespace {

std::string Count(int n, std::string_view one, std::string_view many) {
  return n == 1 ? std::string(one) : std::to_string(n) + std::string(many);
}

}  // namespace

std::string RetryWaitMessage(int secondsLeft) {
  const int minutes = secondsLeft / 60;
  const int seconds = secondsLeft % 60;
  std::string left;
  if (minutes > 0) left = Count(minutes, prompt::kOneMinute, prompt::kMinutes);
  if (seconds > 0 || minutes == 0) {
    if (!left.empty()) left += " ";
    left += Count(seconds, prompt::kOneSecond, prompt::kSeconds);
  }
  return std::string(prompt::kRetryWaitHead) + left + std::string(prompt::kRetryWaitTail);
}

}  // namespace pm::startup
