#include <cstdio>

#include "platform/DebugTrace.h"

namespace pm::platform {

void DebugTrace(std::string_view message) noexcept {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
}

}  // namespace pm::platform
