#include <windows.h>

#include "platform/Text.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"

namespace pm::platform {

std::string SystemErrorText(std::int32_t errorCode) {
  win32::UniqueLocalMemory<wchar_t> buffer;
  // With ALLOCATE_BUFFER the system writes the address of its buffer where
  // the text would go.
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(errorCode), 0, reinterpret_cast<wchar_t*>(buffer.put()), 0,
      nullptr);
  if (length == 0 || !buffer) return "Error " + std::to_string(errorCode) + ".";
  std::wstring text(buffer.get(), length);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  return win32::Narrow(text);
}

}  // namespace pm::platform
