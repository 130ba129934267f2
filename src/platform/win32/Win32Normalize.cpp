#include <windows.h>

#include "platform/Text.h"

namespace pm::platform {

std::string CompatibilityForm(std::string_view utf8) {
  std::u16string units = Utf8ToUtf16(utf8);
  if (units.empty()) return {};
  const auto* source = reinterpret_cast<const wchar_t*>(units.data());
  const int sourceLength = static_cast<int>(units.size());
  // The first answer is an estimate; a buffer too small says so again.
  int capacity = NormalizeString(NormalizationKC, source, sourceLength, nullptr, 0);
  for (int attempt = 0; attempt < 4 && capacity > 0; ++attempt) {
    std::u16string normal(static_cast<std::size_t>(capacity), u'\0');
    const int length = NormalizeString(NormalizationKC, source, sourceLength,
                                       reinterpret_cast<wchar_t*>(normal.data()), capacity);
    if (length > 0) {
      normal.resize(static_cast<std::size_t>(length));
      return Utf16ToUtf8(normal);
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    capacity = -length > capacity ? -length : capacity * 2;
  }
  // Text the system will not normalise is compared as it is.
  return Utf16ToUtf8(units);
}

}  // namespace pm::platform
