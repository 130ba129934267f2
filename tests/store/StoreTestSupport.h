// Helpers for tests of the settings store on the in-memory registry.
#pragma once

#include <string>
#include <string_view>

#include "platform/sim/SimRegistry.h"
#include "store/RegistryModule.h"
#include "store/SettingsCatalogue.h"

namespace pm::tests {

inline void StoreText(platform::Registry& registry, std::string_view key, std::string_view name,
                      std::string_view text) {
  EXPECT_TRUE(
      store::RegistryModule::WriteValue(registry, store::kRootKey, key, name, std::string(text)));
}

inline std::string StoredText(platform::Registry& registry, std::string_view key,
                              std::string_view name) {
  return store::RegistryModule::ReadValue(registry, store::kRootKey, key, name).Text();
}

inline bool ValueExists(platform::Registry& registry, std::string_view key, std::string_view name) {
  return !store::RegistryModule::ReadValue(registry, store::kRootKey, key, name).IsEmpty();
}

// Names of all values under a key, in the order the registry lists them.
inline std::vector<std::string> ValueNames(platform::Registry& registry, std::string_view key) {
  std::vector<std::string> names;
  platform::RegStatus status = 0;
  const auto opened =
      platform::RegKey::Open(registry, store::kRootKey, key, platform::reg_access::kRead, status);
  if (!opened) return names;
  std::string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  for (std::uint32_t i = 0; registry.EnumValue(opened.get(), i, name, type, data) == 0; ++i) {
    names.push_back(name);
  }
  return names;
}

}  // namespace pm::tests
