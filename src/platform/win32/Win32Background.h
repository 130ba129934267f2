// Work on a thread of its own, its completion handed back to the UI thread
// through a message-only window, which no modal loop drops (a thread
// message would be lost in a message box's or a menu's loop).
//
// Any program on the desktop can find that window and post to it, so the
// message carries only a job's number: it counts for a job this program has
// running whose work has finished, and for nothing else.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "platform/win32/Handles.h"

namespace pm::win32 {

class Win32Background {
 public:
  Win32Background() = default;
  ~Win32Background();
  Win32Background(const Win32Background&) = delete;
  Win32Background& operator=(const Win32Background&) = delete;

  // Call on the UI thread; `done` runs there once `work` has finished. When
  // no thread can be started, both run at once on the calling thread.
  void Run(std::function<void()> work, std::function<void()> done);

 private:
  struct Job {
    std::function<void()> work;
    std::function<void()> done;
    std::uint64_t number = 0;
    HWND window = nullptr;
    std::atomic<bool> finished{false};
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static DWORD WINAPI ThreadMain(void* job);
  bool EnsureWindow();
  void Finish(std::uint64_t number);

  UniqueHwnd window_;
  // The jobs whose `done` has not run yet, by number; the UI thread's alone.
  // A job's thread holds the job too, so it may outlive this object.
  std::map<std::uint64_t, std::shared_ptr<Job>> running_;
  std::uint64_t lastNumber_ = 0;
};

}  // namespace pm::win32
