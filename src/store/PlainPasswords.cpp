#include "store/PlainPasswords.h"

#include <array>
#include <string_view>

#include "platform/Text.h"
#include "store/PasswordCheck.h"
#include "store/RegistryModule.h"
#include "store/SettingsCatalogue.h"

namespace pm::store {

namespace {

constexpr std::array<std::string_view, 2> kPasswordValues = {setting::kUserPassword,
                                                             setting::kUserPassword2};

// "Settings", as a subkey of the product key.
constexpr std::string_view kSettingsSubkey = kSettingsKey.substr(kProductKey.size() + 1);

bool IsPasswordValue(std::string_view name) {
  for (std::string_view password : kPasswordValues) {
    if (platform::EqualsNoCase(name, password)) return true;
  }
  return false;
}

bool IsPlain(std::string_view stored) {
  return !stored.empty() && !IsHashedPassword(stored);
}

}  // namespace

RegResult HashPlainPasswords(platform::Registry& target, std::uint32_t iterations) {
  FirstFailure outcome;
  for (std::string_view name : kPasswordValues) {
    const std::string stored = ReadSetting(target, name);
    if (IsPlain(stored)) {
      outcome.Note(WriteSetting(target, name, HashPlainPassword(stored, iterations)));
    }
  }
  return outcome.result();
}

void HashPlainPasswords(KeySnapshot& product, std::uint32_t iterations) {
  for (auto& [name, subkey] : product.subkeys) {
    if (!platform::EqualsNoCase(name, kSettingsSubkey)) continue;
    for (KeySnapshot::Value& value : subkey.values) {
      if (!IsPasswordValue(value.name)) continue;
      // The text the prompt would read from it, whatever string type it has.
      const std::string stored = RegistryModule::ValueFromData(value.type, value.data).Text();
      if (IsPlain(stored)) {
        value.type = platform::reg_type::kSz;
        value.data = RegistryModule::EncodeString(HashPlainPassword(stored, iterations));
      }
    }
  }
}

}  // namespace pm::store
