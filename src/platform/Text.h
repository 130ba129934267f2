// Text helpers shared by every layer. Inside the program all text is UTF-8;
// limits are counted in Unicode code points and never cut a character in half.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pm::platform {

// Invalid sequences become U+FFFD, so converted text is always well formed.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
std::u32string Utf8ToUtf32(std::string_view utf8);
std::string Utf32ToUtf8(std::u32string_view utf32);

std::size_t CodePointCount(std::string_view utf8);
// The first `count` code points of the text (all of it when shorter).
std::string_view FirstCodePoints(std::string_view utf8, std::size_t count);
// The text without its last `count` code points (empty when not longer).
std::string_view DropLastCodePoints(std::string_view utf8, std::size_t count);

// Lower-cases every letter, not only ASCII, so a Cyrillic or Greek title
// matches a keyword typed in either case. Each backend provides it: the
// Windows one asks the system (CharLowerBuffW), the simulated one uses
// Unicode's simple case mapping for the common scripts.
std::string LowerCase(std::string_view utf8);

// Unicode's compatibility normalisation (NFKC): full-width letters, ligatures,
// mathematical letters and the like become the plain letters they stand for.
// Each backend provides it: the Windows one asks the system
// (NormalizeString), the simulated one knows the common compatibility forms.
std::string CompatibilityForm(std::string_view utf8);

// The system's own text for a Win32 error code ("Access is denied."), for
// messages that say why something failed. Each backend provides it.
std::string SystemErrorText(std::int32_t errorCode);

// Overwrites the text's characters before emptying it, so a password does not
// stay in freed memory.
void WipeText(std::string& text) noexcept;

// Case-insensitive equality in the sense of LowerCase.
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace pm::platform
