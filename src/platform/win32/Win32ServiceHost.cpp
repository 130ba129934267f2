#include "platform/win32/Win32ServiceHost.h"

#include <wtsapi32.h>

#include "platform/Result.h"
#include "platform/win32/Handles.h"

namespace pm::win32 {

namespace {

constexpr DWORD kStopWaitMs = 15000;
constexpr DWORD kRestartDelayMs = 1000;

// The service control manager calls ServiceMain and the control handler
// without a context of ours: this is the one running service of the process.
struct RunningService {
  std::wstring name;
  const std::function<void(HANDLE)>* run = nullptr;
  const std::function<void(DWORD, DWORD)>* sessionChanged = nullptr;
  SERVICE_STATUS_HANDLE statusHandle = nullptr;
  UniqueKernelHandle stop;
  SERVICE_STATUS status{};
};
RunningService* running = nullptr;

void Report(DWORD state, DWORD exitCode = NO_ERROR) {
  running->status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  running->status.dwCurrentState = state;
  running->status.dwWin32ExitCode = exitCode;
  running->status.dwControlsAccepted =
      state == SERVICE_RUNNING
          ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_SESSIONCHANGE
          : 0;
  running->status.dwWaitHint = state == SERVICE_RUNNING ? 0 : kStopWaitMs;
  ++running->status.dwCheckPoint;
  SetServiceStatus(running->statusHandle, &running->status);
}

DWORD WINAPI ControlHandler(DWORD control, DWORD event, void* data, void*) {
  switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
      Report(SERVICE_STOP_PENDING);
      SetEvent(running->stop.get());
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
      return NO_ERROR;
    case SERVICE_CONTROL_SESSIONCHANGE:
      (*running->sessionChanged)(event, static_cast<WTSSESSION_NOTIFICATION*>(data)->dwSessionId);
      return NO_ERROR;
    default:
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
  running->statusHandle =
      RegisterServiceCtrlHandlerExW(running->name.c_str(), ControlHandler, nullptr);
  if (running->statusHandle == nullptr) return;
  Report(SERVICE_START_PENDING);
  running->stop.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!running->stop) {
    Report(SERVICE_STOPPED, GetLastError());
    return;
  }
  Report(SERVICE_RUNNING);
  (*running->run)(running->stop.get());
  Report(SERVICE_STOPPED);
}

DWORD StopAndWait(SC_HANDLE service) {
  SERVICE_STATUS status{};
  if (!ControlService(service, SERVICE_CONTROL_STOP, &status)) {
    const DWORD error = GetLastError();
    if (error != ERROR_SERVICE_NOT_ACTIVE) return error;
    return ERROR_SUCCESS;
  }
  for (DWORD waited = 0; waited < kStopWaitMs; waited += 100) {
    if (!QueryServiceStatus(service, &status)) return GetLastError();
    if (status.dwCurrentState == SERVICE_STOPPED) return ERROR_SUCCESS;
    Sleep(100);
  }
  return ERROR_SERVICE_REQUEST_TIMEOUT;
}

}  // namespace

DWORD RunAsService(const std::wstring& name, const std::function<void(HANDLE stop)>& run,
                   const std::function<void(DWORD event, DWORD session)>& sessionChanged) {
  RunningService service;
  service.name = name;
  service.run = &run;
  service.sessionChanged = &sessionChanged;
  running = &service;
  SERVICE_TABLE_ENTRYW table[] = {{service.name.data(), ServiceMain}, {nullptr, nullptr}};
  const DWORD result = StartServiceCtrlDispatcherW(table) ? ERROR_SUCCESS : GetLastError();
  running = nullptr;
  return result;
}

DWORD InstallService(const ServiceDefinition& definition) {
  const UniqueServiceHandle manager(
      OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE));
  if (!manager) return GetLastError();
  const std::wstring command = L"\"" + definition.programPath + L"\"";
  UniqueServiceHandle service(CreateServiceW(
      manager.get(), definition.name.c_str(), definition.displayName.c_str(), SERVICE_ALL_ACCESS,
      SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, command.c_str(), nullptr,
      nullptr, nullptr, nullptr, nullptr));
  if (!service) {
    if (GetLastError() != ERROR_SERVICE_EXISTS) return GetLastError();
    // An upgrade: the same service, pointed at this program, stopped for now.
    service.reset(OpenServiceW(manager.get(), definition.name.c_str(), SERVICE_ALL_ACCESS));
    if (!service) return GetLastError();
    // A service still running would go on as the old program.
    if (const DWORD stopped = StopAndWait(service.get()); stopped != ERROR_SUCCESS) return stopped;
    if (!ChangeServiceConfigW(service.get(), SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                              SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr, nullptr,
                              nullptr, nullptr, definition.displayName.c_str())) {
      return GetLastError();
    }
  }
  std::wstring description = definition.description;
  SERVICE_DESCRIPTIONW describe{description.data()};
  if (!ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, &describe)) {
    platform::TraceFailure("describing the service",
                           {static_cast<std::int32_t>(GetLastError()), {}});
  }
  // Windows starts it again a second after it fails, every time.
  SC_ACTION restart[] = {{SC_ACTION_RESTART, kRestartDelayMs},
                         {SC_ACTION_RESTART, kRestartDelayMs},
                         {SC_ACTION_RESTART, kRestartDelayMs}};
  SERVICE_FAILURE_ACTIONSW failures{};
  failures.dwResetPeriod = 60;
  failures.cActions = static_cast<DWORD>(std::size(restart));
  failures.lpsaActions = restart;
  // Without them an ended service would stay ended, and so would the
  // sessions' engines it keeps.
  if (!ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_FAILURE_ACTIONS, &failures)) {
    return GetLastError();
  }
  if (!StartServiceW(service.get(), 0, nullptr) &&
      GetLastError() != ERROR_SERVICE_ALREADY_RUNNING) {
    return GetLastError();
  }
  return ERROR_SUCCESS;
}

DWORD UninstallService(const std::wstring& name) {
  const UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return GetLastError();
  const UniqueServiceHandle service(
      OpenServiceW(manager.get(), name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
  if (!service) {
    return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST ? ERROR_SUCCESS : GetLastError();
  }
  const DWORD stopped = StopAndWait(service.get());
  if (!DeleteService(service.get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) {
    return GetLastError();
  }
  return stopped;
}

}  // namespace pm::win32
