// The lock engine's password prompt: the right password gives the blocked
// window back; a wrong one, "X" or the time limit closes it. It is asked for
// one blocked window at a time and tells the one who asked how it ended.
#pragma once

#include <functional>

#include "platform/Desktop.h"
#include "prompt/frmBlank.h"
#include "prompt/frmPassword.h"
#include "store/ProgramState.h"

namespace pm::prompt {

// How the prompt for a blocked window ended.
enum class PromptResult {
  Unlocked,   // the right password: the window is shown again
  Closed,     // a wrong password, "X" or the time limit: the window was asked to close
  Dismissed,  // only the prompt went; the window stays hidden
};

// What the prompt says, instead of naming the window, unless both passwords
// are set.
inline constexpr std::string_view kNoPasswordsSetQuestion =
    "No password set, click OK to continue without one. To set click the program icon.";

class LockPrompt : public frmPassword {
 public:
  using Answered = std::function<void(const store::BlockedWindow&, PromptResult)>;

  LockPrompt(platform::Toolkit& toolkit, platform::Shell& shell, platform::Desktop& desktop,
             store::ProgramState& state, frmBlank& blank);

  // Shows the prompt for `blocked`, naming it (or its locked program):
  // topmost, in front with the keyboard, and waiting first if too many wrong
  // passwords came in a row. `answered` is told the end before the window is
  // given back or closed, so an unlock is in force when the window shows.
  void Ask(const store::BlockedWindow& blocked, Answered answered);

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
  void Answer(PromptResult result);
  std::string Question() const;

  platform::Desktop& desktop_;
  store::ProgramState& state_;
  frmBlank& blank_;
  store::BlockedWindow blocked_;  // the window asked for
  Answered answered_;
};

}  // namespace pm::prompt
