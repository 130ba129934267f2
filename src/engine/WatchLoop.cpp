// The watch loop and its companion timers.
#include <algorithm>
#include <optional>

#include "engine/OwnPrograms.h"
#include "engine/UnlockKeys.h"
#include "engine/frmMain.h"
#include "engine/frmMainLayout.h"
#include "platform/Text.h"
#include "store/EngineReports.h"

namespace pm::engine {

namespace {
constexpr std::string_view kOwnTitleMark = "Pelmora Pro";
constexpr std::size_t kWindowTitleLength = 40;

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

void frmMain::ForgetClosedUnlocks() {
  auto& unlocked = state_.UnlockedKeys;
  // Listed at most once, and only when a key is in no top-level window.
  std::optional<std::vector<platform::Hwnd>> hosted;
  const auto hostedWindows = [&]() -> const std::vector<platform::Hwnd>& {
    if (!hosted) hosted = desktop_.VisibleHostedWindows();
    return *hosted;
  };
  unlocked.erase(std::remove_if(unlocked.begin(), unlocked.end(),
                                [&](const store::UnlockKey& key) {
                                  return !KeyStillInUse(desktop_, key, hostedWindows);
                                }),
                 unlocked.end());
  // The tool's unlock ends with the tool.
  if (state_.ConfigToolHwnd == 0) state_.ConfigWindowKey.clear();
}

// A blocked window that is gone (its program ended, or it closed itself while
// hidden) leaves the prompt nothing to guard, and a prompt naming a window
// that no longer exists would only puzzle the user: it goes, with the blank
// screen. Gone windows waiting in the queue leave it.
void frmMain::DropVanishedBlockedWindows() {
  auto& blocked = state_.BlockedWindows;
  blocked.erase(std::remove_if(blocked.begin(), blocked.end(),
                               [this](const store::BlockedWindow& window) {
                                 return !desktop_.Exists(window.hwnd);
                               }),
                blocked.end());
  if (state_.LockedHwnd == 0 || desktop_.Exists(state_.LockedHwnd)) return;
  if (forms_.frmPassword.Visible()) forms_.frmPassword.Unload();
  forms_.frmBlank.UnloadIfVisible();
}

// Our own windows (main window, prompt, about box, the start-up locker's
// prompt) carry the mark and are passed over; another program's window is
// judged by its title whatever words it holds. The owner is asked only for a
// title with the mark, so ordinary titles cost nothing more.
bool frmMain::IsOwnMarkedWindow(platform::Hwnd window, std::string_view title) {
  return title.find(kOwnTitleMark) != std::string_view::npos &&
         IsOwnProgramFile(desktop_.OwnerProgramPath(window), state_.AppFolder,
                          OwnPrograms::EngineOrStartupLocker);
}

// Whether the window with this key name passes as unlocked. Most locked
// windows have a name no unlock shares; only for the others is the owning
// program asked, which costs a process look-up, before the window is hidden.
bool frmMain::IsUnlocked(platform::Hwnd window, store::UnlockKey& key) {
  const auto& unlocked = state_.UnlockedKeys;
  const auto sameName = [&](const store::UnlockKey& other) { return other.name == key.name; };
  if (std::none_of(unlocked.begin(), unlocked.end(), sameName) &&
      !sameName(state_.ConfigWindowKey)) {
    return false;
  }
  key.programPath = desktop_.OwnerProgramPath(window);
  return std::find(unlocked.begin(), unlocked.end(), key) != unlocked.end() ||
         (!state_.ConfigWindowKey.empty() && key == state_.ConfigWindowKey);
}

// A locked title first, which needs no look at the program; the program is
// asked only where a program item or a web page's title could lock it.
bool frmMain::IsLockedWindow(platform::Hwnd window, const TitleVerdicts::Verdict& title,
                             std::string& program) {
  if (title.locked) return true;
  if (!title.webPage && !programVerdicts_.HasPrograms()) return false;
  const ProgramVerdicts::Verdict& owner = programVerdicts_.Judge(window, desktop_);
  program = owner.lockedProgram;
  return !program.empty() || (title.webPage && owner.browser);
}

// The steps that judge one window, in their order, whatever brought the
// window to our attention.
void frmMain::ExamineWindow(platform::Hwnd window) {
  state_.CurrentHwnd = window;
  if (!desktop_.IsVisible(window)) return;
  const std::string title = desktop_.WindowText(window);
  if (IsOwnMarkedWindow(window, title)) return;

  const TitleVerdicts::Verdict verdict =
      titleVerdicts_.Judge(window, title, {lockedMatcher_, ignoreMatcher_, webPageMatcher_});
  std::string program;
  if (!IsLockedWindow(window, verdict, program)) return;

  const std::string title40(platform::FirstCodePoints(title, kWindowTitleLength));
  store::UnlockKey key{KeyName(desktop_, window, title40), {}};
  if (IsUnlocked(window, key)) return;
  if (verdict.ignored) return;
  StopWindow({window, title40, std::move(key), std::move(program)});
}

void frmMain::timPelmora_Timer() {
  const WatchScope scope(inWatchTick_);
  ForgetClosedUnlocks();
  DropVanishedBlockedWindows();
  HoldDesktopLock();
  // The front window first, so that its prompt comes first; then every
  // other window on the screen, wherever it is.
  const platform::Hwnd front = desktop_.ForegroundWindow();
  ExamineWindow(front);
  for (const platform::Hwnd window : desktop_.VisibleTopLevelWindows()) {
    if (window != front) ExamineWindow(window);
  }
  // A window put inside another program's window is still a window of its
  // own to the user, and is judged as one.
  for (const platform::Hwnd window : desktop_.VisibleHostedWindows()) ExamineWindow(window);
  titleVerdicts_.EndPass();
  programVerdicts_.EndPass();
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
  ForgetClosedUnlocks();
  ExamineWindow(window != 0 ? window : desktop_.ForegroundWindow());
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
    state_.LockState = std::string(store::kLocked);
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
