// The start-up locker's prompt: the password prompt with its own OK, which
// ends the program on the right password and otherwise waits for the next
// try. It holds the screen meanwhile: a topmost cover hides every monitor,
// and once a second the cover and then the prompt are put back on top and
// the prompt takes the keyboard again, whatever another program did. It
// cannot be closed: "X" is disabled, and a close from the title bar, Alt+F4
// or WM_CLOSE from anyone is refused; only the right password or the end of
// the Windows session ends it, and only the password counts as an unlock.
// After too many wrong passwords in a row, OK waits a while before the next
// try.
#pragma once

#include <functional>
#include <string>

#include "platform/Desktop.h"
#include "prompt/frmBlank.h"
#include "prompt/frmPassword.h"

namespace pm::startup {

// How the prompt went.
enum class PromptEnd {
  Unlocked,      // the right password
  SessionEnded,  // Windows ends the session
  Lost,          // any other way: its window was destroyed
};

class StartupPrompt : public prompt::frmPassword {
 public:
  // `ended` runs once the prompt has gone.
  // With `service`, the service checks the password and its record alone
  // ends the start-up lock; a session end then ends nothing here (Windows
  // ends the program itself at a real one, and tells the service).
  StartupPrompt(platform::Toolkit& toolkit, platform::Shell& shell, platform::Desktop& desktop,
                std::string userPassword, bool passwordStored, platform::ServiceChannel* service,
                std::function<void(PromptEnd)> ended);

  prompt::frmBlank& cover() { return cover_; }

 protected:
  // The configured pictures and time limit are the engine's; this prompt
  // keeps its built-in pictures and waits without a limit.
  prompt::PromptSettings Settings() const override {
    return {userPassword_, 0, {}, {}, service_, passwordStored_};
  }
  void Form_Load() override;
  bool Form_QueryUnload(platform::UnloadMode mode) override;
  void Form_Unload() override;
  void cmdOK_Click() override;
  // The engine's prompt closes on a click of its label; this one must not.
  void Label2_Click() override {}
  void TimerForce_Timer() override;

 private:
  void PasswordChecked(const store::PasswordAnswer& answer);
  bool HoldsTheScreen();

  platform::Desktop& desktop_;
  prompt::frmBlank cover_;
  std::string userPassword_;
  bool passwordStored_;
  platform::ServiceChannel* service_;
  std::function<void(PromptEnd)> ended_;
  int wrongInARow_ = 0;
  PromptEnd end_ = PromptEnd::Lost;
};

}  // namespace pm::startup
