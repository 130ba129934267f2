// Running as a Windows service, and installing and removing one. The work
// itself is the caller's: `run` is called once the service has started and
// must return soon after `stop` is signalled.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/win32/Handles.h"

namespace pm::win32 {

using UniqueServiceHandle = UniqueHandle<SC_HANDLE, CloseServiceHandle>;

// Hands the process to the service control manager; answers the exit code.
// Fails at once (ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) when the program
// was not started as a service.
// `sessionChanged` hears of each log-on and log-off (WTS_SESSION_LOGON, ...).
DWORD RunAsService(const std::wstring& name, const std::function<void(HANDLE stop)>& run,
                   const std::function<void(DWORD event, DWORD session)>& sessionChanged);

struct ServiceDefinition {
  std::wstring name;
  std::wstring displayName;
  std::wstring description;
  std::wstring programPath;
};

// Installs (or updates) an automatic service of LocalSystem that Windows
// restarts when it fails, and starts it. Win32 error codes.
DWORD InstallService(const ServiceDefinition& service);
// Stops the service, waiting for it, and removes it; no service is success.
DWORD UninstallService(const std::wstring& name);

}  // namespace pm::win32
