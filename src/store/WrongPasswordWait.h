// How long a password check refuses after wrong passwords in a row, so that
// a password cannot be guessed at machine speed: the first four cost
// nothing, the fifth 5 seconds, each further one twice as long as the one
// before, at most 5 minutes. The start-up prompt and the service both count
// this way.
#pragma once

namespace pm::store {

inline constexpr int kFreeWrongPasswords = 4;
inline constexpr int kFirstWaitSeconds = 5;
inline constexpr int kLongestWaitSeconds = 300;

// Seconds to wait after the `wrongInARow`-th wrong password in a row; 0 for
// no wait.
int RetryWaitSeconds(int wrongInARow);

}  // namespace pm::store
