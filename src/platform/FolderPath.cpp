#include "platform/FolderPath.h"

namespace pm::platform {

FolderParts SplitFolder(std::string_view folder) {
  FolderParts parts;
  std::size_t at = 0;
  if (folder.size() >= 2 && folder[1] == ':') {
    at = 2;  // a drive
  } else if (folder.size() >= 2 && IsPathSeparator(folder[0]) && IsPathSeparator(folder[1])) {
    at = folder.find_first_of("\\/", 2);  // a server's share
    if (at == std::string_view::npos) at = folder.size();
  }
  parts.root = std::string(folder.substr(0, at));
  if (at < folder.size() && IsPathSeparator(folder[at])) parts.root += folder[at];
  while (at < folder.size()) {
    while (at < folder.size() && IsPathSeparator(folder[at])) ++at;
    std::size_t end = at;
    while (end < folder.size() && !IsPathSeparator(folder[end])) ++end;
    if (end > at) parts.names.emplace_back(folder.substr(at, end - at));
    at = end;
  }
  return parts;
}

std::string JoinPath(std::string_view folder, std::string_view name, char separator) {
  std::string path(folder);
  if (!path.empty() && !IsPathSeparator(path.back())) path += separator;
  return path + std::string(name);
}

}  // namespace pm::platform
