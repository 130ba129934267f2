#include "platform/Result.h"

#include "platform/DebugTrace.h"
#include "platform/Text.h"

namespace pm::platform {

std::string Describe(const Error& error) {
  return error.message.empty() ? SystemErrorText(error.code) : error.message;
}

void TraceFailure(std::string_view what, const Error& error) noexcept {
  try {
    std::string line = "Pelmora Pro: " + std::string(what) + " failed: " + Describe(error);
    if (error.code != 0 && !error.message.empty()) line += " (" + std::to_string(error.code) + ")";
    DebugTrace(line);
  } catch (...) {
    // Out of memory while tracing: nothing more can be said.
  }
}

}  // namespace pm::platform
