// pmharness <scenario> <program> [--no-foreground-hook] [--no-foreground-poll]
//           [--standard-user] [--show-inactive] [--seconds N] [--gtest_...]
// Drives the real programs under Wine (or Windows) as a user would, with
// windows of its own standing in for the programs that are locked. The
// program is pmpro.exe, pmpstart.exe for startup-lock,
// startup-lock-shielded, startup-retry-wait, bench-startup-cpu and
// bench-taskmgr, or the setup program for install-uninstall.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "UserScripts.h"
#include "platform/win32/Wide.h"

namespace {

using namespace pm::e2e;

// "lock-unlock" is the test LockUnlock: GoogleTest names are identifiers,
// and a '-' in a filter would start its negative patterns.
std::string TestName(std::wstring_view scenario) {
  std::string name;
  bool wordStart = true;
  for (const wchar_t c : scenario) {
    if (c == L'-') {
      wordStart = true;
      continue;
    }
    const char narrow = static_cast<char>(c);
    name +=
        wordStart ? static_cast<char>(std::toupper(static_cast<unsigned char>(narrow))) : narrow;
    wordStart = false;
  }
  return name;
}

std::string ScenarioName(std::string_view testName) {
  std::string name;
  for (const char c : testName) {
    if (std::isupper(static_cast<unsigned char>(c)) && !name.empty()) name += '-';
    name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return name;
}

// "Suite.Name" of the one test with that name; nothing when none or more
// than one has it, so a scenario never runs some other test or none.
std::optional<std::string> FullTestName(const std::string& name) {
  std::optional<std::string> found;
  const testing::UnitTest& tests = *testing::UnitTest::GetInstance();
  for (int i = 0; i < tests.total_test_suite_count(); ++i) {
    const testing::TestSuite& suite = *tests.GetTestSuite(i);
    for (int j = 0; j < suite.total_test_count(); ++j) {
      if (name != suite.GetTestInfo(j)->name()) continue;
      if (found) return std::nullopt;
      found = std::string(suite.name()) + "." + name;
    }
  }
  return found;
}

// Runs the one test; GoogleTest prints what failed and where.
int RunTest(const std::string& fullName, const std::vector<std::wstring>& gtestFlags) {
  std::vector<std::wstring> arguments = {L"pmharness",
                                         L"--gtest_filter=" + pm::win32::Wide(fullName)};
  arguments.insert(arguments.end(), gtestFlags.begin(), gtestFlags.end());
  std::vector<wchar_t*> argv;
  for (std::wstring& argument : arguments) argv.push_back(argument.data());
  int argc = static_cast<int>(argv.size());
  testing::InitGoogleTest(&argc, argv.data());
  return RUN_ALL_TESTS();
}

int Usage() {
  Say("usage: pmharness <scenario> <pmpro.exe, pmpstart.exe or the setup> [--no-foreground-hook] "
      "[--no-foreground-poll] [--standard-user] [--show-inactive] [--seconds N] [--gtest_...]");
  Say("scenarios:");
  const testing::UnitTest& tests = *testing::UnitTest::GetInstance();
  for (int i = 0; i < tests.total_test_suite_count(); ++i) {
    const testing::TestSuite& suite = *tests.GetTestSuite(i);
    for (int j = 0; j < suite.total_test_count(); ++j) {
      Say("  %s", ScenarioName(suite.GetTestInfo(j)->name()).c_str());
    }
  }
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring scenario = argv[1];
  // Not scenarios: programs a scenario runs as another program or user.
  if (scenario == L"hold-window" && argc == 4) return HoldWindow(argv[2], argv[3]);
  if (scenario == L"write-settings-directly") return WriteSettingsDirectly();
  if (scenario == L"user-script" && argc == 4) return RunUserScript(argv[2], argv[3]);
  Options options;
  options.program = WindowsPath(argv[2]);
  std::vector<std::wstring> gtestFlags;
  for (int i = 3; i < argc; ++i) {
    const std::wstring option = argv[i];
    if (option.starts_with(L"--gtest_")) {
      gtestFlags.push_back(option);
    } else if (option == L"--no-foreground-hook") {
      options.noForegroundHook = true;
    } else if (option == L"--no-foreground-poll") {
      options.noForegroundPoll = true;
    } else if (option == L"--standard-user") {
      options.standardUser = true;
    } else if (option == L"--show-inactive") {
      options.showInactive = true;
    } else if (option == L"--program-item") {
      options.programItem = true;
    } else if (option == L"--seconds" && i + 1 < argc) {
      options.seconds = std::max(1, _wtoi(argv[++i]));
    } else {
      return Usage();
    }
  }
  const std::optional<std::string> test = FullTestName(TestName(scenario));
  if (!test) return Usage();
  Say("== %s (%s)", Utf8(scenario).c_str(), Utf8(options.program).c_str());
  Scenario::Configure(std::move(options));
  return RunTest(*test, gtestFlags);
}
