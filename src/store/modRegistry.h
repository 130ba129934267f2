// Key-maintenance operations of the registry access layer.
#pragma once

#include <functional>

#include <string>
#include <string_view>

#include "platform/Registry.h"
#include "store/RegValue.h"

namespace pm::store::modRegistry {

// True when the value existed and was deleted.
RegResult DeleteValue(platform::Registry& registry, platform::RootKey root, std::string_view path,
                      std::string_view name);

bool EnablePrivilege(platform::Registry& registry, std::string_view privilegeName);

// Gives the key and every key below it the rules of platform::ProtectKey
// that `rulesOf` gives its path; the first failure.
RegResult ProtectKeyTree(platform::Registry& registry, platform::RootKey root,
                         std::string_view path,
                         const std::function<platform::KeyRules(std::string_view path)>& rulesOf);

// Saves the key's subtree in the platform's hive format, replacing the file.
// Without the backup privilege nothing is deleted or written.
RegResult SaveKeyToFile(platform::Registry& registry, platform::RootKey root, std::string_view path,
                        const std::string& filePath);

// Replaces the key's values and subkeys by those of a hive file.
RegResult RestoreKeyFromFile(platform::Registry& registry, platform::RootKey root,
                             std::string_view path, const std::string& filePath);

}  // namespace pm::store::modRegistry
