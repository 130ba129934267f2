#include "store/WrongPasswordWait.h"

namespace pm::store {

int RetryWaitSeconds(int wrongInARow) {
  if (wrongInARow <= kFreeWrongPasswords) return 0;
  int seconds = kFirstWaitSeconds;
  // Doubling stops at the cap, so no count of tries can overflow it.
  for (int n = kFreeWrongPasswords + 1; n < wrongInARow && seconds < kLongestWaitSeconds; ++n) {
    seconds *= 2;
  }
  return seconds < kLongestWaitSeconds ? seconds : kLongestWaitSeconds;
}

}  // namespace pm::store
