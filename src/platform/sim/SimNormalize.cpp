// The simulated backend's compatibility normalisation: the forms a title
// can use to look like plain Latin letters and digits (full-width forms,
// no-break and typographic spaces, ligatures, mathematical, circled,
// superscript and subscript letters and digits). Windows' own tables stand
// behind the real one.
#include "platform/Text.h"

namespace pm::platform {
namespace {

// The Latin letter of a mathematical alphanumeric symbol (U+1D400 to
// U+1D6A3: 13 styles of A-Z then a-z), or 0.
char32_t MathematicalLetter(char32_t cp) {
  if (cp < 0x1D400 || cp > 0x1D6A3) return 0;
  const char32_t within = (cp - 0x1D400) % 52;
  return within < 26 ? U'A' + within : U'a' + (within - 26);
}

void AppendCompatible(std::u32string& out, char32_t cp) {
  if (cp >= 0xFF01 && cp <= 0xFF5E) {
    out += cp - 0xFF01 + 0x21;  // full-width ASCII
  } else if (cp == 0x00A0 || cp == 0x3000 || (cp >= 0x2000 && cp <= 0x200A) || cp == 0x202F ||
             cp == 0x205F) {
    out += U' ';
  } else if (const char32_t letter = MathematicalLetter(cp)) {
    out += letter;
  } else if (cp >= 0x1D7CE && cp <= 0x1D7FF) {
    out += U'0' + (cp - 0x1D7CE) % 10;  // mathematical digits
  } else if (cp >= 0x24B6 && cp <= 0x24CF) {
    out += U'A' + (cp - 0x24B6);  // circled capitals
  } else if (cp >= 0x24D0 && cp <= 0x24E9) {
    out += U'a' + (cp - 0x24D0);  // circled small letters
  } else if (cp >= 0x2460 && cp <= 0x2468) {
    out += U'1' + (cp - 0x2460);  // circled digits
  } else if (cp == 0x00B9) {
    out += U'1';
  } else if (cp == 0x00B2 || cp == 0x00B3) {
    out += U'2' + (cp - 0x00B2);
  } else if (cp == 0x2070 || (cp >= 0x2074 && cp <= 0x2079)) {
    out += U'0' + (cp - 0x2070);  // superscript digits
  } else if (cp >= 0x2080 && cp <= 0x2089) {
    out += U'0' + (cp - 0x2080);  // subscript digits
  } else if (cp == 0x017F) {
    out += U's';  // long s
  } else if (cp == 0x2113) {
    out += U'l';  // script small l
  } else if (cp >= 0xFB00 && cp <= 0xFB04) {
    static constexpr const char32_t* kLigatures[] = {U"ff", U"fi", U"fl", U"ffi", U"ffl"};
    out += kLigatures[cp - 0xFB00];
  } else {
    out += cp;
  }
}

}  // namespace

std::string CompatibilityForm(std::string_view utf8) {
  std::u32string out;
  for (const char32_t cp : Utf8ToUtf32(utf8)) AppendCompatible(out, cp);
  return Utf32ToUtf8(out);
}

}  // namespace pm::platform
