#include "store/PasswordCheck.h"

#include <array>
#include <charconv>
#include <optional>
#include <vector>

#include "platform/Crypto.h"
#include "platform/DebugTrace.h"
#include "platform/Text.h"
#include "store/SettingsCatalogue.h"

namespace pm::store {
namespace {

constexpr std::size_t kSaltLength = 16;
constexpr std::size_t kHashLength = 32;
// A stored count is not trusted beyond this: a tampered value must not make
// the prompt compute for minutes.
constexpr std::uint32_t kMostIterations = 10'000'000;

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = std::uint32_t{bytes[i]} << 16;
    if (n > 1) group |= std::uint32_t{bytes[i + 1]} << 8;
    if (n > 2) group |= bytes[i + 2];
    out += kAlphabet[(group >> 18) & 63];
    out += kAlphabet[(group >> 12) & 63];
    out += n > 1 ? kAlphabet[(group >> 6) & 63] : '=';
    out += n > 2 ? kAlphabet[group & 63] : '=';
  }
  return out;
}

std::optional<std::vector<std::uint8_t>> FromBase64(std::string_view text) {
  if (text.empty() || text.size() % 4 != 0) return std::nullopt;
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const std::string_view quad = text.substr(i, 4);
    int padding = 0;
    if (i + 4 == text.size() && quad[3] == '=') padding = quad[2] == '=' ? 2 : 1;
    std::uint32_t group = 0;
    for (int j = 0; j < 4 - padding; ++j) {
      const std::size_t value = kAlphabet.find(quad[j]);
      if (value == std::string_view::npos) return std::nullopt;
      group = (group << 6) | static_cast<std::uint32_t>(value);
    }
    group <<= 6 * padding;
    out.push_back(static_cast<std::uint8_t>(group >> 16));
    if (padding < 2) out.push_back(static_cast<std::uint8_t>(group >> 8));
    if (padding < 1) out.push_back(static_cast<std::uint8_t>(group));
  }
  return out;
}

struct StoredHash {
  std::uint32_t iterations = 0;
  std::vector<std::uint8_t> salt;
  std::vector<std::uint8_t> hash;
};

std::optional<StoredHash> ParseHash(std::string_view stored) {
  stored.remove_prefix(store::kPasswordHashScheme.size());
  const std::size_t first = stored.find('$');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t second = stored.find('$', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  StoredHash parsed;
  const std::string_view count = stored.substr(0, first);
  const auto [end, error] =
      std::from_chars(count.data(), count.data() + count.size(), parsed.iterations);
  if (error != std::errc() || end != count.data() + count.size() || parsed.iterations == 0 ||
      parsed.iterations > kMostIterations) {
    return std::nullopt;
  }
  auto salt = FromBase64(stored.substr(first + 1, second - first - 1));
  auto hash = FromBase64(stored.substr(second + 1));
  if (!salt || !hash || salt->size() > 64 || hash->size() < 16 || hash->size() > 64) {
    return std::nullopt;
  }
  parsed.salt = std::move(*salt);
  parsed.hash = std::move(*hash);
  return parsed;
}

// The password that is hashed: what the box can hold, lower-cased.
std::string HashedText(std::string_view typed) {
  return std::string(platform::FirstCodePoints(LowerTypedPassword(typed), store::kPasswordLength));
}

// Compares all bytes whatever the first difference, so the time of a wrong
// guess says nothing about how much of it was right.
bool SameBytes(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  if (a.size() != b.size()) return false;
  std::uint8_t difference = 0;
  for (std::size_t i = 0; i < a.size(); ++i) difference |= a[i] ^ b[i];
  return difference == 0;
}

// The stored form of text already cut to the characters that count.
std::string HashText(std::string_view text, std::uint32_t iterations) {
  if (text.empty()) return {};
  const std::vector<std::uint8_t> salt = platform::RandomBytes(kSaltLength);
  const std::vector<std::uint8_t> hash =
      platform::Pbkdf2Sha256(text, salt, iterations, kHashLength);
  return std::string(store::kPasswordHashScheme) + std::to_string(iterations) + "$" + Base64(salt) +
         "$" + Base64(hash);
}

}  // namespace

std::string LowerTypedPassword(std::string_view typed) {
  return platform::LowerCase(typed);
}

std::string HashPassword(std::string_view typed, std::uint32_t iterations) {
  return HashText(HashedText(typed), iterations);
}

std::string HashPlainPassword(std::string_view stored, std::uint32_t iterations) {
  if (store::IsHashedPassword(stored)) return std::string(stored);
  return HashText(platform::FirstCodePoints(stored, store::kPasswordLength), iterations);
}

PasswordVerdict CheckPassword(std::string_view typed, std::string_view stored) {
  const auto verdict = [](bool matches) {
    return matches ? PasswordVerdict::Match : PasswordVerdict::NoMatch;
  };
  if (!store::IsHashedPassword(stored)) {
    return verdict(LowerTypedPassword(typed) ==
                   platform::FirstCodePoints(stored, store::kPasswordLength));
  }
  const std::optional<StoredHash> parsed = ParseHash(stored);
  if (!parsed) return PasswordVerdict::NoMatch;
  const std::string text = HashedText(typed);
  if (text.empty()) return PasswordVerdict::NoMatch;
  try {
    return verdict(SameBytes(
        platform::Pbkdf2Sha256(text, parsed->salt, parsed->iterations, parsed->hash.size()),
        parsed->hash));
  } catch (const std::exception&) {
    platform::TraceCaughtException("checking a password");
    return PasswordVerdict::NotChecked;
  }
}

bool PasswordMatches(std::string_view typed, std::string_view stored) {
  return CheckPassword(typed, stored) == PasswordVerdict::Match;
}

}  // namespace pm::store
