// The Desktop of one simulated program, on the shared SimWorld.
#pragma once

#include "platform/Desktop.h"
#include "platform/sim/SimWorld.h"

namespace pm::sim {

class SimDesktop final : public platform::Desktop {
 public:
  explicit SimDesktop(SimWorld& world) : world_(world) {}
  ~SimDesktop() override { world_.SetForegroundHandler(this, nullptr); }

  platform::Hwnd ForegroundWindow() override { return world_.Foreground(); }
  bool IsVisible(platform::Hwnd window) override;
  std::string WindowText(platform::Hwnd window) override;
  std::string ClassName(platform::Hwnd window) override;
  platform::Hwnd FindByTitle(std::string_view title) override;
  platform::Hwnd FindByClass(std::string_view className) override;
  std::vector<platform::Hwnd> FindAllWithTitle(std::string_view title) override;
  std::string OwnerProgramPath(platform::Hwnd window) override;
  void Hide(platform::Hwnd window) override;
  void RestoreAsync(platform::Hwnd window) override;
  void ShowNormal(platform::Hwnd window) override;
  void PostClose(platform::Hwnd window) override;
  void Enable(platform::Hwnd window, bool enabled) override;
  void SetScreenSaverRunning(bool running) override { world_.screenSaverRunning = running; }
  void SetForegroundChangeHandler(std::function<void()> handler) override;

 private:
  void Notify();

  SimWorld& world_;
  std::function<void()> handler_;
  bool notifying_ = false;
  bool notifyAgain_ = false;
};

}  // namespace pm::sim
