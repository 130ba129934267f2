// The simulated backend's error texts: the ones Windows gives for the codes
// the tests make the registry answer with.
#include <string>

#include "platform/Text.h"

namespace pm::platform {

std::string SystemErrorText(std::int32_t errorCode) {
  switch (errorCode) {
    case 2:
      return "The system cannot find the file specified.";
    case 5:
      return "Access is denied.";
    case 29:
      return "The system cannot write to the specified device.";
    case 1314:
      return "A required privilege is not held by the client.";
    default:
      return "Error " + std::to_string(errorCode) + ".";
  }
}

}  // namespace pm::platform
