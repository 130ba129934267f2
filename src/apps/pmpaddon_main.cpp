// Entry point of the add-on "Lock a File or Folder", which the add-item wizard starts.
#include <windows.h>

#include "addons/AddonForms.h"
#include "platform/win32/Win32FileDialogs.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32ServiceChannel.h"
#include "platform/win32/Win32UiToolkit.h"
#include "store/SettingsCatalogue.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  pm::win32::Win32UiToolkit toolkit(instance);
  pm::win32::Win32Registry registry;
  pm::win32::Win32FileDialogs dialogs;
  // Installed beside the engine, it saves through the same service, which
  // it finds in its own folder; without it (a developer's build) it writes
  // the registry itself.
  pm::win32::Win32ServiceChannel channel(pm::store::FolderWithBackslash(toolkit.ProgramFolder()));
  pm::platform::ServiceChannel* service =
      pm::win32::Win32ServiceChannel::ServiceInstalled() ? &channel : nullptr;
  int exitCode = 0;
  {
    pm::addons::frmAddFile form(toolkit, {registry, service}, dialogs);
    form.Show();
    exitCode = toolkit.Run();
  }
  return exitCode;
}
