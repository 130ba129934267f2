// Every top-level window on the real desktop, through user32.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/win32/Handles.h"

namespace pm::win32 {

class Win32Desktop final : public platform::Desktop {
 public:
  // Whether the foreground window is also compared every few milliseconds.
  // Only that sees another program's window come to the front at once where
  // the system reports no such event (Wine), at a steady cost while idle.
  // It runs until the foreground hook reports another program's window
  // coming to the front, which proves the system reports them (Windows), and
  // never again in this process. A program that waits for new windows, not
  // for the front one, needs no poll: window creation is reported everywhere.
  enum class ForegroundPoll { On, Off };

  // Whether the foreground-change hooks are set: always, but for a
  // benchmark measuring what the 500 ms timer alone achieves.
  enum class ForegroundHooks { On, Off };

  explicit Win32Desktop(ForegroundPoll poll = ForegroundPoll::On,
                        ForegroundHooks hooks = ForegroundHooks::On);
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  platform::Hwnd ForegroundWindow() override;
  bool IsVisible(platform::Hwnd window) override;
  bool Exists(platform::Hwnd window) override;
  std::string WindowText(platform::Hwnd window) override;
  std::string ClassName(platform::Hwnd window) override;
  platform::Hwnd FindByTitle(std::string_view title) override;
  platform::Hwnd FindByClass(std::string_view className) override;
  std::vector<platform::Hwnd> FindAllWithTitle(std::string_view title) override;
  std::vector<platform::Hwnd> FindAllWithClass(std::string_view className) override;
  std::vector<platform::Hwnd> VisibleTopLevelWindows() override;
  std::vector<platform::Hwnd> VisibleHostedWindows() override;
  bool IsOwnProcess(platform::Hwnd window) override;
  std::string OwnerProgramPath(platform::Hwnd window) override;
  std::string AppUserModelId(platform::Hwnd window) override;

  void Hide(platform::Hwnd window) override;
  void RestoreAsync(platform::Hwnd window) override;
  void ShowNormal(platform::Hwnd window) override;
  void PostClose(platform::Hwnd window) override;
  bool BringToFrontWithKeyboard(platform::Hwnd ourWindow) override;
  void Enable(platform::Hwnd window, bool enabled) override;
  bool IsEnabled(platform::Hwnd window) override;
  void SetScreenSaverRunning(bool running) override;

  // Hooks the window events on the calling thread, which must be the UI
  // thread: out-of-context WinEvent callbacks arrive on the thread that set
  // them, while it waits for messages.
  void SetWindowChangeHandler(std::function<void(platform::Hwnd)> handler) override;

  // Whether the foreground poll is running now.
  bool PollingForeground() const { return pollTimer_ != 0; }

 private:
  // Every top-level window, front first, that `keep` accepts.
  template <typename Keep>
  std::vector<platform::Hwnd> TopLevelWindows(Keep keep);
  static void CALLBACK OnWinEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG objectId,
                                  LONG childId, DWORD thread, DWORD time);
  static void CALLBACK OnForegroundPoll(HWND, UINT, UINT_PTR, DWORD);
  void InstallHooks();
  void RemoveHooks();
  void StopPoll();
  // The system has reported another program's window coming to the front.
  void ForegroundReported();
  void RunHandler(HWND window) noexcept;

  std::function<void(platform::Hwnd)> handler_;
  UniqueWinEventHook foregroundHook_;
  UniqueWinEventHook focusHook_;
  UniqueWinEventHook createHook_;
  UniqueWinEventHook nameHook_;
  UniqueWinEventHook restoreHook_;
  UniqueWinEventHook parentHook_;
  UINT_PTR pollTimer_ = 0;
  HWND lastForeground_ = nullptr;
  HWND lastTop_ = nullptr;
  std::wstring lastForegroundTitle_;
  bool hooksDisabled_ = false;
  bool pollForeground_ = true;
  bool inHandler_ = false;
  std::vector<HWND> runAgain_;
};

}  // namespace pm::win32
