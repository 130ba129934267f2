// Whether a typed password is the owner's, decided where it must be: by the
// service where the program has one (it alone counts each caller's wrong
// passwords, and only its record ends a session's start-up lock), here
// against the stored value otherwise (a developer's build, the simulated
// PC). Asked off the UI thread: either way a hash of 600,000 rounds is made.
#pragma once

#include <string>
#include <string_view>

#include "platform/Registry.h"
#include "platform/ServiceChannel.h"
#include "store/ServiceProtocol.h"

namespace pm::store {

struct PasswordQuestion {
  PasswordFor purpose = PasswordFor::Window;
  std::string typed;    // as the box holds it, lowered
  std::string subject;  // the locked window's title, for a window
};

struct PasswordAnswer {
  enum class Kind {
    Match,
    NoMatch,
    Wait,        // too many wrong ones in a row: not checked
    Unanswered,  // nobody could say: the service cannot be reached
    NotChecked,  // the system could not hash it: neither right nor wrong
  };
  Kind kind = Kind::NoMatch;
  // NoMatch from the service: the wait before the next try counts; Wait:
  // what is left of it.
  int waitSeconds = 0;
  std::string reason;  // Unanswered and NotChecked: why, in words
  bool fromService = false;
  std::string ticket;  // Match for the configuration tool, from the service
};

struct PasswordsStored {
  bool first = false;
  bool second = false;
};

// Whether the passwords are stored: asked of the service where the program
// has one (it keeps them where the program cannot read them); when it cannot
// be asked, both count as stored, so no prompt offers to let anyone through.
PasswordsStored ReadPasswordsStored(platform::Registry& registry,
                                    platform::ServiceChannel* service);

// The configuration tool closes, or everything is locked again: the
// service forgets the tool's ticket, and the program too.
void EndToolTicket(platform::ServiceChannel* service, std::string& ticket);

// `stored` is used only where there is no service.
PasswordAnswer AskPassword(platform::ServiceChannel* service, const PasswordQuestion& question,
                           std::string_view stored);

// The words for a password the system could not hash.
inline constexpr std::string_view kPasswordNotChecked =
    "The password could not be checked: the system's cryptography failed.";

// The words for a service that cannot be reached, with the reason; `job`
// says what it would have done ("checks the password").
std::string ServiceUnreachableText(std::int32_t status, std::string_view job);

}  // namespace pm::store
