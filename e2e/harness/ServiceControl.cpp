#include "ServiceControl.h"

#include "Harness.h"
#include "Scenarios.h"
#include "platform/ServiceChannel.h"
#include "platform/win32/Wide.h"

namespace pm::e2e {

win32::UniqueServiceHandle OpenOurService() {
  const win32::UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return {};
  return win32::UniqueServiceHandle(
      OpenServiceW(manager.get(), win32::Wide(platform::service::kName).c_str(),
                   SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS));
}

DWORD ServiceState(SC_HANDLE service) {
  SERVICE_STATUS status{};
  return QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
}

bool StopService(SC_HANDLE service) {
  SERVICE_STATUS status{};
  ControlService(service, SERVICE_CONTROL_STOP, &status);
  return WaitFor([&] { return ServiceState(service) == SERVICE_STOPPED; }, kServiceLimit);
}

bool StartService(SC_HANDLE service) {
  StartServiceW(service, 0, nullptr);
  return WaitFor([&] { return ServiceState(service) == SERVICE_RUNNING; }, kServiceLimit);
}

}  // namespace pm::e2e
