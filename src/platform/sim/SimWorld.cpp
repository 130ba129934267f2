#include "platform/sim/SimWorld.h"

#include <algorithm>
#include <tuple>

#include "platform/sim/SimWindow.h"

namespace pm::sim {

using platform::Hwnd;

SimWorld::SimWorld() {
  programPaths_[kOtherProcessId] = std::string(kOtherProgramPath);
}
SimWorld::~SimWorld() = default;

Hwnd SimWorld::AddWindow(std::string title, std::string className, std::uint32_t processId) {
  const Hwnd handle = nextHandle_;
  nextHandle_ += 0x10;
  WindowRecord& record = windows_[handle];
  record.handle = handle;
  record.title = std::move(title);
  record.className = std::move(className);
  record.processId = processId;
  return handle;
}

Hwnd SimWorld::CreateOtherWindow(std::string title, std::string className,
                                 std::uint32_t processId) {
  const Hwnd handle = AddWindow(std::move(title), std::move(className), processId);
  windows_[handle].visible = true;
  zOrder_.insert(zOrder_.begin(), handle);
  ReportShown(handle);
  return handle;
}

Hwnd SimWorld::CreateOtherWindowBehind(std::string title, std::string className,
                                       std::uint32_t processId) {
  const Hwnd handle = AddWindow(std::move(title), std::move(className), processId);
  zOrder_.push_back(handle);
  ShowWithoutActivation(handle);
  return handle;
}

void SimWorld::ShowWithoutActivation(Hwnd window) {
  WindowRecord* record = Find(window);
  if (record == nullptr || record->visible) return;
  MoveBehindFront(window);
  SetVisible(window, true);
}

Hwnd SimWorld::RegisterOurWindow(SimWindow& window, std::string title, std::uint32_t processId) {
  const Hwnd handle = AddWindow(std::move(title), "PelmoraProWindow", processId);
  windows_[handle].ours = &window;
  // A new window starts hidden and behind the others until it is shown.
  zOrder_.push_back(handle);
  return handle;
}

void SimWorld::UnregisterOurWindow(Hwnd window) {
  KillTimers(window);
  DestroyWindow(window);
}

void SimWorld::DestroyWindow(Hwnd window) {
  windows_.erase(window);
  zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), window), zOrder_.end());
  ForegroundMayHaveChanged();
}

void SimWorld::SetTitle(Hwnd window, std::string title) {
  WindowRecord* record = Find(window);
  if (record == nullptr || record->title == title) return;
  record->title = std::move(title);
  WindowChanged(window);
}

bool SimWorld::RequestForeground(std::uint32_t processId, Hwnd window, ForegroundRequest how) {
  const WindowRecord* front = Find(Foreground());
  const bool allowed = !foregroundLock || front == nullptr || front->processId == processId ||
                       lastInputProcess == processId || how == ForegroundRequest::WithInputAttached;
  if (!allowed || Find(window) == nullptr) return false;
  MoveToFront(window);
  return true;
}

void SimWorld::MoveToFront(Hwnd window) {
  zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), window), zOrder_.end());
  zOrder_.insert(zOrder_.begin(), window);
  ForegroundMayHaveChanged();
}

void SimWorld::MoveBehindFront(Hwnd window) {
  const Hwnd front = Foreground();
  zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), window), zOrder_.end());
  const auto at = std::find(zOrder_.begin(), zOrder_.end(), front);
  zOrder_.insert(at == zOrder_.end() ? zOrder_.begin() : std::next(at), window);
}

void SimWorld::BringToFront(Hwnd window) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return;
  // Our own program raising its window is subject to the lock; a window
  // of another program brought to the front stands for the user's click.
  if (record->ours != nullptr) {
    if (!RequestForeground(record->processId, window) && record->visible) MoveBehindFront(window);
    return;
  }
  lastInputProcess = record->processId;
  MoveToFront(window);
}

WindowRecord* SimWorld::Find(Hwnd window) {
  const auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

const WindowRecord* SimWorld::Find(Hwnd window) const {
  const auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

Hwnd SimWorld::Foreground() const {
  // The active window is the front-most one that is shown; hiding it
  // activates the next, as Windows does.
  for (Hwnd window : zOrder_) {
    const WindowRecord* record = Find(window);
    if (record != nullptr && record->visible && record->parent == 0) return window;
  }
  return 0;
}

SimWindow* SimWorld::OurWindow(std::string_view title) {
  SimWindow* hidden = nullptr;
  for (Hwnd window : zOrder_) {
    WindowRecord& record = windows_[window];
    if (record.ours == nullptr || record.title != title) continue;
    if (record.visible) return record.ours;
    if (hidden == nullptr) hidden = record.ours;
  }
  return hidden;
}

std::vector<Hwnd> SimWorld::AllWindows() const {
  return zOrder_;
}

void SimWorld::SetProgramPath(std::uint32_t processId, std::string path) {
  programPaths_[processId] = std::move(path);
}

std::string SimWorld::ProgramPath(std::uint32_t processId) const {
  const auto it = programPaths_.find(processId);
  return it == programPaths_.end() ? std::string() : it->second;
}

void SimWorld::SetAppUserModelId(std::uint32_t processId, std::string id) {
  appUserModelIds_[processId] = std::move(id);
}

std::string SimWorld::AppUserModelId(std::uint32_t processId) const {
  const auto it = appUserModelIds_.find(processId);
  return it == appUserModelIds_.end() ? std::string() : it->second;
}

void SimWorld::SetParent(Hwnd window, Hwnd parent) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return;
  record->parent = parent;
  WindowChanged(window);
  ForegroundMayHaveChanged();
}

void SimWorld::SetVisible(Hwnd window, bool visible) {
  WindowRecord* record = Find(window);
  if (record == nullptr || record->visible == visible) return;
  record->visible = visible;
  if (visible) {
    ReportShown(window);
    return;
  }
  ++record->hideCount;
  ForegroundMayHaveChanged();
}

void SimWorld::ReportShown(Hwnd window) {
  // One report for a window that is both shown and now in front.
  if (Foreground() == window) lastNotifiedForeground_ = window;
  WindowChanged(window);
  ForegroundMayHaveChanged();
}

void SimWorld::SetWindowHandler(const void* owner, std::function<void(Hwnd)> handler) {
  if (handler) {
    windowHandlers_[owner] = std::move(handler);
  } else {
    windowHandlers_.erase(owner);
  }
}

void SimWorld::ForegroundMayHaveChanged() {
  const Hwnd now = Foreground();
  if (now == lastNotifiedForeground_) return;
  lastNotifiedForeground_ = now;
  WindowChanged(now);
}

void SimWorld::WindowChanged(Hwnd window) {
  if (!notificationsDelivered_) return;
  // The hook's notification arrives as a message: after the current handler.
  Post([this, window] {
    std::vector<std::function<void(Hwnd)>> handlers;
    for (auto& [owner, handler] : windowHandlers_) handlers.push_back(handler);
    for (auto& handler : handlers) handler(window);
  });
}

void SimWorld::Post(std::function<void()> event) {
  pending_.push_back(std::move(event));
}

void SimWorld::RunPending() {
  // Bounded, so a handler that keeps posting cannot hang a test.
  for (int n = 0; n < 10000 && !pending_.empty(); ++n) {
    auto event = std::move(pending_.front());
    pending_.pop_front();
    event();
  }
}

void SimWorld::SetTimer(Hwnd window, int control, int intervalMs, bool enabled) {
  if (enabled && intervalMs > 0) {
    timers_[{window, control}] = TimerSlot{intervalMs, now_ + intervalMs, ++nextArming_};
  } else {
    timers_.erase({window, control});
  }
}

void SimWorld::KillTimers(Hwnd window) {
  for (auto it = timers_.begin(); it != timers_.end();) {
    it = it->first.first == window ? timers_.erase(it) : std::next(it);
  }
}

std::optional<std::int64_t> SimWorld::NextTimerDue() const {
  std::optional<std::int64_t> next;
  for (const auto& [key, slot] : timers_) {
    if (!next || slot.due < *next) next = slot.due;
  }
  return next;
}

bool SimWorld::FireNextTimer(std::int64_t until) {
  auto next = timers_.end();
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->second.due > until) continue;
    if (next == timers_.end() || std::tie(it->second.due, it->second.armed) <
                                     std::tie(next->second.due, next->second.armed)) {
      next = it;
    }
  }
  if (next == timers_.end()) return false;
  const auto [window, control] = next->first;
  now_ = std::max(now_, next->second.due);
  next->second.due = now_ + next->second.intervalMs;
  next->second.armed = ++nextArming_;
  if (WindowRecord* record = Find(window); record != nullptr && record->ours != nullptr) {
    record->ours->FireTimer(control);
  }
  RunPending();
  return true;
}

void SimWorld::Advance(std::int64_t milliseconds) {
  RunPending();
  const std::int64_t until = now_ + milliseconds;
  while (FireNextTimer(until)) {
  }
  now_ = until;
  RunPending();
}

}  // namespace pm::sim
