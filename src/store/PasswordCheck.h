// The one decision whether a typed password opens the lock; the prompts of
// both programs ask it. Passwords are stored as a salted PBKDF2-HMAC-SHA256
// hash of their lower-case form; values stored by earlier versions as plain
// lower-case text are still accepted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pm::store {

// The current OWASP figure for PBKDF2-HMAC-SHA256. The count is part of the
// stored text, so raising it later leaves older hashes valid.
inline constexpr std::uint32_t kPasswordHashIterations = 600000;

// What the prompt puts back into its box before comparing: passwords are
// case-insensitive because both sides are lower case.
std::string LowerTypedPassword(std::string_view typed);

// The stored form of a password: "pbkdf2-sha256$<iterations>$<salt>$<hash>"
// (salt and hash in base64) of the first 16 characters of its lower-case
// form, with a fresh random salt. An empty password stays empty: no password.
// Throws std::runtime_error when the system cannot hash.
std::string HashPassword(std::string_view typed,
                         std::uint32_t iterations = kPasswordHashIterations);

// The stored form of a value kept as plain text by an earlier version: the
// hash of its first 16 characters as they are, not lowered, so exactly the
// texts that opened it still do (one with capitals opened nothing, and its
// hash opens nothing either). A hashed or empty value is answered unchanged.
// Throws std::runtime_error when the system cannot hash.
std::string HashPlainPassword(std::string_view stored,
                              std::uint32_t iterations = kPasswordHashIterations);

enum class PasswordVerdict {
  Match,
  NoMatch,
  NotChecked,  // the system could not hash: neither right nor wrong
};

// Lower-cases the typed text and compares it with the stored value: a hash
// is checked by hashing; a plain value by its first 16 characters, exactly.
// An empty stored value is matched by an empty box. A value in the hashed
// form that cannot be read is matched by nothing. When the system's crypto
// provider fails, nothing was checked, and a trace says why.
PasswordVerdict CheckPassword(std::string_view typed, std::string_view stored);
// CheckPassword's Match.
bool PasswordMatches(std::string_view typed, std::string_view stored);

}  // namespace pm::store
