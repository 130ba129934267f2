// The service from end to end, in a prefix with Windows' rules on the
// system keys and the setup installed: it runs and gives our keys their
// rules, a standard user's own writes to them are refused, a wrong password,
// a malformed request and a write outside the settings change nothing, a
// change cut short is undone at the service's next start, and the start-up
// lock is armed through it from the configuration tool of a standard user.
#include <aclapi.h>
#include <sddl.h>

#include <filesystem>
#include <string>

#include "Fixtures.h"
#include "ServiceControl.h"
#include "StandardUser.h"
#include "SystemValues.h"
#include "config/frmSetupLayout.h"
#include "platform/Files.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Security.h"
#include "platform/win32/Win32ServiceChannel.h"
#include "service/SettingsService.h"
#include "store/ChangeRecorder.h"
#include "store/PasswordCheck.h"
#include "store/RegistrySnapshot.h"
#include "store/ServiceProtocol.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

using namespace std::chrono_literals;
using win32::Narrow;
using win32::Wide;

namespace {

// The password check hashes 600,000 times: about a second under Wine.
constexpr DWORD kDirectWriteLimitMs = 30000;

// What the service answered, or nothing when it could not be reached.
std::optional<store::ServiceReply> Ask(win32::Win32ServiceChannel& channel,
                                       const store::ByteArray& request) {
  store::ByteArray answer;
  if (channel.Transact(request, answer) != 0) return std::nullopt;
  return store::DecodeReply(answer);
}

store::ServiceRequest SetPassword(std::string_view password, std::string_view newPassword) {
  store::ServiceRequest request;
  request.password = password;
  win32::Win32Registry registry;
  store::ChangeRecorder recorder(registry);
  EXPECT_TRUE(store::WriteSetting(recorder, store::setting::kUserPassword, newPassword));
  request.change = recorder.TakeChange();
  return request;
}

// The folder's DACL as SDDL, as Windows reads it back.
std::wstring FolderRules(const std::wstring& folder) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
    return L"(unreadable)";
  }
  const win32::UniqueSecurityDescriptor owned(descriptor);
  LPWSTR text = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(
          descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
    return L"(unreadable)";
  }
  std::wstring rules = text;
  LocalFree(text);
  return rules;
}

}  // namespace

TEST_F(Scenario, HardenPrefix) {
  EXPECT_TRUE(HardenSystemKeys())
      << "Run, RunOnce and Winlogon: administrators and the system write, users read";
}

TEST_F(ToolScenario, ApplyRefusedWithoutService) {
  Say("Lock Software Installations, then Apply");
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnublockinstall, 0), 0);
  const HWND apply =
      FindControl(tool, platform::kControlIdBase +
                            platform::ControlIndex(config::kfrmSetupControls, "cmdApply"));
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(apply) != FALSE; }, kReactLimit))
      << "the menu entry enables Apply";
  PostMessageW(apply, BM_CLICK, 0, 0);
  const std::wstring message = AnswerMessageBox(engineId, "Apply", kReactLimit);
  // Windows says "Access is denied.", Wine "Access denied.". Windows refuses
  // the save's first write (deleting the item list's key); Wine lets a
  // standard user delete a key whose DACL refuses it, so there the refusal
  // comes later and the message also warns that something may be lost.
  EXPECT_NE(message.find(L"denied"), std::wstring::npos)
      << "the message says why: access is denied";
  EXPECT_NE(key.ReadSetting(store::Info(store::Switch::BlockInstall).valueName), "1")
      << "\"BlockInstall\" is not stored";
}

int WriteSettingsDirectly() {
  win32::UniqueHkey key;
  const LSTATUS opened = RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(store::kSettingsKey).c_str(), 0,
                                         nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
  if (opened != ERROR_SUCCESS) return static_cast<int>(opened);
  constexpr wchar_t kForged[] = L"forged";
  return static_cast<int>(RegSetValueExW(key.get(), L"UserPassword", 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(kForged), sizeof kForged));
}

namespace {

// The settings stored by the harness, an administrator, and the service
// started again so that it gives the keys their rules.
class ServiceGuardsScenario : public ServiceScenario {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ServiceScenario::SetUp());
    ASSERT_TRUE(StoreSettings(key, {}));
    EXPECT_TRUE(StopService(service.get()) && StartService(service.get()))
        << "the service stops and starts again";
  }

  ProductKey key;
  const std::wstring folder = FolderOf(options().program) + L"\\";
};

}  // namespace

TEST_F(ServiceGuardsScenario, ServiceGuards) {
  Say("the engine the service keeps running");
  HWND running = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (running = FindTopLevel(MainWindowQuery())) != nullptr; },
                      kServiceLimit))
      << "the service has started an engine in the session";
  // The engine that ran before the restart is adopted, not doubled.
  PumpFor(1500ms);
  EXPECT_EQ(FindAllTopLevel(MainWindowQuery()).size(), 1u) << "one engine runs in the session";
  if (running != nullptr) {
    const DWORD first = ProcessOf(running);
    RunAsStandardUser(L"taskkill /f /pid " + std::to_wstring(first), kDirectWriteLimitMs);
    PumpFor(1000ms);
    const win32::UniqueKernelHandle engine(
        OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, first));
    EXPECT_TRUE(engine && WaitForSingleObject(engine.get(), 0) == WAIT_TIMEOUT)
        << "a standard user's taskkill /f does not end it";
    const auto killed = std::chrono::steady_clock::now();
    TerminateProcess(engine.get(), 1);
    HWND next = nullptr;
    const bool back = WaitFor(
        [&] {
          next = FindTopLevel(MainWindowQuery());
          return next != nullptr && ProcessOf(next) != first;
        },
        kServiceLimit);
    const auto after = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - killed);
    Say("ended by an administrator, the engine %s after %lld ms", back ? "is back" : "is not back",
        static_cast<long long>(after.count()));
    EXPECT_TRUE(back) << "ended by an administrator, a new engine is up";
  }

  Say("a standard user's own writes");
  const std::wstring harness = win32::ModulePath();
  const std::optional<DWORD> direct =
      RunAsStandardUser(L"\"" + harness + L"\" write-settings-directly x", kDirectWriteLimitMs);
  EXPECT_EQ(direct, DWORD{ERROR_ACCESS_DENIED})
      << "RegCreateKeyEx on the Settings key for writing is refused (nullopt: it did not run)";
  RunAsStandardUser(
      L"reg add \"HKLM\\SOFTWARE\\Pelmora Pro\\Settings\" /v UserPassword /d forged /f",
      kDirectWriteLimitMs);
  EXPECT_TRUE(store::PasswordMatches("secret", key.ReadPassword(store::setting::kUserPassword)))
      << "reg add by the standard user leaves \"UserPassword\" as it was";

  // Not checked: Wine neither keeps the rules the setup gives the program
  // folder (it reads back its own default) nor checks a file's rules when a
  // file is made there. On Windows a standard user cannot write the folder.
  Say("the program folder's rules as the system reads them back: %s",
      Utf8(FolderRules(folder)).c_str());

  Say("requests the service refuses");
  win32::Win32ServiceChannel channel(Narrow(folder));
  const auto wrong = Ask(channel, store::EncodeRequest(SetPassword("wrong", "forged")));
  EXPECT_TRUE(wrong && wrong->kind == store::ReplyKind::WrongPassword)
      << "a change with a wrong password is answered as such";
  const auto malformed = Ask(channel, store::ByteArray{'P', 'M', 'P', 'S', 1, 0});
  EXPECT_TRUE(malformed && malformed->kind == store::ReplyKind::Refused)
      << "a malformed request is refused";
  // A change of one text value, with the right password.
  const auto writeOne = [](std::string path, std::string name, char text) {
    store::ServiceRequest request;
    request.password = "secret";
    request.change.ops.push_back({store::ChangeOp::Kind::SetValue,
                                  std::move(path),
                                  std::move(name),
                                  platform::reg_type::kSz,
                                  {static_cast<std::uint8_t>(text), 0, 0, 0}});
    return request;
  };
  const store::ServiceRequest elsewhere =
      writeOne("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Forged", 'x');
  const auto outside = Ask(channel, store::EncodeRequest(elsewhere));
  EXPECT_TRUE(outside && outside->kind == store::ReplyKind::Refused &&
              !ReadMachineValue("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Forged"))
      << "a write outside the settings is refused, even with the right password";
  // The administrator's settings: only Group Policy (as SYSTEM) and
  // administrators write them, never the service for the owner. (A standard
  // user's own reg add there is refused by Windows' rules on
  // SOFTWARE\Policies, which Wine does not keep.)
  const store::ServiceRequest policy =
      writeOne("SOFTWARE\\Policies\\Pelmora Pro\\Settings", "BlankScreen", '0');
  const auto administrators = Ask(channel, store::EncodeRequest(policy));
  EXPECT_TRUE(administrators && administrators->kind == store::ReplyKind::Refused &&
              !ReadMachineValue("SOFTWARE\\Policies\\Pelmora Pro\\Settings", "BlankScreen"))
      << "a write of the administrator's settings is refused, even with the right password";
  EXPECT_TRUE(store::PasswordMatches("secret", key.ReadPassword(store::setting::kUserPassword)))
      << "after all of them \"UserPassword\" is still \"secret\"";

  Say("a change cut short");
  {
    EXPECT_TRUE(StopService(service.get())) << "the service stops";
    win32::Win32Registry registry;
    store::ChangeSet undo;
    store::AppendRestoreKey(undo, store::kProductKey,
                            store::CaptureKey(registry, store::kRootKey, store::kProductKey));
    const std::wstring journal = folder + Wide(service::kJournalFileName);
    EXPECT_EQ(platform::ReplaceFileDurably(Narrow(journal), store::EncodeChangeSet(undo)), 0)
        << "a journal written as the service writes it before a change";
    key.WriteSetting(store::setting::kUserPassword, "half");
    const platform::RegStatus removed =
        registry.DeleteTree(store::kRootKey, "SOFTWARE\\Pelmora Pro\\Windows");
    EXPECT_TRUE(removed == 0 || removed == platform::reg_error::kFileNotFound) << removed;
    EXPECT_TRUE(StartService(service.get())) << "the service starts again";
    EXPECT_TRUE(WaitFor(
        [&] {
          return store::PasswordMatches("secret",
                                        key.ReadPassword(store::setting::kUserPassword)) &&
                 store::ReadItemList(registry).size() == 1;
        },
        kReactLimit))
        << "the settings are as they were before the change";
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(journal))) << "the journal is gone";
  }

  Say("Lock Windows at Startup, from a standard user's configuration tool");
  SavedMachineValue runOnce(store::kRunOnceKey, store::kRunOnceValue);
  SavedMachineValue logonType(store::kWinlogonKey, "LogonType");
  Engines engines(options().program, /*standardUser=*/true);
  const DWORD engineId = BringUpEngine(engines);
  ASSERT_NE(engineId, 0u);
  const HWND tool = OpenTool(engines, engineId, L"secret");
  ASSERT_NE(tool, nullptr);
  // An entry an older version wrote: it would start a second pmpstart at an
  // administrator's log-on, beside the one the service starts.
  WriteMachineText(store::kRunOnceKey, store::kRunOnceValue, folder + Wide(store::kStartupProgram));
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmlockstartup, 0), 0);
  PumpFor(500ms);
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnuClose, 0), 0);
  EXPECT_TRUE(WaitFor(
      [&] { return key.ReadSetting(store::Info(store::Switch::LockStartup).valueName) == "1"; },
      kServiceLimit))
      << "\"LockStartup\" = \"1\" is stored";
  EXPECT_FALSE(RunOnceEntry()) << "the older version's RunOnce entry is gone";
  const std::optional<RegistryValue> logon = ReadMachineValue(store::kWinlogonKey, "LogonType");
  EXPECT_TRUE(logon && logon->Dword() == DWORD{0}) << "Winlogon \"LogonType\" is REG_DWORD 0";
}

}  // namespace pm::e2e
