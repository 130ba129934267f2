#include "store/modRegistry.h"

#include "platform/Files.h"

namespace pm::store::modRegistry {

using platform::RegKey;
using platform::RegStatus;

RegResult DeleteValue(platform::Registry& registry, platform::RootKey root, std::string_view path,
                      std::string_view name) {
  RegStatus status = 0;
  const RegKey key = RegKey::Open(registry, root, path, platform::reg_access::kSetValue, status);
  if (!key) return platform::ResultOf(status);
  return platform::ResultOf(registry.DeleteValue(key.get(), name));
}

bool EnablePrivilege(platform::Registry& registry, std::string_view privilegeName) {
  return registry.EnablePrivilege(privilegeName);
}

RegResult ProtectKeyTree(platform::Registry& registry, platform::RootKey root,
                         std::string_view path,
                         const std::function<platform::KeyRules(std::string_view path)>& rulesOf) {
  FirstFailure outcome;
  outcome.Note(platform::ResultOf(registry.ProtectKey(root, path, rulesOf(path))));
  std::vector<std::string> names;
  RegStatus status = 0;
  if (const RegKey key = RegKey::Open(registry, root, path, platform::reg_access::kRead, status)) {
    std::string name;
    for (std::uint32_t i = 0; registry.EnumKey(key.get(), i, name) == 0; ++i) {
      names.push_back(name);
    }
  }
  for (const std::string& name : names) {
    outcome.Note(ProtectKeyTree(registry, root, std::string(path) + "\\" + name, rulesOf));
  }
  return outcome.result();
}

RegResult SaveKeyToFile(platform::Registry& registry, platform::RootKey root, std::string_view path,
                        const std::string& filePath) {
  if (!EnablePrivilege(registry, "SeBackupPrivilege")) {
    return platform::ResultOf(platform::reg_error::kPrivilegeNotHeld);
  }
  RegStatus status = 0;
  const RegKey key = RegKey::Open(registry, root, path, platform::reg_access::kRead, status);
  if (!key) return platform::ResultOf(status);
  // The platform refuses to save over an existing file.
  if (const RegStatus deleted = platform::DeleteFileIfPresent(filePath); deleted != 0) {
    return platform::ResultOf(deleted);
  }
  return platform::ResultOf(registry.SaveKey(key.get(), filePath));
}

RegResult RestoreKeyFromFile(platform::Registry& registry, platform::RootKey root,
                             std::string_view path, const std::string& filePath) {
  if (!EnablePrivilege(registry, "SeRestorePrivilege")) {
    return platform::ResultOf(platform::reg_error::kPrivilegeNotHeld);
  }
  RegStatus status = 0;
  // A restore replaces the key's whole tree, values, subkeys and their
  // security: it alone needs every right.
  const RegKey key = RegKey::Open(registry, root, path, platform::reg_access::kAllAccess, status);
  if (!key) return platform::ResultOf(status);
  return platform::ResultOf(registry.RestoreKey(key.get(), filePath, platform::kRegForceRestore));
}

}  // namespace pm::store::modRegistry
