// Who sent a request: the program at the other end of the pipe, as Windows
// names it, never as the request says.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>

namespace pm::service {

struct Caller {
  std::uint32_t session = 0;
  std::uint32_t processId = 0;
  std::string user;            // the account's SID, as text
  bool administrator = false;  // the caller's token holds the Administrators group

  // Whose wrong passwords count together: one account in one session, with
  // administrator rights or without. A standard user's guesses then never
  // make the owner wait, and a new process of the same user counts as the
  // same caller.
  auto Key() const { return std::tie(user, session, administrator); }
};

}  // namespace pm::service
