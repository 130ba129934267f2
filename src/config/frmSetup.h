// The configuration tool's window. It edits copies of the item list, the
// ignore list and the switches until they are saved; its title makes it a
// locked window, and its unlock lasts until it unloads.
#pragma once

#include <array>
#include <set>
#include <string>
#include <vector>

#include "about/frmabout.h"
#include "config/EngineCommands.h"
#include "config/ProgramEntries.h"
#include "config/SetupDialogs.h"
#include "config/frmSetupLayout.h"
#include "platform/Desktop.h"
#include "platform/Form.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "prompt/PasswordDialogs.h"
#include "store/ProgramState.h"
#include "store/RegValue.h"
#include "store/SettingsWriter.h"

namespace pm::config {

struct SetupPlatform {
  platform::Toolkit& toolkit;
  platform::Desktop& desktop;
  platform::Shell& shell;
  platform::Registry& registry;
};

class frmSetup : public platform::Form {
 protected:
  using Ids = frmSetupIds;

 public:
  frmSetup(SetupPlatform platform, store::ProgramState& state, about::frmabout& about,
           EngineCommands& engine);

  void GetSettings();
  void GetWindows();
  // Both write everything, go on after a failure and answer the first one.
  // `target` is where the writes go: the change being made.
  store::RegResult SaveWindows(platform::Registry& target);
  store::RegResult SaveSettings(platform::Registry& target);
  // Items another program (an add-on) stored while the tool is open join
  // its list as they were stored; the owner's edits stay as they are.
  void TakeStoredAdditions();

  platform::ListBox List1{*this, Ids::List1};
  platform::ListBox List2{*this, Ids::List2};
  platform::Control cmdignore{*this, Ids::cmdignore};
  platform::Control fraignore{*this, Ids::fraignore};
  platform::Control txtignore{*this, Ids::txtignore};
  platform::Control cmdApply{*this, Ids::cmdApply};
  platform::Control Command1{*this, Ids::Command1};
  // Which rows of List1 are program items; before the dialogs, which use it.
  ProgramEntries programEntries;

  config::frmAddWizard frmAddWizard;
  config::frmModify frmModify;
  config::frmTimeDelay frmTimeDelay;
  prompt::frmChangePassword frmChangePassword;
  prompt::frmpasswordpicture frmpasswordpicture;

 protected:
  void Form_Load() override;
  void Form_Unload() override;

 private:
  // Editing (the lists).
  void List1_Click();
  void mnuSelectAll_Click();
  void cmdRemove_Click();
  void cmdModify_Click();
  void OpenDialog(platform::Form& dialog);
  void OpenPasswordsDialog();

  // What the administrator set (store/PolicySettings.h): shown greyed with
  // its note, never changed here and never saved with the PC's own.
  void ShowPolicySettings();
  void AddPolicyEntries();
  // An entry the administrator set: the command beeps and does nothing.
  bool RefusesFixedEntry(platform::ListBox& list, int index);
  void cmdignore_Click();
  void cmdadd2_Click();
  void cmdremove2_Click();

  // Saving and closing.
  bool Save();
  void WarnWhenUnprotected(const store::WriteOutcome& outcome);
  void cmdOK_Click();
  void cmdApply_Click();

  // Whether the owner has given the password for the tool (or unlocked
  // everything): until then no handler of the tool or its dialogs acts.
  bool Unlocked() const;
  std::array<platform::Form*, 5> Dialogs();

  // Switches and commands.
  void ToggleSwitch(int menuId);
  void mnuunlock_Click();
  void mnurelock_Click();
  void mnushutdown_Click();
  void mnuHelpTopics_Click();
  void mnuvisitwebsite_Click();
  void mnuupdate_Click();
  void Form_DblClick();

  platform::Toolkit& toolkit_;
  platform::Desktop& desktop_;
  platform::Shell& shell_;
  platform::Registry& registry_;
  store::ProgramState& state_;
  about::frmabout& about_;
  EngineCommands& engine_;
  // The owner is told once per opening of the tool that nothing protects the settings.
  bool unprotectedWarned_ = false;
  // The stored items the list was filled with or saved; what else is stored
  // later came from another program. A save's items count once it is done.
  std::set<std::string> storedItems_;
  std::set<std::string> savingItems_;
  static std::set<std::string> ItemKeys(const std::vector<store::ListItem>& titles,
                                        const std::vector<store::ListItem>& programs);
};

// The switch of each menu entry, in the order the switches are saved.
int SwitchMenuId(std::size_t switchIndex);

}  // namespace pm::config
