// The switches of the setup window's menus and the commands that act on the
// running engine at once.
#include "about/frmaboutLayout.h"
#include "config/frmSetup.h"
#include "config/frmSetupLayout.h"
#include "store/SettingsWriter.h"

namespace pm::config {

namespace {
constexpr std::string_view kEndQuestion =
    "This will shut down the software until your computer next starts, your settings will not be "
    "saved. Use Close to save your settings and keep the software running.";
constexpr std::string_view kHelpFile = "pmpro.htm";
}  // namespace

void frmSetup::ToggleSwitch(int menuId) {
  // Greyed for a switch the administrator set; a command posted anyway
  // changes nothing.
  if (!window().MenuEnabled(menuId)) return;
  window().SetMenuChecked(menuId, !window().MenuChecked(menuId));
  cmdApply.SetEnabled(true);
}

void frmSetup::mnuunlock_Click() {
  engine_.UnlockEverything();
  Unload();
}

void frmSetup::mnurelock_Click() {
  engine_.RelockEverything();
}

void frmSetup::mnushutdown_Click() {
  desktop_.SetScreenSaverRunning(false);
  if (toolkit_.MessageBox(&window(), kEndQuestion, "", platform::MessageStyle::OkCancel,
                          platform::MessageIcon::Warning) != platform::MessageResult::Ok) {
    return;
  }
  // Where the service keeps the engine running, it must hear of the end
  // first, with the password, or it starts the engine again at once.
  if (const store::WriteOutcome left = store::SettingsWriter(registry_, state_).LeaveSession();
      !left) {
    toolkit_.MessageBox(&window(), "Pelmora Pro could not be ended.\r\n\r\n" + left.reason, "",
                        platform::MessageStyle::Ok, platform::MessageIcon::Error);
    return;
  }
  engine_.EndProgram();
}

void frmSetup::mnuHelpTopics_Click() {
  // From the program folder, whatever the current folder is.
  shell_.Open(state_.AppFolder + std::string(kHelpFile));
}

void frmSetup::mnuvisitwebsite_Click() {
  shell_.Open(about::kWebAddress);
}

void frmSetup::mnuupdate_Click() {
  const platform::ProgramVersion version = toolkit_.Version();
  const std::string text = "The current version is: " + std::to_string(version.major) + "." +
                           std::to_string(version.minor) + "." + std::to_string(version.revision) +
                           "\r\nDo you want to go to the online site to check for an update?";
  if (toolkit_.MessageBox(&window(), text, "Update", platform::MessageStyle::YesNo,
                          platform::MessageIcon::Question) == platform::MessageResult::Yes) {
    shell_.Open(about::kDownloadPage);
  }
}

void frmSetup::Form_DblClick() {
  desktop_.SetScreenSaverRunning(false);
}

}  // namespace pm::config
