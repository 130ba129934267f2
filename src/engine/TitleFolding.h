// Titles and keywords compared as a person reads them. A program's title is
// its own to choose, so a zero-width space, a direction mark, a full-width
// letter or a Cyrillic "е" in place of a Latin "e" must not make a locked
// title look like another: both sides are folded the same way first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Desktop.h"

namespace pm::engine {

// Compatibility normalisation (NFKC); then the characters that show no
// letter are removed (format characters such as zero-width spaces and
// direction marks, and every kind of space, so "Registry Editor" and
// "Registry\u200BEditor" read alike); then lower case; then the common
// look-alikes of Latin letters (Cyrillic, Greek, Armenian) become those
// letters.
std::string FoldForMatching(std::string_view text);

// The most bytes a folded window title takes: the normalisation writes at
// most 18 characters for one.
inline constexpr std::size_t kLongestFoldedTitleBytes = 18 * platform::kLongestWindowTextBytes;

}  // namespace pm::engine
