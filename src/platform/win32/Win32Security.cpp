#include "platform/win32/Win32Security.h"

#include <aclapi.h>
#include <sddl.h>

namespace pm::win32 {

UniqueSecurityDescriptor SecurityDescriptorFromSddl(const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return {};
  }
  return UniqueSecurityDescriptor(descriptor);
}

UniqueKernelHandle WithoutAdministratorRights(HANDLE token) {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                0, 0, 0, 0, &administrators)) {
    return {};
  }
  SID_AND_ATTRIBUTES denyOnly{administrators, 0};
  UniqueKernelHandle restricted;
  const BOOL made = CreateRestrictedToken(token, DISABLE_MAX_PRIVILEGE, 1, &denyOnly, 0, nullptr, 0,
                                          nullptr, restricted.put());
  FreeSid(administrators);
  return made ? std::move(restricted) : UniqueKernelHandle();
}

namespace {

DWORD ApplyDacl(const std::wstring& path, PACL dacl) {
  return SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT,
                               DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                               nullptr, nullptr, dacl, nullptr);
}

using UniqueFindHandle = UniqueHandle<HANDLE, FindClose>;

// FindFirstFile answers INVALID_HANDLE_VALUE, not null, on failure.
UniqueFindHandle FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& found) {
  const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  return UniqueFindHandle(search == INVALID_HANDLE_VALUE ? nullptr : search);
}

}  // namespace

DWORD ProtectProgramFolder(const std::wstring& folder) {
  const UniqueSecurityDescriptor rules = SecurityDescriptorFromSddl(kProgramFolderSddl);
  if (!rules) return GetLastError();
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  if (!GetSecurityDescriptorDacl(rules.get(), &present, &dacl, &defaulted)) return GetLastError();
  DWORD first = ApplyDacl(folder, dacl);
  WIN32_FIND_DATAW found{};
  const UniqueFindHandle search = FindFirst(folder + L"\\*", found);
  if (!search) return first;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const DWORD applied = ApplyDacl(folder + L"\\" + name, dacl);
    if (first == ERROR_SUCCESS) first = applied;
  } while (FindNextFileW(search.get(), &found));
  return first;
}

}  // namespace pm::win32
