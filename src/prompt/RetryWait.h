// How long a password prompt refuses passwords after wrong ones in
// a row, so that a password cannot be guessed at machine speed: the first
// four cost nothing, the fifth 5 seconds, each further one twice as long as
// the one before, at most 5 minutes.
#pragma once

#include <string>

namespace pm::prompt {

inline constexpr int kFreeWrongPasswords = 4;
inline constexpr int kFirstWaitSeconds = 5;
inline constexpr int kLongestWaitSeconds = 300;

// Seconds to wait after the `wrongInARow`-th wrong password in a row; 0 for
// no wait.
int RetryWaitSeconds(int wrongInARow);

// Label1's text while `secondsLeft` (above 0) remain, in whole seconds, or in
// minutes and seconds from one minute on.
std::string RetryWaitMessage(int secondsLeft);

}  // namespace pm::prompt
