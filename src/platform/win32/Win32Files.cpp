#include <windows.h>

#include "platform/Files.h"
#include "platform/win32/Wide.h"

namespace pm::platform {

std::vector<std::string> DriveRoots() {
  // "A:\<nul>C:\<nul><nul>": 4 characters a drive, at most 26 drives.
  wchar_t buffer[26 * 4 + 2] = {};
  const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buffer) - 1), buffer);
  std::vector<std::string> roots;
  if (length == 0 || length >= std::size(buffer)) return roots;
  for (const wchar_t* at = buffer; *at != L'\0'; at += wcslen(at) + 1) {
    roots.push_back(win32::Narrow(at));
  }
  return roots;
}

}  // namespace pm::platform
