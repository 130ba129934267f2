// How long the start-up locker's prompt refuses passwords after wrong ones in
// a row, so that a password cannot be guessed at machine speed: the first
// four cost nothing, the fifth 5 seconds, each further one twice as long as
// the one before, at most 5 minutes.
#pragma once

#include <string>

#include "store/WrongPasswordWait.h"

namespace pm::startup {

using store::RetryWaitSeconds;

// Label1's text while `secondsLeft` (above 0) remain, in whole seconds, or in
// minutes and seconds from one minute on.
std::string RetryWaitMessage(int secondsLeft);

}  // namespace pm::startup
