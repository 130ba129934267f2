#include "platform/win32/Win32FileDialogs.h"

#include <shobjidl.h>
#include <windows.h>
#include <wrl/client.h>

#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"

namespace pm::win32 {

namespace {

using Microsoft::WRL::ComPtr;

std::string Choose(const platform::Window* owner, std::string_view title,
                   FILEOPENDIALOGOPTIONS extra) {
  // Declared first, so the dialog's objects are released before it ends.
  const ComApartment com;
  ComPtr<IFileOpenDialog> dialog;
  ComPtr<IShellItem> item;
  FILEOPENDIALOGOPTIONS options = 0;
  UniqueCoTaskMemory<wchar_t> path;
  const std::wstring caption = Wide(title);
  // The shortcut itself, not what it points to: the caller decides.
  if (SUCCEEDED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_PPV_ARGS(&dialog))) &&
      SUCCEEDED(dialog->GetOptions(&options)) &&
      SUCCEEDED(
          dialog->SetOptions(options | extra | FOS_FORCEFILESYSTEM | FOS_NODEREFERENCELINKS)) &&
      SUCCEEDED(dialog->SetTitle(caption.c_str())) &&
      SUCCEEDED(
          dialog->Show(owner != nullptr ? reinterpret_cast<HWND>(owner->handle()) : nullptr)) &&
      SUCCEEDED(dialog->GetResult(&item)) &&
      SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, path.put()))) {
    return Narrow(path.get());
  }
  return {};
}

}  // namespace

std::string Win32FileDialogs::ChooseFile(const platform::Window* owner, std::string_view title) {
  return Choose(owner, title, FOS_FILEMUSTEXIST);
}

std::string Win32FileDialogs::ChooseFolder(const platform::Window* owner, std::string_view title) {
  return Choose(owner, title, FOS_PICKFOLDERS);
}

}  // namespace pm::win32
