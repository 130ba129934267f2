#include "startup/Form1.h"

#include <algorithm>
#include <vector>

#include "startup/Form1Layout.h"
#include "store/PasswordQuestion.h"
#include "store/SettingsCatalogue.h"

namespace pm::startup {

Form1::Form1(platform::Toolkit& toolkit, platform::Desktop& desktop, platform::Shell& shell,
             platform::Registry& registry, platform::ServiceChannel* service)
    : Form(toolkit, kForm1Spec),
      desktop_(desktop),
      shell_(shell),
      registry_(registry),
      service_(service) {
  OnTimer(Ids::timTaskManager, [this] { CloseTaskManagers(); });
}

Form1::~Form1() {
  desktop_.SetWindowChangeHandler(nullptr);
}

void Form1::Form_Load() {
  desktop_.SetScreenSaverRunning(true);
  prompt_ = std::make_unique<StartupPrompt>(
      toolkit_, shell_, desktop_, store::ReadPassword(registry_, store::setting::kUserPassword),
      store::ReadPasswordsStored(registry_, service_).first, service_, [this](PromptEnd end) {
        unlockSucceeded_ = end == PromptEnd::Unlocked;
        toolkit_.Quit(end == PromptEnd::Unlocked ? 0
                      : end == PromptEnd::Lost   ? kPromptLostExitCode
                                                 : kSessionEndExitCode);
      });
  prompt_->Show();
  // Instead of polling without pause, wait for the window system: a window
  // coming to the front is noticed at once, and the timer is the backstop.
  desktop_.SetWindowChangeHandler([this](platform::Hwnd) { CloseTaskManagers(); });
  CloseTaskManagers();
}

void Form1::CloseTaskManagers() {
  if (unlockSucceeded_) return;
  // Every window of either title or of the class: one that ignores WM_CLOSE
  // must not shield a real Task Manager behind it. Each is asked once.
  std::vector<platform::Hwnd> managers = desktop_.FindAllWithClass(kTaskManagerClass);
  for (std::string_view title : {kOldTaskManagerTitle, kTaskManagerTitle}) {
    const std::vector<platform::Hwnd> titled = desktop_.FindAllWithTitle(title);
    managers.insert(managers.end(), titled.begin(), titled.end());
  }
  std::sort(managers.begin(), managers.end());
  managers.erase(std::unique(managers.begin(), managers.end()), managers.end());
  for (const platform::Hwnd window : managers) desktop_.PostClose(window);
}

}  // namespace pm::startup
