// The real toolkit: forms as windows of the program's one window class, the
// message loop with dialog keyboard handling, message boxes, pictures, and
// the program's own folder and version.
#pragma once

#include <windows.h>
// The toolkit has a MessageBox of its own.
#undef MessageBox

#include "platform/Toolkit.h"
#include "platform/win32/Win32Background.h"
#include "platform/win32/Win32PostedMessageFilter.h"
#include "platform/win32/Win32UiPictures.h"

namespace pm::win32 {

class Win32UiToolkit final : public platform::Toolkit {
 public:
  explicit Win32UiToolkit(HINSTANCE instance);

  std::unique_ptr<platform::Window> CreateFormWindow(const platform::FormSpec& layout,
                                                     platform::WindowEvents& events,
                                                     const platform::Window* owner) override;
  platform::MessageResult MessageBox(const platform::Window* owner, std::string_view text,
                                     std::string_view caption, platform::MessageStyle style,
                                     platform::MessageIcon icon) override;
  void Beep() override;
  void DoEvents() override;
  void PumpUntil(const std::function<bool()>& done) override;
  int Run() override;
  void RunInBackground(std::function<void()> work, std::function<void()> done) override {
    background_.Run(std::move(work), std::move(done));
  }
  void Quit(int exitCode) override;
  platform::PicturePtr LoadPicture(std::string_view path) override;
  platform::PicturePtr BuiltInPicture(platform::BuiltIn picture) override;
  std::string ProgramFolder() const override;
  platform::ProgramVersion Version() const override;
  void HideFromTaskList() override;

 private:
  // Handles one message; false when it was our own WM_QUIT.
  bool Dispatch(MSG& message);
  // A WM_QUIT counts only after Quit, and only with the exit code Quit
  // chose: any program can post one to our thread, with any code.
  bool OursToQuit(const MSG& message) const {
    return message.message == WM_QUIT && quitAsked_ &&
           static_cast<int>(message.wParam) == exitCode_;
  }

  HINSTANCE instance_;
  Win32PictureDecoder pictures_;
  Win32PostedMessageFilter postedMessageFilter_;
  Win32Background background_;
  bool quitAsked_ = false;
  bool quitting_ = false;
  int exitCode_ = 0;
};

}  // namespace pm::win32
