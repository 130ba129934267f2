// The simulated backend's lower-casing: Unicode's simple lower-case mapping for
// Latin, Greek, Cyrillic, Armenian and the full-width forms, which covers the
// window titles the tests use. Windows' own tables stand behind the real one.
#include <string>

#include "platform/Text.h"

namespace pm::platform {
namespace {

// Pairs laid out as upper/lower alternating from an even code point.
bool InAlternatingRange(char32_t cp) {
  return (cp >= 0x0100 && cp <= 0x012F) || (cp >= 0x0132 && cp <= 0x0137) ||
         (cp >= 0x014A && cp <= 0x0177) || (cp >= 0x0460 && cp <= 0x0481) ||
         (cp >= 0x048A && cp <= 0x04BF) || (cp >= 0x04D0 && cp <= 0x052F) ||
         (cp >= 0x1E00 && cp <= 0x1E95) || (cp >= 0x1EA0 && cp <= 0x1EFF);
}

// Pairs laid out as upper/lower alternating from an odd code point.
bool InOddAlternatingRange(char32_t cp) {
  return (cp >= 0x0139 && cp <= 0x0148) || (cp >= 0x0179 && cp <= 0x017E) ||
         (cp >= 0x04C1 && cp <= 0x04CE);
}

char32_t LowerCodePoint(char32_t cp) {
  if (cp >= U'A' && cp <= U'Z') return cp + 0x20;
  if (cp < 0x80) return cp;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;
  if (cp == 0x0130) return U'i';
  if (cp == 0x0178) return 0x00FF;
  if (InAlternatingRange(cp)) return (cp % 2 == 0) ? cp + 1 : cp;
  if (InOddAlternatingRange(cp)) return (cp % 2 == 1) ? cp + 1 : cp;
  if (cp == 0x0386) return 0x03AC;
  if (cp >= 0x0388 && cp <= 0x038A) return cp + 37;
  if (cp == 0x038C) return 0x03CC;
  if (cp == 0x038E || cp == 0x038F) return cp + 63;
  if (cp >= 0x0391 && cp <= 0x03AB && cp != 0x03A2) return cp + 0x20;
  if (cp >= 0x0400 && cp <= 0x040F) return cp + 0x50;
  if (cp >= 0x0410 && cp <= 0x042F) return cp + 0x20;
  if (cp == 0x04C0) return 0x04CF;
  if (cp >= 0x0531 && cp <= 0x0556) return cp + 0x30;
  if (cp >= 0xFF21 && cp <= 0xFF3A) return cp + 0x20;
  return cp;
}

}  // namespace

std::string LowerCase(std::string_view utf8) {
  // Work on UTF-16 like the system function does, so both backends treat
  // malformed input the same way (it becomes U+FFFD first).
  std::u16string units = Utf8ToUtf16(utf8);
  for (char16_t& unit : units) {
    if (unit < 0xD800 || unit > 0xDFFF) unit = static_cast<char16_t>(LowerCodePoint(unit));
  }
  return Utf16ToUtf8(units);
}

}  // namespace pm::platform
