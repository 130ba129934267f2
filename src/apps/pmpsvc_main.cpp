// Entry point of the service: "/install" and "/uninstall" for the setup
// program, otherwise the service itself, started by Windows.
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/ServiceChannel.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"
#include "apps/service/Win32PipeServer.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Security.h"
#include "platform/win32/Win32ServiceHost.h"
#include "apps/service/Win32SessionKeeper.h"
#include "service/SettingsService.h"
#include "store/FileJournal.h"
#include "store/ServiceProtocol.h"
#include "store/SettingsCatalogue.h"

namespace {

using pm::win32::Wide;

constexpr DWORD kPipeRetryMs = 1000;

std::wstring ProgramFolder() {
  const std::wstring path = pm::win32::ModulePath();
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

// The settings' writer on this thread, the keeper of the sessions' programs
// on another; both end when the service is told to stop. The programs ask
// the service from their first moment, so the keeper starts them once the
// settings are in order and the pipe is open.
void Serve(HANDLE stop, pm::win32::Win32SessionKeeper& keeper) {
  const std::string folder = pm::win32::Narrow(ProgramFolder());
  pm::win32::Win32Registry registry;
  pm::store::FileJournal journal(folder + std::string(pm::service::kJournalFileName));
  pm::service::SettingsService service(registry, journal, folder,
                                       [] { return std::chrono::steady_clock::now(); });
  service.Start();
  service.OnLeaveSession([&keeper](std::uint32_t session) { keeper.LeaveAlone(session); });
  service.OnStartupLockPassed(
      [&keeper](std::uint32_t session) { keeper.StartupLockPassed(session); });
  service.OnOpenForUser([&keeper](std::uint32_t session, std::string_view what) {
    return keeper.OpenForUser(session, what);
  });
  pm::win32::Win32PipeServer pipe;
  bool open = pipe.Open() == ERROR_SUCCESS;
  // Whatever holds the pipe's name, the programs must run.
  std::thread keeping([&keeper, stop] { keeper.Run(stop); });
  // A program that holds the pipe's name gets no password (the programs
  // check who serves it); the service waits for the name to come free.
  while (!open && WaitForSingleObject(stop, kPipeRetryMs) != WAIT_OBJECT_0) {
    open = pipe.Open() == ERROR_SUCCESS;
  }
  if (open) {
    pipe.Serve(stop, &pm::store::LargestRequest,
               [&service](std::span<const std::uint8_t> request, const pm::service::Caller& caller) {
                 return service.Serve(request, caller);
               });
  }
  keeping.join();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  const std::wstring command = commandLine;
  const std::wstring name = Wide(pm::platform::service::kName);
  if (command == L"/install") {
    std::wstring folder = ProgramFolder();
    folder.pop_back();
    const DWORD secured = pm::win32::ProtectProgramFolder(folder);
    const DWORD installed = pm::win32::InstallService(
        {name, Wide(pm::platform::service::kDisplayName), Wide(pm::platform::service::kDescription),
         pm::win32::ModulePath()});
    return static_cast<int>(installed != ERROR_SUCCESS ? installed : secured);
  }
  if (command == L"/uninstall") return static_cast<int>(pm::win32::UninstallService(name));
  const std::wstring folder = ProgramFolder();
  pm::win32::Win32SessionKeeper keeper(
      {folder + Wide(pm::store::kStartupProgram), folder + Wide(pm::store::kEngineProgram), [] {
         pm::win32::Win32Registry registry;
         return pm::store::ReadSwitch(registry, pm::store::Switch::LockStartup);
       }});
  return static_cast<int>(pm::win32::RunAsService(
      name, [&keeper](HANDLE stop) { Serve(stop, keeper); },
      [&keeper](DWORD event, DWORD session) { keeper.SessionChanged(event, session); }));
}
