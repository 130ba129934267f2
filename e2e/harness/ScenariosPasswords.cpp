// The passwords stay with the service, with the setup installed: after the
// service's start the hashes an older version left where every user reads
// are where only administrators and the system read them, and the old
// password still opens everything; a standard user's own reads find no
// hash at all; the service's tickets are good until they end; with the
// service stopped the prompt lets nothing through and says why, and the
// password works again once it runs.
//
// Wine keeps no deny entry on files, so the export's and the journal's
// rules cannot be shown here; the key's it checks as Windows does.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "ServiceControl.h"
#include "StandardUser.h"
#include "UserScripts.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32ServiceChannel.h"
#include "store/ChangeRecorder.h"
#include "store/PasswordCheck.h"
#include "store/PasswordPlace.h"
#include "store/RegistryModule.h"
#include "store/ServiceProtocol.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

using namespace std::chrono_literals;
using win32::Narrow;

namespace {

constexpr DWORD kScriptLimitMs = 30000;
// Each with the full check of 600,000 rounds: about a second under Wine.
constexpr int kUnlockTrials = 10;

class PasswordsWithTheServiceScenario : public ServiceScenario {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ServiceScenario::SetUp());
    // Plain, where an older version kept them.
    ASSERT_TRUE(StoreSettings(key, {}));
  }
  store::ServiceReply Ask(const store::ServiceRequest& request) {
    store::ByteArray answer;
    if (channel.Transact(store::EncodeRequest(request), answer) != 0) return {};
    return store::DecodeReply(answer).value_or(store::ServiceReply{});
  }
  store::ServiceReply SaveWith(const std::string& ticket) {
    store::ServiceRequest save(store::RequestKind::Change, {});
    save.ticket = ticket;
    win32::Win32Registry registry;
    store::ChangeRecorder recorder(registry);
    EXPECT_TRUE(store::WriteSetting(recorder, store::Info(store::Switch::LockZip).valueName, "1"));
    save.change = recorder.TakeChange();
    return Ask(save);
  }
  std::string ToolTicket() {
    store::ServiceRequest check(store::RequestKind::CheckPassword, "secret");
    check.purpose = store::PasswordFor::Tool;
    return Ask(check).ticket;
  }
  std::string LockZip() { return key.ReadSetting(store::Info(store::Switch::LockZip).valueName); }

  ProductKey key;
  Engines engines{options().program, /*standardUser=*/true};
  const std::wstring folder = FolderOf(options().program);
  win32::Win32ServiceChannel channel{Narrow(folder) + "\\"};
};

}  // namespace

TEST_F(PasswordsWithTheServiceScenario, PasswordsWithTheService) {
  Say("an older version's plain passwords, then the service's start");
  ASSERT_TRUE(StopService(service.get()) && StartService(service.get()));
  win32::Win32Registry registry;
  EXPECT_TRUE(
      WaitFor([&] { return key.ReadSetting(store::setting::kUserPassword).empty(); }, kReactLimit))
      << "nothing is left in the Settings key";
  const std::string kept =
      store::RegistryModule::ReadValue(registry, store::kRootKey, store::kPasswordsKey,
                                       store::setting::kUserPassword)
          .Text();
  EXPECT_TRUE(store::PasswordMatches("secret", kept))
      << "the administrator finds the hash in HKLM\\SOFTWARE\\Pelmora Pro\\Passwords";

  Say("a standard user's reads of everything under HKLM\\SOFTWARE\\Pelmora Pro");
  EXPECT_EQ(RunAsStandardUser(UserScriptCommand(L"read-passwords", folder), kScriptLimitMs),
            DWORD{0})
      << "RegEnumValue over every key finds no password value and no hash";
  const std::optional<DWORD> query = RunAsStandardUser(
      L"cmd /c \"reg query \"HKLM\\SOFTWARE\\Pelmora Pro\" /s | find /i \"UserPassword\" >nul\"",
      kScriptLimitMs);
  EXPECT_TRUE(query && *query != 0) << "reg query /s shows no \"UserPassword\"";

  Say("the engine, its prompt and the old password");
  const DWORD engineId = BringUpEngine(engines);
  ASSERT_NE(engineId, 0u);
  {
    TargetWindow editor(L"Registry Editor", L"PmHarnessRegeditRight", true);
    const Prompt prompt = PromptFor(editor, "Registry Editor");
    ASSERT_TRUE(prompt);
    EXPECT_NE(prompt.Text("Label1").find(L"requires a password"), std::wstring::npos)
        << "the prompt knows from the service that a password is stored";
    EXPECT_TRUE(GivenBack(editor, prompt, L"secret")) << "the right password gives it back";
  }
  {
    TargetWindow editor(L"Registry Editor", L"PmHarnessRegeditWrong", true);
    const Prompt prompt = PromptFor(editor, "Registry Editor");
    ASSERT_TRUE(prompt);
    prompt.Answer(L"guess");
    EXPECT_TRUE(WaitFor([&] { return editor.closeRequests() > 0; }, kReactLimit))
        << "a wrong one closes it";
  }

  Say("from OK until the window is back, through the service's full check");
  {
    std::vector<double> unlocks;
    for (int i = 0; i < kUnlockTrials; ++i) {
      TargetWindow editor(L"Registry Editor", L"PmHarnessRegeditTimed" + std::to_wstring(i), true);
      const Prompt prompt = PromptFor(editor, "Registry Editor");
      if (!prompt) break;
      prompt.Type(L"secret");
      const auto clicked = std::chrono::steady_clock::now();
      prompt.Click("cmdOK");
      if (!WaitFor([&] { return editor.visible(); }, kReactLimit)) break;
      unlocks.push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - clicked)
              .count());
      WaitFor([&] { return !prompt.StillShown(); }, kReactLimit);
    }
    EXPECT_EQ(unlocks.size(), static_cast<std::size_t>(kUnlockTrials))
        << "every window came back with the right password";
    if (!unlocks.empty()) {
      std::sort(unlocks.begin(), unlocks.end());
      const auto at = [&](double fraction) {
        return unlocks[std::min(unlocks.size() - 1,
                                static_cast<std::size_t>(fraction * unlocks.size()))];
      };
      Say("  %zu unlocks: median %.0f ms, 95th percentile %.0f ms, max %.0f ms", unlocks.size(),
          at(0.5), at(0.95), unlocks.back());
    }
  }

  Say("tickets: made up, ended, and from before the service's restart");
  EXPECT_EQ(SaveWith("0123456789abcdef0123456789abcdef").kind, store::ReplyKind::Refused);
  EXPECT_EQ(LockZip(), "") << "a made-up ticket changes nothing";
  const std::string ticket = ToolTicket();
  ASSERT_FALSE(ticket.empty()) << "the right password for the tool gets a ticket";
  EXPECT_EQ(SaveWith(ticket).kind, store::ReplyKind::Done);
  store::ServiceRequest end(store::RequestKind::EndTicket, {});
  end.ticket = ticket;
  Ask(end);
  key.WriteSetting(store::Info(store::Switch::LockZip).valueName, "0");
  EXPECT_EQ(SaveWith(ticket).kind, store::ReplyKind::Refused) << "an ended ticket is refused";
  const std::string second = ToolTicket();
  ASSERT_TRUE(StopService(service.get()) && StartService(service.get()));
  EXPECT_TRUE(WaitFor([&] { return FindTopLevel(MainWindowQuery()) != nullptr; }, kReactLimit));
  EXPECT_EQ(SaveWith(second).kind, store::ReplyKind::Refused)
      << "a ticket from before the service's restart is refused";
  EXPECT_EQ(LockZip(), "0");

  Say("the service stopped: the prompt lets nothing through and says why");
  if (const HWND engine = FindTopLevel(MainWindowQuery())) engines.Adopt(ProcessOf(engine));
  TargetWindow editor(L"Registry Editor", L"PmHarnessRegeditStopped", true);
  const Prompt prompt = PromptFor(editor, "Registry Editor");
  ASSERT_TRUE(prompt);
  ASSERT_TRUE(StopService(service.get()));
  prompt.Answer(L"secret");
  EXPECT_TRUE(WaitFor(
      [&] { return prompt.Text("Label1").find(L"cannot be reached") != std::wstring::npos; },
      kReactLimit))
      << "the prompt says the service cannot be reached";
  EXPECT_FALSE(editor.visible()) << "and the window stays hidden";
  EXPECT_EQ(editor.closeRequests(), 0) << "nor is it closed";
  ASSERT_TRUE(StartService(service.get()));
  EXPECT_TRUE(GivenBack(editor, prompt, L"secret"))
      << "started again, the right password gives the window back";
}

}  // namespace pm::e2e
