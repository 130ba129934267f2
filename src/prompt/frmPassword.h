// The password prompt. The form, its load steps and the handlers both
// programs share live here; what OK, "X" and the time limit do differs
// between the lock engine and the start-up locker, so each derives its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Form.h"
#include "platform/Shell.h"
#include "prompt/frmPasswordLayout.h"
#include "store/PasswordQuestion.h"

namespace pm::prompt {

struct PromptSettings {
  std::string userPassword;
  std::int16_t timeDelay = 0;  // seconds; 0 = no limit
  std::string passwordPicture;
  std::string badPasswordPicture;
  // The service that decides whether a password is right; none where the
  // program checks against `userPassword` itself.
  platform::ServiceChannel* passwordService = nullptr;
  // Whether a password is stored at all (`userPassword` may be out of the
  // program's reach).
  bool passwordStored = false;
};

class frmPassword : public platform::Form {
 protected:
  using Ids = frmPasswordIds;

 public:
  frmPassword(platform::Toolkit& toolkit, platform::Shell& shell);

  platform::Control Command1{*this, Ids::Command1};
  platform::Timer passwordtimedelay{*this, Ids::passwordtimedelay};
  platform::Control cmdShutDown{*this, Ids::cmdShutDown};
  platform::Timer TimerForce{*this, Ids::TimerForce};
  platform::Control cmdOK{*this, Ids::cmdOK};
  platform::Control txtPassword{*this, Ids::txtPassword};
  platform::Control Label2{*this, Ids::Label2};
  platform::Control Image1{*this, Ids::Image1};
  platform::Control Image3{*this, Ids::Image3};
  platform::Control Image2{*this, Ids::Image2};
  platform::Control Label1{*this, Ids::Label1};
  // The wait after too many wrong passwords in a row.
  platform::Timer tmrRetryWait{*this, Ids::tmrRetryWait};

  // Seconds left before OK takes a password again; 0 when it does now.
  int RetryWaitSecondsLeft() const { return secondsLeft_; }

 protected:
  // What this program's prompt shows and waits for, read at every load.
  virtual PromptSettings Settings() const = 0;
  virtual void cmdOK_Click() = 0;
  virtual void Command1_Click() {}
  virtual void passwordtimedelay_Timer() {}
  virtual void Label2_Click();
  // Turns the box's text to lower case, as both OK handlers begin.
  std::string LowerTheTypedText();
  // Disables OK for the wait after `wrongInARow` wrong passwords in a row,
  // if that count calls for one, counting down in Label1.
  void StartRetryWait(int wrongInARow);
  // The same for a wait of `seconds`, as the service gives it.
  void StartRetryWaitFor(int seconds);
  // Asks whether the typed password is right (store/PasswordQuestion.h) on
  // a thread of its own, since the check takes a noticeable part of a
  // second: meanwhile OK is disabled, Label1 says so and the program's other
  // work goes on. Afterwards, on the UI thread, Label1 and OK are as before
  // and `checked` runs, unless the prompt was unloaded or asked again in the
  // meantime. An answer nobody could give (the service cannot be reached)
  // stays in Label1 instead, with OK to try again, and lets nothing through.
  void CheckInBackground(store::PasswordQuestion question,
                         std::function<void(const store::PasswordAnswer&)> checked);
  // The wait a wrong password or a refusal calls for: the service's, or,
  // where the program checks itself, the one after `wrongInARow`.
  void StartWaitAfter(const store::PasswordAnswer& answer, int wrongInARow);
  bool Checking() const { return checking_; }
  // A check still running no longer counts: the prompt asks anew.
  void ForgetCheck();
  // Shows the prompt again, topmost; once a second while TimerForce runs.
  virtual void TimerForce_Timer();

  void Form_Load() override;

 private:
  platform::Shell& shell_;
  void cmdShutDown_Click();
  void tmrRetryWait_Timer();

  int secondsLeft_ = 0;
  std::string promptText_;  // Label1's text before the wait
  // Counts the checks, so that one that ends after the prompt was asked
  // again changes nothing.
  int attempt_ = 0;
  bool checking_ = false;
};

inline constexpr std::string_view kNoPasswordHint =
    "Password: if none click OK, to set go into Config.";
inline constexpr std::string_view kTryAgainHint = "Nothing was let through. Press OK to try again.";

}  // namespace pm::prompt
