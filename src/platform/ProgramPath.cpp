#include "platform/ProgramPath.h"

#include <vector>

namespace pm::platform {

namespace {

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// Windows drops the dots and spaces that end a name ("notepad.exe." is
// "notepad.exe"); a name of dots alone is "." or "..".
std::string_view WithoutTrailingDotsAndSpaces(std::string_view name) {
  if (name == "." || name == "..") return name;
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
  return name;
}

}  // namespace

std::string CanonicalPath(std::string_view path) {
  std::string text(path);
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  std::string_view rest = text;
  bool share = false;
  if (StartsWith(rest, "\\\\?\\UNC\\") || StartsWith(rest, "\\??\\UNC\\")) {
    rest.remove_prefix(8);
    share = true;
  } else if (StartsWith(rest, "\\\\?\\") || StartsWith(rest, "\\??\\") ||
             StartsWith(rest, "\\\\.\\")) {
    rest.remove_prefix(4);
  }
  std::string_view drive;
  if (!share && rest.size() >= 2 && rest[1] == ':') {
    drive = rest.substr(0, 2);
    rest.remove_prefix(2);
  } else if (!share && StartsWith(rest, "\\\\")) {
    rest.remove_prefix(2);
    share = true;
  }
  // A share's server and name are part of its root: ".." stops below them.
  const std::size_t rootNames = share ? 2 : 0;
  std::vector<std::string_view> names;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\\');
    std::string_view name = WithoutTrailingDotsAndSpaces(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (names.size() > rootNames) names.pop_back();
      continue;
    }
    names.push_back(name);
  }
  std::string canonical;
  canonical.reserve(text.size());
  if (share) {
    canonical += "\\\\";
  } else if (!drive.empty()) {
    canonical.append(drive);
    canonical += '\\';
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) canonical += '\\';
    canonical.append(names[i]);
  }
  return canonical;
}

std::string_view FileNameOf(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace pm::platform
