#include "startup/StartupPrompt.h"

#include "store/PasswordCheck.h"
#include "startup/RetryWait.h"

namespace pm::startup {

StartupPrompt::StartupPrompt(platform::Toolkit& toolkit, platform::Shell& shell,
                             std::string userPassword, std::function<void()> unlocked)
    : frmPassword(toolkit, shell),
      userPassword_(std::move(userPassword)),
      unlocked_(std::move(unlocked)) {
  OnTimer(Ids::tmrRetryWait, [this] { tmrRetryWait_Timer(); });
}

void StartupPrompt::cmdOK_Click() {
  // OK is disabled while the wait runs; a click or Enter that still reaches
  // this handler (a message sent straight to the button) is refused too.
  if (secondsLeft_ > 0) return;
  // A wrong password shows nothing and leaves the lowered text in the box.
  if (store::PasswordMatches(LowerTheTypedText(), userPassword_)) {
    Unload();
    unlocked_();
    return;
  }
  const int wait = RetryWaitSeconds(++wrongInARow_);
  if (wait > 0) StartRetryWait(wait);
}

void StartupPrompt::StartRetryWait(int seconds) {
  secondsLeft_ = seconds;
  promptText_ = Label1.Caption();
  cmdOK.SetEnabled(false);
  // The disabled button may have had the keyboard; give it to the box, with
  // the wrong text selected so that the next try replaces it.
  txtPassword.SetFocus();
  txtPassword.SelectAll();
  Label1.SetCaption(RetryWaitMessage(secondsLeft_));
  tmrRetryWait.SetEnabled(true);
}

void StartupPrompt::tmrRetryWait_Timer() {
  if (--secondsLeft_ > 0) {
    Label1.SetCaption(RetryWaitMessage(secondsLeft_));
    return;
  }
  tmrRetryWait.SetEnabled(false);
  Label1.SetCaption(promptText_);
  cmdOK.SetEnabled(true);
}

}  // namespace pm::startup
