// The service's check of the password a request carries: the prompts' own
// check, with the prompts' wait after wrong passwords in a row, counted for
// each caller on its own, so the pipe is no faster way to guess than the
// prompt and one user's guesses make no other user wait.
//
// Every check hashes 600,000 times: the configuration tool's saves carry a
// ticket instead of the password (service/Tickets.h), so no password that
// passed needs remembering.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "service/Caller.h"

namespace pm::service {

class PasswordGate {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  explicit PasswordGate(Clock clock);

  enum class Verdict {
    Right,
    Wrong,
    Waiting,
    NotChecked,  // the system could not hash: no try counts
  };
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

  Clock clock_;
  std::map<CallerKey, Tries> tries_;
};

}  // namespace pm::service
