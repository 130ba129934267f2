#include "platform/sim/SimDesktop.h"

#include "platform/DebugTrace.h"

#include "platform/Text.h"
#include "platform/sim/SimWindow.h"

namespace pm::sim {

using platform::Hwnd;

bool SimDesktop::IsVisible(Hwnd window) {
  const WindowRecord* record = world_.Find(window);
  return record != nullptr && record->visible;
}

bool SimDesktop::Exists(Hwnd window) {
  return world_.Find(window) != nullptr;
}

std::string SimDesktop::WindowText(Hwnd window) {
  const WindowRecord* record = world_.Find(window);
  return record
             ? std::string(platform::FirstCodePoints(record->title, platform::kLongestWindowText))
             : std::string();
}

std::string SimDesktop::ClassName(Hwnd window) {
  const WindowRecord* record = world_.Find(window);
  return record ? record->className : std::string();
}

Hwnd SimDesktop::FindByTitle(std::string_view title) {
  for (Hwnd window : world_.AllWindows()) {
    if (platform::EqualsNoCase(world_.Find(window)->title, title)) return window;
  }
  return 0;
}

Hwnd SimDesktop::FindByClass(std::string_view className) {
  for (Hwnd window : world_.AllWindows()) {
    if (platform::EqualsNoCase(world_.Find(window)->className, className)) return window;
  }
  return 0;
}

std::vector<Hwnd> SimDesktop::FindAllWithTitle(std::string_view title) {
  std::vector<Hwnd> found;
  for (Hwnd window : world_.AllWindows()) {
    if (world_.Find(window)->title == title) found.push_back(window);
  }
  return found;
}

std::vector<Hwnd> SimDesktop::FindAllWithClass(std::string_view className) {
  std::vector<Hwnd> found;
  for (Hwnd window : world_.AllWindows()) {
    if (platform::EqualsNoCase(world_.Find(window)->className, className)) found.push_back(window);
  }
  return found;
}

std::vector<Hwnd> SimDesktop::VisibleTopLevelWindows() {
  std::vector<Hwnd> found;
  for (Hwnd window : world_.AllWindows()) {
    if (world_.Find(window)->visible) found.push_back(window);
  }
  return found;
}

bool SimDesktop::IsOwnProcess(Hwnd window) {
  const WindowRecord* record = world_.Find(window);
  return record != nullptr && record->processId == processId_;
}

std::string SimDesktop::OwnerProgramPath(Hwnd window) {
  const WindowRecord* record = world_.Find(window);
  return record ? world_.ProgramPath(record->processId) : std::string();
}

void SimDesktop::Hide(Hwnd window) {
  world_.SetVisible(window, false);
}

void SimDesktop::RestoreAsync(Hwnd window) {
  if (WindowRecord* record = world_.Find(window)) {
    record->state = platform::WindowState::Normal;
    world_.SetVisible(window, true);
    world_.BringToFront(window);
  }
}

void SimDesktop::ShowNormal(Hwnd window) {
  RestoreAsync(window);
}

void SimDesktop::PostClose(Hwnd window) {
  WindowRecord* record = world_.Find(window);
  if (record == nullptr) return;
  ++world_.closesReceived[window];
  // A posted message: it is handled after the current handler returns.
  world_.Post([this, window] {
    WindowRecord* target = world_.Find(window);
    if (target == nullptr) return;
    if (target->ours != nullptr) {
      target->ours->CloseFromTitleBar();
    } else if (!target->ignoresClose) {
      world_.DestroyWindow(window);
    }
  });
}

void SimDesktop::SetWindowChangeHandler(std::function<void(Hwnd)> handler) {
  handler_ = std::move(handler);
  world_.SetWindowHandler(
      this,
      handler_ ? std::function<void(Hwnd)>([this](Hwnd window) { Notify(window); }) : nullptr);
}

// As the Windows hook does: a change while the handler runs is handled
// afterwards, never by nesting, and a failing handler stops nothing.
void SimDesktop::Notify(Hwnd window) {
  notifyAgain_.push_back(window);
  if (notifying_) return;
  notifying_ = true;
  while (!notifyAgain_.empty()) {
    const Hwnd next = notifyAgain_.front();
    notifyAgain_.erase(notifyAgain_.begin());
    try {
      if (handler_) handler_(next);
    } catch (...) {
      platform::TraceCaughtException("the foreground notification");
    }
  }
  notifying_ = false;
}

bool SimDesktop::BringToFrontWithKeyboard(Hwnd ourWindow) {
  // The technique Windows allows a background process (attaching to the
  // foreground thread's input) is granted; the flash is the fallback.
  if (world_.RequestForeground(processId_, ourWindow, ForegroundRequest::WithInputAttached)) {
    return true;
  }
  if (WindowRecord* record = world_.Find(ourWindow)) record->flashing = true;
  return false;
}

void SimDesktop::Enable(Hwnd window, bool enabled) {
  if (WindowRecord* record = world_.Find(window)) record->enabled = enabled;
}

bool SimDesktop::IsEnabled(Hwnd window) {
  const WindowRecord* record = world_.Find(window);
  return record != nullptr && record->enabled;
}

}  // namespace pm::sim
