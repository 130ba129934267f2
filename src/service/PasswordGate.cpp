#include "service/PasswordGate.h"

#include "store/PasswordCheck.h"
#include "store/WrongPasswordWait.h"

namespace pm::service {

PasswordGate::PasswordGate(Clock clock) : clock_(std::move(clock)) {}

PasswordGate::Verdict PasswordGate::Check(const Caller& caller, std::string_view typed,
                                          std::string_view stored) {
  const auto now = clock_();
  Tries& tries = tries_[caller.Key()];
  if (now < tries.waitUntil) return Verdict::Waiting;
  if (stored.empty()) return Verdict::Right;
  switch (store::CheckPassword(store::LowerTypedPassword(typed), stored)) {
    case store::PasswordVerdict::Match:
      tries.wrongInARow = 0;
      return Verdict::Right;
    case store::PasswordVerdict::NotChecked:
      return Verdict::NotChecked;
    case store::PasswordVerdict::NoMatch:
      break;
  }
  ++tries.wrongInARow;
  tries.waitUntil = now + std::chrono::seconds(store::RetryWaitSeconds(tries.wrongInARow));
  return Verdict::Wrong;
}

int PasswordGate::SecondsToWait(const Caller& caller) const {
  const auto found = tries_.find(caller.Key());
  if (found == tries_.end()) return 0;
  const auto left = found->second.waitUntil - clock_();
  if (left <= std::chrono::steady_clock::duration::zero()) return 0;
  return static_cast<int>(std::chrono::ceil<std::chrono::seconds>(left).count());
}

int PasswordGate::WrongInARow(const Caller& caller) const {
  const auto found = tries_.find(caller.Key());
  return found == tries_.end() ? 0 : found->second.wrongInARow;
}

}  // namespace pm::service
