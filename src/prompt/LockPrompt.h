// The lock engine's password prompt: the right password gives the blocked
// window back and keeps it unlocked; a wrong one, "X" or the time limit
// closes it.
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

 protected:
  PromptSettings Settings() const override;
  void cmdOK_Click() override;
  void Command1_Click() override;
  void passwordtimedelay_Timer() override;

 private:
  void CloseBlockedWindow();

  platform::Desktop& desktop_;
  store::ProgramState& state_;
  frmBlank& blank_;
};

// The title of the configuration tool, whose unlock lasts until it closes.
inline constexpr std::string_view kConfigurationToolTitle = "Configuration Tool";

}  // namespace pm::prompt
