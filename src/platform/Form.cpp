#include "platform/Form.h"

#include <stdexcept>

#include "platform/DebugTrace.h"

namespace pm::platform {

Form::Form(Toolkit& toolkit, const FormSpec& layout, Form* owner)
    : toolkit_(toolkit), layout_(layout), owner_(owner) {}

Form::~Form() = default;

void Form::Load() {
  if (window_) return;
  const Window* ownerWindow =
      owner_ != nullptr && owner_->IsLoaded() ? owner_->window_.get() : nullptr;
  window_ = toolkit_.CreateFormWindow(layout_, *this, ownerWindow);
  Guarded([this] { Form_Load(); });
}

void Form::Show(ShowMode mode) {
  Load();
  if (window_) window_->Show(mode);
}

void Form::Hide() {
  if (window_) window_->Hide();
}

void Form::Unload() {
  if (!window_) return;
  ++unloads_;
  Guarded([this] { Form_Unload(); });
  // Move it out first: the form may be loaded again while the old window goes.
  std::unique_ptr<Window> closing = std::move(window_);
  closing.reset();
}

void Form::RunInBackground(std::function<void()> work, std::function<void()> done) {
  toolkit_.RunInBackground(std::move(work), [this, unloads = unloads_, done = std::move(done)] {
    if (unloads == unloads_ && IsLoaded()) done();
  });
}

void Form::Close(UnloadMode mode) {
  if (window_) OnQueryUnload(mode);
}

bool Form::Visible() const {
  return window_ && window_->IsVisible();
}

Window& Form::window() {
  Load();
  return *window_;
}

void Form::On(ControlId control, Event event, std::function<void()> handler) {
  controlHandlers_[{control.index, event}] = std::move(handler);
}

void Form::OnForm(Event event, std::function<void()> handler) {
  controlHandlers_[{-1, event}] = std::move(handler);
}

void Form::OnTimer(ControlId control, std::function<void()> handler) {
  timerHandlers_[control.index] = std::move(handler);
}

void Form::OnMenu(int menuId, std::function<void()> handler) {
  menuHandlers_[menuId] = std::move(handler);
}

void Form::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    // A failing handler leaves at its end; the program goes on.
    TraceCaughtException("a form's handler");
  }
}

void Form::OnControlEvent(int control, Event event) {
  if (inputGate_ && !inputGate_()) return;
  const auto it = controlHandlers_.find({control, event});
  if (it != controlHandlers_.end()) Guarded(it->second);
}

void Form::OnTimer(int control) {
  const auto it = timerHandlers_.find(control);
  if (it != timerHandlers_.end()) Guarded(it->second);
}

void Form::OnMenu(int menuId) {
  if (inputGate_ && !inputGate_()) return;
  const auto it = menuHandlers_.find(menuId);
  if (it != menuHandlers_.end()) Guarded(it->second);
}

void Form::OnTrayMessage(std::uint32_t mouseMessage) {
  Guarded([&] { Form_TrayMessage(mouseMessage); });
}

bool Form::OnQueryUnload(UnloadMode mode) {
  bool cancel = false;
  Guarded([&] { cancel = Form_QueryUnload(mode); });
  if (!cancel) Unload();
  return cancel;
}

}  // namespace pm::platform
