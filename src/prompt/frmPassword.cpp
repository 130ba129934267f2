#include "prompt/frmPassword.h"

#include "prompt/frmPasswordLayout.h"
#include "store/PasswordCheck.h"

namespace pm::prompt {

using platform::Event;

frmPassword::frmPassword(platform::Toolkit& toolkit, platform::Shell& shell)
    : Form(toolkit, kfrmPasswordSpec), shell_(shell) {
  On(Ids::cmdOK, Event::Click, [this] { cmdOK_Click(); });
  On(Ids::Command1, Event::Click, [this] { Command1_Click(); });
  On(Ids::Label2, Event::Click, [this] { Label2_Click(); });
  On(Ids::cmdShutDown, Event::Click, [this] { cmdShutDown_Click(); });
  OnTimer(Ids::passwordtimedelay, [this] { passwordtimedelay_Timer(); });
  OnTimer(Ids::TimerForce, [this] { TimerForce_Timer(); });
}

void frmPassword::Form_Load() {
  const PromptSettings settings = Settings();
  window().CenterOnScreen();
  // A picture that cannot be loaded leaves the built-in one.
  if (!settings.badPasswordPicture.empty()) {
    if (auto picture = toolkit_.LoadPicture(settings.badPasswordPicture))
      Image1.SetPicture(picture);
  }
  if (!settings.passwordPicture.empty()) {
    if (auto picture = toolkit_.LoadPicture(settings.passwordPicture)) Image2.SetPicture(picture);
  }
  if (settings.userPassword.empty()) Label1.SetCaption(kNoPasswordHint);
  if (settings.timeDelay > 0) {
    passwordtimedelay.SetInterval(settings.timeDelay * 1000);
    passwordtimedelay.SetEnabled(true);
  }
}

std::string frmPassword::LowerTheTypedText() {
  std::string lowered = store::LowerTypedPassword(txtPassword.Text());
  txtPassword.SetText(lowered);
  return lowered;
}

void frmPassword::Label2_Click() {
  Unload();
}

// The button is disabled and below the visible area; nothing enables it.
void frmPassword::cmdShutDown_Click() {
  shell_.ShutDown();
}

void frmPassword::TimerForce_Timer() {
  Show(platform::ShowMode::Normal);
  window().SetTopmost(true);
}

}  // namespace pm::prompt
