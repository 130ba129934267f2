#include "prompt/PasswordCheck.h"

#include "platform/Text.h"
#include "store/SettingsCatalogue.h"

namespace pm::prompt {

std::string LowerTypedPassword(std::string_view typed) {
  return platform::LowerCase(typed);
}

bool PasswordMatches(std::string_view typed, std::string_view stored) {
  return LowerTypedPassword(typed) == platform::FirstCodePoints(stored, store::kPasswordLength);
}

}  // namespace pm::prompt
