// The start-up locker's prompt: the password prompt with its own OK, which
// ends the program on the right password and otherwise waits for the next
// try. Its "X" is disabled, so the password is the only way past it. After
// too many wrong passwords in a row, OK waits a while before the next try.
#pragma once

#include <functional>
#include <string>

#include "prompt/frmPassword.h"

namespace pm::startup {

class StartupPrompt : public prompt::frmPassword {
 public:
  StartupPrompt(platform::Toolkit& toolkit, platform::Shell& shell, std::string userPassword,
                std::function<void()> unlocked);

 protected:
  // The configured pictures and time limit are the engine's; this prompt
  // keeps its built-in pictures and waits without a limit.
  prompt::PromptSettings Settings() const override { return {userPassword_, 0, {}, {}}; }
  void cmdOK_Click() override;

 private:
  std::string userPassword_;
  std::function<void()> unlocked_;
  int wrongInARow_ = 0;
};

}  // namespace pm::startup
