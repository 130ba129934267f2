#include "platform/win32/Win32Paths.h"

#include <windows.h>

#include "platform/win32/Handles.h"

namespace pm::win32 {

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring LongPath(const std::wstring& path) {
  const DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return path;
  std::wstring longPath(needed, L'\0');
  const DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), needed);
  if (length == 0 || length >= needed) return path;
  longPath.resize(length);
  return longPath;
}

namespace {

std::wstring ImagePathOf(HANDLE process) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = static_cast<DWORD>(path.size());
    if (QueryFullProcessImageNameW(process, 0, path.data(), &length)) {
      path.resize(length);
      return LongPath(path);
    }
    // Only a buffer too small is worth another try; paths end at 32767.
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::wstring ProcessImagePath(unsigned long processId) {
  const UniqueKernelHandle process(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return {};
  return ImagePathOf(process.get());
}

std::wstring RunningProcessImagePath(unsigned long processId) {
  const UniqueKernelHandle process(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
  // Another account's process may refuse the wait; it is asked its name alone.
  if (!process) return ProcessImagePath(processId);
  if (WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) return {};
  return ImagePathOf(process.get());
}

}  // namespace pm::win32
