// The GoogleTest fixtures the scenarios are written on, so that each test
// body tells its story and nothing else.
//
// A scenario is a test named after its command-line name in CamelCase:
// `pmharness lock-unlock pmpro.exe` runs the one test *.LockUnlock, and
// CTest registers it as e2e.lock-unlock. Within a story, ASSERT_ a step the
// rest depends on (the story stops there) and EXPECT_ a check the story goes
// on after. The shared steps of Scenarios.h record their own failures;
// those that answer a value answer an empty one on failure, for an ASSERT_.
//
//   Scenario               options(): what pmharness was given
//   ProgramScenario        key: the product's key, emptied before and after
//                          engines: every program started, ended at the end
//                          Store(), StartEngine(): the usual first steps
//   EngineScenario         SetUp: Stored() stored, pmpro up (engineId)
//   ToolScenario           and its configuration tool open (tool)
//   StartupLockerScenario  SetUp: the password stored, pmpstart's prompt up
//                          (lockerId, prompt)
//   ServiceScenario        SetUp: the installed service runs (service)
//
// A new scenario's name goes into the lists of e2e/CMakeLists.txt. What a
// story must put back only after the programs have ended (a SavedMachineValue)
// is a member of its fixture, whose TearDown ends them first.
//
//   class MyStory : public EngineScenario {
//     StoredSettings Stored() const override { return {.locked = {{"Notepad", true}}}; }
//   };
//   TEST_F(MyStory, NotepadLocked) {
//     TargetWindow notepad(L"Untitled - Notepad", L"PmHarnessNotepad", true);
//     ASSERT_TRUE(LockedOnArrival(notepad, "Notepad"));
//     ...
//   }
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "Scenarios.h"
#include "ServiceControl.h"

namespace pm::e2e {

class Scenario : public testing::Test {
 public:
  // Set once by pmharness before the tests run.
  static void Configure(Options options);

 protected:
  static const Options& options();
};

class ProgramScenario : public Scenario {
 protected:
  // Stores the settings; the story stops when they cannot be stored.
  void Store(const StoredSettings& settings);
  // Starts pmpro (or takes the service's engine) into engineId; the story
  // stops when no main window comes.
  void StartEngine();

  // Declared first, so it is emptied before the programs start and removed
  // after they have ended.
  ProductKey key;
  Engines engines{options().program, options().standardUser};
  DWORD engineId = 0;
};

class EngineScenario : public ProgramScenario {
 protected:
  void SetUp() override;
  // What the scenario stores before the engine starts.
  virtual StoredSettings Stored() const { return {}; }
};

class ToolScenario : public EngineScenario {
 protected:
  void SetUp() override;

  HWND tool = nullptr;
};

class StartupLockerScenario : public ProgramScenario {
 protected:
  void SetUp() override;
  bool StillRuns() const;
  // After the right password: pmpstart ends by itself, with exit code 0.
  void ExpectEndedWithZero(const std::string& what);

  DWORD lockerId = 0;
  Prompt prompt;
};

class ServiceScenario : public Scenario {
 protected:
  void SetUp() override;

  win32::UniqueServiceHandle service = OpenOurService();
};

}  // namespace pm::e2e
