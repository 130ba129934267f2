// Unlock Everything, Relock Everything and End, as the configuration tool
// gives them to the engine.
#include "engine/frmMain.h"
#include "store/EngineReports.h"
#include "store/PasswordQuestion.h"

namespace pm::engine {

void frmMain::UnlockEverything() {
  desktop_.SetScreenSaverRunning(false);
  if (state_.RelockMinutes > 0) timrelock.SetEnabled(true);
  state_.AllUnlocked = true;
  timPelmora.SetEnabled(false);
  state_.LockState = store::LockStatus::Unlocked;
  // Also with the tray icon switched off: it stays until the next reload.
  RefreshTrayIcon();
  store::ReportToService(state_, {store::EngineReport::Kind::UnlockEverything});
}

void frmMain::RelockEverything() {
  desktop_.SetScreenSaverRunning(true);
  timrelock.SetEnabled(false);
  state_.AllUnlocked = false;
  timPelmora.SetEnabled(true);
  state_.UnlockedKeys.clear();
  // The open tool is locked again too: its next examination hides it and
  // asks for the password, and until then its handlers refuse.
  state_.ConfigWindowKey.clear();
  store::EndToolTicket(state_.SettingsService, state_.ToolTicket);
  state_.LockState = store::LockStatus::Locked;
  RefreshTrayIcon();
  store::ReportToService(state_, {store::EngineReport::Kind::RelockEverything});
}

void frmMain::EndProgram() {
  desktop_.SetWindowChangeHandler(nullptr);
  TrayIconRemove();
  toolkit_.Quit(0);
}

}  // namespace pm::engine
