// The start-up locker: holds the password prompt on the screen at log-on,
// closing the Task Manager whenever it appears, until the password is typed.
// It writes nothing and starts nothing.
#pragma once

#include <memory>
#include <string>

#include "platform/Desktop.h"
#include "platform/Form.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "startup/Form1Layout.h"
#include "startup/StartupPrompt.h"

namespace pm::startup {

// The Task Manager's title on older and on current Windows, and the class of
// Windows 10/11's, which is the same in every language.
inline constexpr std::string_view kOldTaskManagerTitle = "Windows Task Manager";
inline constexpr std::string_view kTaskManagerTitle = "Task Manager";
inline constexpr std::string_view kTaskManagerClass = "TaskManagerWindow";

// The program's exit codes when its prompt went without the right password:
// whoever started it starts it again. A session end is no exception: any
// program may send the prompt WM_QUERYENDSESSION and WM_ENDSESSION, and
// only the service, which Windows itself tells of a log-off, knows whether
// the session really ends.
inline constexpr int kPromptLostExitCode = 1;
inline constexpr int kSessionEndExitCode = 2;

class Form1 : public platform::Form {
 protected:
  using Ids = Form1Ids;

 public:
  // `service`, where installed, checks the password and ends the start-up
  // lock; without it the program checks the stored password itself.
  Form1(platform::Toolkit& toolkit, platform::Desktop& desktop, platform::Shell& shell,
        platform::Registry& registry, platform::ServiceChannel* service = nullptr);
  ~Form1() override;

  bool UnlockSucceeded() const { return unlockSucceeded_; }
  StartupPrompt& prompt() { return *prompt_; }

  platform::Timer timTaskManager{*this, Ids::timTaskManager};

 protected:
  void Form_Load() override;
  // The never-shown window closes only with the Windows session.
  bool Form_QueryUnload(platform::UnloadMode mode) override {
    return mode != platform::UnloadMode::WindowsSession;
  }

 private:
  void CloseTaskManagers();

  platform::Desktop& desktop_;
  platform::Shell& shell_;
  platform::Registry& registry_;
  platform::ServiceChannel* service_;
  std::unique_ptr<StartupPrompt> prompt_;
  bool unlockSucceeded_ = false;
};

}  // namespace pm::startup
