// The programs' end of the service's pipe. Before a request (which carries
// the owner's password) is sent, the program serving the pipe must be
// pmpsvc.exe of our own program folder: a program that took the pipe's
// name first gets nothing. The pipe is opened for identification only, so
// the server cannot act with the caller's rights either.
#pragma once

#include <string>

#include "platform/ServiceChannel.h"

namespace pm::win32 {

class Win32ServiceChannel final : public platform::ServiceChannel {
 public:
  // `programFolder` ends in a backslash.
  explicit Win32ServiceChannel(std::string programFolder);

  [[nodiscard]] std::int32_t Transact(std::span<const std::uint8_t> request,
                                      std::vector<std::uint8_t>& reply) override;
  // On a thread of its own, which needs nothing of this object.
  void Post(std::span<const std::uint8_t> request) override;

  // True when the service is installed on this PC; the programs then save
  // through it, and without it straight into the registry.
  static bool ServiceInstalled();

 private:
  std::string servicePath_;
};

}  // namespace pm::win32
