// The watch tick and its companion timers: the second start's signal and
// the reloads, and the relock count.
#include "engine/OwnPrograms.h"
#include "engine/frmMain.h"
#include "engine/frmMainLayout.h"
#include "store/EngineReports.h"

namespace pm::engine {

namespace {

// Marks the steps as running, so that a notification that arrives while
// they pump messages is not handled inside them.
class WatchScope {
 public:
  explicit WatchScope(bool& running) : running_(running) { running_ = true; }
  ~WatchScope() { running_ = false; }
  WatchScope(const WatchScope&) = delete;
  WatchScope& operator=(const WatchScope&) = delete;

 private:
  bool& running_;
};

}  // namespace

void frmMain::timPelmora_Timer() {
  const WatchScope scope(inWatchTick_);
  watch_.ForgetClosedUnlocks();
  DropVanishedBlockedWindows();
  HoldDesktopLock();
  watch_.ExamineScreen([this](store::BlockedWindow locked) { StopWindow(std::move(locked)); });
  AskForNextBlockedWindow();
}

void frmMain::OnWindowChanged(platform::Hwnd window) {
  // The same steps, run at once for the window reported; never nested inside
  // a tick already running, and not while "Unlock Everything" has the watch
  // switched off.
  if (inWatchTick_ || !IsLoaded() || !timPelmora.Enabled()) return;
  const WatchScope scope(inWatchTick_);
  // An unlock whose last window has closed must not cover a new window that
  // is reported before the next tick.
  watch_.ForgetClosedUnlocks();
  DropVanishedBlockedWindows();
  if (auto locked = watch_.Examine(window != 0 ? window : desktop_.ForegroundWindow())) {
    StopWindow(std::move(*locked));
  }
  AskForNextBlockedWindow();
}

void frmMain::Timer1_Timer() {
  // Only a second start of ours asks for the tool, not any window that
  // happens to take the title; and it asks once, though its signal stays
  // for about a second: a tool closed meanwhile does not come back.
  const platform::Hwnd request =
      OwnWindowWithTitle(desktop_, kSetupRequestTitle, state_.AppFolder, OwnPrograms::Engine);
  if (request != 0 && request != lastSetupRequest_) mnuPMISetup_Click();
  lastSetupRequest_ = request;
  // An add-on's save: the rules, and the open tool's list, take it in.
  if (state_.StoredSettingsWatch != nullptr && state_.StoredSettingsWatch->Changed()) {
    state_.ReloadRequested = true;
    if (forms_.frmSetup.IsLoaded()) forms_.frmSetup.TakeStoredAdditions();
  }
  FollowPolicyChange();
  if (!state_.ReloadRequested) return;
  state_.ReloadRequested = false;
  GetWindows();
  GetSettings();
  if (state_.AllUnlocked) {
    state_.AllUnlocked = false;
    timPelmora.SetEnabled(true);
    state_.LockState = store::LockStatus::Locked;
    if (!state_.TrayIconDisabled) RefreshTrayIcon();
  }
}

// The administrator's settings changed (a Group Policy refresh, Intune):
// the rules follow at once. "Unlock Everything" stays in force; it is the
// owner's, and the new rules hold once it ends.
void frmMain::FollowPolicyChange() {
  if (state_.PolicyWatch == nullptr || !state_.PolicyWatch->Changed()) return;
  GetWindows();
  GetSettings();
}

void frmMain::timrelock_Timer() {
  ++state_.RelockCounter;
  if (state_.RelockCounter >= state_.RelockMinutes) {
    state_.RelockCounter = 0;
    state_.ReloadRequested = true;
    store::ReportToService(state_, {store::EngineReport::Kind::AutomaticRelock,
                                    static_cast<std::uint32_t>(state_.RelockMinutes)});
  }
}

}  // namespace pm::engine
