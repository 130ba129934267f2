#include "contract/ToolkitContract.h"
#include "platform/sim/SimToolkit.h"
#include "platform/sim/SimWindow.h"
#include "platform/sim/SimWorld.h"

namespace pm::tests {
namespace {

class SimToolkitRig final : public ToolkitRig {
 public:
  platform::Toolkit& toolkit() override { return toolkit_; }
  void Click(platform::Window& window, int control) override {
    Sim(window).Click(NameOf(window, control));
  }
  void ClickListEntry(platform::Window& window, int control, int index) override {
    Sim(window).ClickListEntry(NameOf(window, control), index);
  }
  void ClickListCheck(platform::Window& window, int control, int index) override {
    Sim(window).ClickListCheck(NameOf(window, control), index);
  }
  void Press(platform::Window& window, Key key) override {
    switch (key) {
      case Key::Enter:
        return Sim(window).PressEnter();
      case Key::Esc:
        return Sim(window).PressEsc();
      case Key::Tab:
        return Sim(window).PressTab();
    }
  }
  int Focus(const platform::Window& window) override {
    return world_.Foreground() == window.handle()
               ? static_cast<const sim::SimWindow&>(window).focus()
               : -1;
  }
  // Of the test's own program, as on Windows, where the other window is the
  // test process's.
  platform::Hwnd OpenOtherWindow() override {
    return world_.CreateOtherWindow("Other", "Notepad", toolkit_.processId());
  }
  platform::Hwnd Foreground() override { return world_.Foreground(); }
  platform::Rect Bounds(const platform::Window& window) override { return Sim(window).bounds(); }
  platform::Rect WorkArea() override { return world_.workArea; }
  void MoveTo(platform::Window& window, int left, int top) override {
    Sim(window).MoveTo(left, top);
  }
  platform::Hwnd OwnerOf(const platform::Window& window) override { return Sim(window).owner(); }
  bool PumpUntil(const std::function<bool()>& done) override {
    toolkit_.PumpUntil(done);
    return done();
  }

 private:
  static sim::SimWindow& Sim(platform::Window& window) {
    return static_cast<sim::SimWindow&>(window);
  }
  static const sim::SimWindow& Sim(const platform::Window& window) {
    return static_cast<const sim::SimWindow&>(window);
  }
  static std::string NameOf(platform::Window& window, int control) {
    return std::string(Sim(window).SpecName(control));
  }

  sim::SimWorld world_;
  sim::SimToolkit toolkit_{world_};
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Backend, ToolkitContract,
                         ::testing::Values(ToolkitBackend{
                             "Sim", [] { return std::make_unique<SimToolkitRig>(); }}),
                         ToolkitBackendName);

}  // namespace pm::tests
