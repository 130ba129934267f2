// A simulated PC with the lock engine installed: the registry, the desktop
// with other programs' windows, and a virtual clock. Scenario tests read
// like a user's story on it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/Engine.h"
#include "engine/frmMainLayout.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimToolkit.h"
#include "platform/sim/SimWindow.h"
#include "platform/sim/SimWorld.h"
#include "store/ItemLists.h"
#include "store/RegistryModule.h"
#include "store/SettingsCatalogue.h"
#include "store/StoreTestSupport.h"
#include "store/modRegistry.h"

namespace pm::tests {

// One simulated run of pmpro.exe on the shared desktop.
struct EngineProcess {
  EngineProcess(sim::SimWorld& world, platform::Registry& registry, std::uint32_t processId,
                std::string programFolder = "C:\\Program Files\\Pelmora Pro")
      : toolkit(world, processId, std::move(programFolder)),
        desktop(world, processId),
        shell(world),
        engine(engine::Platform{toolkit, desktop, shell, registry}) {}
  sim::SimToolkit toolkit;
  sim::SimDesktop desktop;
  sim::SimShell shell;
  engine::Engine engine;
};

class EngineTest : public ::testing::Test {
 protected:
  // As on Windows, the engine, a background process, must earn the
  // foreground for its windows.
  EngineTest() { world_.foregroundLock = true; }

  void Store(std::string_view name, std::string_view text) {
    EXPECT_TRUE(store::WriteSetting(registry_, name, text));
  }
  void StorePasswords(std::string_view password = "secret", std::string_view second = "second") {
    Store(store::setting::kUserPassword, password);
    Store(store::setting::kUserPassword2, second);
  }
  void LockItems(std::vector<store::ListItem> items, std::vector<std::string> ignore = {}) {
    EXPECT_TRUE(store::WriteLists(registry_, items, ignore));
  }

  EngineProcess& StartEngine() {
    process_ = std::make_unique<EngineProcess>(world_, registry_, 100, programFolder_);
    process_->engine.Start();
    return *process_;
  }
  engine::Engine& Engine() { return process_->engine; }
  store::ProgramState& State() { return process_->engine.state; }

  // A window of another program comes to the front.
  platform::Hwnd OpenWindow(std::string title, std::string className = "Notepad") {
    return world_.CreateOtherWindow(std::move(title), std::move(className));
  }
  void Pass(std::int64_t milliseconds) { world_.Advance(milliseconds); }

  // The prompt, when it is up.
  sim::SimWindow* Prompt() {
    sim::SimWindow* prompt = world_.OurWindow("Pelmora Pro 2003");
    return prompt != nullptr && prompt->IsVisible() &&
                   prompt->handle() == Engine().frmPassword.hwnd()
               ? prompt
               : nullptr;
  }
  void Answer(std::string_view password) {
    sim::SimWindow* prompt = Prompt();
    ASSERT_NE(prompt, nullptr) << "no prompt is up";
    prompt->Type("txtPassword", password);
    prompt->Click("cmdOK");
    world_.RunPending();
  }
  bool Visible(platform::Hwnd window) {
    const sim::WindowRecord* record = world_.Find(window);
    return record != nullptr && record->visible;
  }
  int CloseRequests(platform::Hwnd window) {
    const auto it = world_.closesReceived.find(window);
    return it == world_.closesReceived.end() ? 0 : it->second;
  }
  bool Exists(platform::Hwnd window) { return world_.Find(window) != nullptr; }
  // The key of an unlock: a class (or a dialog's title) of one program file.
  static store::UnlockKey Key(std::string name,
                              std::string program = std::string(sim::kOtherProgramPath)) {
    return {std::move(name), std::move(program)};
  }
  std::string EnginePath() const { return programFolder_ + "\\pmpro.exe"; }

  sim::SimWorld world_;
  sim::SimRegistry registry_;
  std::unique_ptr<EngineProcess> process_;
  // Where the engine runs from; a real folder for tests that list files.
  std::string programFolder_ = "C:\\Program Files\\Pelmora Pro";
};

}  // namespace pm::tests
