// A program file's path spelled one way, so that two spellings of the same
// file compare equal as Windows compares them: without case, with or without
// the "\\?\" prefix, with either separator, and with "." and ".." resolved.
// Short (8.3) names are the file system's to resolve: see LongPathName.
#pragma once

#include <string>
#include <string_view>

namespace pm::platform {

// "\\?\C:\Tools\..\Windows\\regedit.exe" -> "C:\Windows\regedit.exe"; a
// "\\?\UNC\server\share" path becomes "\\server\share". The names keep their
// case; a ".." never climbs above the drive or share.
std::string CanonicalPath(std::string_view path);

// The file name after the last separator.
std::string_view FileNameOf(std::string_view path);

}  // namespace pm::platform
