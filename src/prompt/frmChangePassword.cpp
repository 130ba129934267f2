// Setting the two passwords. Both are typed, then typed again; only when both
// confirmations match are they stored, both together, as salted hashes.
#include <exception>

#include "platform/Text.h"
#include "prompt/PasswordDialogs.h"
#include "prompt/frmChangePasswordLayout.h"
#include "store/RegistrySnapshot.h"
#include "store/SettingsCatalogue.h"

namespace pm::prompt {

using platform::Event;

frmChangePassword::frmChangePassword(platform::Toolkit& toolkit, platform::Form& setup,
                                     platform::Registry& registry, store::ProgramState& state)
    : ChildDialog(toolkit, kfrmChangePasswordSpec, setup), registry_(registry), state_(state) {
  On(Ids::txtPassword, Event::Change, [this] { txtPassword_Change(); });
  On(Ids::txtPassword2, Event::Change, [this] { txtPassword2_Change(); });
  On(Ids::chkpassword, Event::Click, [this] { chkpassword_Click(); });
  On(Ids::cmdOK, Event::Click, [this] { cmdOK_Click(); });
  On(Ids::cmdCancel, Event::Click, [this] { cmdCancel_Click(); });
}

// The change handlers only derive states from the texts, so they may run
// again when the window reports a change the code made itself.
void frmChangePassword::txtPassword_Change() {
  if (txtPassword.Text().empty()) {
    cmdOK.SetEnabled(false);
  } else {
    chkpassword.SetEnabled(true);
    if (!txtPassword2.Text().empty()) cmdOK.SetEnabled(true);
  }
  // "Keep same as above" keeps to it: a copy taken once would leave the
  // setup tool with an earlier text the owner cannot see behind the stars.
  if (chkpassword.Checked() && txtPassword2.Text() != txtPassword.Text()) {
    txtPassword2.SetText(txtPassword.Text());
    txtPassword2_Change();
  }
}

void frmChangePassword::txtPassword2_Change() {
  if (txtPassword2.Text().empty()) {
    cmdOK.SetEnabled(false);
  } else if (!txtPassword.Text().empty()) {
    cmdOK.SetEnabled(true);
  }
}

void frmChangePassword::chkpassword_Click() {
  if (chkpassword.Checked()) {
    txtPassword2.SetText(txtPassword.Text());
    txtPassword2.SetEnabled(false);
  } else {
    txtPassword2.SetEnabled(true);
    txtPassword2.SetText("");
  }
  txtPassword2_Change();
}

void frmChangePassword::cmdOK_Click() {
  // Enabled only then; an empty password is never taken.
  if (txtPassword.Text().empty() || txtPassword2.Text().empty()) return;
  if (FirstEntry.empty()) {
    FirstEntry = LowerTypedPassword(txtPassword.Text());
    FirstEntry2 = LowerTypedPassword(txtPassword2.Text());
    if (!chkpassword.Checked()) {
      txtPassword2.SetText("");
      txtPassword2_Change();
    } else {
      txtPassword2.SetEnabled(false);
    }
    txtPassword.SetText("");
    txtPassword_Change();
    Label1.SetCaption(kConfirmPasswords);
    chkpassword.SetEnabled(false);
    return;
  }

  txtPassword.SetText(LowerTypedPassword(txtPassword.Text()));
  txtPassword2.SetText(LowerTypedPassword(txtPassword2.Text()));
  // Both confirmations are checked before anything is stored, so a mismatch
  // in the second never leaves the first password changed alone.
  if (txtPassword.Text() != FirstEntry) {
    Label1.SetCaption(kFirstPasswordMismatch);
    Reset();
    return;
  }
  if (txtPassword2.Text() != FirstEntry2) {
    Label1.SetCaption(kSecondPasswordMismatch);
    Reset();
    return;
  }
  // A failed save keeps the dialog in its confirmation phase: OK tries again.
  if (!StorePasswords()) return;
  FirstEntry.clear();
  FirstEntry2.clear();
  state_.ReloadRequested = true;
  Unload();
}

bool frmChangePassword::StorePasswords() {
  const std::string first = FirstEntry;
  const std::string second = FirstEntry2;
  std::string failure;
  std::vector<store::ValueSnapshot> before;
  for (std::string_view name : {store::setting::kUserPassword, store::setting::kUserPassword2}) {
    before.push_back(store::CaptureValue(registry_, store::kRootKey, store::kSettingsKey, name));
  }
  try {
    const std::string hashed = HashPassword(first, hashIterations_);
    const std::string hashed2 = HashPassword(second, hashIterations_);
    store::RegResult result = store::WriteSetting(registry_, store::setting::kUserPassword, hashed);
    if (result) result = store::WriteSetting(registry_, store::setting::kUserPassword2, hashed2);
    if (result) return true;
    failure = platform::SystemErrorText(result.status);
  } catch (const std::exception& error) {
    failure = error.what();
  }
  for (const store::ValueSnapshot& value : before) {
    store::RestoreValue(registry_, store::kRootKey, value);
  }
  toolkit_.MessageBox(&window(), std::string(kPasswordsNotSaved) + "\r\n\r\n" + failure, "",
                      platform::MessageStyle::Ok, platform::MessageIcon::Error);
  return false;
}

void frmChangePassword::Reset() {
  txtPassword.SetText("");
  FirstEntry.clear();
  txtPassword2.SetText("");
  FirstEntry2.clear();
  chkpassword.SetEnabled(true);
  chkpassword.SetChecked(false);
  txtPassword2.SetEnabled(true);
  txtPassword_Change();
  txtPassword2_Change();
}

void frmChangePassword::cmdCancel_Click() {
  FirstEntry.clear();
  Unload();
}

}  // namespace pm::prompt
