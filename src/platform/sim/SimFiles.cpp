// The simulated computer's files are the host's: one drive, its root.
#include "platform/Files.h"

namespace pm::platform {

std::vector<std::string> DriveRoots() {
  return {"/"};
}

}  // namespace pm::platform
