#include "platform/win32/Win32Security.h"

#include <aclapi.h>
#include <sddl.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace pm::win32 {

UniqueSecurityDescriptor SecurityDescriptorFromSddl(const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return {};
  }
  return UniqueSecurityDescriptor(descriptor);
}

UniqueSid AdministratorsSid() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  UniqueSid administrators;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                0, 0, 0, 0, administrators.put())) {
    return {};
  }
  return administrators;
}

UniqueKernelHandle WithoutAdministratorRights(HANDLE token) {
  const UniqueSid administrators = AdministratorsSid();
  if (!administrators) return {};
  SID_AND_ATTRIBUTES denyOnly{administrators.get(), 0};
  UniqueKernelHandle restricted;
  if (!CreateRestrictedToken(token, DISABLE_MAX_PRIVILEGE, 1, &denyOnly, 0, nullptr, 0, nullptr,
                             restricted.put())) {
    return {};
  }
  return restricted;
}

namespace {

bool SetTokenIntegrity(HANDLE token, DWORD level) {
  SID_IDENTIFIER_AUTHORITY mandatory = SECURITY_MANDATORY_LABEL_AUTHORITY;
  UniqueSid sid;
  if (!AllocateAndInitializeSid(&mandatory, 1, level, 0, 0, 0, 0, 0, 0, 0, sid.put())) return false;
  TOKEN_MANDATORY_LABEL label{};
  label.Label.Sid = sid.get();
  label.Label.Attributes = SE_GROUP_INTEGRITY;
  return SetTokenInformation(token, TokenIntegrityLevel, &label,
                             sizeof label + GetLengthSid(sid.get())) != FALSE;
}

bool SetTokenDefaultDacl(HANDLE token, const wchar_t* sddl) {
  const UniqueSecurityDescriptor rules = SecurityDescriptorFromSddl(sddl);
  if (!rules) return false;
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  TOKEN_DEFAULT_DACL dacl{};
  if (!GetSecurityDescriptorDacl(rules.get(), &present, &dacl.DefaultDacl, &defaulted)) {
    return false;
  }
  return SetTokenInformation(token, TokenDefaultDacl, &dacl, sizeof dacl) != FALSE;
}

// Whether two DACLs hold the same entries in the same order.
bool SameDacl(const ACL* a, const ACL* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return a->AclSize == b->AclSize && a->AceCount == b->AceCount &&
         std::memcmp(a, b, a->AclSize) == 0;
}

DWORD ApplyDacl(const std::wstring& path, PACL dacl) {
  return SetNamedSecurityInfoW(const_cast<wchar_t*>(path.c_str()), SE_FILE_OBJECT,
                               DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                               nullptr, nullptr, dacl, nullptr);
}

// FindFirstFile answers INVALID_HANDLE_VALUE, not null, on failure.
UniqueFindHandle FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& found) {
  const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  return UniqueFindHandle(search == INVALID_HANDLE_VALUE ? nullptr : search);
}

}  // namespace

UniqueKernelHandle SessionProgramToken(HANDLE userToken) {
  UniqueKernelHandle token = WithoutAdministratorRights(userToken);
  if (!token || !SetTokenIntegrity(token.get(), kHighIntegrity) ||
      !SetTokenDefaultDacl(token.get(), kSessionProgramObjectsSddl)) {
    return {};
  }
  return token;
}

UniqueKernelHandle UserLevelToken(HANDLE userToken) {
  UniqueKernelHandle token;
  if (!DuplicateTokenEx(userToken, MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary,
                        token.put())) {
    return {};
  }
  const DWORD level = IntegrityLevelOf(token.get());
  if (level > kMediumIntegrity && !SetTokenIntegrity(token.get(), kMediumIntegrity)) return {};
  return token;
}

DWORD IntegrityLevelOf(HANDLE token) {
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  if (size < sizeof(TOKEN_MANDATORY_LABEL)) return 0;
  std::vector<std::uint8_t> buffer(size);
  if (!GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) return 0;
  const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
  const PSID sid = label->Label.Sid;
  if (sid == nullptr || !IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0) return 0;
  return *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
}

DWORD OwnIntegrityLevel() {
  // The pseudo handle asks no access of the token, whose own rules are the
  // service's (it made the token) and may refuse this very process.
  return IntegrityLevelOf(GetCurrentProcessToken());
}

bool OwnedBySystem(HANDLE object) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                      nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const UniqueSecurityDescriptor held(descriptor);
  return owner != nullptr && IsWellKnownSid(owner, WinLocalSystemSid);
}

bool CarriesSessionProgramProtection(HANDLE process) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(process, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                      nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const UniqueSecurityDescriptor held(descriptor);
  const UniqueSecurityDescriptor ours = SecurityDescriptorFromSddl(kSessionProgramSddl);
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL ourDacl = nullptr;
  if (!ours || !GetSecurityDescriptorDacl(ours.get(), &present, &ourDacl, &defaulted) ||
      !SameDacl(dacl, ourDacl)) {
    return false;
  }
  UniqueKernelHandle token;
  if (!OpenProcessToken(process, TOKEN_QUERY, token.put())) return false;
  const DWORD level = IntegrityLevelOf(token.get());
  return level == 0 || level >= kHighIntegrity;
}

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
