// Entry point of the lock engine.
#include <windows.h>

#include "platform/win32/Win32Registry.h"
#include "store/ItemLists.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  pm::win32::Win32Registry registry;
  const auto items = pm::store::ReadItemList(registry);
  (void)items;
  (void)instance;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
