// Entry point of the service: "/install" and "/uninstall" for the setup
// program, otherwise the service itself, started by Windows.
#include <windows.h>

#include <chrono>
#include <string>

#include "platform/ServiceChannel.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/Win32PipeServer.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Security.h"
#include "platform/win32/Win32ServiceHost.h"
#include "service/SettingsService.h"
#include "store/FileJournal.h"

namespace {

using pm::win32::Wide;

constexpr DWORD kPipeRetryMs = 1000;

std::wstring ProgramFolder() {
  const std::wstring path = pm::win32::ModulePath();
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

void Serve(HANDLE stop) {
  const std::string folder = pm::win32::Narrow(ProgramFolder());
  pm::win32::Win32Registry registry;
  pm::store::FileJournal journal(folder + std::string(pm::service::kJournalFileName));
  pm::service::SettingsService service(registry, journal, folder,
                                       [] { return std::chrono::steady_clock::now(); });
  service.Start();
  pm::win32::Win32PipeServer pipe;
  // A program that holds the pipe's name gets no password (the programs
  // check who serves it); the service waits for the name to come free.
  while (pipe.Open() != ERROR_SUCCESS) {
    if (WaitForSingleObject(stop, kPipeRetryMs) == WAIT_OBJECT_0) return;
  }
  pipe.Serve(stop,
             [&service](std::span<const std::uint8_t> request) { return service.Serve(request); });
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
  return static_cast<int>(pm::win32::RunAsService(name, Serve));
}
