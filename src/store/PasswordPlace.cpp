#include "store/PasswordPlace.h"

#include <algorithm>
#include <array>

#include "platform/Text.h"
#include "store/PasswordCheck.h"
#include "store/RegistryModule.h"
#include "store/SettingsCatalogue.h"

namespace pm::store {

namespace {

constexpr std::array<std::string_view, 2> kPasswordValues = {setting::kUserPassword,
                                                             setting::kUserPassword2};

bool IsPasswordName(std::string_view name) {
  return std::any_of(
      kPasswordValues.begin(), kPasswordValues.end(),
      [name](std::string_view password) { return platform::EqualsNoCase(name, password); });
}

bool IsKey(std::string_view path, std::string_view key) {
  return platform::EqualsNoCase(path, key);
}

bool IsWithin(std::string_view path, std::string_view key) {
  return IsKey(path, key) || (path.size() > key.size() && path[key.size()] == '\\' &&
                              platform::EqualsNoCase(path.substr(0, key.size()), key));
}

ChangeOp DeleteFromSettings(std::string_view name) {
  ChangeOp op;
  op.kind = ChangeOp::Kind::DeleteValue;
  op.path = std::string(kSettingsKey);
  op.name = std::string(name);
  return op;
}

}  // namespace

platform::KeyRules RulesOfKey(std::string_view path) {
  return IsWithin(path, kPasswordsKey) ? platform::KeyRules::AdministratorsOnly
                                       : platform::KeyRules::UsersRead;
}

bool IsSettingsPassword(std::string_view path, std::string_view name) {
  return IsKey(path, kSettingsKey) && IsPasswordName(name);
}

void KeepPasswordsProtected(ChangeSet& change) {
  std::vector<ChangeOp> kept;
  kept.reserve(change.ops.size());
  for (ChangeOp& op : change.ops) {
    if (op.kind != ChangeOp::Kind::SetValue || !IsSettingsPassword(op.path, op.name)) {
      kept.push_back(std::move(op));
      continue;
    }
    const std::string name = op.name;
    ChangeOp create;
    create.kind = ChangeOp::Kind::CreateKey;
    create.path = std::string(kPasswordsKey);
    kept.push_back(std::move(create));
    op.path = std::string(kPasswordsKey);
    kept.push_back(std::move(op));
    kept.push_back(DeleteFromSettings(name));
  }
  change.ops = std::move(kept);
}

ChangeSet MovePasswordsToProtectedPlace(platform::Registry& registry, std::uint32_t iterations) {
  ChangeSet change;
  for (std::string_view name : kPasswordValues) {
    const RegValue stored = RegistryModule::ReadValue(registry, kRootKey, kSettingsKey, name);
    if (stored.IsEmpty()) continue;
    const std::string text = stored.Text();
    ChangeOp set;
    set.kind = ChangeOp::Kind::SetValue;
    set.path = std::string(kSettingsKey);
    set.name = std::string(name);
    set.type = platform::reg_type::kSz;
    // A plain one is hashed as it is, so exactly the texts that opened it
    // still do.
    set.data = RegistryModule::EncodeString(HashPlainPassword(text, iterations));
    change.ops.push_back(std::move(set));
  }
  KeepPasswordsProtected(change);
  return change;
}

bool ChangesPasswords(const ChangeSet& change) {
  return std::any_of(change.ops.begin(), change.ops.end(),
                     [](const ChangeOp& op) {
                       return (op.kind == ChangeOp::Kind::SetValue ||
                               op.kind == ChangeOp::Kind::DeleteValue) &&
                              IsKey(op.path, kPasswordsKey) && IsPasswordName(op.name);
                     }) ||
         std::any_of(change.ops.begin(), change.ops.end(), [](const ChangeOp& op) {
           return (op.kind == ChangeOp::Kind::DeleteTree || op.kind == ChangeOp::Kind::DeleteKey) &&
                  IsWithin(kPasswordsKey, op.path);
         });
}

}  // namespace pm::store
