// Rule loading: the engine's in-memory rules, rebuilt from the store at start
// and at every reload request.
#include "engine/frmMain.h"
#include "platform/Text.h"
#include "store/ItemLists.h"
#include "store/PasswordQuestion.h"
#include "store/PolicySettings.h"
#include "store/ProgramList.h"
#include "store/SettingsCatalogue.h"
#include "store/WebPageItems.h"

namespace pm::engine {

using store::Switch;

namespace {
// The configuration tool's title holds it, so the tool is always locked.
constexpr std::string_view kConfigurationToolKeyword = "configuration tool";
}  // namespace

// Any program can enable the desktop window again; while the switch is on,
// each watch tick disables it anew.
void frmMain::HoldDesktopLock() {
  if (!LockDesktopOn) return;
  const platform::Hwnd desktopWindow = desktop_.FindByTitle(kDesktopTitle);
  if (desktopWindow != 0 && desktop_.IsEnabled(desktopWindow)) {
    desktop_.Enable(desktopWindow, false);
  }
}

void frmMain::GetWindows() {
  List1.clear();
  List4.clear();
  List1.emplace_back(kConfigurationToolKeyword);
  std::vector<std::string> webPages;
  // The PC's own lists, then the administrator's added to them.
  for (std::string_view under : {store::kProductKey, store::kPolicyKey}) {
    for (const store::ListItem& item : store::ReadItemList(registry_, under)) {
      if (!item.checked) continue;
      if (const std::string_view page = store::WebPageTitle(item.text); !page.empty()) {
        webPages.emplace_back(page);
      } else {
        List1.push_back(platform::LowerCase(item.text));
      }
    }
  }
  for (std::string_view under : {store::kProductKey, store::kPolicyKey}) {
    for (const std::string& entry : store::ReadIgnoreList(registry_, under)) {
      List4.push_back(platform::LowerCase(entry));
    }
  }
  std::vector<std::string> programs;
  for (std::string_view key : {store::kProgramListKey, store::kPolicyProgramListKey}) {
    for (const store::ListItem& item : store::ReadProgramList(registry_, key)) {
      if (item.checked) programs.push_back(item.text);
    }
  }
  // The locked keywords are complete only after GetSettings, which gives
  // them to the watch; the others are complete here.
  watch_.SetPrograms(programs);
  watch_.SetIgnoreKeywords(List4);
  watch_.SetWebPages(webPages);
}

void frmMain::GetSettings() {
  const auto appendKeywords = [this](Switch id) {
    if (!store::ReadSwitch(registry_, id)) return;
    for (std::string_view keyword : store::Info(id).keywords) List1.emplace_back(keyword);
  };

  state_.UserPassword = store::ReadPassword(registry_, store::setting::kUserPassword);
  state_.UserPassword2 = store::ReadPassword(registry_, store::setting::kUserPassword2);
  const store::PasswordsStored stored =
      store::ReadPasswordsStored(registry_, state_.SettingsService);
  state_.FirstPasswordStored = stored.first;
  state_.SecondPasswordStored = stored.second;
  appendKeywords(Switch::BlockInstall);
  appendKeywords(Switch::LockZip);
  NoPasswordPrompt = store::ReadSwitch(registry_, Switch::PasswordPrompt);
  if (store::ReadSwitch(registry_, Switch::DisableMenu)) {
    TrayIconRemove();
    state_.TrayIconDisabled = true;
  } else {
    // Adding an icon that is shown already fails quietly, so a reload keeps it.
    TrayIconAdd();
    state_.TrayIconDisabled = false;
  }
  appendKeywords(Switch::LockInternet);
  appendKeywords(Switch::LockInternetDownloads);
  LockDesktopOn = store::ReadSwitch(registry_, Switch::LockDesktop);
  if (const platform::Hwnd desktopWindow = desktop_.FindByTitle(kDesktopTitle)) {
    desktop_.Enable(desktopWindow, !LockDesktopOn);
  }
  BlankScreenOn = store::ReadSwitch(registry_, Switch::BlankScreen);
  // Windows removes a RunOnce entry when it runs it; rewriting it at every
  // load keeps the start-up locker armed for the next log-on. Where the
  // service is installed it starts the start-up locker itself.
  if (state_.SettingsService == nullptr) {
    platform::BestEffort(
        store::ApplyStartupLock(registry_, store::ReadSwitch(registry_, Switch::LockStartup),
                                state_.AppFolder, store::StartupLockStarter::RunOnce),
        "arming the start-up lock");
  }
  HideMenuOn = store::ReadSwitch(registry_, Switch::HideMenu);
  state_.PasswordPicture = store::ReadSetting(registry_, store::setting::kPasswordPicture);
  state_.BadPasswordPic = store::ReadSetting(registry_, store::setting::kBadPasswordPic);
  const store::TimerSettings timers = store::ReadTimerSettings(registry_, state_.RelockMinutes);
  state_.TimeDelay = timers.timeDelay;
  state_.RelockMinutes = timers.relockMinutes;
  watch_.SetLockedKeywords(List1);
}

}  // namespace pm::engine
