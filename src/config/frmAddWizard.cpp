// The add-item wizard. Its pages are told apart by the caption of cmdNext:
// the choice of item kind, the window title, and the download offer for
// each of the two add-ons.
#include "config/SetupDialogs.h"
#include "config/frmAddWizardLayout.h"
#include "store/RegistryModule.h"
#include "store/SettingsCatalogue.h"

namespace pm::config {

using platform::Event;

frmAddWizard::frmAddWizard(platform::Toolkit& toolkit, SetupParts setup,
                           platform::Registry& registry, platform::Shell& shell)
    : ChildDialog(toolkit, kfrmAddWizardSpec, setup.window),
      setup_(setup),
      registry_(registry),
      shell_(shell) {
  On(Ids::cmdNext, Event::Click, [this] { cmdNext_Click(); });
  On(Ids::cmdBack, Event::Click, [this] { cmdBack_Click(); });
  On(Ids::cmdCancel, Event::Click, [this] { Unload(); });
  On(Ids::txtWindow, Event::Change, [this] { txtWindow_Change(); });
}

void frmAddWizard::Form_Load() {
  // Typing replaces the hint.
  txtWindow.SelectAll();
}

void frmAddWizard::cmdNext_Click() {
  const std::string page = cmdNext.Caption();
  if (page == kDownloadFileAddonCaption) {
    shell_.Open(kFileAddonDownload);
  } else if (page == kDownloadWebAddonCaption) {
    shell_.Open(kWebAddonDownload);
  } else if (page == kNextCaption) {
    NextFromChoicePage();
  } else if (page == kFinishCaption) {
    Finish();
  }
}

void frmAddWizard::NextFromChoicePage() {
  if (Option1.Checked()) {
    Label2.SetVisible(true);
    Label4.SetVisible(true);
    txtWindow.SetVisible(true);
    Option2.SetVisible(false);
    Option3.SetVisible(false);
    cmdNext.SetCaption(kFinishCaption);
    cmdBack.SetEnabled(true);
    txtWindow.SetFocus();
    txtWindow.SelectAll();
  } else if (Option2.Checked()) {
    Option1.SetVisible(false);
    Option3.SetVisible(false);
    HandOver(kFileAddonKey, kFileAddonProgram, kDownloadFileAddonCaption);
  } else if (Option3.Checked()) {
    Option1.SetVisible(false);
    Option2.SetVisible(false);
    HandOver(kWebAddonKey, kWebAddonProgram, kDownloadWebAddonCaption);
  }
}

void frmAddWizard::HandOver(std::string_view key, std::string_view program,
                            std::string_view downloadCaption) {
  const std::string folder =
      store::RegistryModule::ReadValue(registry_, store::kRootKey, key, kAddonInstallPath).Text();
  cmdBack.SetEnabled(true);
  if (folder.empty()) {
    OfferDownload(downloadCaption);
    return;
  }
  // The setup window makes room for the add-on; it stays minimised when the
  // add-on then cannot be started. The installer writes the folder with its
  // separator at the end.
  setup_.window.window().SetWindowState(platform::WindowState::Minimized);
  if (!shell_.StartProgram(folder + std::string(program), platform::kShowNormal)) {
    OfferDownload(downloadCaption);
    return;
  }
  Unload();
}

void frmAddWizard::OfferDownload(std::string_view caption) {
  Label3.SetVisible(true);
  Image2.SetVisible(true);
  cmdNext.SetCaption(caption);
}

void frmAddWizard::Finish() {
  const std::string title = txtWindow.Text();
  if (title == kWindowHint) return;
  if (FindEntry(setup_.List1, title) < 0) setup_.List1.AddItem(title);
  CheckFirstEntry(setup_, title);
  Unload();
}

void frmAddWizard::cmdBack_Click() {
  Option1.SetVisible(true);
  Option2.SetVisible(true);
  Option3.SetVisible(true);
  Label1.SetCaption(kWizardIntro);
  Label2.SetVisible(false);
  txtWindow.SetVisible(false);
  Label4.SetVisible(false);
  Label3.SetVisible(false);
  Image2.SetVisible(false);
  cmdBack.SetEnabled(false);
  cmdNext.SetCaption(kNextCaption);
}

void frmAddWizard::txtWindow_Change() {
  const bool hasText = !txtWindow.Text().empty();
  cmdNext.SetEnabled(hasText);
  cmdNext.SetDefault(hasText);
}

}  // namespace pm::config
