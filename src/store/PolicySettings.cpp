#include "store/PolicySettings.h"

#include "platform/Text.h"
#include "store/RegistryModule.h"
#include "store/SettingsCatalogue.h"

namespace pm::store {

bool IsPolicyPath(std::string_view path) {
  return platform::EqualsNoCase(path.substr(0, kPolicyKey.size()), kPolicyKey) &&
         (path.size() == kPolicyKey.size() || path[kPolicyKey.size()] == '\\');
}

std::optional<std::string> ReadPolicySetting(platform::Registry& registry, std::string_view name) {
  RegValue value = RegistryModule::ReadValue(registry, kRootKey, kPolicySettingsKey, name);
  if (!value.IsString()) return std::nullopt;
  return value.String();
}

bool IsSetByPolicy(platform::Registry& registry, std::string_view name) {
  return ReadPolicySetting(registry, name).has_value();
}

std::string ReadSettingInForce(platform::Registry& registry, std::string_view name) {
  if (std::optional<std::string> policy = ReadPolicySetting(registry, name)) return *policy;
  return ReadSetting(registry, name);
}

std::optional<std::string> PolicyPassword(platform::Registry& registry) {
  const std::optional<std::string> policy = ReadPolicySetting(registry, setting::kUserPassword);
  if (!policy) return std::nullopt;
  // Blanks around a hash pasted into the Group Policy editor are no part of it.
  std::string_view hash = *policy;
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!hash.empty() && blank(hash.front())) hash.remove_prefix(1);
  while (!hash.empty() && blank(hash.back())) hash.remove_suffix(1);
  if (hash.empty()) return std::nullopt;
  if (!IsHashedPassword(hash)) return std::string(kUnusablePassword);
  return std::string(hash);
}

}  // namespace pm::store
