// The Desktop of one simulated program, on the shared SimWorld.
#pragma once

#include "platform/Desktop.h"
#include "platform/sim/SimWorld.h"

namespace pm::sim {

class SimDesktop final : public platform::Desktop {
 public:
  // The desktop as the process `processId` sees it.
  explicit SimDesktop(SimWorld& world, std::uint32_t processId = 100)
      : world_(world), processId_(processId) {}
  ~SimDesktop() override { world_.SetWindowHandler(this, nullptr); }

  platform::Hwnd ForegroundWindow() override { return world_.Foreground(); }
  bool IsVisible(platform::Hwnd window) override;
  bool Exists(platform::Hwnd window) override;
  std::string WindowText(platform::Hwnd window) override;
  std::string ClassName(platform::Hwnd window) override;
  platform::Hwnd FindByTitle(std::string_view title) override;
  platform::Hwnd FindByClass(std::string_view className) override;
  std::vector<platform::Hwnd> FindAllWithTitle(std::string_view title) override;
  std::vector<platform::Hwnd> FindAllWithClass(std::string_view className) override;
  std::vector<platform::Hwnd> VisibleTopLevelWindows() override;
  bool IsOwnProcess(platform::Hwnd window) override;
  std::string OwnerProgramPath(platform::Hwnd window) override;
  void Hide(platform::Hwnd window) override;
  void RestoreAsync(platform::Hwnd window) override;
  void ShowNormal(platform::Hwnd window) override;
  void PostClose(platform::Hwnd window) override;
  bool BringToFrontWithKeyboard(platform::Hwnd ourWindow) override;
  void Enable(platform::Hwnd window, bool enabled) override;
  bool IsEnabled(platform::Hwnd window) override;
  void SetScreenSaverRunning(bool running) override { world_.screenSaverRunning = running; }
  void SetWindowChangeHandler(std::function<void(platform::Hwnd)> handler) override;

 private:
  void Notify(platform::Hwnd window);

  SimWorld& world_;
  std::uint32_t processId_;
  std::function<void(platform::Hwnd)> handler_;
  std::vector<platform::Hwnd> notifyAgain_;
  bool notifying_ = false;
};

}  // namespace pm::sim
