#include "service/Tickets.h"

#include "platform/Crypto.h"

namespace pm::service {

namespace {

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xf];
  }
  return text;
}

}  // namespace

void Tickets::Forget(std::chrono::steady_clock::time_point now) {
  std::erase_if(held_, [now](const auto& entry) { return entry.second.until <= now; });
}

std::string Tickets::Issue(const Caller& caller) {
  const auto now = clock_();
  Forget(now);
  std::string ticket = Hex(platform::RandomBytes(32));
  held_[ticket] = {caller.session, caller.processId, now + kLongest};
  return ticket;
}

bool Tickets::Valid(std::string_view ticket, const Caller& caller) {
  Forget(clock_());
  const auto found = held_.find(ticket);
  return found != held_.end() && found->second.session == caller.session &&
         found->second.processId == caller.processId;
}

void Tickets::End(std::string_view ticket, const Caller& caller) {
  if (Valid(ticket, caller)) held_.erase(held_.find(ticket));
}

}  // namespace pm::service
