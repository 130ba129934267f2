// The lock engine's hidden main window: start-up and the second-start
// signal, the tray icon and its menus, the rule tables, the watch loop and
// blocking, and the close-and-restart.
#pragma once

#include <string>
#include <vector>

#include "about/frmabout.h"
#include "config/EngineCommands.h"
#include "config/frmSetup.h"
#include "engine/KeywordMatcher.h"
#include "engine/ProgramVerdicts.h"
#include "engine/TitleVerdicts.h"
#include "engine/frmMainLayout.h"
#include "platform/Desktop.h"
#include "platform/Form.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "prompt/LockPrompt.h"
#include "prompt/frmBlank.h"
#include "store/ProgramState.h"

namespace pm::engine {

// The desktop's own window (behind every other), which "Lock Desktop" disables.
inline constexpr std::string_view kDesktopTitle = "Program Manager";

// The platform the engine runs on.
struct Platform {
  platform::Toolkit& toolkit;
  platform::Desktop& desktop;
  platform::Shell& shell;
  platform::Registry& registry;
};

// The other windows the main window opens.
struct Forms {
  prompt::LockPrompt& frmPassword;
  prompt::frmBlank& frmBlank;
  about::frmabout& frmabout;
  config::frmSetup& frmSetup;
};

class frmMain : public platform::Form, public config::EngineCommands {
 protected:
  using Ids = frmMainIds;

 public:
  frmMain(Platform platform, store::ProgramState& state, Forms forms);
  ~frmMain() override;

  // Rule loading: always GetWindows, then GetSettings.
  void GetWindows();
  void GetSettings();
  // Hides a locked window and queues it for the prompt.
  void StopWindow(store::BlockedWindow blocked);

  void TrayIconAdd();
  void TrayIconRemove();
  // Remove, then add: how the icon follows LockState.
  void RefreshTrayIcon();

  void UnlockEverything() override;
  void RelockEverything() override;
  void EndProgram() override;

  // "Configure...": the configuration tool, behind the password.
  void mnuPMISetup_Click();

  // The watch tick: examines the window in front, then every other visible
  // top-level window, then the windows other programs' windows hold.
  void timPelmora_Timer();

  // True when this start found a running copy and only signalled it.
  bool IsSecondStart() const { return secondStart_; }

  // The rule tables.
  const std::vector<std::string>& LockedKeywords() const { return List1; }
  const std::vector<std::string>& IgnoreKeywords() const { return List4; }

  platform::Timer timPelmora{*this, Ids::timPelmora};
  platform::Timer Timer1{*this, Ids::Timer1};
  platform::Timer timrelock{*this, Ids::timrelock};
  platform::Timer tmrTimeDelay{*this, Ids::tmrTimeDelay};

 protected:
  void Form_Load() override;
  bool Form_QueryUnload(platform::UnloadMode mode) override;
  void Form_Unload() override;
  void Form_TrayMessage(std::uint32_t mouseMessage) override;

 private:
  void Timer1_Timer();
  void FollowPolicyChange();
  void timrelock_Timer();
  void tmrTimeDelay_Timer();
  void OnWindowChanged(platform::Hwnd window);
  void RunSecondStart();
  void ForgetClosedUnlocks();
  void DropVanishedBlockedWindows();
  void HoldDesktopLock();
  bool IsOwnMarkedWindow(platform::Hwnd window, std::string_view title);
  // Completes `key` with the owning program when an unlock might match.
  bool IsUnlocked(platform::Hwnd window, store::UnlockKey& key);
  // Whether the window is locked, by its title or its program; `program`
  // names a locked program.
  bool IsLockedWindow(platform::Hwnd window, const TitleVerdicts::Verdict& title,
                      std::string& program);
  void ExamineWindow(platform::Hwnd window);
  bool PromptsShown() const;
  // Shows the prompt for the first queued window when none is up.
  void AskForNextBlockedWindow();

  platform::Toolkit& toolkit_;
  platform::Desktop& desktop_;
  platform::Shell& shell_;
  platform::Registry& registry_;
  store::ProgramState& state_;
  Forms forms_;

  std::vector<std::string> List1;    // locked keywords, lower case
  std::vector<std::string> List4;    // ignore keywords, lower case
  KeywordMatcher lockedMatcher_;     // List1, for the tick
  KeywordMatcher ignoreMatcher_;     // List4, for the tick
  KeywordMatcher webPageMatcher_;    // locked web pages' titles, for browsers' windows
  TitleVerdicts titleVerdicts_;      // what those say of each window's title
  ProgramVerdicts programVerdicts_;  // the locked programs, and each window's
  bool NoPasswordPrompt = false;
  bool BlankScreenOn = false;
  bool LockDesktopOn = false;
  bool HideMenuOn = false;
  bool secondStart_ = false;
  bool inWatchTick_ = false;
  platform::Hwnd lastSetupRequest_ = 0;  // the second start's signal acted on
};

}  // namespace pm::engine
