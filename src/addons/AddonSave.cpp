#include "addons/AddonSave.h"

#include <optional>

#include "platform/Text.h"
#include "store/PasswordCheck.h"
#include "store/PasswordQuestion.h"
#include "store/ProgramState.h"
#include "store/SettingsCatalogue.h"

namespace pm::addons {

namespace {

constexpr std::string_view kWrongPassword = "The password is not right, so nothing was changed.";

// The service's answer for the tool's password: a ticket for this one
// save, as the configuration tool gets one at its prompt.
std::optional<std::string> Refusal(const store::PasswordAnswer& answer) {
  switch (answer.kind) {
    case store::PasswordAnswer::Kind::Match:
      return std::nullopt;
    case store::PasswordAnswer::Kind::NoMatch:
      return std::string(kWrongPassword);
    case store::PasswordAnswer::Kind::Wait:
      return "Too many wrong passwords: the Pelmora Pro Service takes no password for " +
             std::to_string(answer.waitSeconds) + " more seconds.";
    case store::PasswordAnswer::Kind::Unanswered:
    case store::PasswordAnswer::Kind::NotChecked:
      break;
  }
  return answer.reason;
}

}  // namespace

store::WriteOutcome SaveAddedItem(const AddonPlatform& platform, std::string password,
                                  const AddedItem& item) {
  store::PasswordQuestion question{
      store::PasswordFor::Tool, store::LowerTypedPassword(password), {}};
  platform::WipeText(password);
  // Where there is no service, the stored value is compared here.
  const store::PasswordAnswer answer =
      store::AskPassword(platform.service, question,
                         platform.service == nullptr
                             ? store::ReadSetting(platform.registry, store::setting::kUserPassword)
                             : std::string());
  platform::WipeText(question.typed);
  if (const std::optional<std::string> refused = Refusal(answer)) {
    return {store::WriteOutcome::Kind::Failed, *refused};
  }
  store::ProgramState state;
  state.SettingsService = platform.service;
  state.ToolTicket = answer.ticket;
  store::SettingsChange change(platform.registry, state);
  store::WriteOutcome outcome = change.Commit(WriteAddedItem(change.registry(), item));
  // The ticket served this save only.
  store::EndToolTicket(platform.service, state.ToolTicket);
  return outcome;
}

}  // namespace pm::addons
