#include "engine/frmMain.h"

#include "engine/OwnPrograms.h"
#include "engine/frmMainLayout.h"
#include "store/SettingsCatalogue.h"

namespace pm::engine {

using platform::UnloadMode;

frmMain::frmMain(Platform platform, store::ProgramState& state, Forms forms)
    : Form(platform.toolkit, kfrmMainSpec),
      toolkit_(platform.toolkit),
      desktop_(platform.desktop),
      shell_(platform.shell),
      registry_(platform.registry),
      state_(state),
      forms_(forms),
      watch_(platform.desktop, state) {
  OnTimer(Ids::timPelmora, [this] { timPelmora_Timer(); });
  OnTimer(Ids::Timer1, [this] { Timer1_Timer(); });
  OnTimer(Ids::timrelock, [this] { timrelock_Timer(); });
  OnTimer(Ids::tmrTimeDelay, [this] { tmrTimeDelay_Timer(); });
  OnMenu(kmnuPMISetup, [this] { mnuPMISetup_Click(); });
  OnMenu(kmnuAbout, [this] { forms_.frmabout.ShowOrBringForward(); });
  OnMenu(kmnuabout2, [this] { forms_.frmabout.ShowOrBringForward(); });
  // "Cancel" in either menu only closes the menu.
}

frmMain::~frmMain() {
  desktop_.SetWindowChangeHandler(nullptr);
}

void frmMain::Form_Load() {
  state_.LockState = store::LockStatus::Locked;
  toolkit_.HideFromTaskList();
  desktop_.SetScreenSaverRunning(true);
  state_.AppFolder = store::FolderWithBackslash(toolkit_.ProgramFolder());
  // Our own caption is not the running title yet, so this finds another copy;
  // a window of any other program with that title is no copy of ours.
  if (OwnWindowWithTitleExists(desktop_, kRunningTitle, state_.AppFolder, OwnPrograms::Engine)) {
    RunSecondStart();
    return;
  }
  SetCaption(kRunningTitle);
  window().SetIcon(platform::BuiltIn::LockedIcon);
  GetWindows();
  GetSettings();
  // Beyond the twice-a-second tick, look at once at a window that is
  // created, shown, renamed, restored or brought to the front, so a locked
  // window is hidden before its contents can be read.
  desktop_.SetWindowChangeHandler([this](platform::Hwnd window) { OnWindowChanged(window); });
}

void frmMain::RunSecondStart() {
  secondStart_ = true;
  timPelmora.SetEnabled(false);
  Timer1.SetEnabled(false);
  forms_.frmabout.Load();
  forms_.frmabout.SetCaption(kSetupRequestTitle);
  forms_.frmabout.Show();
  // The running copy looks for that title twice a second; stay about a second.
  tmrTimeDelay.SetInterval(1000);
  tmrTimeDelay.SetEnabled(true);
  toolkit_.PumpUntil([this] { return !tmrTimeDelay.Enabled(); });
  toolkit_.Quit(0);
}

void frmMain::tmrTimeDelay_Timer() {
  tmrTimeDelay.SetEnabled(false);
}

void frmMain::mnuPMISetup_Click() {
  state_.SetupRequested = true;
  forms_.frmSetup.Show();
}

void frmMain::TrayIconAdd() {
  const bool unlocked = state_.LockState == store::LockStatus::Unlocked;
  shell_.AddTrayIcon(
      hwnd(), unlocked ? platform::BuiltIn::UnlockedIcon : platform::BuiltIn::LockedIcon,
      std::string(kRunningTitle) + " " + std::string(store::TrayTipText(state_.LockState)));
}

void frmMain::TrayIconRemove() {
  shell_.RemoveTrayIcon(hwnd());
}

void frmMain::RefreshTrayIcon() {
  TrayIconRemove();
  TrayIconAdd();
}

void frmMain::Form_TrayMessage(std::uint32_t mouseMessage) {
  if (mouseMessage == platform::kTaskbarCreated) {
    // Explorer restarted and forgot the icon.
    if (!state_.TrayIconDisabled) RefreshTrayIcon();
    return;
  }
  if (Visible()) return;
  if (mouseMessage == platform::kWmLButtonDblClk) {
    if (!HideMenuOn) mnuPMISetup_Click();
  } else if (mouseMessage == platform::kWmRButtonUp) {
    window().PopupMenu(HideMenuOn ? "mnufile2" : "mnufile");
  }
}

bool frmMain::Form_QueryUnload(UnloadMode mode) {
  // Where the service keeps the engine, nothing closes it: any program can
  // post WM_CLOSE or forge a session end, and a copy started here would
  // carry none of the protection the service gives. Windows ends the
  // program itself at a real log-off, and the service, which Windows tells,
  // starts no other.
  if (state_.SettingsService != nullptr) return true;
  if (mode == UnloadMode::WindowsSession) return false;
  // Any other close starts a fresh copy, so the lock cannot be closed away.
  SetCaption(kClosingTitle);
  shell_.StartProgram(state_.AppFolder + std::string(store::kEngineProgram),
                      platform::kShowNormalNoActivate);
  return false;
}

// Whatever closed the window, this copy ends here (a restart is already on
// its way from the query-unload step).
void frmMain::Form_Unload() {
  EndProgram();
}

}  // namespace pm::engine
