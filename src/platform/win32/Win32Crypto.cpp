// PBKDF2-HMAC-SHA256 and random bytes from the system's CNG provider.
#include <windows.h>
// bcrypt.h needs the types of windows.h before it.
#include <bcrypt.h>

#include <stdexcept>
#include <string>

#include "platform/Crypto.h"
#include "platform/win32/Handles.h"

namespace pm::platform {
namespace {

void CloseAlgorithm(BCRYPT_ALG_HANDLE algorithm) noexcept {
  BCryptCloseAlgorithmProvider(algorithm, 0);
}
using UniqueAlgorithm = win32::UniqueHandle<BCRYPT_ALG_HANDLE, CloseAlgorithm>;

[[noreturn]] void Fail(const char* what, NTSTATUS status) {
  throw std::runtime_error(std::string(what) + " failed (NTSTATUS 0x" +
                           std::to_string(static_cast<unsigned long>(status)) + ")");
}

}  // namespace

std::vector<std::uint8_t> Pbkdf2Sha256(std::string_view password,
                                       std::span<const std::uint8_t> salt, std::uint32_t iterations,
                                       std::size_t length) {
  if (iterations == 0) throw std::runtime_error("PBKDF2 needs at least one iteration");
  UniqueAlgorithm hmac;
  NTSTATUS status = BCryptOpenAlgorithmProvider(hmac.put(), BCRYPT_SHA256_ALGORITHM, nullptr,
                                                BCRYPT_ALG_HANDLE_HMAC_FLAG);
  if (!BCRYPT_SUCCESS(status)) Fail("BCryptOpenAlgorithmProvider", status);
  std::vector<std::uint8_t> key(length);
  // BCrypt takes non-const buffers but only reads the password and salt.
  status = BCryptDeriveKeyPBKDF2(
      hmac.get(), reinterpret_cast<PUCHAR>(const_cast<char*>(password.data())),
      static_cast<ULONG>(password.size()), const_cast<PUCHAR>(salt.data()),
      static_cast<ULONG>(salt.size()), iterations, key.data(), static_cast<ULONG>(key.size()), 0);
  if (!BCRYPT_SUCCESS(status)) Fail("BCryptDeriveKeyPBKDF2", status);
  return key;
}

std::vector<std::uint8_t> RandomBytes(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  if (count == 0) return bytes;
  const NTSTATUS status = BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()),
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  if (!BCRYPT_SUCCESS(status)) Fail("BCryptGenRandom", status);
  return bytes;
}

}  // namespace pm::platform
