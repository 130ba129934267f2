// Blocking a locked window.
#include "engine/frmMain.h"

namespace pm::engine {

void frmMain::StopWindow() {
  desktop_.Hide(state_.LockedHwnd);
  if (forms_.frmPassword.Visible()) return;
  if (BlankScreenOn) forms_.frmBlank.ShowOver(state_.LockedHwnd);
  if (!NoPasswordPrompt || state_.SetupRequested) {
    if (!state_.UserPassword2.empty() && !state_.UserPassword.empty()) {
      forms_.frmPassword.Label1.SetCaption("'" + state_.WindowTitle + "' requires a password.");
    } else {
      forms_.frmPassword.Label1.SetCaption(
          "No password set, click OK to continue without one. To set click the program icon.");
    }
    forms_.frmPassword.Show();
  }
}

}  // namespace pm::engine
