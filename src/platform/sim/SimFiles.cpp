// The simulated computer's files are the host's: one drive, its root.
#include <cerrno>
#include <cstdio>
#include <fstream>

#include "platform/Files.h"
#include "platform/Registry.h"

namespace pm::platform {

std::vector<std::string> DriveRoots() {
  return {"/"};
}

// The host's own write and rename; how durable it is does not matter to a test.
std::int32_t ReplaceFileDurably(const std::string& path, std::span<const std::uint8_t> bytes) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) return reg_error::kWriteFault;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return errno == EACCES ? reg_error::kAccessDenied : reg_error::kWriteFault;
  }
  return reg_error::kSuccess;
}

}  // namespace pm::platform
