// A PC managed by Group Policy: the administrator's locked item, blank
// screen and password are in force with nothing of them stored on the PC,
// the configuration tool holds them and saves around them, and a policy
// written while the engine runs is obeyed at once. Wine runs no Group
// Policy client: the harness writes the policy key as the client would.
#include <string>

#include "Fixtures.h"
#include "ListViewReader.h"
#include "config/frmSetupLayout.h"
#include "platform/win32/Wide.h"
#include "prompt/frmBlankLayout.h"
#include "store/ItemLists.h"
#include "store/PasswordCheck.h"
#include "store/PolicySettings.h"
#include "store/RegistryModule.h"

namespace pm::e2e {

using namespace std::chrono_literals;
using win32::Wide;

namespace {

constexpr std::string_view kPolicyItems = "SOFTWARE\\Policies\\Pelmora Pro\\Windows";
// Few rounds: the harness makes the hash as pmpsvc.exe /hash would, faster.
constexpr std::uint32_t kHashRounds = 1000;

// The administrator's key, empty before and after the story.
class PolicyKey {
 public:
  PolicyKey() { Clear(); }
  ~PolicyKey() { Clear(); }
  PolicyKey(const PolicyKey&) = delete;
  PolicyKey& operator=(const PolicyKey&) = delete;

  bool Write(std::string_view key, std::string_view name, std::string_view text) {
    return static_cast<bool>(store::RegistryModule::WriteValue(registry_, store::kRootKey, key,
                                                               name, std::string(text)));
  }
  std::string Read(std::string_view key, std::string_view name) {
    return store::RegistryModule::ReadValue(registry_, store::kRootKey, key, name).Text();
  }

 private:
  void Clear() {
    const platform::RegStatus removed = registry_.DeleteTree(store::kRootKey, store::kPolicyKey);
    EXPECT_TRUE(removed == 0 || removed == platform::reg_error::kFileNotFound) << removed;
  }
  win32::Win32Registry registry_;
};

HWND SetupControl(HWND tool, std::string_view name) {
  return FindControl(
      tool, platform::kControlIdBase + platform::ControlIndex(config::kfrmSetupControls, name));
}

class PolicyScenario : public EngineScenario {
 protected:
  void SetUp() override {
    ASSERT_TRUE(policy.Write(kPolicyItems, "Window0", "Calculator,1"));
    ASSERT_TRUE(policy.Write(store::kPolicySettingsKey, "BlankScreen", "1"));
    ASSERT_TRUE(policy.Write(store::kPolicySettingsKey, "UserPassword",
                             store::HashPassword("admin", kHashRounds)));
    EngineScenario::SetUp();
  }
  // Nothing locked on the PC, the blank screen off there, the owner's pair.
  StoredSettings Stored() const override { return {.locked = {{"Notepad", true}}}; }

  PolicyKey policy;
};

}  // namespace

TEST_F(PolicyScenario, Policy) {
  ASSERT_TRUE(key.WriteSetting("BlankScreen", "0"));

  Say("the administrator's item, blank screen and password");
  {
    TargetWindow calculator(L"Calculator", L"PmHarnessCalculator", true);
    ASSERT_TRUE(LockedOnArrival(calculator, "Calculator"));
    const Prompt prompt = WaitForPrompt();
    ASSERT_TRUE(prompt);
    const WindowQuery blank{.title = Wide(prompt::kfrmBlankSpec.caption),
                            .visibility = WindowQuery::Visibility::Visible,
                            .processId = engineId};
    EXPECT_TRUE(WaitFor([&] { return FindTopLevel(blank) != nullptr; }, kReactLimit))
        << "the blank screen covers the screen: the policy's \"1\" over the PC's \"0\"";
    prompt.Answer(L"secret");
    EXPECT_TRUE(WaitFor([&] { return calculator.closeRequests() > 0; }, kReactLimit))
        << "the PC's own password no longer opens it";
  }
  {
    TargetWindow calculator(L"Calculator", L"PmHarnessCalculatorTwo", true);
    ASSERT_TRUE(LockedOnArrival(calculator, "Calculator"));
    const Prompt prompt = WaitForPrompt();
    ASSERT_TRUE(prompt);
    prompt.Answer(L"admin");
    EXPECT_TRUE(WaitFor([&] { return calculator.visible(); }, kReactLimit))
        << "the administrator's password opens it";
  }

  Say("the configuration tool");
  HWND tool = OpenTool(engines, engineId, L"admin");
  ASSERT_NE(tool, nullptr);
  {
    const HWND list = SetupControl(tool, "List1");
    ListViewReader reader(list);
    ASSERT_TRUE(reader.ready());
    int calculator = -1;
    for (int i = 0; i < reader.Count(); ++i) {
      if (reader.Text(i) == L"Calculator") calculator = i;
    }
    ASSERT_GE(calculator, 0) << "List1 shows the administrator's item";
    EXPECT_TRUE(reader.Checked(calculator));
    EXPECT_NE(reader.Param(calculator), 0) << "it is marked fixed (drawn greyed, with its tip)";
    // The space bar toggles the PC's own item, and not the administrator's.
    int notepad = -1;
    for (int i = 0; i < reader.Count(); ++i) {
      if (reader.Text(i) == L"Notepad") notepad = i;
    }
    ASSERT_GE(notepad, 0);
    reader.PressSpaceOn(notepad);
    EXPECT_TRUE(WaitFor([&] { return !reader.Checked(notepad); }, kReactLimit))
        << "the space bar unchecks the PC's own item";
    reader.PressSpaceOn(notepad);
    EXPECT_TRUE(WaitFor([&] { return reader.Checked(notepad); }, kReactLimit));
    reader.PressSpaceOn(calculator);
    PumpFor(300ms);
    EXPECT_TRUE(reader.Checked(calculator)) << "the administrator's item's box does not toggle";
    // A menu cannot be read from another process under Wine: the switch's
    // command is posted, and a refused toggle leaves Apply disabled.
    // Apply is enabled by the toggles above; applied, it is disabled again.
    PostMessageW(SetupControl(tool, "cmdApply"), BM_CLICK, 0, 0);
    EXPECT_TRUE(
        WaitFor([&] { return !IsWindowEnabled(SetupControl(tool, "cmdApply")); }, kReactLimit));
    PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnuBlankScreen, 0), 0);
    PumpFor(300ms);
    EXPECT_FALSE(IsWindowEnabled(SetupControl(tool, "cmdApply")))
        << "the administrator's switch does not toggle";
    EXPECT_FALSE(IsWindowEnabled(SetupControl(tool, "Command1")))
        << "Set Passwords is greyed under the administrator's password";
  }
  PostMessageW(SetupControl(tool, "cmdOK"), BM_CLICK, 0, 0);
  EXPECT_TRUE(ToolGone(engineId, "after OK"));
  EXPECT_EQ(key.ReadSetting("BlankScreen"), "0") << "the PC's own switch is saved as it was";
  EXPECT_EQ(policy.Read(kPolicyItems, "Window0"), "Calculator,1") << "Policies untouched";
  EXPECT_EQ(policy.Read(store::kPolicySettingsKey, "BlankScreen"), "1") << "Policies untouched";
  {
    win32::Win32Registry registry;
    const std::vector<store::ListItem> saved = store::ReadItemList(registry);
    EXPECT_EQ(saved, (std::vector<store::ListItem>{{"Notepad", true}}))
        << "the PC's list is saved without the administrator's item";
  }

  Say("a policy written while the engine runs");
  {
    TargetWindow paint(L"Untitled - Paint", L"PmHarnessPaint", true);
    PumpFor(1000ms);
    ASSERT_TRUE(paint.visible()) << "Paint is not locked yet";
    const auto written = std::chrono::steady_clock::now();
    ASSERT_TRUE(policy.Write(kPolicyItems, "Window1", "Paint,1"));
    EXPECT_TRUE(WaitFor([&] { return !paint.visible(); }, kReactLimit))
        << "the new policy item locks Paint without a restart";
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - written)
                        .count();
    Say("policy: a new item in force %lld ms after it was written (goal: within a second)",
        static_cast<long long>(ms));
    if (const Prompt prompt = WaitForPrompt()) prompt.Answer(L"admin");
  }
  EXPECT_TRUE(EngineStillRuns(engines, engineId));
}

}  // namespace pm::e2e
