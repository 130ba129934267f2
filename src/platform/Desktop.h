// Operations on any top-level window, ours or another program's.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Ui.h"

namespace pm::platform {

inline constexpr std::size_t kLongestWindowText = 255;
// The most bytes a window's text takes in UTF-8, lower-cased or not.
inline constexpr std::size_t kLongestWindowTextBytes = 4 * kLongestWindowText;

class Desktop {
 public:
  virtual ~Desktop() = default;

  virtual Hwnd ForegroundWindow() = 0;
  virtual bool IsVisible(Hwnd window) = 0;
  // Whether the handle still names a window: false once it was destroyed,
  // for example with the process that owned it.
  virtual bool Exists(Hwnd window) = 0;
  // At most kLongestWindowText characters, as the window reports them.
  virtual std::string WindowText(Hwnd window) = 0;
  virtual std::string ClassName(Hwnd window) = 0;
  // A top-level window whose title (or class) equals the text, compared
  // without case as the window manager does; 0 when there is none.
  virtual Hwnd FindByTitle(std::string_view title) = 0;
  virtual Hwnd FindByClass(std::string_view className) = 0;
  // Every top-level window whose title is exactly this text, case included.
  virtual std::vector<Hwnd> FindAllWithTitle(std::string_view title) = 0;
  // Every top-level window of this class, compared without case.
  virtual std::vector<Hwnd> FindAllWithClass(std::string_view className) = 0;
  // Every visible top-level window, front first.
  virtual std::vector<Hwnd> VisibleTopLevelWindows() = 0;
  // Whether the window belongs to this very process.
  virtual bool IsOwnProcess(Hwnd window) = 0;
  // The full path of the program file whose process owns the window, as
  // C:\Folder\program.exe; empty when it cannot be known (no such
  // window, or the process may not be asked).
  virtual std::string OwnerProgramPath(Hwnd window) = 0;

  virtual void Hide(Hwnd window) = 0;
  // SW_RESTORE without waiting for the window's thread.
  virtual void RestoreAsync(Hwnd window) = 0;
  virtual void ShowNormal(Hwnd window) = 0;
  virtual void PostClose(Hwnd window) = 0;
  // Puts a window of this process in front with the keyboard, as far as the
  // system lets a background process (the foreground lock); where it does
  // not, the window flashes for attention. True when it is in front.
  virtual bool BringToFrontWithKeyboard(Hwnd ourWindow) = 0;
  virtual void Enable(Hwnd window, bool enabled) = 0;
  virtual bool IsEnabled(Hwnd window) = 0;

  // SPI_SETSCREENSAVERRUNNING: while set, systems that honour it keep the
  // task-switching key combinations from working.
  virtual void SetScreenSaverRunning(bool running) = 0;

  // Called on the UI thread soon after a top-level window was created,
  // shown, renamed, restored or brought to the front, with that window, or
  // with 0 when only the foreground may have changed; null stops the calls.
  virtual void SetWindowChangeHandler(std::function<void(Hwnd)> handler) = 0;
};

}  // namespace pm::platform
