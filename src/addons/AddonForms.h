// The add-ons' windows. Each asks for the password and one thing to lock,
// stores it locked, says what it locks, and stays open for the next one;
// Close (or Esc) ends the program.
#pragma once

#include "addons/AddonSave.h"
#include "addons/frmAddFileLayout.h"
#include "addons/frmAddWebLayout.h"
#include "platform/FileDialogs.h"
#include "platform/Form.h"

namespace pm::addons {

// What both windows do with their password box, result label and Close.
class AddonForm : public platform::Form {
 public:
  AddonForm(platform::Toolkit& toolkit, const platform::FormSpec& layout, AddonPlatform platform,
            platform::ControlId password, platform::ControlId result);

 protected:
  // Stores the item with the typed password and reports in the result label.
  void Lock(const AddedItem& item, std::string_view nothingToLock);
  void Form_Unload() override;

  platform::Toolkit& toolkit_;

 private:
  AddonPlatform platform_;
  platform::Control txtPassword_;
  platform::Control lblResult_;
};

class frmAddFile : public AddonForm {
 protected:
  using Ids = frmAddFileIds;

 public:
  frmAddFile(platform::Toolkit& toolkit, AddonPlatform platform, platform::FileDialogs& dialogs);

  platform::Control txtPath{*this, Ids::txtPath};

 private:
  void cmdFile_Click();
  void cmdFolder_Click();
  void cmdLock_Click();

  platform::FileDialogs& dialogs_;
};

class frmAddWeb : public AddonForm {
 protected:
  using Ids = frmAddWebIds;

 public:
  frmAddWeb(platform::Toolkit& toolkit, AddonPlatform platform);

  platform::Control txtSite{*this, Ids::txtSite};

 private:
  void cmdLock_Click();
};

}  // namespace pm::addons
