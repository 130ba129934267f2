// The lock engine's password prompt: the right password gives the blocked
// window back and keeps it unlocked; a wrong one, "X" or the time limit
// closes it. It asks for one blocked window at a time, the first of the
// engine's queue.
#pragma once

#include "platform/Desktop.h"
#include "prompt/frmBlank.h"
#include "prompt/frmPassword.h"
#include "store/ProgramState.h"

namespace pm::prompt {

class LockPrompt : public frmPassword {
 public:
  LockPrompt(platform::Toolkit& toolkit, platform::Shell& shell, platform::Desktop& desktop,
             store::ProgramState& state, frmBlank& blank);

  // Shows the prompt for LockedHwnd, its Label1 already set: topmost, in
  // front with the keyboard, and waiting first if too many wrong passwords
  // came in a row.
  void Ask();

 protected:
  PromptSettings Settings() const override;
  void cmdOK_Click() override;
  void Command1_Click() override;
  void passwordtimedelay_Timer() override;
  // Only the prompt goes; its window stays hidden and is asked for no more.
  void Label2_Click() override;

 private:
  void CloseBlockedWindow();
  // The end of OK, once the password has been checked.
  void PasswordChecked(const store::PasswordAnswer& answer);
  // The blocked window has its answer: it leaves the queue.
  void Answered();
  bool IsConfigurationTool(platform::Hwnd window);

  platform::Desktop& desktop_;
  store::ProgramState& state_;
  frmBlank& blank_;
};

}  // namespace pm::prompt
