// The setup window's own dialogs: adding an item, changing one, and the
// timers. Each gives the setup window back when it unloads. They change
// only the setup window's List1 and program memory; the setup window stores
// the edits when it is applied.
#pragma once

#include <string_view>

#include "config/ProgramEntries.h"
#include "config/frmAddWizardLayout.h"
#include "config/frmModifyLayout.h"
#include "config/frmTimeDelayLayout.h"
#include "platform/ChildDialog.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "store/ProgramState.h"

namespace pm::config {

// What the dialogs use of the setup window.
struct SetupParts {
  platform::Form& window;
  platform::ListBox& List1;
  platform::Control& cmdApply;
  ProgramEntries& programs;  // which rows of List1 are program items
};

// Makes the first entry equal to `text` (exactly) current and checked, and
// enables Apply, as a finished edit of the list does.
void CheckFirstEntry(const SetupParts& setup, std::string_view text);
// The first entry equal to `text` (exactly), or -1.
int FindEntry(platform::ListBox& list, std::string_view text);

// Adds a window title to the list, or hands a file, folder or web page
// over to its add-on program.
class frmAddWizard : public platform::ChildDialog {
 protected:
  using Ids = frmAddWizardIds;

 public:
  frmAddWizard(platform::Toolkit& toolkit, SetupParts setup, platform::Registry& registry,
               platform::Shell& shell);

  platform::Control Label1{*this, Ids::Label1};
  platform::Control Option1{*this, Ids::Option1};
  platform::Control Option2{*this, Ids::Option2};
  platform::Control Option3{*this, Ids::Option3};
  platform::Control Label2{*this, Ids::Label2};
  platform::Control txtWindow{*this, Ids::txtWindow};
  platform::Control Label4{*this, Ids::Label4};
  platform::Control Image2{*this, Ids::Image2};
  platform::Control Label3{*this, Ids::Label3};
  platform::Control cmdBack{*this, Ids::cmdBack};
  platform::Control cmdNext{*this, Ids::cmdNext};

 protected:
  void Form_Load() override;

 private:
  void cmdNext_Click();
  void NextFromChoicePage();
  // Starts the add-on registered under `key` and closes the wizard, or,
  // when none is registered or it cannot be started, offers its download.
  void HandOver(std::string_view key, std::string_view program, std::string_view downloadCaption);
  void OfferDownload(std::string_view caption);
  void Finish();
  void cmdBack_Click();
  void txtWindow_Change();

  SetupParts setup_;
  platform::Registry& registry_;
  platform::Shell& shell_;
};

// Changes the text of the current item: a title, or a program item's path.
class frmModify : public platform::ChildDialog {
 protected:
  using Ids = frmModifyIds;

 public:
  frmModify(platform::Toolkit& toolkit, SetupParts setup);

  platform::Control txtModify{*this, Ids::txtModify};

 private:
  void cmdOK_Click();
  void ChangeProgram(int row, const std::string& path);

  SetupParts setup_;
};

// The password prompt's time limit and the relock minutes, in memory.
class frmTimeDelay : public platform::ChildDialog {
 protected:
  using Ids = frmTimeDelayIds;

 public:
  frmTimeDelay(platform::Toolkit& toolkit, SetupParts setup, platform::Registry& registry,
               store::ProgramState& state);

  platform::Control Label1{*this, Ids::Label1};
  platform::Control txtTimeDelay{*this, Ids::txtTimeDelay};
  platform::Control txtrelock{*this, Ids::txtrelock};

 protected:
  void Form_Load() override;

 private:
  void cmdOK_Click();
  void Refuse();
  // A timer the administrator set shows its value, greyed, and is not taken.
  bool ShowSetByPolicy(platform::Control& box, std::string_view valueName);

  SetupParts setup_;
  platform::Registry& registry_;
  store::ProgramState& state_;
  bool timeDelayFixed_ = false;
  bool relockFixed_ = false;
};

}  // namespace pm::config
