// The road to the service that writes the settings: one request out, one
// reply back. The Windows backend connects to the service's pipe and makes
// sure the program at the other end is the service of our own program folder
// before it sends anything, since a request carries the owner's password.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace pm::platform {

namespace service {
inline constexpr std::string_view kProgram = "pmpsvc.exe";
inline constexpr std::string_view kName = "PelmoraProService";
inline constexpr std::string_view kDisplayName = "Pelmora Pro Service";
inline constexpr std::string_view kDescription =
    "Saves the Pelmora Pro settings for whoever knows the password.";
inline constexpr std::string_view kPipe = "\\\\.\\pipe\\Pelmora Pro Service";
// Far above any real request; a bigger message is no request of ours.
inline constexpr std::size_t kMaxRequestBytes = 32 * 1024 * 1024;
inline constexpr std::size_t kMaxReplyBytes = 256 * 1024;
}  // namespace service

namespace service_error {
// The pipe is answered by a program that is not our service. Bit 29 marks an
// application's own code, which no Win32 error uses.
inline constexpr std::int32_t kNotTheService = 0x20000001;
}  // namespace service_error

class ServiceChannel {
 public:
  virtual ~ServiceChannel() = default;
  // A Win32 error code: 0 when `reply` holds the service's whole reply.
  [[nodiscard]] virtual std::int32_t Transact(std::span<const std::uint8_t> request,
                                              std::vector<std::uint8_t>& reply) = 0;
  // Sends a request whose reply nobody waits for (a report), without holding
  // up the caller however long the service takes; one that cannot be
  // delivered is dropped. Here: at once, as a transaction.
  virtual void Post(std::span<const std::uint8_t> request) {
    std::vector<std::uint8_t> reply;
    BestEffort(ResultOf(Transact(request, reply)), "posting a report to the service");
  }
};

}  // namespace pm::platform
