#include "platform/win32/Win32Icons.h"

#include "platform/win32/Win32BuiltInResources.h"

namespace pm::win32 {

int BuiltInIconResource(platform::BuiltIn icon) {
  return BuiltInResourceId(icon, ResourceKind::Icon);
}

HICON LoadBuiltInIcon(platform::BuiltIn icon, int size) {
  const int id = BuiltInIconResource(icon);
  if (id == 0) return nullptr;
  // Without LR_SHARED the icon is the caller's to destroy.
  if (HANDLE loaded = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size,
                                 size, LR_DEFAULTCOLOR)) {
    return static_cast<HICON>(loaded);
  }
  // The system's icon is shared and must not be destroyed: hand out a copy.
  return CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
}

}  // namespace pm::win32
