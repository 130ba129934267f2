#include "addons/AddonForms.h"

#include "store/WebPageItems.h"

namespace pm::addons {

using platform::Event;

namespace {
constexpr std::string_view kNotStored = "Nothing was locked.";
}  // namespace

AddonForm::AddonForm(platform::Toolkit& toolkit, const platform::FormSpec& layout,
                     AddonPlatform platform, platform::ControlId password,
                     platform::ControlId result)
    : Form(toolkit, layout),
      toolkit_(toolkit),
      platform_(platform),
      txtPassword_(*this, password),
      lblResult_(*this, result) {}

void AddonForm::Lock(const AddedItem& item, std::string_view nothingToLock) {
  if (item.kind == AddedItem::Kind::None) {
    toolkit_.Beep();
    lblResult_.SetCaption(nothingToLock);
    return;
  }
  std::string password = txtPassword_.Text();
  txtPassword_.SetText("");
  const store::WriteOutcome outcome = SaveAddedItem(platform_, std::move(password), item);
  if (!outcome) {
    lblResult_.SetCaption(outcome.Explain(kNotStored));
    txtPassword_.SetFocus();
    return;
  }
  lblResult_.SetCaption("Locked: " + item.Description() + ".");
}

void AddonForm::Form_Unload() {
  toolkit_.Quit(0);
}

frmAddFile::frmAddFile(platform::Toolkit& toolkit, AddonPlatform platform,
                       platform::FileDialogs& dialogs)
    : AddonForm(toolkit, kfrmAddFileSpec, platform, Ids::txtPassword, Ids::lblResult),
      dialogs_(dialogs) {
  On(Ids::cmdFile, Event::Click, [this] { cmdFile_Click(); });
  On(Ids::cmdFolder, Event::Click, [this] { cmdFolder_Click(); });
  On(Ids::cmdLock, Event::Click, [this] { cmdLock_Click(); });
  On(Ids::cmdClose, Event::Click, [this] { Unload(); });
}

void frmAddFile::cmdFile_Click() {
  const std::string path = dialogs_.ChooseFile(&window(), "Choose a program or a document to lock");
  if (!path.empty()) txtPath.SetText(path);
}

void frmAddFile::cmdFolder_Click() {
  const std::string path = dialogs_.ChooseFolder(&window(), "Choose a folder to lock");
  if (!path.empty()) txtPath.SetText(path);
}

void frmAddFile::cmdLock_Click() {
  Lock(ItemForPath(txtPath.Text()),
       "There is no program, document or folder at that path. Type its full path, or choose it.");
}

frmAddWeb::frmAddWeb(platform::Toolkit& toolkit, AddonPlatform platform)
    : AddonForm(toolkit, kfrmAddWebSpec, platform, Ids::txtPassword, Ids::lblResult) {
  On(Ids::cmdLock, Event::Click, [this] { cmdLock_Click(); });
  On(Ids::cmdClose, Event::Click, [this] { Unload(); });
}

void frmAddWeb::cmdLock_Click() {
  const std::string item = store::WebPageItem(txtSite.Text());
  Lock(item.empty() ? AddedItem{} : AddedItem{AddedItem::Kind::Title, item},
       "Type the name of the web site, or its address.");
}

}  // namespace pm::addons
