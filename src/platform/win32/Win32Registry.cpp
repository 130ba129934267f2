#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Security.h"

namespace pm::win32 {

using platform::RegStatus;
using platform::RootKey;

namespace {

HKEY ToHkey(RootKey root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}
HKEY ToHkey(platform::Registry::Handle key) {
  return reinterpret_cast<HKEY>(key);
}

}  // namespace

RegStatus Win32Registry::OpenKey(RootKey root, std::string_view path, std::uint32_t access,
                                 Handle& key) {
  HKEY opened = nullptr;
  const LSTATUS status = RegOpenKeyExW(ToHkey(root), Wide(path).c_str(), 0, access, &opened);
  if (status == ERROR_SUCCESS) key = reinterpret_cast<Handle>(opened);
  return status;
}

RegStatus Win32Registry::CreateKey(RootKey root, std::string_view path, std::uint32_t access,
                                   Handle& key, bool& existed) {
  HKEY created = nullptr;
  DWORD disposition = 0;
  const LSTATUS status =
      RegCreateKeyExW(ToHkey(root), Wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                      nullptr, &created, &disposition);
  if (status == ERROR_SUCCESS) {
    key = reinterpret_cast<Handle>(created);
    existed = disposition == REG_OPENED_EXISTING_KEY;
  }
  return status;
}

void Win32Registry::CloseKey(Handle key) noexcept {
  RegCloseKey(ToHkey(key));
}

RegStatus Win32Registry::QueryValue(Handle key, std::string_view name, std::uint32_t& type,
                                    std::span<std::uint8_t> buffer, std::uint32_t& size) {
  DWORD valueType = 0;
  DWORD bytes = static_cast<DWORD>(buffer.size());
  const LSTATUS status =
      RegQueryValueExW(ToHkey(key), Wide(name).c_str(), nullptr, &valueType, buffer.data(), &bytes);
  if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) size = bytes;
  if (status == ERROR_SUCCESS) type = valueType;
  return status;
}

RegStatus Win32Registry::SetValue(Handle key, std::string_view name, std::uint32_t type,
                                  std::span<const std::uint8_t> data) {
  return RegSetValueExW(ToHkey(key), Wide(name).c_str(), 0, type, data.data(),
                        static_cast<DWORD>(data.size()));
}

RegStatus Win32Registry::DeleteValue(Handle key, std::string_view name) {
  return RegDeleteValueW(ToHkey(key), Wide(name).c_str());
}

RegStatus Win32Registry::DeleteKey(RootKey root, std::string_view path) {
  return RegDeleteKeyW(ToHkey(root), Wide(path).c_str());
}

RegStatus Win32Registry::DeleteTree(RootKey root, std::string_view path) {
  UniqueHkey key;
  LSTATUS status = RegOpenKeyExW(ToHkey(root), Wide(path).c_str(), 0,
                                 platform::reg_access::kDeleteTree, key.put());
  if (status != ERROR_SUCCESS) return status;
  status = RegDeleteTreeW(key.get(), nullptr);
  key.reset();
  if (status != ERROR_SUCCESS) return status;
  return RegDeleteKeyW(ToHkey(root), Wide(path).c_str());
}

RegStatus Win32Registry::EnumKey(Handle key, std::uint32_t index, std::string& name) {
  wchar_t buffer[256];  // the registry's limit for a key name is 255 characters
  DWORD length = static_cast<DWORD>(std::size(buffer));
  const LSTATUS status =
      RegEnumKeyExW(ToHkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) name = Narrow(std::wstring_view(buffer, length));
  return status;
}

RegStatus Win32Registry::EnumValue(Handle key, std::uint32_t index, std::string& name,
                                   std::uint32_t& type, std::vector<std::uint8_t>& data) {
  DWORD maxNameLength = 0;
  DWORD maxDataLength = 0;
  LSTATUS status =
      RegQueryInfoKeyW(ToHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       &maxNameLength, &maxDataLength, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return status;
  // A value may grow between the two calls; ask again with the size reported.
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::wstring nameBuffer(maxNameLength + 1, L'\0');
    data.assign(maxDataLength, 0);
    DWORD nameLength = maxNameLength + 1;
    DWORD dataLength = maxDataLength;
    DWORD valueType = 0;
    status = RegEnumValueW(ToHkey(key), index, nameBuffer.data(), &nameLength, nullptr, &valueType,
                           data.data(), &dataLength);
    if (status == ERROR_SUCCESS) {
      name = Narrow(std::wstring_view(nameBuffer.data(), nameLength));
      type = valueType;
      data.resize(dataLength);
      return status;
    }
    if (status != ERROR_MORE_DATA) return status;
    maxNameLength = maxNameLength * 2 + 16;
    maxDataLength = std::max<DWORD>(dataLength, maxDataLength * 2 + 16);
  }
  return status;
}

RegStatus Win32Registry::SaveKey(Handle key, const std::string& filePath) {
  return RegSaveKeyW(ToHkey(key), Wide(filePath).c_str(), nullptr);
}

RegStatus Win32Registry::RestoreKey(Handle key, const std::string& filePath, std::uint32_t flags) {
  return RegRestoreKeyW(ToHkey(key), Wide(filePath).c_str(), flags);
}

bool Win32Registry::EnablePrivilege(std::string_view privilegeName) {
  UniqueKernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) {
    return false;
  }
  LUID luid{};
  if (!LookupPrivilegeValueW(nullptr, Wide(privilegeName).c_str(), &luid)) return false;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid = luid;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof(privileges), nullptr,
                             nullptr)) {
    return false;
  }
  // The call also succeeds when the token does not hold the privilege at all;
  // only the last error tells, and then the privilege is not enabled.
  return GetLastError() != ERROR_NOT_ALL_ASSIGNED;
}

RegStatus Win32Registry::ProtectKey(platform::RootKey root, std::string_view path,
                                    platform::KeyRules keyRules) {
  const UniqueSecurityDescriptor rules = SecurityDescriptorFromSddl(
      keyRules == platform::KeyRules::UsersRead ? kProtectedKeySddl : kAdministratorsOnlyKeySddl);
  if (!rules) return static_cast<RegStatus>(GetLastError());
  UniqueHkey key;
  const LSTATUS opened = RegOpenKeyExW(ToHkey(root), Wide(path).c_str(), 0, WRITE_DAC, key.put());
  if (opened != ERROR_SUCCESS) return opened;
  return RegSetKeySecurity(
      key.get(), DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, rules.get());
}

}  // namespace pm::win32
