// The Desktop's suite, run against every backend: the simulated desktop
// natively and the real one under Wine, so the engine's view of other
// programs' windows is the same in both.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/Desktop.h"

namespace pm::tests {

// A desktop with windows "of another program" that a test creates and acts
// on as that program or its user would; `desktop()` is the view under test.
class DesktopRig {
 public:
  virtual ~DesktopRig() = default;

  virtual platform::Desktop& desktop() = 0;
  // A top-level window of another program. Its WM_CLOSE messages are counted,
  // and the window stays (it does not close itself).
  virtual platform::Hwnd CreateOtherWindow(std::string_view title, std::string_view className,
                                           bool visible) = 0;
  // As the window's program ending would.
  virtual void DestroyOtherWindow(platform::Hwnd window) = 0;
  // The program file of the process that owns the windows made above.
  virtual std::string OtherProgramPath() = 0;
  // As a click on the window would.
  virtual void BringToFront(platform::Hwnd window) = 0;
  // As ShowWindow with SW_SHOWNA: shown, but the front window stays in front.
  virtual void ShowWithoutActivation(platform::Hwnd window) = 0;
  // As the window's program changing its title.
  virtual void Rename(platform::Hwnd window, std::string_view title) = 0;
  // Whether the system reports a window shown without activation, or
  // renamed (Windows does; Wine 8 does not).
  virtual bool ReportsShowAndRename() const { return true; }
  virtual int CloseRequests(platform::Hwnd window) = 0;
  // Whether the window accepts input; the Desktop itself cannot tell.
  virtual bool IsEnabled(platform::Hwnd window) = 0;
  // Handles what is pending: posted messages, notifications. May wait a
  // little for them, so a bounded loop of calls gives a generous wait.
  virtual void Pump() = 0;
};

struct DesktopBackend {
  std::string name;
  std::function<std::unique_ptr<DesktopRig>()> make;
};

class DesktopContract : public ::testing::TestWithParam<DesktopBackend> {
 protected:
  void SetUp() override;
  void TearDown() override;

  platform::Desktop& desktop() { return rig_->desktop(); }
  // A title or class name that no other window on the desktop has.
  std::string Unique(std::string_view text) const;
  // Pumps until `done` holds or the rounds run out; answers `done()`.
  bool PumpUntil(const std::function<bool()>& done, int rounds = 500);

  std::unique_ptr<DesktopRig> rig_;
};

inline void PrintTo(const DesktopBackend& backend, std::ostream* out) {
  *out << backend.name;
}

std::string DesktopBackendName(const ::testing::TestParamInfo<DesktopBackend>& info);

}  // namespace pm::tests
