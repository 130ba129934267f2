#include "engine/TitleFolding.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/Text.h"

namespace pm::engine {

namespace {

// Default-ignorable code points (format characters, joiners, variation
// selectors, fillers) and white space: nothing a reader sees as a letter.
bool ShowsNoLetter(char32_t cp) {
  if (cp <= 0x20) return true;  // controls, tab, line ends, space
  if (cp < 0x80) return false;
  switch (cp) {
    case 0x0085:
    case 0x00A0:
    case 0x00AD:
    case 0x034F:
    case 0x061C:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
    case 0x3164:
    case 0xFEFF:
    case 0xFFA0:
      return true;
    default:
      break;
  }
  return (cp >= 0x007F && cp <= 0x009F) || (cp >= 0x115F && cp <= 0x1160) ||
         (cp >= 0x17B4 && cp <= 0x17B5) || (cp >= 0x180B && cp <= 0x180F) ||
         (cp >= 0x2000 && cp <= 0x200F) || (cp >= 0x202A && cp <= 0x202E) ||
         (cp >= 0x2060 && cp <= 0x206F) || (cp >= 0xFE00 && cp <= 0xFE0F) ||
         (cp >= 0xFFF0 && cp <= 0xFFF8) || (cp >= 0x1BCA0 && cp <= 0x1BCA3) ||
         (cp >= 0x1D173 && cp <= 0x1D17A) || (cp >= 0xE0000 && cp <= 0xE0FFF);
}

// Letters of other scripts that look like Latin ones, by their lower-case
// form: a capital that looks like a Latin capital maps through its small
// letter, so both cases of a title fold alike. Sorted by code point.
constexpr std::array<std::pair<char32_t, char32_t>, 41> kLookAlikes = {{
    {0x0131, U'i'}, {0x0261, U'g'}, {0x03B1, U'a'}, {0x03B2, U'b'}, {0x03B5, U'e'}, {0x03B6, U'z'},
    {0x03B7, U'h'}, {0x03B9, U'i'}, {0x03BA, U'k'}, {0x03BC, U'm'}, {0x03BD, U'n'}, {0x03BF, U'o'},
    {0x03C1, U'p'}, {0x03C4, U't'}, {0x03C5, U'y'}, {0x03C7, U'x'}, {0x0430, U'a'}, {0x0432, U'b'},
    {0x0435, U'e'}, {0x043A, U'k'}, {0x043C, U'm'}, {0x043D, U'h'}, {0x043E, U'o'}, {0x0440, U'p'},
    {0x0441, U'c'}, {0x0442, U't'}, {0x0443, U'y'}, {0x0445, U'x'}, {0x0455, U's'}, {0x0456, U'i'},
    {0x0458, U'j'}, {0x04AF, U'y'}, {0x04BB, U'h'}, {0x04CF, U'l'}, {0x0501, U'd'}, {0x051B, U'q'},
    {0x051D, U'w'}, {0x0570, U'h'}, {0x0578, U'n'}, {0x057D, U'u'}, {0x0585, U'o'},
}};

char32_t LatinLookAlike(char32_t cp) {
  if (cp < 0x0131) return cp;
  const auto it =
      std::lower_bound(kLookAlikes.begin(), kLookAlikes.end(), cp,
                       [](const auto& entry, char32_t key) { return entry.first < key; });
  return it != kLookAlikes.end() && it->first == cp ? it->second : cp;
}

}  // namespace

std::string FoldForMatching(std::string_view text) {
  std::u32string letters;
  for (const char32_t cp : platform::Utf8ToUtf32(platform::CompatibilityForm(text))) {
    if (!ShowsNoLetter(cp)) letters += cp;
  }
  std::u32string folded =
      platform::Utf8ToUtf32(platform::LowerCase(platform::Utf32ToUtf8(letters)));
  for (char32_t& cp : folded) cp = LatinLookAlike(cp);
  return platform::Utf32ToUtf8(folded);
}

}  // namespace pm::engine
