// The service's check of the password a request carries: the prompts' own
// check, with the prompts' wait after wrong passwords in a row, counted for
// each caller on its own, so the pipe is no faster way to guess than the
// prompt and one user's guesses make no other user wait.
//
// The check hashes 600,000 times. A password that passed is remembered for
// a while as a keyed digest (a random key of this run, never stored), so the
// next saves of one sitting in the configuration tool are answered at once;
// the memory goes when it has not been used for ten minutes, when a wrong
// password comes, or when the stored password changes.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "service/Caller.h"
#include "store/RegValue.h"

namespace pm::service {

class PasswordGate {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::minutes kRememberFor{10};

  explicit PasswordGate(Clock clock);

  enum class Verdict { Right, Wrong, Waiting };
  // `stored` as the settings hold it; an empty one is matched by any password.
  Verdict Check(const Caller& caller, std::string_view typed, std::string_view stored);
  // Whole seconds left of the caller's wait after wrong passwords.
  int SecondsToWait(const Caller& caller) const;
  // The caller's wrong passwords in a row, the last one counted.
  int WrongInARow(const Caller& caller) const;

 private:
  struct Tries {
    int wrongInARow = 0;
    std::chrono::steady_clock::time_point waitUntil{};
  };
  using CallerKey = std::tuple<std::string, std::uint32_t, bool>;

  store::ByteArray Digest(std::string_view lowered, std::string_view stored) const;

  Clock clock_;
  std::map<CallerKey, Tries> tries_;
  store::ByteArray key_;
  store::ByteArray remembered_;
  std::chrono::steady_clock::time_point rememberedUntil_{};
};

}  // namespace pm::service
