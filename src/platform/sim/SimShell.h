// The Shell of one simulated program: tray, documents and programs.
#pragma once

#include "platform/Shell.h"
#include "platform/sim/SimWorld.h"

namespace pm::sim {

class SimShell final : public platform::Shell {
 public:
  explicit SimShell(SimWorld& world) : world_(world) {}

  bool AddTrayIcon(platform::Hwnd owner, platform::BuiltIn icon, std::string_view toolTip) override;
  bool RemoveTrayIcon(platform::Hwnd owner) override;
  bool Open(std::string_view fileOrAddress) override;
  bool StartProgram(std::string_view path, int showStyle) override;
  bool ShutDown() override;

  // A mouse message on the tray icon, as the user's click sends it.
  // Explorer ended and started again: every tray icon is gone, and the
  // windows that had one are told the taskbar was created.
  void RestartTaskbar();
  void TrayMessage(std::uint32_t mouseMessage);

 private:
  SimWorld& world_;
};

}  // namespace pm::sim
