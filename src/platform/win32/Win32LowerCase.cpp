#include <windows.h>

#include "platform/Text.h"

namespace pm::platform {

std::string LowerCase(std::string_view utf8) {
  std::u16string units = Utf8ToUtf16(utf8);
  if (!units.empty()) {
    CharLowerBuffW(reinterpret_cast<wchar_t*>(units.data()), static_cast<DWORD>(units.size()));
  }
  return Utf16ToUtf8(units);
}

}  // namespace pm::platform
