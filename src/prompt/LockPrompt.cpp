#include "prompt/LockPrompt.h"

#include <algorithm>

#include "prompt/frmPasswordLayout.h"

namespace pm::prompt {

LockPrompt::LockPrompt(platform::Toolkit& toolkit, platform::Shell& shell,
                       platform::Desktop& desktop, store::ProgramState& state, frmBlank& blank)
    : frmPassword(toolkit, shell), desktop_(desktop), state_(state), blank_(blank) {}

PromptSettings LockPrompt::Settings() const {
  return {state_.UserPassword,   state_.TimeDelay,       state_.PasswordPicture,
          state_.BadPasswordPic, state_.SettingsService, state_.FirstPasswordStored};
}

void LockPrompt::Ask() {
  ForgetCheck();
  Load();
  StartRetryWait(state_.WrongPasswordsInARow);
  Show();
  // The engine runs in the background: the system may refuse its prompt the
  // foreground, and a prompt behind another window cannot be typed into.
  window().SetTopmost(true);
  desktop_.BringToFrontWithKeyboard(hwnd());
  txtPassword.SetFocus();
}

// The tool is known by its window, which only this process can own, never
// by a title that any program may take.
bool LockPrompt::IsConfigurationTool(platform::Hwnd window) {
  return window != 0 && window == state_.ConfigToolHwnd && desktop_.IsOwnProcess(window);
}

void LockPrompt::Answered() {
  auto& queue = state_.BlockedWindows;
  const platform::Hwnd answered = state_.LockedHwnd;
  queue.erase(std::remove_if(queue.begin(), queue.end(),
                             [answered](const store::BlockedWindow& blocked) {
                               return blocked.hwnd == answered;
                             }),
              queue.end());
}

void LockPrompt::cmdOK_Click() {
  // OK is disabled while the wait or the check runs; a message sent straight
  // to the button is refused too.
  if (RetryWaitSecondsLeft() > 0 || Checking()) return;
  std::string typed = LowerTheTypedText();
  const bool tool = IsConfigurationTool(state_.LockedHwnd);
  // The watch, the hooks and the tray go on while the check runs.
  CheckInBackground({tool ? store::PasswordFor::Tool : store::PasswordFor::Window, std::move(typed),
                     state_.WindowTitle},
                    [this](const store::PasswordAnswer& answer) { PasswordChecked(answer); });
}

void LockPrompt::PasswordChecked(const store::PasswordAnswer& answer) {
  using Kind = store::PasswordAnswer::Kind;
  if (answer.kind == Kind::Wait) {
    // Nothing was checked: the window stays hidden and the prompt waits.
    StartWaitAfter(answer, state_.WrongPasswordsInARow);
    return;
  }
  Answered();
  if (answer.kind == Kind::Match) {
    state_.WrongPasswordsInARow = 0;
    if (IsConfigurationTool(state_.LockedHwnd)) {
      state_.ConfigWindowKey = state_.WindowKey;
      // The tool's saves go through the service with the ticket the right
      // password got; the password itself is held nowhere.
      state_.ToolTicket = answer.ticket;
    } else {
      state_.UnlockedKeys.push_back(state_.WindowKey);
    }
    desktop_.RestoreAsync(state_.LockedHwnd);
    desktop_.ShowNormal(state_.LockedHwnd);
    const bool tool = IsConfigurationTool(state_.LockedHwnd);
    Unload();
    // Given while the prompt, ours, is in front: the tool gets the keyboard.
    if (tool) desktop_.BringToFrontWithKeyboard(state_.LockedHwnd);
  } else {
    ++state_.WrongPasswordsInARow;
    desktop_.PostClose(state_.LockedHwnd);
    Image2.SetPicture(Image1.Picture());
    Unload();
  }
  blank_.UnloadIfVisible();
}

void LockPrompt::CloseBlockedWindow() {
  Answered();
  desktop_.PostClose(state_.LockedHwnd);
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
  Answered();
  Unload();
}

}  // namespace pm::prompt
