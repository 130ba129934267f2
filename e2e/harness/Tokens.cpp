#include "Tokens.h"

#include <sddl.h>

#include <cstdint>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Win32Security.h"

namespace pm::e2e {

namespace {

// A DACL as Windows writes it in SDDL.
std::wstring DaclText(PACL dacl) {
  SECURITY_DESCRIPTOR descriptor{};
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, dacl, FALSE);
  LPWSTR text = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(
          &descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
    return L"(unreadable)";
  }
  std::wstring rules = text;
  LocalFree(text);
  return rules;
}

std::wstring AsWindowsWritesIt(const wchar_t* sddl) {
  const win32::UniqueSecurityDescriptor descriptor = win32::SecurityDescriptorFromSddl(sddl);
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  if (!descriptor || !GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted)) {
    return L"(unreadable)";
  }
  return DaclText(dacl);
}

}  // namespace

bool TokenReadBack::AsTheServiceGivesIt() const {
  return (integrity == 0 || integrity == win32::kHighIntegrity) &&
         defaultDacl == AsWindowsWritesIt(win32::kSessionProgramObjectsSddl);
}

TokenReadBack ReadBackToken(DWORD processId) {
  TokenReadBack seen;
  const win32::UniqueKernelHandle process(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  win32::UniqueKernelHandle token;
  if (!process || !OpenProcessToken(process.get(), TOKEN_QUERY, token.put())) return seen;
  seen.integrity = win32::IntegrityLevelOf(token.get());
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenDefaultDacl, nullptr, 0, &size);
  std::vector<std::uint8_t> buffer(size);
  if (size >= sizeof(TOKEN_DEFAULT_DACL) &&
      GetTokenInformation(token.get(), TokenDefaultDacl, buffer.data(), size, &size)) {
    seen.defaultDacl =
        DaclText(reinterpret_cast<const TOKEN_DEFAULT_DACL*>(buffer.data())->DefaultDacl);
  }
  return seen;
}

}  // namespace pm::e2e
