// What a password prompt says while it refuses passwords after wrong ones in
// a row (how long it refuses: store/WrongPasswordWait.h).
#pragma once

#include <string>

#include "store/WrongPasswordWait.h"

namespace pm::prompt {

using store::RetryWaitSeconds;

// Label1's text while `secondsLeft` (above 0) remain, in whole seconds, or in
// minutes and seconds from one minute on.
std::string RetryWaitMessage(int secondsLeft);

}  // namespace pm::prompt
