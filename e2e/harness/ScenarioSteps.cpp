#include <gtest/gtest.h>

#include "Scenarios.h"
#include "ServiceControl.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

testing::AssertionResult StoreSettings(ProductKey& key, const StoredSettings& settings) {
  // Plain, in the Settings key, as an older version stored them: the
  // service's own place is emptied, so these are the passwords in force.
  if (key.ForgetProtectedPasswords() &&
      key.WriteSetting(store::setting::kUserPassword, settings.password) &&
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
  // By the program file: one started just before the stop has no window yet.
  EndEveryCopyOf(engines.programPath());
  EXPECT_EQ(FindTopLevel(MainWindowQuery()), nullptr) << "the engine the service started is ended";
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
