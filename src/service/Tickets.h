// What the prompt in front of the configuration tool gets for the right
// password, so the tool never holds the password: a random ticket, good
// only for the process and session it was given to, for at most thirty
// minutes, and ended at once when the tool closes, when everything is
// locked again, when a new password is stored, or when the service starts
// again (tickets live in its memory only).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "service/Caller.h"

namespace pm::service {

class Tickets {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::minutes kLongest{30};

  explicit Tickets(Clock clock) : clock_(std::move(clock)) {}

  // A new ticket for the caller's process.
  std::string Issue(const Caller& caller);
  // Whether the ticket is good for this caller now.
  bool Valid(std::string_view ticket, const Caller& caller);
  // The caller's ticket ends; another's is left alone.
  void End(std::string_view ticket, const Caller& caller);
  void EndAll() { held_.clear(); }

 private:
  struct Held {
    std::uint32_t session = 0;
    std::uint32_t processId = 0;
    std::chrono::steady_clock::time_point until{};
  };
  void Forget(std::chrono::steady_clock::time_point now);

  Clock clock_;
  std::map<std::string, Held, std::less<>> held_;
};

}  // namespace pm::service
