#include "prompt/LockPrompt.h"

#include <utility>

#include "prompt/frmPasswordLayout.h"

namespace pm::prompt {

LockPrompt::LockPrompt(platform::Toolkit& toolkit, platform::Shell& shell,
                       platform::Desktop& desktop, store::ProgramState& state, frmBlank& blank)
    : frmPassword(toolkit, shell), desktop_(desktop), state_(state), blank_(blank) {}

PromptSettings LockPrompt::Settings() const {
  return {state_.UserPassword,   state_.TimeDelay,       state_.PasswordPicture,
          state_.BadPasswordPic, state_.SettingsService, state_.FirstPasswordStored};
}

std::string LockPrompt::Question() const {
  if (!state_.FirstPasswordStored || !state_.SecondPasswordStored) {
    return std::string(kNoPasswordsSetQuestion);
  }
  // A program item locks whatever the title says: the prompt names the program.
  return blocked_.program.empty() ? "'" + blocked_.title + "' requires a password."
                                  : "The program '" + blocked_.program + "' requires a password.";
}

void LockPrompt::Ask(const store::BlockedWindow& blocked, Answered answered) {
  blocked_ = blocked;
  answered_ = std::move(answered);
  ForgetCheck();
  Load();
  Label1.SetCaption(Question());
  StartRetryWait(state_.WrongPasswordsInARow);
  Show();
  // The engine runs in the background: the system may refuse its prompt the
  // foreground, and a prompt behind another window cannot be typed into.
  window().SetTopmost(true);
  desktop_.BringToFrontWithKeyboard(hwnd());
  txtPassword.SetFocus();
}

// One answer a question: whoever asked hears of the first end only.
void LockPrompt::Answer(PromptResult result) {
  if (Answered answered = std::exchange(answered_, nullptr)) answered(blocked_, result);
}

void LockPrompt::cmdOK_Click() {
  // OK is disabled while the wait or the check runs; a message sent straight
  // to the button is refused too.
  if (RetryWaitSecondsLeft() > 0 || Checking()) return;
  std::string typed = LowerTheTypedText();
  const bool tool = store::IsConfigurationTool(desktop_, state_, blocked_.hwnd);
  // The watch, the hooks and the tray go on while the check runs.
  CheckInBackground({tool ? store::PasswordFor::Tool : store::PasswordFor::Window, std::move(typed),
                     blocked_.title},
                    [this](const store::PasswordAnswer& answer) { PasswordChecked(answer); });
}

void LockPrompt::PasswordChecked(const store::PasswordAnswer& answer) {
  using Kind = store::PasswordAnswer::Kind;
  if (answer.kind == Kind::Wait) {
    // Nothing was checked: the window stays hidden and the prompt waits.
    StartWaitAfter(answer, state_.WrongPasswordsInARow);
    return;
  }
  const platform::Hwnd window = blocked_.hwnd;
  if (answer.kind == Kind::Match) {
    state_.WrongPasswordsInARow = 0;
    const bool tool = store::IsConfigurationTool(desktop_, state_, window);
    // The tool's saves go through the service with the ticket the right
    // password got; the password itself is held nowhere.
    if (tool) state_.ToolTicket = answer.ticket;
    Answer(PromptResult::Unlocked);
    desktop_.RestoreAsync(window);
    desktop_.ShowNormal(window);
    Unload();
    // Given while the prompt, ours, is in front: the tool gets the keyboard.
    if (tool) desktop_.BringToFrontWithKeyboard(window);
  } else {
    ++state_.WrongPasswordsInARow;
    Answer(PromptResult::Closed);
    desktop_.PostClose(window);
    Image2.SetPicture(Image1.Picture());
    Unload();
  }
  blank_.UnloadIfVisible();
}

void LockPrompt::CloseBlockedWindow() {
  Answer(PromptResult::Closed);
  desktop_.PostClose(blocked_.hwnd);
  blank_.UnloadIfVisible();
  Unload();
}

void LockPrompt::Command1_Click() {
  CloseBlockedWindow();
}

void LockPrompt::passwordtimedelay_Timer() {
  CloseBlockedWindow();
}

void LockPrompt::Label2_Click() {
  Answer(PromptResult::Dismissed);
  Unload();
}

}  // namespace pm::prompt
