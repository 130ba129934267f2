// The two cryptographic primitives the passwords are stored with. Each
// backend provides them: the Windows one asks the system (BCrypt), the
// simulated one is a plain portable implementation checked against the same
// published test vectors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace pm::platform {

// PBKDF2 with HMAC-SHA256 (RFC 8018), `length` bytes of derived key.
// Throws std::runtime_error when the system cannot compute it.
std::vector<std::uint8_t> Pbkdf2Sha256(std::string_view password,
                                       std::span<const std::uint8_t> salt, std::uint32_t iterations,
                                       std::size_t length);

// Bytes from the system's cryptographic random source, for salts.
// Throws std::runtime_error when the source fails.
std::vector<std::uint8_t> RandomBytes(std::size_t count);

}  // namespace pm::platform
