#include "prompt/frmPassword.h"

#include <memory>

#include "prompt/RetryWait.h"
#include "prompt/frmPasswordLayout.h"
#include "store/PasswordCheck.h"

namespace pm::prompt {

using platform::Event;

frmPassword::frmPassword(platform::Toolkit& toolkit, platform::Shell& shell)
    : Form(toolkit, kfrmPasswordSpec), shell_(shell) {
  On(Ids::cmdOK, Event::Click, [this] { cmdOK_Click(); });
  On(Ids::Command1, Event::Click, [this] { Command1_Click(); });
  On(Ids::Label2, Event::Click, [this] { Label2_Click(); });
  On(Ids::cmdShutDown, Event::Click, [this] { cmdShutDown_Click(); });
  OnTimer(Ids::passwordtimedelay, [this] { passwordtimedelay_Timer(); });
  OnTimer(Ids::TimerForce, [this] { TimerForce_Timer(); });
  OnTimer(Ids::tmrRetryWait, [this] { tmrRetryWait_Timer(); });
}

void frmPassword::Form_Load() {
  secondsLeft_ = 0;
  const PromptSettings settings = Settings();
  window().CenterOnScreen();
  // A picture that cannot be loaded leaves the built-in one.
  if (!settings.badPasswordPicture.empty()) {
    if (auto picture = toolkit_.LoadPicture(settings.badPasswordPicture))
      Image1.SetPicture(picture);
  }
  if (!settings.passwordPicture.empty()) {
    if (auto picture = toolkit_.LoadPicture(settings.passwordPicture)) Image2.SetPicture(picture);
  }
  if (!settings.passwordStored) Label1.SetCaption(kNoPasswordHint);
  if (settings.timeDelay > 0) {
    passwordtimedelay.SetInterval(settings.timeDelay * 1000);
    passwordtimedelay.SetEnabled(true);
  }
}

std::string frmPassword::LowerTheTypedText() {
  std::string lowered = store::LowerTypedPassword(txtPassword.Text());
  txtPassword.SetText(lowered);
  return lowered;
}

void frmPassword::Label2_Click() {
  Unload();
}

// The button is disabled and below the visible area; nothing enables it.
void frmPassword::cmdShutDown_Click() {
  shell_.ShutDown();
}

void frmPassword::CheckInBackground(store::PasswordQuestion question,
                                    std::function<void(const store::PasswordAnswer&)> checked) {
  checking_ = true;
  const std::string caption = Label1.Caption();
  cmdOK.SetEnabled(false);
  Label1.SetCaption(kCheckingPassword);
  const PromptSettings settings = Settings();
  const auto answer = std::make_shared<store::PasswordAnswer>();
  const int attempt = ++attempt_;
  RunInBackground(
      [answer, question = std::move(question), service = settings.passwordService,
       stored = settings.userPassword] { *answer = store::AskPassword(service, question, stored); },
      [this, answer, attempt, caption, checked = std::move(checked)] {
        if (attempt != attempt_ || !checking_) return;
        checking_ = false;
        cmdOK.SetEnabled(true);
        // Nobody could say whether it is right: nothing is let through and
        // nothing counts as a wrong try.
        if (answer->kind == store::PasswordAnswer::Kind::Unanswered ||
            answer->kind == store::PasswordAnswer::Kind::NotChecked) {
          Label1.SetCaption(answer->reason + " " + std::string(kTryAgainHint));
          return;
        }
        Label1.SetCaption(caption);
        checked(*answer);
      });
}

void frmPassword::StartWaitAfter(const store::PasswordAnswer& answer, int wrongInARow) {
  if (answer.fromService || answer.kind == store::PasswordAnswer::Kind::Wait) {
    StartRetryWaitFor(answer.waitSeconds);
  } else {
    StartRetryWait(wrongInARow);
  }
}

void frmPassword::ForgetCheck() {
  ++attempt_;
  checking_ = false;
}

void frmPassword::TimerForce_Timer() {
  Show(platform::ShowMode::Normal);
  window().SetTopmost(true);
}

void frmPassword::StartRetryWait(int wrongInARow) {
  StartRetryWaitFor(RetryWaitSeconds(wrongInARow));
}

void frmPassword::StartRetryWaitFor(int seconds) {
  if (seconds <= 0) return;
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

void frmPassword::tmrRetryWait_Timer() {
  if (--secondsLeft_ > 0) {
    Label1.SetCaption(RetryWaitMessage(secondsLeft_));
    return;
  }
  tmrRetryWait.SetEnabled(false);
  Label1.SetCaption(promptText_);
  cmdOK.SetEnabled(true);
}

}  // namespace pm::prompt
