#include "platform/win32/Win32Icons.h"

#include "apps/resources/resource.h"

namespace pm::win32 {

int BuiltInIconResource(platform::BuiltIn icon) {
  switch (icon) {
    case platform::BuiltIn::ProgramIcon:
      return IDI_PROGRAM;
    case platform::BuiltIn::LockedIcon:
      return IDI_LOCKED;
    case platform::BuiltIn::UnlockedIcon:
      return IDI_UNLOCKED;
    case platform::BuiltIn::AddItemIcon:
      return IDI_ADD_ITEM;
    case platform::BuiltIn::RemoveItemIcon:
      return IDI_REMOVE_ITEM;
    case platform::BuiltIn::ChangeItemIcon:
      return IDI_CHANGE_ITEM;
    case platform::BuiltIn::DownloadIcon:
      return IDI_DOWNLOAD;
    default:
      return 0;
  }
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
