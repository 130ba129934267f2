// The watch loop and its companion timers.
#include <algorithm>

#include "engine/OwnPrograms.h"
#include "engine/frmMain.h"
#include "engine/frmMainLayout.h"
#include "platform/Text.h"

namespace pm::engine {

namespace {
constexpr std::string_view kOwnTitleMark = "Pelmora Pro";
constexpr std::string_view kDialogClass = "#32770";
constexpr std::size_t kWindowTitleLength = 40;

}  // namespace

void frmMain::ForgetClosedUnlocks() {
  auto& unlocked = state_.UnlockedKeys;
  unlocked.erase(std::remove_if(unlocked.begin(), unlocked.end(),
                                [this](const std::string& key) {
                                  return desktop_.FindByClass(key) == 0 &&
                                         desktop_.FindByTitle(key) == 0;
                                }),
                 unlocked.end());
}

// Our own windows (main window, prompt, about box, the start-up locker's
// prompt) carry the mark and are passed over; another program's window is
// judged by its title whatever words it holds. The owner is asked only for a
// title with the mark, so ordinary titles cost nothing more.
bool frmMain::IsOwnMarkedWindow(std::string_view title) {
  return title.find(kOwnTitleMark) != std::string_view::npos &&
         IsOwnProgramFile(desktop_.OwnerProgramPath(state_.CurrentHwnd), state_.AppFolder,
                          OwnPrograms::EngineOrStartupLocker);
}

void frmMain::timPelmora_Timer() {
  inWatchTick_ = true;
  struct TickEnd {
    bool& flag;
    ~TickEnd() { flag = false; }
  } tickEnd{inWatchTick_};

  ForgetClosedUnlocks();
  state_.CurrentHwnd = desktop_.ForegroundWindow();
  const bool visible = desktop_.IsVisible(state_.CurrentHwnd);
  const std::string title = desktop_.WindowText(state_.CurrentHwnd);
  if (!visible || IsOwnMarkedWindow(title)) return;
  state_.WindowTitle = std::string(platform::FirstCodePoints(title, kWindowTitleLength));

  const std::string lowered = platform::LowerCase(title);
  if (!lockedMatcher_.FoundIn(lowered)) return;

  state_.WindowKey = desktop_.ClassName(state_.CurrentHwnd);
  if (state_.WindowKey == kDialogClass) state_.WindowKey = state_.WindowTitle;

  const auto& unlocked = state_.UnlockedKeys;
  if (state_.LockedHwnd != 0 &&
      std::find(unlocked.begin(), unlocked.end(), state_.WindowKey) != unlocked.end()) {
    state_.LockedHwnd = 1;
    return;
  }
  if (state_.WindowKey == state_.ConfigWindowKey) return;

  if (state_.CurrentHwnd != state_.LockedHwnd) {
    // A blocked window abandoned for another locked one is closed.
    if (forms_.frmPassword.Visible()) forms_.frmPassword.Unload();
    if (state_.LockedHwnd > 1) desktop_.PostClose(state_.LockedHwnd);
  }
  state_.LockedHwnd = state_.CurrentHwnd;
  if (ignoreMatcher_.FoundIn(lowered)) return;
  StopWindow();
}

void frmMain::OnForegroundChanged() {
  // The same tick, run at once; never nested inside a tick already running,
  // and not while "Unlock Everything" has the watch switched off.
  if (inWatchTick_ || !IsLoaded() || !timPelmora.Enabled()) return;
  timPelmora_Timer();
}

void frmMain::Timer1_Timer() {
  // Only a second start of ours asks for the tool, not any window that
  // happens to take the title.
  if (OwnWindowWithTitleExists(desktop_, kSetupRequestTitle, state_.AppFolder,
                               OwnPrograms::Engine)) {
    mnuPMISetup_Click();
  }
  if (!state_.ReloadRequested) return;
  state_.ReloadRequested = false;
  GetWindows();
  GetSettings();
  if (state_.AllUnlocked) {
    state_.AllUnlocked = false;
    timPelmora.SetEnabled(true);
    state_.LockState = std::string(store::kLocked);
    if (!state_.TrayIconDisabled) RefreshTrayIcon();
  }
}

void frmMain::timrelock_Timer() {
  ++state_.RelockCounter;
  if (state_.RelockCounter >= state_.RelockMinutes) {
    state_.RelockCounter = 0;
    state_.ReloadRequested = true;
  }
}

}  // namespace pm::engine
