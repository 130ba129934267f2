#include <windows.h>

#include "platform/Files.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Security.h"

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

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) {
  std::wstring pattern = win32::Wide(folder);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found{};
  const HANDLE raw = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  std::vector<FolderEntry> entries;
  if (raw == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // An empty drive has not even "." to find; a folder the user may not
    // read shows as empty, as Explorer shows it.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_ACCESS_DENIED) return entries;
    return std::nullopt;
  }
  const win32::UniqueFindHandle search(raw);
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back(
        {win32::Narrow(found.cFileName), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search.get(), &found));
  return entries;
}

PathKind KindOfPath(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(win32::Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
}

std::int32_t ReplaceFileDurably(const std::string& path, std::span<const std::uint8_t> bytes,
                                FileReaders readers) {
  const std::wstring target = win32::Wide(path);
  const std::wstring temporary = target + L".tmp";
  const win32::UniqueSecurityDescriptor rules =
      readers == FileReaders::AdministratorsOnly
          ? win32::SecurityDescriptorFromSddl(win32::kAdministratorsOnlyFileSddl)
          : win32::UniqueSecurityDescriptor();
  if (readers == FileReaders::AdministratorsOnly && !rules) {
    return static_cast<std::int32_t>(GetLastError());
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, rules.get(), FALSE};
  {
    // The old file of that name may carry other rules: it goes first, so
    // the new one is made with its own.
    DeleteFileW(temporary.c_str());
    const win32::UniqueKernelHandle file = win32::OwnFileHandle(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, rules ? &attributes : nullptr,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    if (!file) return static_cast<std::int32_t>(GetLastError());
    DWORD written = 0;
    const bool whole =
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(file.get());
    if (!whole) {
      const DWORD error = GetLastError();
      DeleteFileW(temporary.c_str());
      return static_cast<std::int32_t>(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
    }
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteFileW(temporary.c_str());
    return static_cast<std::int32_t>(error);
  }
  return ERROR_SUCCESS;
}

std::int32_t ReadFileBytes(const std::string& path, std::size_t limit,
                           std::vector<std::uint8_t>& bytes) {
  const win32::UniqueKernelHandle file = win32::OwnFileHandle(
      CreateFileW(win32::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return static_cast<std::int32_t>(GetLastError());
  std::uint8_t chunk[64 * 1024];
  while (bytes.size() <= limit) {
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) {
      return static_cast<std::int32_t>(GetLastError());
    }
    if (got == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  return ERROR_SUCCESS;
}

std::int32_t DeleteFileIfPresent(const std::string& path) {
  if (DeleteFileW(win32::Wide(path).c_str())) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
             ? ERROR_SUCCESS
             : static_cast<std::int32_t>(error);
}

}  // namespace pm::platform
