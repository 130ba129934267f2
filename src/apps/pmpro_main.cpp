// Entry point of the lock engine: the real Windows platform under the engine.
#include <windows.h>

#include "engine/Engine.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32KeyWatch.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32ServiceChannel.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32UiToolkit.h"
#include "store/PolicySettings.h"
#include "store/SettingsCatalogue.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The platform outlives every window of the engine.
  pm::win32::Win32UiToolkit toolkit(instance);
  pm::win32::Win32Registry registry;
  // Nothing of the user's (environment, HKEY_CURRENT_USER) changes how the
  // engine watches; a benchmark's switches live where only an administrator
  // writes.
  pm::win32::Win32Desktop desktop(pm::store::ForegroundPollSwitchedOff(registry)
                                      ? pm::win32::Win32Desktop::ForegroundPoll::Off
                                      : pm::win32::Win32Desktop::ForegroundPoll::On,
                                  pm::store::ForegroundHookSwitchedOff(registry)
                                      ? pm::win32::Win32Desktop::ForegroundHooks::Off
                                      : pm::win32::Win32Desktop::ForegroundHooks::On);
  pm::win32::Win32Shell shell;
  int exitCode = 0;
  {
    pm::engine::Engine engine({toolkit, desktop, shell, registry});
    // Where the service is installed, only it can write the settings (a
    // standard user cannot write HKEY_LOCAL_MACHINE); without it, as in a
    // developer's build, the engine writes them itself.
    pm::win32::Win32ServiceChannel service(pm::store::FolderWithBackslash(toolkit.ProgramFolder()));
    if (pm::win32::Win32ServiceChannel::ServiceInstalled()) {
      engine.state.SettingsService = &service;
      shell.OpenAtUserLevelThrough(
          [&service](std::string_view what) { return pm::store::AskServiceToOpen(service, what); });
    }
    // The add-ons save beside the engine.
    pm::win32::Win32KeyWatch stored(HKEY_LOCAL_MACHINE, pm::win32::Wide(pm::store::kProductKey));
    engine.state.StoredSettingsWatch = &stored;
    // Group Policy and Intune write the administrator's settings while the
    // engine runs; their change is in force at the next tick.
    pm::win32::Win32KeyWatch policy(HKEY_LOCAL_MACHINE, pm::win32::Wide(pm::store::kPolicyKey));
    engine.state.PolicyWatch = &policy;
    engine.Start();
    exitCode = toolkit.Run();
    desktop.SetWindowChangeHandler(nullptr);
  }
  return exitCode;
}
