#include <windows.h>

#include "contract/RegistryContract.h"
#include "platform/win32/Win32Registry.h"

namespace pm::tests {
namespace {

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Backend, RegistryContract,
                         ::testing::Values(RegistryBackend{
                             "Win32", [] { return std::make_unique<win32::Win32Registry>(); },
                             !RunningUnderWine()}),
                         BackendName);

}  // namespace pm::tests
