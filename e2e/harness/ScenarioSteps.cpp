#include "Scenarios.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

bool Prepare(ProductKey& key, Checks& checks, const std::vector<store::ListItem>& items) {
  return checks.Check(key.WriteSetting(store::setting::kUserPassword, "secret") &&
                          key.WriteSetting(store::setting::kUserPassword2, "secret2") &&
                          key.WriteLockedItems(items),
                      "passwords and locked items stored");
}

DWORD StartEngine(Engines& engines, Checks& checks) {
  const DWORD processId = engines.Start();
  if (!checks.Check(processId != 0, "pmpro started")) return 0;
  const bool up =
      WaitFor([&] { return FindTopLevel(MainWindowQuery(processId)) != nullptr; }, kStartLimit);
  if (!checks.Check(up, "a hidden window titled \"Pelmora Pro 2003\" appears")) return 0;
  return processId;
}

Prompt WaitForPrompt(Checks& checks) {
  Prompt prompt = Prompt::WaitVisible(kReactLimit);
  checks.Check(static_cast<bool>(prompt), "the password prompt is shown");
  return prompt;
}

Prompt StartStartupLocker(Engines& engines, ProductKey& key, Checks& checks, DWORD& processId) {
  processId = 0;
  if (!checks.Check(key.WriteSetting(store::setting::kUserPassword, "secret"),
                    "\"UserPassword\" = \"secret\" stored")) {
    return {};
  }
  processId = engines.Start();
  if (!checks.Check(processId != 0, "pmpstart started")) return {};
  const Prompt prompt = Prompt::WaitVisible(kStartLimit);
  checks.Check(static_cast<bool>(prompt), "the prompt \"Pelmora Pro 2003\" is shown");
  return prompt;
}

bool EngineStillRuns(Engines& engines, DWORD processId, Checks& checks) {
  PumpFor(std::chrono::milliseconds(1500));
  const bool running = WaitForSingleObject(engines.Process(processId), 0) == WAIT_TIMEOUT;
  const HWND mainWindow = FindTopLevel(MainWindowQuery(processId));
  const bool answers =
      mainWindow != nullptr &&
      SendMessageTimeoutW(mainWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, nullptr) != 0;
  return checks.Check(running && answers, "pmpro still runs and its main window answers");
}

bool LockedOnArrival(TargetWindow& window, Checks& checks, const std::string& name) {
  SetForegroundWindow(window.handle());
  return checks.Check(WaitFor([&] { return !window.visible(); }, kReactLimit),
                      "'" + name + "' is hidden once it comes to the front");
}

}  // namespace pm::e2e
