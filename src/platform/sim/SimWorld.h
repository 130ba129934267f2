// The simulated desktop that the sim Toolkit, Desktop and Shell share: every
// top-level window (ours and other programs'), their z-order, a virtual clock
// that fires timers in order, the tray, and the answers a test scripts for
// message boxes. Tests drive it like a user: bring a window to the front,
// let time pass, click a button.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Toolkit.h"
#include "platform/Ui.h"

namespace pm::sim {

class SimWindow;

struct WindowRecord {
  platform::Hwnd handle = 0;
  std::string title;
  std::string className;
  std::uint32_t processId = 0;
  bool visible = false;
  bool enabled = true;
  bool ignoresClose = false;  // another program's window that answers WM_CLOSE with nothing
  platform::WindowState state = platform::WindowState::Normal;
  int hideCount = 0;
  bool topmost = false;
  bool flashing = false;      // FlashWindowEx: asks the user to turn to it
  SimWindow* ours = nullptr;  // set for the windows of our forms
  platform::Hwnd parent = 0;  // 0 for a top-level window
};

// How a program asks for the foreground.
enum class ForegroundRequest {
  Plain,              // SetForegroundWindow alone
  WithInputAttached,  // while attached to the foreground thread's input
};

struct ShownMessage {
  std::string text;
  std::string caption;
  platform::MessageStyle style;
};

struct TrayIcon {
  platform::Hwnd owner = 0;
  platform::BuiltIn icon = platform::BuiltIn::None;
  std::string toolTip;
};

inline constexpr std::uint32_t kOtherProcessId = 4242;
inline constexpr std::string_view kOtherProgramPath = "C:\\Windows\\System32\\notepad.exe";

class SimWorld {
 public:
  SimWorld();
  ~SimWorld();

  // Other programs' windows; the default process is a text editor's.
  platform::Hwnd CreateOtherWindow(std::string title, std::string className = "Notepad",
                                   std::uint32_t processId = kOtherProcessId);
  // Shown without activation, behind the window in front (SW_SHOWNA, or a
  // program that opens while the user works in another).
  platform::Hwnd CreateOtherWindowBehind(std::string title, std::string className = "Notepad",
                                         std::uint32_t processId = kOtherProcessId);
  void DestroyWindow(platform::Hwnd window);
  void SetTitle(platform::Hwnd window, std::string title);
  // Brings a window to the front as a click on it would.
  void BringToFront(platform::Hwnd window);
  // SW_SHOWNA: shown just behind the window in front, which keeps the front.
  void ShowWithoutActivation(platform::Hwnd window);

  // The foreground lock of Windows: while on, a program may take the
  // foreground only if it owns the window in front, received the user's
  // last input, or asks with its input attached to the front window's
  // thread. A window of ours shown or raised without that right comes up
  // behind the front window. Off (Wine), every request is granted.
  bool foregroundLock = false;
  // The process that received the user's last input (a click, a key, the
  // tray icon); 0 for none.
  std::uint32_t lastInputProcess = 0;
  bool RequestForeground(std::uint32_t processId, platform::Hwnd window,
                         ForegroundRequest how = ForegroundRequest::Plain);
  WindowRecord* Find(platform::Hwnd window);
  const WindowRecord* Find(platform::Hwnd window) const;
  platform::Hwnd Foreground() const;
  // Our window with this exact title that is visible, or any when none is.
  SimWindow* OurWindow(std::string_view title);
  std::vector<platform::Hwnd> AllWindows() const;

  // The program file each process runs; a process not named here cannot be
  // asked (empty), as a process of another user on Windows.
  void SetProgramPath(std::uint32_t processId, std::string path);
  std::string ProgramPath(std::uint32_t processId) const;
  // The AppUserModelID of a process that runs a Store app.
  void SetAppUserModelId(std::uint32_t processId, std::string id);
  std::string AppUserModelId(std::uint32_t processId) const;
  // SetParent: the window becomes a child of `parent` (0: top-level again).
  void SetParent(platform::Hwnd window, platform::Hwnd parent);

  // Time. Pending events (posted closes, foreground notifications) run first.
  std::int64_t Now() const { return now_; }
  void Advance(std::int64_t milliseconds);
  void RunPending();
  // Whether window notifications (the WinEvent hooks: created, shown,
  // renamed, foreground) reach their handlers; off, only the timers see
  // changes.
  void SetForegroundNotifications(bool delivered) { notificationsDelivered_ = delivered; }

  // The screen without its taskbar, in pixels: 1280 x 1024 with the taskbar
  // along the bottom.
  platform::Rect workArea{0, 0, 1280, 984};

  // Message boxes answer from this script; without one, the first button.
  std::deque<platform::MessageResult> messageAnswers;
  std::vector<ShownMessage> shownMessages;
  int beeps = 0;
  // WM_CLOSE messages each window received, kept after the window is gone.
  std::map<platform::Hwnd, int> closesReceived;

  // Shell state.
  std::optional<TrayIcon> tray;
  int trayAdds = 0;
  std::vector<std::string> openedDocuments;
  std::vector<std::pair<std::string, int>> startedPrograms;
  bool startSucceeds = true;
  bool shutDownRequested = false;
  bool screenSaverRunning = false;
  std::string lastPopupMenu;

  // Our side: used by the backend classes.
  platform::Hwnd RegisterOurWindow(SimWindow& window, std::string title, std::uint32_t processId);
  void UnregisterOurWindow(platform::Hwnd window);
  void SetTimer(platform::Hwnd window, int control, int intervalMs, bool enabled);
  void KillTimers(platform::Hwnd window);
  void Post(std::function<void()> event);
  // One handler per simulated program (keyed by its Desktop); null removes it.
  void SetWindowHandler(const void* owner, std::function<void(platform::Hwnd)> handler);
  // Call after any change of visibility or z-order.
  void ForegroundMayHaveChanged();
  // Reports a window created, shown or renamed, as the hooks do.
  void WindowChanged(platform::Hwnd window);
  void SetVisible(platform::Hwnd window, bool visible);
  // The next timer due at or before `until`, if any: fires it and answers true.
  bool FireNextTimer(std::int64_t until);
  std::optional<std::int64_t> NextTimerDue() const;

 private:
  struct TimerSlot {
    int intervalMs = 0;
    std::int64_t due = 0;
    // Timers due at the same moment fire in the order they were (re)armed,
    // as the system's queue of timers keeps them.
    std::uint64_t armed = 0;
  };
  std::map<platform::Hwnd, WindowRecord> windows_;
  std::map<std::uint32_t, std::string> programPaths_;
  std::map<std::uint32_t, std::string> appUserModelIds_;
  std::vector<platform::Hwnd> zOrder_;  // front first
  std::map<std::pair<platform::Hwnd, int>, TimerSlot> timers_;
  std::deque<std::function<void()>> pending_;
  platform::Hwnd AddWindow(std::string title, std::string className, std::uint32_t processId);
  void ReportShown(platform::Hwnd window);
  void MoveToFront(platform::Hwnd window);
  // Just behind the window in front, which keeps the front.
  void MoveBehindFront(platform::Hwnd window);

  std::map<const void*, std::function<void(platform::Hwnd)>> windowHandlers_;
  platform::Hwnd lastNotifiedForeground_ = 0;
  bool notificationsDelivered_ = true;
  platform::Hwnd nextHandle_ = 0x10010;
  std::uint64_t nextArming_ = 0;
  std::int64_t now_ = 0;
};

}  // namespace pm::sim
