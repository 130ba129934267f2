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
  // Hidden in every case, also a queued window that its program showed again;
  // the program that owns it is asked afterwards, off the way to hiding.
  desktop_.Hide(blocked.hwnd);
  auto& queue = state_.BlockedWindows;
  if (IsQueued(queue, blocked.hwnd)) return;
  if (blocked.key.programPath.empty()) {
    blocked.key.programPath = desktop_.OwnerProgramPath(blocked.hwnd);
  }
  if (!PromptsShown()) {
    // Without prompts, a blocked window waits hidden until the next locked
    // window is blocked, and is then closed; the blank screen still comes.
    for (const store::BlockedWindow& earlier : queue) desktop_.PostClose(earlier.hwnd);
    queue.clear();
    state_.LockedHwnd = blocked.hwnd;
    if (BlankScreenOn) forms_.frmBlank.ShowOver(blocked.hwnd);
  }
  queue.push_back(std::move(blocked));
}

void frmMain::AskForNextBlockedWindow() {
  auto& queue = state_.BlockedWindows;
  // A window that is gone needs no answer.
  while (!queue.empty() && !desktop_.Exists(queue.front().hwnd)) queue.pop_front();
  if (queue.empty() || forms_.frmPassword.Visible() || !PromptsShown()) return;
  const store::BlockedWindow& next = queue.front();
  state_.LockedHwnd = next.hwnd;
  state_.WindowTitle = next.title;
  state_.WindowKey = next.key;
  if (BlankScreenOn) forms_.frmBlank.ShowOver(next.hwnd);
  if (state_.FirstPasswordStored && state_.SecondPasswordStored) {
    forms_.frmPassword.Label1.SetCaption("'" + state_.WindowTitle + "' requires a password.");
  } else {
    forms_.frmPassword.Label1.SetCaption(
        "No password set, click OK to continue without one. To set click the program icon.");
  }
  forms_.frmPassword.Ask();
}

}  // namespace pm::engine
