#include "platform/sim/SimShell.h"

#include "platform/sim/SimWindow.h"

namespace pm::sim {

bool SimShell::AddTrayIcon(platform::Hwnd owner, platform::BuiltIn icon, std::string_view toolTip) {
  if (world_.tray && world_.tray->owner == owner) return false;
  world_.tray = TrayIcon{owner, icon, std::string(toolTip)};
  ++world_.trayAdds;
  return true;
}

bool SimShell::RemoveTrayIcon(platform::Hwnd owner) {
  if (!world_.tray || world_.tray->owner != owner) return false;
  world_.tray.reset();
  return true;
}

bool SimShell::Open(std::string_view fileOrAddress) {
  world_.openedDocuments.emplace_back(fileOrAddress);
  return true;
}

bool SimShell::StartProgram(std::string_view path, int showStyle) {
  world_.startedPrograms.emplace_back(std::string(path), showStyle);
  return world_.startSucceeds;
}

bool SimShell::ShutDown() {
  world_.shutDownRequested = true;
  return true;
}

void SimShell::TrayMessage(std::uint32_t mouseMessage) {
  if (!world_.tray) return;
  if (WindowRecord* owner = world_.Find(world_.tray->owner); owner && owner->ours) {
    // A click on the icon is the user's input to its program.
    world_.lastInputProcess = owner->processId;
    owner->ours->TrayMessage(mouseMessage);
  }
}

void SimShell::RestartTaskbar() {
  if (!world_.tray) return;
  const platform::Hwnd owner = world_.tray->owner;
  world_.tray.reset();
  if (WindowRecord* record = world_.Find(owner); record && record->ours) {
    record->ours->TrayMessage(platform::kTaskbarCreated);
  }
}

}  // namespace pm::sim
