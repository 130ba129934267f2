// Entry point of the service: "/install" and "/uninstall" for the setup
// program, "/hash" for an administrator who gives the password by policy,
// otherwise the service itself, started by Windows.
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "apps/service/Win32PipeServer.h"
#include "apps/service/Win32SessionKeeper.h"
#include "platform/ServiceChannel.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32EventLog.h"
#include "platform/win32/Win32KeyWatch.h"
#include "platform/win32/Win32PasswordInput.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Security.h"
#include "platform/win32/Win32ServiceHost.h"
#include "pmp/Version.h"
#include "service/AuditEvents.h"
#include "service/SettingsAudit.h"
#include "service/SettingsService.h"
#include "store/FileJournal.h"
#include "store/PolicySettings.h"
#include "store/ServiceProtocol.h"
#include "store/SettingsCatalogue.h"

namespace {

using pm::win32::Wide;

constexpr DWORD kPipeRetryMs = 1000;
// How often the policy's change notice is looked at, and how long a change
// must rest before it is read: Group Policy writes a policy in several steps.
constexpr DWORD kPolicyLookMs = 1000;

using pm::service::EventId;

std::wstring ProgramFolder() {
  const std::wstring path = pm::win32::ModulePath();
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

bool PolicyKeyExists() {
  pm::win32::UniqueHkey key;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(pm::store::kPolicyKey).c_str(), 0, KEY_READ,
                       key.put()) == ERROR_SUCCESS;
}

// The administrator's policy, written to the Event Log at the start (when
// there is one) and after each change, until `stop`.
void WatchPolicy(HANDLE stop, pm::service::EventSink& events) {
  pm::win32::Win32Registry registry;
  pm::win32::Win32KeyWatch watch(HKEY_LOCAL_MACHINE, Wide(pm::store::kPolicyKey));
  const auto tell = [&] {
    for (const pm::service::AuditEvent& event : pm::service::EventsForPolicy(registry)) {
      events.Report(event);
    }
  };
  if (PolicyKeyExists()) tell();
  while (WaitForSingleObject(stop, kPolicyLookMs) == WAIT_TIMEOUT) {
    if (!watch.Changed()) continue;
    bool settled = false;
    while (!settled) {
      if (WaitForSingleObject(stop, kPolicyLookMs) != WAIT_TIMEOUT) return;
      settled = !watch.Changed();
    }
    tell();
  }
}

// What the keeper sees, as the events of the audit trail. (The start-up
// lock's right password is the service's own event.)
void TellKept(pm::service::EventSink& events,
              const pm::win32::Win32SessionKeeper::Happening& seen) {
  using Happening = pm::win32::Win32SessionKeeper::Happening;
  const bool startupLock = seen.program == pm::service::SessionProgram::StartupLock;
  if (seen.kind == Happening::Kind::Started) {
    if (startupLock) events.Report({EventId::StartupLockShown, seen.session, {}});
  } else if (seen.again) {
    events.Report(
        {startupLock ? EventId::StartupLockRestarted : EventId::EngineRestarted, seen.session, {}});
  }
}

// The settings' writer on this thread, the keeper of the sessions' programs
// and the policy's watch on others; all end when the service is told to
// stop. The programs ask the service from their first moment, so the keeper
// starts them once the settings are in order and the pipe is open.
void Serve(HANDLE stop, pm::win32::Win32SessionKeeper& keeper, pm::service::EventSink& events) {
  const std::string folder = pm::win32::Narrow(ProgramFolder());
  pm::win32::Win32Registry registry;
  pm::store::FileJournal journal(folder + std::string(pm::service::kJournalFileName));
  pm::service::SettingsService service(registry, journal, folder,
                                       [] { return std::chrono::steady_clock::now(); });
  // What cannot be put in order now is tried again at the next start; the
  // requests are served either way.
  pm::platform::BestEffort(service.Start(), "putting the settings in order at the start");
  service.ReportEventsTo(events);
  events.Report({EventId::ServiceStarted, pm::service::kNoSession, {pm::kVersionText}});
  std::thread watchingPolicy([&events, stop] { WatchPolicy(stop, events); });
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
    pipe.Serve(
        stop, &pm::store::LargestRequest,
        [&service](std::span<const std::uint8_t> request, const pm::service::Caller& caller) {
          return service.Serve(request, caller);
        });
  }
  keeping.join();
  watchingPolicy.join();
  events.Report({EventId::ServiceStopped, pm::service::kNoSession, {}});
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
  if (command == L"/hash") return pm::win32::RunHashCommand();
  // Only the service writes as the product's event source.
  pm::win32::Win32EventLog events;
  const std::wstring folder = ProgramFolder();
  pm::win32::Win32SessionKeeper keeper(
      {folder + Wide(pm::store::kStartupProgram), folder + Wide(pm::store::kEngineProgram),
       [] {
         pm::win32::Win32Registry registry;
         return pm::store::ReadSwitch(registry, pm::store::Switch::LockStartup);
       },
       [&events](const pm::win32::Win32SessionKeeper::Happening& seen) {
         TellKept(events, seen);
       }});
  return static_cast<int>(pm::win32::RunAsService(
      name, [&keeper, &events](HANDLE stop) { Serve(stop, keeper, events); },
      [&keeper](DWORD event, DWORD session) { keeper.SessionChanged(event, session); }));
}
