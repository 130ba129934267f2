#include "prompt/frmBlank.h"

#include "prompt/frmBlankLayout.h"

namespace pm::prompt {

frmBlank::frmBlank(platform::Toolkit& toolkit) : Form(toolkit, kfrmBlankSpec) {}

void frmBlank::ShowOver(platform::Hwnd lockedWindow) {
  window().CoverMonitorOf(lockedWindow);
  Show(platform::ShowMode::Normal);
}

void frmBlank::ShowOverEveryMonitor() {
  window().CoverEveryMonitor();
  window().SetTopmost(true);
  if (!Visible()) Show(platform::ShowMode::NoActivate);
}

void frmBlank::UnloadIfVisible() {
  if (Visible()) Unload();
}

}  // namespace pm::prompt
