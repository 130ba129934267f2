// The start-up locker at log-on on a simulated PC: the stored password, the
// desktop with other programs' windows, and a virtual clock.
#pragma once

#include <gtest/gtest.h>

#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimToolkit.h"
#include "platform/sim/SimWindow.h"
#include "startup/Form1.h"
#include "store/SettingsCatalogue.h"

namespace pm::tests {

class StartupLockerTest : public ::testing::Test {
 protected:
  void LogOn(std::string_view storedPassword = {}) {
    if (!storedPassword.empty()) {
      EXPECT_TRUE(store::WriteSetting(registry_, store::setting::kUserPassword, storedPassword));
    }
    form1_.Load();
    world_.RunPending();
  }
  sim::SimWindow* Prompt() {
    const platform::Hwnd prompt = form1_.prompt().hwnd();
    const sim::WindowRecord* record = world_.Find(prompt);
    return record != nullptr && record->visible ? record->ours : nullptr;
  }
  void Answer(std::string_view typed) {
    ASSERT_NE(Prompt(), nullptr);
    Prompt()->Type("txtPassword", typed);
    Prompt()->Click("cmdOK");
    world_.RunPending();
  }
  int Closes(platform::Hwnd window) { return world_.closesReceived[window]; }
  bool Ended() const { return toolkit_.exitCode().has_value(); }

  sim::SimWorld world_;
  sim::SimRegistry registry_;
  sim::SimToolkit toolkit_{world_, 300, "C:\\Program Files\\Pelmora Pro", "pmpstart.exe"};
  sim::SimDesktop desktop_{world_};
  sim::SimShell shell_{world_};
  startup::Form1 form1_{toolkit_, desktop_, shell_, registry_};
};

}  // namespace pm::tests
