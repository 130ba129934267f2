// The service's check of the password a request carries: the prompts' own
// check, with the start-up prompt's wait after wrong passwords in a row, so
// the pipe is no faster way to guess than the prompt.
//
// The check hashes 600,000 times. A password that passed is remembered for
// a while as a keyed digest (a random key of this run, never stored), so the
// next saves of one sitting in the configuration tool are answered at once;
// the memory goes when it has not been used for ten minutes, when a wrong
// password comes, or when the stored password changes.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "store/RegValue.h"

namespace pm::service {

class PasswordGate {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::minutes kRememberFor{10};

  explicit PasswordGate(Clock clock);

  enum class Verdict { Right, Wrong, Waiting };
  // `stored` as the settings hold it; an empty one is matched by any password.
  Verdict Check(std::string_view typed, std::string_view stored);
  // Whole seconds left of the wait after wrong passwords.
  int SecondsToWait() const;
  int WrongInARow() const { return wrongInARow_; }

 private:
  store::ByteArray Digest(std::string_view lowered, std::string_view stored) const;

  Clock clock_;
  int wrongInARow_ = 0;
  std::chrono::steady_clock::time_point waitUntil_{};
  store::ByteArray key_;
  store::ByteArray remembered_;
  std::chrono::steady_clock::time_point rememberedUntil_{};
};

}  // namespace pm::service
