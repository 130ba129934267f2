// The password prompt. The form, its load steps and the handlers both
// programs share live here; what OK, "X" and the time limit do differs
// between the lock engine and the start-up locker, so each derives its own.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Form.h"
#include "platform/Shell.h"
#include "prompt/frmPasswordLayout.h"

namespace pm::prompt {

struct PromptSettings {
  std::string userPassword;
  std::int16_t timeDelay = 0;  // seconds; 0 = no limit
  std::string passwordPicture;
  std::string badPasswordPicture;
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

  void Form_Load() override;

 private:
  platform::Shell& shell_;
  void cmdShutDown_Click();
  void TimerForce_Timer();
  void tmrRetryWait_Timer();

  int secondsLeft_ = 0;
  std::string promptText_;  // Label1's text before the wait
};

inline constexpr std::string_view kNoPasswordHint =
    "Password: if none click OK, to set go into Config.";

}  // namespace pm::prompt
