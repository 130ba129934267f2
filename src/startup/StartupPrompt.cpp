#include "startup/StartupPrompt.h"

#include "store/PasswordCheck.h"

namespace pm::startup {

StartupPrompt::StartupPrompt(platform::Toolkit& toolkit, platform::Shell& shell,
                             std::string userPassword, std::function<void()> unlocked)
    : frmPassword(toolkit, shell),
      userPassword_(std::move(userPassword)),
      unlocked_(std::move(unlocked)) {}

void StartupPrompt::cmdOK_Click() {
  // OK is disabled while the wait runs; a click or Enter that still reaches
  // this handler (a message sent straight to the button) is refused too.
  if (RetryWaitSecondsLeft() > 0) return;
  // A wrong password shows nothing and leaves the lowered text in the box.
  if (store::PasswordMatches(LowerTheTypedText(), userPassword_)) {
    Unload();
    unlocked_();
    return;
  }
  StartRetryWait(++wrongInARow_);
}

}  // namespace pm::startup
