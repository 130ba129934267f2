// UTF-8 <-> UTF-16 at the edge of the Windows API.
#pragma once

#include <string>
#include <string_view>

#include "platform/Text.h"

namespace pm::win32 {

inline std::wstring Wide(std::string_view utf8) {
  const std::u16string units = platform::Utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

inline std::string Narrow(std::wstring_view wide) {
  return platform::Utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace pm::win32
