#include "startup/Form1.h"

#include "startup/Form1Layout.h"
#include "store/SettingsCatalogue.h"

namespace pm::startup {

Form1::Form1(platform::Toolkit& toolkit, platform::Desktop& desktop, platform::Shell& shell,
             platform::Registry& registry)
    : Form(toolkit, kForm1Spec), desktop_(desktop), shell_(shell), registry_(registry) {
  OnTimer(Ids::timTaskManager, [this] { CloseTaskManagers(); });
}

Form1::~Form1() {
  desktop_.SetWindowChangeHandler(nullptr);
}

void Form1::Form_Load() {
  desktop_.SetScreenSaverRunning(true);
  prompt_ = std::make_unique<StartupPrompt>(
      toolkit_, shell_, store::ReadPassword(registry_, store::setting::kUserPassword), [this] {
        unlockSucceeded_ = true;
        toolkit_.Quit(0);
      });
  prompt_->Command1.SetEnabled(false);
  prompt_->Show();
  // Instead of polling without pause, wait for the window system: a window
  // coming to the front is noticed at once, and the timer is the backstop.
  desktop_.SetWindowChangeHandler([this](platform::Hwnd) { CloseTaskManagers(); });
  CloseTaskManagers();
}

void Form1::CloseTaskManagers() {
  if (unlockSucceeded_) return;
  // Every window of either title: one that ignores WM_CLOSE must not shield
  // a real Task Manager behind it.
  for (std::string_view title : {kOldTaskManagerTitle, kTaskManagerTitle}) {
    for (const platform::Hwnd window : desktop_.FindAllWithTitle(title)) desktop_.PostClose(window);
  }
}

}  // namespace pm::startup
