#include "contract/DesktopContract.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimWorld.h"

namespace pm::tests {
namespace {

class SimDesktopRig final : public DesktopRig {
 public:
  platform::Desktop& desktop() override { return desktop_; }
  platform::Hwnd CreateOtherWindow(std::string_view title, std::string_view className,
                                   bool visible) override {
    const platform::Hwnd window =
        world_.CreateOtherWindow(std::string(title), std::string(className));
    world_.Find(window)->ignoresClose = true;
    if (!visible) world_.SetVisible(window, false);
    return window;
  }
  void DestroyOtherWindow(platform::Hwnd window) override { world_.DestroyWindow(window); }
  std::string OtherProgramPath() override { return std::string(sim::kOtherProgramPath); }
  void BringToFront(platform::Hwnd window) override { world_.BringToFront(window); }
  void ShowWithoutActivation(platform::Hwnd window) override {
    world_.ShowWithoutActivation(window);
  }
  void Rename(platform::Hwnd window, std::string_view title) override {
    world_.SetTitle(window, std::string(title));
  }
  int CloseRequests(platform::Hwnd window) override {
    const auto it = world_.closesReceived.find(window);
    return it == world_.closesReceived.end() ? 0 : it->second;
  }
  bool IsEnabled(platform::Hwnd window) override { return world_.Find(window)->enabled; }
  void Pump() override { world_.RunPending(); }

 private:
  sim::SimWorld world_;
  sim::SimDesktop desktop_{world_};
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Backend, DesktopContract,
                         ::testing::Values(DesktopBackend{
                             "Sim", [] { return std::make_unique<SimDesktopRig>(); }}),
                         DesktopBackendName);

}  // namespace pm::tests
