// Folder paths taken apart and put together as text, the same way for the
// computer's paths ("C:\Pictures") and the simulation's ("/tmp/pictures").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pm::platform {

// The separator the computer writes between the names of a path.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Either separator: Windows takes both.
inline bool IsPathSeparator(char c) {
  return c == '\\' || c == '/';
}

struct FolderParts {
  std::string root;                // "C:\", "/", "\\server\" ; empty for a relative path
  std::vector<std::string> names;  // the folders below it, in order
};

// Either separator counts; separators in a row count as one.
FolderParts SplitFolder(std::string_view folder);

// `folder` and `name` with exactly one separator between them.
std::string JoinPath(std::string_view folder, std::string_view name,
                     char separator = kPathSeparator);

}  // namespace pm::platform
