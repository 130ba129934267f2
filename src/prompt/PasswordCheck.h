// The one decision whether a typed password opens the lock; the prompts of
// both programs ask it.
#pragma once

#include <string>
#include <string_view>

namespace pm::prompt {

// What the prompt puts back into its box before comparing: passwords are
// case-insensitive because both sides are lower case.
std::string LowerTypedPassword(std::string_view typed);

// Lower-cases the typed text and compares it with the first 16 characters of
// the stored value, exactly. An empty stored value is matched by an empty box.
bool PasswordMatches(std::string_view typed, std::string_view stored);

}  // namespace pm::prompt
