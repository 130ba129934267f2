// The product's service as the harness sees it through the service control
// manager: whether it is installed and runs, and stopping and starting it
// (a start stands in for a start of Windows).
#pragma once

#include <windows.h>

#include "platform/win32/Win32ServiceHost.h"

namespace pm::e2e {

// Null when the service is not installed.
win32::UniqueServiceHandle OpenOurService();
// SERVICE_RUNNING, SERVICE_STOPPED, ...; 0 when it cannot be asked.
DWORD ServiceState(SC_HANDLE service);
bool StopService(SC_HANDLE service);
bool StartService(SC_HANDLE service);

}  // namespace pm::e2e
