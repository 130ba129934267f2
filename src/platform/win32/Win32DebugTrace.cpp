#include <windows.h>

#include "platform/DebugTrace.h"
#include "platform/win32/Wide.h"

namespace pm::platform {

void DebugTrace(std::string_view message) noexcept {
  try {
    OutputDebugStringW((win32::Wide(message) + L"\n").c_str());
  } catch (...) {
    OutputDebugStringW(L"Pelmora Pro: a trace could not be written\n");
  }
}

}  // namespace pm::platform
