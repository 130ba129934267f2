#include "service/PasswordGate.h"

#include "platform/Crypto.h"
#include "store/PasswordCheck.h"
#include "store/WrongPasswordWait.h"

namespace pm::service {

PasswordGate::PasswordGate(Clock clock)
    : clock_(std::move(clock)), key_(platform::RandomBytes(32)) {}

store::ByteArray PasswordGate::Digest(std::string_view lowered, std::string_view stored) const {
  // One round of PBKDF2 is HMAC-SHA256 under the run's key.
  const std::string both = std::string(lowered) + '\0' + std::string(stored);
  return platform::Pbkdf2Sha256(both, key_, 1, 32);
}

PasswordGate::Verdict PasswordGate::Check(const Caller& caller, std::string_view typed,
                                          std::string_view stored) {
  const auto now = clock_();
  Tries& tries = tries_[caller.Key()];
  if (now < tries.waitUntil) return Verdict::Waiting;
  if (stored.empty()) return Verdict::Right;
  const std::string lowered = store::LowerTypedPassword(typed);
  const store::ByteArray digest = Digest(lowered, stored);
  if (!remembered_.empty() && now < rememberedUntil_ && digest == remembered_) {
    rememberedUntil_ = now + kRememberFor;
    tries.wrongInARow = 0;
    return Verdict::Right;
  }
  remembered_.clear();
  if (!store::PasswordMatches(lowered, stored)) {
    ++tries.wrongInARow;
    tries.waitUntil = now + std::chrono::seconds(store::RetryWaitSeconds(tries.wrongInARow));
    return Verdict::Wrong;
  }
  tries.wrongInARow = 0;
  remembered_ = digest;
  rememberedUntil_ = now + kRememberFor;
  return Verdict::Right;
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
