// Long names and shortcut targets, through the file system and the shell.
#include <shlobj.h>
#include <windows.h>
#include <wrl/client.h>

#include "platform/Files.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"

namespace pm::platform {

std::string WindowsFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? win32::Narrow(folder) : std::string("C:\\Windows");
}

std::string ProgramFilesFolder() {
  // The buffer is the caller's to free even when the call fails.
  win32::UniqueCoTaskMemory<wchar_t> folder;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_ProgramFiles, 0, nullptr, folder.put()))) {
    return "C:\\Program Files";
  }
  return win32::Narrow(folder.get());
}

std::string LongPathName(const std::string& path) {
  return win32::Narrow(win32::LongPath(win32::Wide(path)));
}

std::string ShortcutTarget(const std::string& path) {
  using Microsoft::WRL::ComPtr;
  // The caller's thread may or may not have COM already; either way this
  // call balances its own. Declared first, so the objects go before it.
  const win32::ComApartment com;
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  wchar_t buffer[MAX_PATH] = {};
  if (SUCCEEDED(
          CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) &&
      SUCCEEDED(link.As(&file)) && SUCCEEDED(file->Load(win32::Wide(path).c_str(), STGM_READ)) &&
      link->GetPath(buffer, MAX_PATH, nullptr, 0) == S_OK) {
    return win32::Narrow(buffer);
  }
  return {};
}

}  // namespace pm::platform
