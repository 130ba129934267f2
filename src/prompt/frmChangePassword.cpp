// Setting the two passwords. Both are typed, then typed again; only when both
// confirmations match are they stored, both together, as salted hashes.
#include <exception>
#include <memory>

#include "platform/Text.h"
#include "prompt/PasswordDialogs.h"
#include "prompt/frmChangePasswordLayout.h"
#include "store/SettingsCatalogue.h"
#include "store/SettingsWriter.h"

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
  // OK is disabled while the hashes are made; a message sent straight to the
  // button is refused too.
  if (hashing_) return;
  // Enabled only then; an empty password is never taken.
  if (txtPassword.Text().empty() || txtPassword2.Text().empty()) return;
  if (FirstEntry.empty()) {
    FirstEntry = store::LowerTypedPassword(txtPassword.Text());
    FirstEntry2 = store::LowerTypedPassword(txtPassword2.Text());
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

  txtPassword.SetText(store::LowerTypedPassword(txtPassword.Text()));
  txtPassword2.SetText(store::LowerTypedPassword(txtPassword2.Text()));
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
  HashThenStore();
}

// The slow hashes run on a thread of their own, so the engine's watch, hooks
// and tray go on meanwhile.
void frmChangePassword::HashThenStore() {
  SetHashing(true);
  const auto hashes = std::make_shared<Hashes>();
  RunInBackground(
      [hashes, first = FirstEntry, second = FirstEntry2, iterations = hashIterations_] {
        try {
          hashes->first = store::HashPassword(first, iterations);
          hashes->second = store::HashPassword(second, iterations);
        } catch (const std::exception& error) {
          hashes->error = error.what();
        }
      },
      [this, hashes] {
        if (!hashing_) return;
        SetHashing(false);
        // A failed save keeps the dialog in its confirmation phase: OK tries again.
        if (!StorePasswords(*hashes)) return;
        FirstEntry.clear();
        FirstEntry2.clear();
        state_.ReloadRequested = true;
        Unload();
      });
}

void frmChangePassword::SetHashing(bool hashing) {
  hashing_ = hashing;
  Label1.SetCaption(hashing ? kSavingPasswords : kConfirmPasswords);
  cmdOK.SetEnabled(!hashing);
  txtPassword.SetEnabled(!hashing);
  txtPassword2.SetEnabled(!hashing && !chkpassword.Checked());
  chkpassword.SetEnabled(!hashing);
}

bool frmChangePassword::StorePasswords(const Hashes& hashes) {
  store::WriteOutcome outcome;
  if (!hashes.error.empty()) {
    outcome = {store::WriteOutcome::Kind::Failed, hashes.error};
  } else {
    try {
      store::SettingsChange change(registry_, state_);
      store::FirstFailure written;
      written.Note(
          store::WriteSetting(change.registry(), store::setting::kUserPassword, hashes.first));
      written.Note(
          store::WriteSetting(change.registry(), store::setting::kUserPassword2, hashes.second));
      outcome = change.Commit(written.result());
    } catch (const std::exception& error) {
      outcome = {store::WriteOutcome::Kind::Failed, error.what()};
    }
  }
  // The tool's later saves go with the ticket the service gave for the new
  // password (the writer keeps it).
  if (outcome) return true;
  toolkit_.MessageBox(&window(), outcome.Explain(kPasswordsNotSaved), "",
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

void frmChangePassword::Form_Unload() {
  hashing_ = false;
  ChildDialog::Form_Unload();
}

}  // namespace pm::prompt
