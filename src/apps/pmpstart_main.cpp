// Entry point of the start-up locker.
#include <windows.h>

#include "platform/win32/Win32Registry.h"
#include "store/SettingsCatalogue.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  pm::win32::Win32Registry registry;
  const std::string password = pm::store::ReadPassword(registry, pm::store::setting::kUserPassword);
  (void)password;
  return 0;
}
