#include <gtest/gtest.h>

#include "Scenarios.h"
#include "ServiceControl.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

bool Prepare(ProductKey& key, Checks& checks, const std::vector<store::ListItem>& items) {
  return checks.Check(key.WriteSetting(store::setting::kUserPassword, "secret") &&
                          key.WriteSetting(store::setting::kUserPassword2, "secret2") &&
                          key.WriteLockedItems(items),
                      "passwords and locked items stored");
}

// Where the service is installed it keeps an engine running in the session.
// The scenario needs one that reads the settings it stored: the service is
// stopped, its engine ended (the harness is an administrator) and the service
// started again, which starts a fresh engine, as a start of Windows does. (A
// new start of the service also forgets how often the engine ended.)
DWORD TakeServiceEngine(SC_HANDLE service, Engines& engines, Checks& checks) {
  if (!checks.Check(StopService(service), "the service stops")) return 0;
  // By the program file: one started just before the stop has no window yet.
  EndEveryCopyOf(engines.programPath());
  checks.Check(FindTopLevel(MainWindowQuery()) == nullptr, "the engine it started is ended");
  HWND fresh = nullptr;
  const bool up =
      StartService(service) &&
      WaitFor([&] { return (fresh = FindTopLevel(MainWindowQuery())) != nullptr; }, kStartLimit);
  if (!checks.Check(up && engines.Adopt(ProcessOf(fresh)),
                    "started again, the service starts a fresh engine")) {
    return 0;
  }
  return ProcessOf(fresh);
}

DWORD StartEngine(Engines& engines, Checks& checks) {
  if (const win32::UniqueServiceHandle service = OpenOurService();
      service && ServiceState(service.get()) == SERVICE_RUNNING) {
    return TakeServiceEngine(service.get(), engines, checks);
  }
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

// --- The same steps for the tests of the framework ---------------------------

testing::AssertionResult StoreSettings(ProductKey& key, const StoredSettings& settings) {
  if (key.WriteSetting(store::setting::kUserPassword, settings.password) &&
      key.WriteSetting(store::setting::kUserPassword2, settings.password2) &&
      key.WriteLockedItems(settings.locked)) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "the passwords and locked items could not be stored";
}

namespace {

// Where the service is installed it keeps an engine running in the session.
// The scenario needs one that reads the settings it stored: the service is
// stopped, its engine ended (the harness is an administrator) and the service
// started again, which starts a fresh engine, as a start of Windows does. (A
// new start of the service also forgets how often the engine ended.)
DWORD TakeServiceEngine(SC_HANDLE service, Engines& engines) {
  if (!StopService(service)) {
    ADD_FAILURE() << "the service does not stop";
    return 0;
  }
  if (const HWND running = FindTopLevel(MainWindowQuery())) {
    const win32::UniqueKernelHandle process(
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ProcessOf(running)));
    EXPECT_TRUE(process && TerminateProcess(process.get(), 1) &&
                WaitForSingleObject(process.get(), 5000) == WAIT_OBJECT_0)
        << "the engine the service started is ended";
  }
  HWND fresh = nullptr;
  const bool up =
      StartService(service) &&
      WaitFor([&] { return (fresh = FindTopLevel(MainWindowQuery())) != nullptr; }, kStartLimit);
  if (!up || !engines.Adopt(ProcessOf(fresh))) {
    ADD_FAILURE() << "started again, the service starts no fresh engine";
    return 0;
  }
  return ProcessOf(fresh);
}

}  // namespace

DWORD BringUpEngine(Engines& engines) {
  if (const win32::UniqueServiceHandle service = OpenOurService();
      service && ServiceState(service.get()) == SERVICE_RUNNING) {
    return TakeServiceEngine(service.get(), engines);
  }
  const DWORD processId = engines.Start();
  if (processId == 0) {
    ADD_FAILURE() << "pmpro did not start";
    return 0;
  }
  if (!WaitFor([&] { return FindTopLevel(MainWindowQuery(processId)) != nullptr; }, kStartLimit)) {
    ADD_FAILURE() << "no hidden window titled \"Pelmora Pro 2003\" appears";
    return 0;
  }
  return processId;
}

Prompt WaitForPrompt() {
  Prompt prompt = Prompt::WaitVisible(kReactLimit);
  EXPECT_TRUE(prompt) << "the password prompt is shown";
  return prompt;
}

Prompt StartStartupLocker(Engines& engines, ProductKey& key, DWORD& processId) {
  processId = 0;
  if (!key.WriteSetting(store::setting::kUserPassword, "secret")) {
    ADD_FAILURE() << "\"UserPassword\" = \"secret\" could not be stored";
    return {};
  }
  processId = engines.Start();
  if (processId == 0) {
    ADD_FAILURE() << "pmpstart did not start";
    return {};
  }
  const Prompt prompt = Prompt::WaitVisible(kStartLimit);
  EXPECT_TRUE(prompt) << "the prompt \"Pelmora Pro 2003\" is shown";
  return prompt;
}

testing::AssertionResult EngineStillRuns(Engines& engines, DWORD processId) {
  PumpFor(std::chrono::milliseconds(1500));
  const bool running = WaitForSingleObject(engines.Process(processId), 0) == WAIT_TIMEOUT;
  const HWND mainWindow = FindTopLevel(MainWindowQuery(processId));
  const bool answers =
      mainWindow != nullptr &&
      SendMessageTimeoutW(mainWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, nullptr) != 0;
  if (running && answers) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "pmpro " << (running ? "runs" : "has ended") << ", and its "
                                     << "main window " << (answers ? "answers" : "does not answer");
}

testing::AssertionResult LockedOnArrival(TargetWindow& window, const std::string& name) {
  SetForegroundWindow(window.handle());
  if (WaitFor([&] { return !window.visible(); }, kReactLimit)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "'" << name << "' is still shown 5 s after it came to the "
                                     << "front";
}

}  // namespace pm::e2e
