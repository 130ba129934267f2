// The lock engine's hidden main window: start-up and the second-start
// signal, the tray icon and its menus, the rule tables, the watch's timers,
// the queue of blocked windows, and the close-and-restart. Which window is
// locked is the watch's to say (WindowWatch.h).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "about/frmabout.h"
#include "config/EngineCommands.h"
#include "config/frmSetup.h"
#include "engine/WindowWatch.h"
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
  // Remove, then add: how the icon follows the lock status.
  void RefreshTrayIcon();

  void UnlockEverything() override;
  void RelockEverything() override;
  void EndProgram() override;

  // "Configure...": the configuration tool, behind the password.
  void mnuPMISetup_Click();

  // The watch tick: examines the window in front, then every other visible
  // top-level window, then the windows other programs' windows hold.
  void timPelmora_Timer();

  // The hidden locked windows waiting for the prompt, the one it asks for
  // (or asks for next) first.
  const std::deque<store::BlockedWindow>& BlockedWindows() const { return blockedWindows_; }

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
  void DropVanishedBlockedWindows();
  void HoldDesktopLock();
  bool PromptsShown() const;
  // Shows the prompt for the first queued window when none is up.
  void AskForNextBlockedWindow();
  // The prompt's answer for `window`: it leaves the queue, and an unlock
  // lets its windows pass.
  void BlockedWindowAnswered(const store::BlockedWindow& window, prompt::PromptResult result);

  platform::Toolkit& toolkit_;
  platform::Desktop& desktop_;
  platform::Shell& shell_;
  platform::Registry& registry_;
  store::ProgramState& state_;
  Forms forms_;

  std::vector<std::string> List1;  // locked keywords, lower case
  std::vector<std::string> List4;  // ignore keywords, lower case
  WindowWatch watch_;
  std::deque<store::BlockedWindow> blockedWindows_;
  // The blocked window the prompt (or, without prompts, the blank screen)
  // guards; 0 before the first block.
  platform::Hwnd LockedHwnd = 0;
  bool NoPasswordPrompt = false;
  bool BlankScreenOn = false;
  bool LockDesktopOn = false;
  bool HideMenuOn = false;
  bool secondStart_ = false;
  bool inWatchTick_ = false;
  platform::Hwnd lastSetupRequest_ = 0;  // the second start's signal acted on
};

}  // namespace pm::engine
