// A line for the developer, where a failure is caught and the program goes
// on: the debugger's output on Windows (OutputDebugString), standard error
// in the simulation. The user never sees it.
#pragma once

#include <string_view>

namespace pm::platform {

void DebugTrace(std::string_view message) noexcept;

// Traces the exception being handled and where it was stopped. Call only
// inside a catch block.
void TraceCaughtException(std::string_view where) noexcept;

}  // namespace pm::platform
