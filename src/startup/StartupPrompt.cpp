#include "startup/StartupPrompt.h"

#include <vector>

namespace pm::startup {

StartupPrompt::StartupPrompt(platform::Toolkit& toolkit, platform::Shell& shell,
                             platform::Desktop& desktop, std::string userPassword,
                             bool passwordStored, platform::ServiceChannel* service,
                             std::function<void(PromptEnd)> ended)
    : frmPassword(toolkit, shell),
      desktop_(desktop),
      cover_(toolkit),
      userPassword_(std::move(userPassword)),
      passwordStored_(passwordStored),
      service_(service),
      ended_(std::move(ended)) {}

void StartupPrompt::Form_Load() {
  frmPassword::Form_Load();
  Command1.SetEnabled(false);
  // The cover goes up first, so that the prompt, shown after it, is above.
  cover_.ShowOverEveryMonitor();
  window().SetTopmost(true);
  TimerForce.SetEnabled(true);
}

// Another topmost window, or one given the foreground, may have come over
// the cover or the prompt since the last second.
void StartupPrompt::TimerForce_Timer() {
  if (HoldsTheScreen()) return;
  cover_.ShowOverEveryMonitor();
  frmPassword::TimerForce_Timer();
  // Only when another window has it: taking the keyboard from the box while
  // the user types would lose keys.
  if (desktop_.ForegroundWindow() != hwnd()) {
    desktop_.BringToFrontWithKeyboard(hwnd());
    txtPassword.SetFocus();
  }
}

// The prompt in front with the keyboard, and the cover right behind it:
// nothing to put back. Raising them anyway every second costs the window
// system a restacking each time.
bool StartupPrompt::HoldsTheScreen() {
  if (!cover_.Visible() || desktop_.ForegroundWindow() != hwnd()) return false;
  const std::vector<platform::Hwnd> front = desktop_.VisibleTopLevelWindows();
  return front.size() >= 2 && front[0] == hwnd() && front[1] == cover_.hwnd();
}

bool StartupPrompt::Form_QueryUnload(platform::UnloadMode mode) {
  // Any program can send what looks like a session end; with the service,
  // which Windows itself tells of a log-off, the prompt stays for it.
  if (mode != platform::UnloadMode::WindowsSession || service_ != nullptr) return true;
  end_ = PromptEnd::SessionEnded;
  return false;
}

void StartupPrompt::Form_Unload() {
  cover_.UnloadIfVisible();
  // Called last: it may end the program.
  ended_(end_);
}

void StartupPrompt::cmdOK_Click() {
  // OK is disabled while the wait or the check runs; a click or Enter that
  // still reaches this handler (a message sent straight to the button) is
  // refused too.
  if (RetryWaitSecondsLeft() > 0 || Checking()) return;
  CheckInBackground({store::PasswordFor::StartupLock, LowerTheTypedText(), {}},
                    [this](const store::PasswordAnswer& answer) { PasswordChecked(answer); });
}

// A wrong password shows nothing and leaves the lowered text in the box.
void StartupPrompt::PasswordChecked(const store::PasswordAnswer& answer) {
  if (answer.kind != store::PasswordAnswer::Kind::Match) {
    if (answer.kind == store::PasswordAnswer::Kind::NoMatch) ++wrongInARow_;
    StartWaitAfter(answer, wrongInARow_);
    return;
  }
  end_ = PromptEnd::Unlocked;
  Unload();
}

}  // namespace pm::startup
