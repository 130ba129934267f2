#include "prompt/LockPrompt.h"

#include "store/PasswordCheck.h"

namespace pm::prompt {

LockPrompt::LockPrompt(platform::Toolkit& toolkit, platform::Shell& shell,
                       platform::Desktop& desktop, store::ProgramState& state, frmBlank& blank)
    : frmPassword(toolkit, shell), desktop_(desktop), state_(state), blank_(blank) {}

PromptSettings LockPrompt::Settings() const {
  return {state_.UserPassword, state_.TimeDelay, state_.PasswordPicture, state_.BadPasswordPic};
}

void LockPrompt::cmdOK_Click() {
  const std::string typed = LowerTheTypedText();
  if (store::PasswordMatches(typed, state_.UserPassword)) {
    if (state_.WindowTitle != kConfigurationToolTitle) {
      state_.UnlockedKeys.push_back(state_.WindowKey);
    } else {
      state_.ConfigWindowKey = state_.WindowKey;
      // The tool's saves go through the service with the same password.
      state_.ToolPassword = typed;
    }
    desktop_.RestoreAsync(state_.LockedHwnd);
    desktop_.ShowNormal(state_.LockedHwnd);
    Unload();
  } else {
    desktop_.PostClose(state_.LockedHwnd);
    Image2.SetPicture(Image1.Picture());
    Unload();
  }
  blank_.UnloadIfVisible();
}

void LockPrompt::CloseBlockedWindow() {
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

}  // namespace pm::prompt
