// Blocking a locked window, and the queue of blocked windows that wait for
// the prompt one at a time.
#include <algorithm>

#include "engine/frmMain.h"

namespace pm::engine {

namespace {

bool IsQueued(const std::deque<store::BlockedWindow>& queue, platform::Hwnd window) {
  return std::any_of(queue.begin(), queue.end(), [window](const store::BlockedWindow& blocked) {
    return blocked.hwnd == window;
  });
}

}  // namespace

bool frmMain::PromptsShown() const {
  return !NoPasswordPrompt || state_.SetupRequested;
}

void frmMain::StopWindow(store::BlockedWindow blocked) {
  // Hidden in every case, also a queued window that its program showed again.
  desktop_.Hide(blocked.hwnd);
  if (IsQueued(blockedWindows_, blocked.hwnd)) return;
  if (!PromptsShown()) {
    // Without prompts, a blocked window waits hidden until the next locked
    // window is blocked, and is then closed; the blank screen still comes.
    for (const store::BlockedWindow& earlier : blockedWindows_) desktop_.PostClose(earlier.hwnd);
    blockedWindows_.clear();
    LockedHwnd = blocked.hwnd;
    if (BlankScreenOn) forms_.frmBlank.ShowOver(blocked.hwnd);
  }
  blockedWindows_.push_back(std::move(blocked));
}

// A blocked window that is gone (its program ended, or it closed itself while
// hidden) needs no answer, and leaves the queue. A prompt naming a window
// that no longer exists would only puzzle the user: it goes, with the blank
// screen.
void frmMain::DropVanishedBlockedWindows() {
  std::erase_if(blockedWindows_, [this](const store::BlockedWindow& window) {
    return !desktop_.Exists(window.hwnd);
  });
  if (LockedHwnd == 0 || desktop_.Exists(LockedHwnd)) return;
  if (forms_.frmPassword.Visible()) forms_.frmPassword.Unload();
  forms_.frmBlank.UnloadIfVisible();
}

void frmMain::AskForNextBlockedWindow() {
  if (blockedWindows_.empty() || forms_.frmPassword.Visible() || !PromptsShown()) return;
  const store::BlockedWindow& next = blockedWindows_.front();
  LockedHwnd = next.hwnd;
  if (BlankScreenOn) forms_.frmBlank.ShowOver(next.hwnd);
  forms_.frmPassword.Ask(next,
                         [this](const store::BlockedWindow& window, prompt::PromptResult result) {
                           BlockedWindowAnswered(window, result);
                         });
}

void frmMain::BlockedWindowAnswered(const store::BlockedWindow& window,
                                    prompt::PromptResult result) {
  std::erase_if(blockedWindows_, [&window](const store::BlockedWindow& blocked) {
    return blocked.hwnd == window.hwnd;
  });
  if (result == prompt::PromptResult::Unlocked) watch_.RememberUnlock(window);
}

}  // namespace pm::engine
