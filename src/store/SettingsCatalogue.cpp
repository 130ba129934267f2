#include "store/SettingsCatalogue.h"

#include <cmath>
#include <stdexcept>

#include "platform/Text.h"
#include "store/PasswordPlace.h"
#include "store/PolicySettings.h"
#include "store/RegistryModule.h"
#include "store/modRegistry.h"

namespace pm::store {
namespace {

constexpr std::array<std::string_view, 3> kInstallKeywords = {"setup", "install",
                                                              "license agreement"};
constexpr std::array<std::string_view, 2> kZipKeywords = {"zip", "extract"};
constexpr std::array<std::string_view, 1> kInternetKeywords = {"connect"};
constexpr std::array<std::string_view, 1> kDownloadKeywords = {"file download"};

constexpr std::array<SwitchInfo, 10> kSwitches = {{
    {Switch::PasswordPrompt, "passwordprompt", "Don't Display a Password Prompt", {}},
    {Switch::LockZip, "LockZip", "Lock Zip and Self Extracting Files", kZipKeywords},
    {Switch::LockInternet, "LockInternet", "Lock Dialup Networking", kInternetKeywords},
    {Switch::DisableMenu, "disablemenu", "Disable Tray Icon", {}},
    {Switch::BlockInstall, "BlockInstall", "Lock Software Installations", kInstallKeywords},
    {Switch::LockInternetDownloads, "LockInternetDownloads", "Lock Internet Explorer Downloads",
     kDownloadKeywords},
    {Switch::LockDesktop, "LockDesktop", "Lock Desktop", {}},
    {Switch::BlankScreen, "BlankScreen", "&Blank Screen on Password Box", {}},
    {Switch::HideMenu, "HideMenu", "Hide Configuation on Tray Icon", {}},
    {Switch::LockStartup, "LockStartup", "Lock Windows at Startup", {}},
}};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

const std::array<SwitchInfo, 10>& Switches() {
  return kSwitches;
}

const SwitchInfo& Info(Switch id) {
  return kSwitches[static_cast<std::size_t>(id)];
}

std::string ReadSetting(platform::Registry& registry, std::string_view name) {
  return RegistryModule::ReadValue(registry, kRootKey, kSettingsKey, name).Text();
}

RegResult WriteSetting(platform::Registry& registry, std::string_view name, std::string_view text) {
  return RegistryModule::WriteValue(registry, kRootKey, kSettingsKey, name, std::string(text));
}

bool IsOn(std::string_view stored) {
  return stored == "1";
}

bool ForegroundHookSwitchedOff(platform::Registry& registry) {
  return IsOn(
      RegistryModule::ReadValue(registry, kRootKey, kBenchmarkKey, kNoForegroundHook).Text());
}

bool ForegroundPollSwitchedOff(platform::Registry& registry) {
  return IsOn(
      RegistryModule::ReadValue(registry, kRootKey, kBenchmarkKey, kNoForegroundPoll).Text());
}

bool ReadSwitch(platform::Registry& registry, Switch id) {
  return IsOn(ReadSettingInForce(registry, Info(id).valueName));
}

bool IsHashedPassword(std::string_view stored) {
  return stored.starts_with(kPasswordHashScheme);
}

std::string ReadPassword(platform::Registry& registry, std::string_view name) {
  if (name == setting::kUserPassword || name == setting::kUserPassword2) {
    if (std::optional<std::string> policy = PolicyPassword(registry)) return *policy;
  }
  // The service keeps them where only it can read them; a developer's build
  // (and an older version) in the Settings key.
  const RegValue kept = RegistryModule::ReadValue(registry, kRootKey, kPasswordsKey, name);
  std::string stored = kept.IsEmpty() ? ReadSetting(registry, name) : kept.Text();
  if (IsHashedPassword(stored)) return stored;
  return std::string(platform::FirstCodePoints(stored, kPasswordLength));
}

std::optional<std::int16_t> ToInteger16(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (whole.empty() && fraction.empty()) return std::nullopt;
  double value = 0;
  for (char c : whole) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 1e6) return std::nullopt;
  }
  double scale = 0.1;
  for (char c : fraction) {
    if (c < '0' || c > '9') return std::nullopt;
    value += (c - '0') * scale;
    scale /= 10;
  }
  const double rounded = std::nearbyint(negative ? -value : value);  // half to even
  if (rounded < -32768 || rounded > 32767) return std::nullopt;
  return static_cast<std::int16_t>(rounded);
}

TimerSettings ParseTimerSettings(std::string_view timeDelay, std::string_view relock,
                                 std::int16_t previousRelockMinutes) {
  TimerSettings result{0, previousRelockMinutes};
  if (!timeDelay.empty()) {
    const auto seconds = ToInteger16(timeDelay);
    if (!seconds) return result;
    result.timeDelay = (*seconds < 5 || *seconds > 99) ? std::int16_t{0} : *seconds;
  }
  if (relock.empty() || relock == "0") {
    result.relockMinutes = 0;
    return result;
  }
  const auto minutes = ToInteger16(relock);
  if (!minutes) return TimerSettings{0, previousRelockMinutes};
  result.relockMinutes = *minutes;
  return result;
}

TimerSettings ReadTimerSettings(platform::Registry& registry, std::int16_t previousRelockMinutes) {
  return ParseTimerSettings(ReadSettingInForce(registry, setting::kTimeDelay),
                            ReadSettingInForce(registry, setting::kRelock), previousRelockMinutes);
}

std::string FolderWithBackslash(std::string_view folder) {
  std::string result(folder);
  while (!result.empty() && (result.back() == '\\' || result.back() == '/')) result.pop_back();
  return result + "\\";
}

RegResult ApplyStartupLock(platform::Registry& registry, bool on, std::string_view appFolder,
                           StartupLockStarter starter) {
  FirstFailure outcome;
  if (!on || starter == StartupLockStarter::Service) {
    outcome.NoteDeletion(modRegistry::DeleteValue(registry, kRootKey, kRunOnceKey, kRunOnceValue));
  }
  if (!on) return outcome.result();
  outcome.NoteDeletion(modRegistry::DeleteValue(registry, kRootKey, kWinlogonKey, "Background"));
  if (starter == StartupLockStarter::RunOnce) {
    const std::string startupProgram =
        FolderWithBackslash(appFolder) + std::string(kStartupProgram);
    outcome.Note(
        RegistryModule::WriteValue(registry, kRootKey, kRunOnceKey, kRunOnceValue, startupProgram));
  }
  outcome.Note(
      RegistryModule::WriteValue(registry, kRootKey, kWinlogonKey, "LogonType", std::int32_t{0}));
  return outcome.result();
}

}  // namespace pm::store
