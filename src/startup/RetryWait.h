// What the start-up locker's prompt says while it refuses passwords after
// wrong ones in a row (how long: store/WrongPasswordWait.h).
#pragma once

#include <string>

#include "store/WrongPasswordWait.h"

namespace pm::startup {

using store::RetryWaitSeconds;

// Label1's text while `secondsLeft` (above 0) remain, in whole seconds, or in
// minutes and seconds from one minute on.
std::string RetryWaitMessage(int secondsLeft);

}  // namespace pm::startup
