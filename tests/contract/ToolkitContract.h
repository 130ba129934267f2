// The Toolkit's suite, run against every backend: the simulated toolkit
// natively and the Windows one under Wine, so the forms' tests, which run on
// the simulation, hold for the real windows too.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/Toolkit.h"

namespace pm::tests {

enum class Key { Enter, Esc, Tab };

// A toolkit with a user in front of it. The window is one the toolkit made;
// `control` is an index into its table. Each action may run the window's
// handlers before it returns.
class ToolkitRig {
 public:
  virtual ~ToolkitRig() = default;

  virtual platform::Toolkit& toolkit() = 0;
  virtual void Click(platform::Window& window, int control) = 0;
  virtual void ClickListEntry(platform::Window& window, int control, int index) = 0;
  // A click on the check box of a list's entry.
  virtual void ClickListCheck(platform::Window& window, int control, int index) = 0;
  virtual void Press(platform::Window& window, Key key) = 0;
  // The control that has the keyboard; -1 when none of the window's has it.
  virtual int Focus(const platform::Window& window) = 0;
  // A window of another program, shown in front of everything.
  virtual platform::Hwnd OpenOtherWindow() = 0;
  virtual platform::Hwnd Foreground() = 0;
  // Where a window is on the screen, its frame included, and the screen
  // without its taskbar; in pixels.
  virtual platform::Rect Bounds(const platform::Window& window) = 0;
  virtual platform::Rect WorkArea() = 0;
  // The user drags a window to another place.
  virtual void MoveTo(platform::Window& window, int left, int top) = 0;
  // The window that owns `window`; 0 for none.
  virtual platform::Hwnd OwnerOf(const platform::Window& window) = 0;
  // Handles what is pending, then lets time pass (virtual time in the
  // simulation) until `done` holds or a generous limit passes.
  virtual bool PumpUntil(const std::function<bool()>& done) = 0;
};

struct ToolkitBackend {
  std::string name;
  std::function<std::unique_ptr<ToolkitRig>()> make;
  // Windows checks an automatic option button that takes the focus, and
  // reports a click; Wine's button does neither.
  bool focusChecksOptions = true;
};

// What a window reports, in order.
class Recorder final : public platform::WindowEvents {
 public:
  std::vector<std::pair<int, platform::Event>> events;
  std::vector<int> timers;
  // Runs after each timer, as a form's handler would.
  std::function<void(int)> onTimer;

  int CountOf(int control, platform::Event event) const;
  void OnControlEvent(int control, platform::Event event) override {
    events.emplace_back(control, event);
  }
  void OnTimer(int control) override;
  void OnMenu(int) override {}
  void OnTrayMessage(std::uint32_t) override {}
  bool OnQueryUnload(platform::UnloadMode) override { return false; }
};

class ToolkitContract : public ::testing::TestWithParam<ToolkitBackend> {
 protected:
  void SetUp() override { rig_ = GetParam().make(); }
  void TearDown() override;

  platform::Window& Open(const platform::FormSpec& layout);
  platform::Window& window() { return *window_; }
  void Settle() {
    rig_->PumpUntil([] { return true; });
  }

  std::unique_ptr<ToolkitRig> rig_;
  Recorder events_;
  std::unique_ptr<platform::Window> window_;
};

inline void PrintTo(const ToolkitBackend& backend, std::ostream* out) {
  *out << backend.name;
}

std::string ToolkitBackendName(const ::testing::TestParamInfo<ToolkitBackend>& info);

}  // namespace pm::tests
