#include "Fixtures.h"

#include <optional>

#include "platform/ServiceChannel.h"

namespace pm::e2e {

namespace {

Options& ConfiguredOptions() {
  static Options options;
  return options;
}

}  // namespace

void Scenario::Configure(Options options) {
  ConfiguredOptions() = std::move(options);
}

const Options& Scenario::options() {
  return ConfiguredOptions();
}

void ProgramScenario::Store(const StoredSettings& settings) {
  ASSERT_TRUE(StoreSettings(key, settings));
}

void ProgramScenario::StartEngine() {
  engineId = BringUpEngine(engines);
  ASSERT_NE(engineId, 0u) << "the story needs a running engine";
}

// The story's own steps say where it stopped: a failed step here stops the
// set-up without a further line of its own.
void EngineScenario::SetUp() {
  Store(Stored());
  if (!HasFatalFailure()) StartEngine();
}

void ToolScenario::SetUp() {
  EngineScenario::SetUp();
  if (HasFatalFailure()) return;
  tool = OpenTool(engines, engineId, L"secret");
  ASSERT_NE(tool, nullptr) << "the story needs the configuration tool";
}

void StartupLockerScenario::SetUp() {
  prompt = StartStartupLocker(engines, key, lockerId);
  ASSERT_TRUE(prompt) << "the story needs pmpstart's prompt";
}

bool StartupLockerScenario::StillRuns() const {
  return WaitForSingleObject(engines.Process(lockerId), 0) == WAIT_TIMEOUT;
}

void StartupLockerScenario::ExpectEndedWithZero(const std::string& what) {
  const std::optional<DWORD> exitCode = engines.ExitCode(lockerId, kReactLimit);
  EXPECT_TRUE(exitCode.has_value() && *exitCode == 0)
      << what << " ends pmpstart with exit code 0 ("
      << (exitCode ? "exit code " + std::to_string(*exitCode) : "running") << ")";
}

void ServiceScenario::SetUp() {
  ASSERT_TRUE(service && ServiceState(service.get()) == SERVICE_RUNNING)
      << "the service \"" << platform::service::kDisplayName << "\" is installed and runs";
}

}  // namespace pm::e2e
