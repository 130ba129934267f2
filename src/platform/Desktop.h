// Operations on any top-level window, ours or another program's.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Ui.h"

namespace pm::platform {

class Desktop {
 public:
  virtual ~Desktop() = default;

  virtual Hwnd ForegroundWindow() = 0;
  virtual bool IsVisible(Hwnd window) = 0;
  // At most 255 characters, as the window reports them.
  virtual std::string WindowText(Hwnd window) = 0;
  virtual std::string ClassName(Hwnd window) = 0;
  // A top-level window whose title (or class) equals the text, compared
  // without case as the window manager does; 0 when there is none.
  virtual Hwnd FindByTitle(std::string_view title) = 0;
  virtual Hwnd FindByClass(std::string_view className) = 0;
  // Every top-level window whose title is exactly this text, case included.
  virtual std::vector<Hwnd> FindAllWithTitle(std::string_view title) = 0;
  // The full path of the program file whose process owns the window, as
  // C:\Folder\program.exe; empty when it cannot be known (no such
  // window, or the process may not be asked).
  virtual std::string OwnerProgramPath(Hwnd window) = 0;

  virtual void Hide(Hwnd window) = 0;
  // SW_RESTORE without waiting for the window's thread.
  virtual void RestoreAsync(Hwnd window) = 0;
  virtual void ShowNormal(Hwnd window) = 0;
  virtual void PostClose(Hwnd window) = 0;
  virtual void Enable(Hwnd window, bool enabled) = 0;

  // SPI_SETSCREENSAVERRUNNING: while set, systems that honour it keep the
  // task-switching key combinations from working.
  virtual void SetScreenSaverRunning(bool running) = 0;

  // Called on the UI thread soon after the foreground window may have
  // changed; null stops the notifications.
  virtual void SetForegroundChangeHandler(std::function<void()> handler) = 0;
};

}  // namespace pm::platform
