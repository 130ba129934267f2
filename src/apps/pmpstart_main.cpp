// Entry point of the start-up locker.
#include <windows.h>

#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32ServiceChannel.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32UiToolkit.h"
#include "startup/Form1.h"
#include "store/SettingsCatalogue.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  pm::win32::Win32UiToolkit toolkit(instance);
  // The start-up locker waits for a Task Manager to appear, which the system
  // reports as a new window; the front window needs no poll here.
  pm::win32::Win32Desktop desktop(pm::win32::Win32Desktop::ForegroundPoll::Off);
  pm::win32::Win32Shell shell;
  pm::win32::Win32Registry registry;
  // Where the service is installed, it decides the password and alone ends
  // the start-up lock of this session.
  pm::win32::Win32ServiceChannel service(pm::store::FolderWithBackslash(toolkit.ProgramFolder()));
  const bool withService = pm::win32::Win32ServiceChannel::ServiceInstalled();
  int exitCode = 0;
  {
    pm::startup::Form1 form1(toolkit, desktop, shell, registry, withService ? &service : nullptr);
    form1.Load();
    exitCode = toolkit.Run();
    desktop.SetWindowChangeHandler(nullptr);
  }
  return exitCode;
}
