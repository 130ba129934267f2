#include "platform/DebugTrace.h"

#include <exception>
#include <string>

namespace pm::platform {

void TraceCaughtException(std::string_view where) noexcept {
  try {
    std::string message = "Pelmora Pro: an exception stopped at " + std::string(where);
    try {
      if (const std::exception_ptr caught = std::current_exception())
        std::rethrow_exception(caught);
    } catch (const std::exception& error) {
      message += ": ";
      message += error.what();
    } catch (...) {
      message += " (not a std::exception)";
    }
    DebugTrace(message);
  } catch (...) {
    // Out of memory while tracing: nothing more can be said.
  }
}

}  // namespace pm::platform
