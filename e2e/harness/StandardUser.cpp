#include "StandardUser.h"

#include "Harness.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Security.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

win32::UniqueKernelHandle StandardUserToken() {
  win32::UniqueKernelHandle own;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY,
                        own.put())) {
    return {};
  }
  return win32::WithoutAdministratorRights(own.get());
}

bool CreateStandardUserProcess(std::wstring commandLine, const wchar_t* folder,
                               PROCESS_INFORMATION& info) {
  const win32::UniqueKernelHandle token = StandardUserToken();
  if (!token) return false;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  return CreateProcessAsUserW(token.get(), nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, folder, &startup, &info) != FALSE;
}

std::optional<DWORD> RunAsStandardUser(std::wstring commandLine, DWORD limitMs) {
  PROCESS_INFORMATION info{};
  if (!CreateStandardUserProcess(std::move(commandLine), nullptr, info)) return std::nullopt;
  const win32::UniqueKernelHandle process(info.hProcess);
  const win32::UniqueKernelHandle thread(info.hThread);
  if (WaitForSingleObject(process.get(), limitMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.get(), 1);
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  return code;
}

bool ProtectAsWindowsDoes(std::string_view key) {
  win32::Win32Registry registry;
  platform::RegStatus status = 0;
  bool existed = false;
  const platform::RegKey made = platform::RegKey::Create(
      registry, platform::RootKey::LocalMachine, key, platform::reg_access::kRead, status, existed);
  if (status == 0)
    status =
        registry.ProtectKey(platform::RootKey::LocalMachine, key, platform::KeyRules::UsersRead);
  if (status != 0) Say("  could not protect HKLM\\%s: error %d", std::string(key).c_str(), status);
  return status == 0;
}

bool HardenSystemKeys() {
  bool all = true;
  for (std::string_view key :
       {std::string_view("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"), store::kRunOnceKey,
        store::kWinlogonKey}) {
    all = ProtectAsWindowsDoes(key) && all;
  }
  return all;
}

}  // namespace pm::e2e
