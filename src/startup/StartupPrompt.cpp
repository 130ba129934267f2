#include "startup/StartupPrompt.h"

#include "prompt/PasswordCheck.h"

namespace pm::startup {

StartupPrompt::StartupPrompt(platform::Toolkit& toolkit, platform::Shell& shell,
                             std::string userPassword, std::function<void()> unlocked)
    : frmPassword(toolkit, shell),
      userPassword_(std::move(userPassword)),
      unlocked_(std::move(unlocked)) {}

void StartupPrompt::cmdOK_Click() {
  // A wrong password shows nothing and leaves the lowered text in the box.
  if (prompt::PasswordMatches(LowerTheTypedText(), userPassword_)) {
    Unload();
    unlocked_();
  }
}

}  // namespace pm::startup
