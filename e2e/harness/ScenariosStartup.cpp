// The start-up lock: pmpstart holding its prompt and closing every Task
// Manager, and pmpro arming it for the next log-on.
#include <cwchar>
#include <string>

#include "Fixtures.h"
#include "SystemValues.h"
#include "platform/win32/Wide.h"
#include "prompt/frmPasswordLayout.h"
#include "startup/Form1.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

using namespace std::chrono_literals;
using win32::Wide;

namespace {

// Opens a window of the harness with the title and waits for pmpstart's
// WM_CLOSE to reach it.
void ClosedOnAppearance(std::string_view title, int round) {
  TargetWindow window(Wide(title), L"PmHarnessTaskManager", true);
  EXPECT_TRUE(WaitFor([&] { return window.closeRequests() > 0; }, kReactLimit))
      << "round " << round << ": a window titled \"" << title << "\" receives WM_CLOSE";
}

// Starts Wine's taskmgr.exe and waits for pmpstart to close it. Wine's
// Task Manager stands in for the Windows one; it is titled "Task Manager"
// like the Task Manager of current Windows versions.
void WineTaskManagerClosed(Engines& engines) {
  const DWORD taskManagerId = engines.StartOther(L"taskmgr.exe");
  ASSERT_NE(taskManagerId, 0u) << "taskmgr.exe started";
  const WindowQuery itsWindow{
      .title = Wide(startup::kTaskManagerTitle), .className = {}, .processId = taskManagerId};
  bool seen = false;
  bool processEnded = false;
  const bool closed = WaitFor(
      [&] {
        const bool shownNow = FindTopLevel(itsWindow) != nullptr;
        seen = seen || shownNow;
        processEnded = WaitForSingleObject(engines.Process(taskManagerId), 0) == WAIT_OBJECT_0;
        return processEnded || (seen && !shownNow);
      },
      kStartLimit);
  EXPECT_TRUE(closed) << "Wine's Task Manager is closed (its window "
                      << (seen ? "was seen" : "was never seen") << ", its process "
                      << (processEnded ? "ended)" : "still runs)");
}

}  // namespace

TEST_F(StartupLockerScenario, StartupLock) {
  EXPECT_EQ(ProcessOf(prompt.handle()), lockerId) << "the prompt is pmpstart's";
  EXPECT_FALSE(prompt.Enabled("Command1")) << "its \"X\" (Command1) is disabled";

  Say("task manager windows of the harness");
  for (int round = 1; round <= 3; ++round) {
    ClosedOnAppearance(startup::kOldTaskManagerTitle, round);
    ClosedOnAppearance(startup::kTaskManagerTitle, round);
  }

  Say("Wine's own task manager");
  WineTaskManagerClosed(engines);

  Say("wrong password");
  prompt.Answer(L"WrongOne");
  // Wine answers WM_GETTEXT from another process for a password box, which
  // lets the harness see what the box holds; Windows would withhold it.
  std::wstring typed;
  const bool lowered =
      WaitFor([&] { return (typed = prompt.Text("txtPassword")) == L"wrongone"; }, kReactLimit);
  EXPECT_TRUE(lowered) << "\"WrongOne\" stays in the box lowered: \"" << Utf8(typed) << "\"";
  PumpFor(500ms);
  EXPECT_TRUE(StillRuns()) << "pmpstart still runs";
  EXPECT_TRUE(prompt.StillShown()) << "the prompt is still shown";

  Say("right password");
  prompt.Answer(L"SECRET");
  ExpectEndedWithZero("\"SECRET\"");
}

// A window titled "Task Manager" that does not close (here the harness's,
// kept above all others) must not shield a real Task Manager from pmpstart.
TEST_F(StartupLockerScenario, StartupLockShielded) {
  TargetWindow shield(Wide(startup::kTaskManagerTitle), L"PmHarnessShield", true);
  SetWindowPos(shield.handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_TRUE(WaitFor([&] { return shield.closeRequests() > 0; }, kReactLimit))
      << "the harness's topmost \"Task Manager\" receives WM_CLOSE and stays open";
  WineTaskManagerClosed(engines);
}

// Five wrong passwords in a row: OK waits five seconds and says so; neither
// Enter nor a click sent straight to the button gets the right password past
// it; after the wait the right password ends pmpstart at once.
TEST_F(StartupLockerScenario, StartupRetryWait) {
  // OK is disabled while each password is checked, and a user waits for it:
  // the lowered text says OK was pressed, OK enabled again that the check
  // is over (after the fifth, the wait keeps it disabled).
  for (int i = 0; i < 5; ++i) {
    prompt.Answer(L"WRONG");
    if (i < 4) {
      WaitFor([&] { return prompt.Text("txtPassword") == L"wrong" && prompt.Enabled("cmdOK"); },
              kReactLimit);
    }
  }
  std::wstring label;
  const bool waiting = WaitFor(
      [&] {
        label = prompt.Text("Label1");
        return !prompt.Enabled("cmdOK") && label.starts_with(Wide(prompt::kRetryWaitHead));
      },
      kReactLimit);
  ASSERT_TRUE(waiting) << "after the fifth wrong password OK is disabled and Label1 says \""
                       << Utf8(label) << "\"";

  Say("the right password while OK waits");
  prompt.Type(L"secret");
  const HWND box = prompt.Control("txtPassword");
  PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(box, WM_KEYUP, VK_RETURN, 0xC0000001);
  prompt.Click("cmdOK");
  PumpFor(1000ms);
  EXPECT_TRUE(StillRuns()) << "Enter and a click sent to the disabled OK leave pmpstart running";
  EXPECT_FALSE(prompt.Enabled("cmdOK")) << "OK is still disabled a second later";

  Say("after the wait");
  const bool over = WaitFor(
      [&] {
        label = prompt.Text("Label1");
        return prompt.Enabled("cmdOK") && label == L"Password";
      },
      kReactLimit);
  EXPECT_TRUE(over) << "within five seconds OK is enabled and Label1 says \"" << Utf8(label)
                    << "\"";
  prompt.Click("cmdOK");
  ExpectEndedWithZero("the right password still in the box");
}

namespace {

// The values the arming changes, put back after the engines have ended so
// this run arms no log-on.
class StartupArmingScenario : public ProgramScenario {
 protected:
  void TearDown() override { engines.EndAll(); }

  SavedMachineValue runOnce{store::kRunOnceKey, store::kRunOnceValue};
  SavedMachineValue logonType{store::kWinlogonKey, "LogonType"};
  SavedMachineValue background{store::kWinlogonKey, "Background"};
  const std::string_view lockStartup = store::Info(store::Switch::LockStartup).valueName;
};

}  // namespace

TEST_F(StartupArmingScenario, StartupArming) {
  // Every value starts as the arming must not leave it, so each check can fail.
  ASSERT_TRUE(DeleteMachineValue(store::kRunOnceKey, store::kRunOnceValue) &&
              WriteMachineDword(store::kWinlogonKey, "LogonType", 1) &&
              WriteMachineText(store::kWinlogonKey, "Background", L"0 0 0"))
      << "beforehand: no RunOnce entry, \"LogonType\" = 1, \"Background\" present";
  ASSERT_NO_FATAL_FAILURE(Store({}));
  ASSERT_TRUE(key.WriteSetting(lockStartup, "1")) << "\"LockStartup\" = \"1\" stored";
  ASSERT_NO_FATAL_FAILURE(StartEngine());

  const std::wstring expected =
      FolderOf(engines.programPath()) + L"\\" + Wide(store::kStartupProgram);
  std::optional<std::wstring> entry;
  const bool armed = WaitFor(
      [&] {
        entry = RunOnceEntry();
        return entry && _wcsicmp(entry->c_str(), expected.c_str()) == 0;
      },
      kReactLimit);
  EXPECT_TRUE(armed) << "RunOnce \"pmpro lock startup\" = \"" << (entry ? Utf8(*entry) : "(absent)")
                     << "\", expected \"" << Utf8(expected) << "\"";
  const std::optional<RegistryValue> logon = ReadMachineValue(store::kWinlogonKey, "LogonType");
  EXPECT_TRUE(logon && logon->Dword() == DWORD{0}) << "Winlogon \"LogonType\" is REG_DWORD 0";
  EXPECT_FALSE(ReadMachineValue(store::kWinlogonKey, "Background"))
      << "Winlogon \"Background\" is deleted";

  Say("LockStartup off");
  engines.EndAll();
  ASSERT_TRUE(key.WriteSetting(lockStartup, "0")) << "\"LockStartup\" = \"0\" stored";
  ASSERT_NO_FATAL_FAILURE(StartEngine());
  EXPECT_TRUE(WaitFor([] { return !RunOnceEntry(); }, kReactLimit))
      << "the next start removes the RunOnce entry";
}

}  // namespace pm::e2e
