// The owner's dialogs for the passwords and the prompt's pictures. Each
// gives the setup window back when it unloads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ChildDialog.h"
#include "platform/Registry.h"
#include "prompt/frmChangePasswordLayout.h"
#include "prompt/frmpasswordpictureLayout.h"
#include "store/PasswordCheck.h"
#include "store/ProgramState.h"

namespace pm::prompt {

// Sets both passwords: typed once, confirmed once, then stored together.
class frmChangePassword : public platform::ChildDialog {
 protected:
  using Ids = frmChangePasswordIds;

 public:
  frmChangePassword(platform::Toolkit& toolkit, platform::Form& setup, platform::Registry& registry,
                    store::ProgramState& state);

  // The count new passwords are hashed with.
  void SetHashIterations(std::uint32_t iterations) { hashIterations_ = iterations; }
  std::uint32_t HashIterations() const { return hashIterations_; }

  // The first entries, lower case. They outlive the window: a non-empty
  // FirstEntry is the confirmation phase, also after a close from the title
  // bar.
  std::string FirstEntry;
  std::string FirstEntry2;

  platform::Control Label1{*this, Ids::Label1};
  platform::Control txtPassword{*this, Ids::txtPassword};
  platform::Control txtPassword2{*this, Ids::txtPassword2};
  platform::Control chkpassword{*this, Ids::chkpassword};
  platform::Control cmdOK{*this, Ids::cmdOK};

 protected:
  void Form_Unload() override;

 private:
  // The stored forms of both passwords, or why they could not be made.
  struct Hashes {
    std::string first;
    std::string second;
    std::string error;
  };

  void txtPassword_Change();
  void txtPassword2_Change();
  void chkpassword_Click();
  void cmdOK_Click();
  void cmdCancel_Click();
  void Reset();
  // Hashes both confirmed passwords off the UI thread, then stores them.
  void HashThenStore();
  // While the hashes are made, the dialog says so and takes no input.
  void SetHashing(bool hashing);
  // Stores both or, when a write fails, neither, and says why.
  bool StorePasswords(const Hashes& hashes);

  platform::Registry& registry_;
  store::ProgramState& state_;
  std::uint32_t hashIterations_ = store::kPasswordHashIterations;
  bool hashing_ = false;
};

// The picture chooser for the prompt's picture or its bad-password picture,
// as ProgramState::PickBadPicture says at the time of OK.
class frmpasswordpicture : public platform::ChildDialog {
 protected:
  using Ids = frmpasswordpictureIds;

 public:
  frmpasswordpicture(platform::Toolkit& toolkit, platform::Form& setup,
                     platform::Registry& registry, store::ProgramState& state);

  platform::ListBox File1{*this, Ids::File1};
  platform::ListBox Drive1{*this, Ids::Drive1};
  platform::ListBox Dir1{*this, Ids::Dir1};
  platform::Control Label2{*this, Ids::Label2};
  platform::Control Image1{*this, Ids::Image1};

  // The folders the two lists show, as full paths.
  const std::string& Dir1Path() const { return dirPath_; }
  const std::string& File1Path() const { return filePath_; }

 protected:
  void Form_Load() override;

 private:
  // False, with nothing changed, when the folder cannot be listed.
  bool SetDir1Path(const std::string& folder);
  void Dir1_Change();
  void Dir1_DblClick();
  void Drive1_Change();
  void File1_Click();
  void Label3_Click();
  void cmdOK_Click();
  void ShowDriveOf(const std::string& folder);

  platform::Registry& registry_;
  store::ProgramState& state_;
  std::string dirPath_;
  std::string filePath_;
  std::vector<std::string> dirRows_;  // the full path of each row of Dir1
  std::vector<std::string> drives_;   // the root of each row of Drive1
};

// The full path of a file in a folder: one separator between them, none
// added when the folder ends in one already (the root folder of a drive).
// With no file, the folder followed by its separator.
std::string PicturePath(std::string_view folder, std::string_view file, char separator);

}  // namespace pm::prompt
