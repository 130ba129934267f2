#include "addons/AddonSave.h"

#include "platform/Text.h"
#include "store/PasswordCheck.h"
#include "store/ProgramState.h"
#include "store/SettingsCatalogue.h"

namespace pm::addons {

namespace {
constexpr std::string_view kWrongPassword = "The password is not right, so nothing was changed.";
}  // namespace

store::WriteOutcome SaveAddedItem(const AddonPlatform& platform, std::string password,
                                  const AddedItem& item) {
  store::ProgramState state;
  state.SettingsService = platform.service;
  state.ToolPassword = store::LowerTypedPassword(password);
  platform::WipeText(password);
  if (platform.service == nullptr &&
      !store::PasswordMatches(
          state.ToolPassword,
          store::ReadSetting(platform.registry, store::setting::kUserPassword))) {
    platform::WipeText(state.ToolPassword);
    return {store::WriteOutcome::Kind::Failed, std::string(kWrongPassword)};
  }
  store::SettingsChange change(platform.registry, state);
  const store::RegResult written = WriteAddedItem(change.registry(), item);
  store::WriteOutcome outcome =
      written ? change.Commit()
              : store::WriteOutcome{store::WriteOutcome::Kind::Failed,
                                    platform::SystemErrorText(written.status)};
  platform::WipeText(state.ToolPassword);
  return outcome;
}

}  // namespace pm::addons
