// Setup and uninstall from end to end, on a machine (a Wine prefix) that
// never had the program: a silent setup puts the files, the log-on start,
// the shortcut and the Add/Remove Programs entry in place; the installed
// engine runs with its tray icon; setup and uninstall refuse while it runs;
// after "End Pelmora Pro" the uninstaller removes everything and puts back
// what the start-up lock changed, keeping the settings when silent and
// removing them when the user says so. Wine runs the setup without the
// elevation prompt Windows shows, its user being an administrator.
#include <shlobj.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "Fixtures.h"
#include "ServiceControl.h"
#include "SystemValues.h"
#include "config/frmSetupLayout.h"
#include "platform/win32/Wide.h"
#include "pmp/Version.h"
#include "store/PasswordCheck.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

using namespace std::chrono_literals;
using Microsoft::WRL::ComPtr;

namespace {

constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelmora Pro";
constexpr char kProductName[] = "Pelmora Pro";
constexpr char kEventLogKey[] =
    "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Pelmora Pro";
constexpr wchar_t kPublisher[] = L"Pelmora Software";
constexpr wchar_t kUninstaller[] = L"uninstall.exe";
constexpr wchar_t kInstalledFiles[][40] = {L"pmpro.exe",
                                           L"pmpstart.exe",
                                           L"pmpsvc.exe",
                                           L"pmpaddon.exe",
                                           L"qwenet.exe",
                                           L"pmpro.htm",
                                           L"uninstall.exe",
                                           L"PolicyDefinitions\\PelmoraPro.admx",
                                           L"PolicyDefinitions\\en-US\\PelmoraPro.adml"};
// Where the add-item wizard finds the add-ons.
constexpr const char* kAddonKeys[] = {"SOFTWARE\\Pelmora Pro\\Addon\\Settings",
                                      "SOFTWARE\\Pelmora Pro\\Addon2\\Settings"};
// A setup or uninstall refused because the engine runs ends with this code.
constexpr DWORD kExitEngineRunning = 2;
// A fresh prefix is slow to start its first programs.
constexpr std::chrono::milliseconds kSetupLimit{60000};
constexpr std::chrono::milliseconds kRemovalLimit{30000};
// The start-up lock's values before the setup ran: not what the engine
// writes, so the uninstaller's restore can be seen.
constexpr DWORD kLogonTypeBefore = 1;
constexpr wchar_t kBackgroundBefore[] = L"0 0 0";

bool SameText(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring MachineText(std::string_view key, std::string_view name) {
  const auto value = ReadMachineValue(key, name);
  return value ? value->Text().value_or(L"(not text)") : L"(absent)";
}

std::optional<DWORD> MachineDword(std::string_view key, std::string_view name) {
  const auto value = ReadMachineValue(key, name);
  return value ? value->Dword() : std::nullopt;
}

// The path a shortcut starts, through the shell's own reader.
std::wstring ShortcutTarget(const std::wstring& shortcut) {
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  if (FAILED(
          CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
      FAILED(link.As(&file)) || FAILED(file->Load(shortcut.c_str(), STGM_READ))) {
    return {};
  }
  wchar_t target[MAX_PATH] = {};
  if (FAILED(link->GetPath(target, MAX_PATH, nullptr, 0))) return {};
  return target;
}

// Icons in Wine's tray window, shown when no desktop tray exists: a child
// window per icon, the tray window itself hidden while it holds none. On
// Windows the icons live in the taskbar's notification area instead.
int TrayIconsShown() {
  int shown = 0;
  const WindowQuery trays{.title = {},
                          .className = L"__winex11_standalone_tray",
                          .visibility = WindowQuery::Visibility::Visible};
  for (HWND tray : FindAllTopLevel(trays)) {
    for (HWND icon = FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr); icon != nullptr;
         icon = FindWindowExW(tray, icon, L"__winex11_tray_icon", nullptr)) {
      if (IsWindowVisible(icon)) ++shown;
    }
  }
  return shown;
}

DWORD StartSetupProgram(Engines& engines, const std::wstring& commandLine) {
  Say("  running %s", Utf8(commandLine).c_str());
  return engines.StartOther(commandLine);
}

// The exit code; nothing when the program did not end in time. Pumped: the
// harness's windows must answer while it waits.
std::optional<DWORD> WaitForExit(Engines& engines, DWORD processId,
                                 std::chrono::milliseconds limit) {
  std::optional<DWORD> code;
  WaitFor([&] { return (code = engines.ExitCode(processId, 0ms)).has_value(); }, limit);
  return code;
}

// Runs a program of the setup to its end.
std::optional<DWORD> RunToEnd(Engines& engines, const std::wstring& commandLine,
                              std::chrono::milliseconds limit) {
  const DWORD processId = StartSetupProgram(engines, commandLine);
  if (processId == 0) return std::nullopt;
  return WaitForExit(engines, processId, limit);
}

// A visible standard dialog of any process that has a control with this id:
// the uninstaller's window, and its message boxes, run in a copy of it that
// it starts from the temporary folder.
HWND WaitForDialogWith(int controlId, std::chrono::milliseconds limit) {
  const WindowQuery dialogs{
      .title = {}, .className = L"#32770", .visibility = WindowQuery::Visibility::Visible};
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND dialog : FindAllTopLevel(dialogs)) {
          if (GetDlgItem(dialog, controlId) != nullptr) found = dialog;
        }
        return found != nullptr;
      },
      limit);
  return found;
}

void Press(HWND dialog, int buttonId) {
  PostMessageW(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}

bool Contains(std::wstring_view text, std::wstring_view part) {
  return text.find(part) != std::wstring_view::npos;
}

std::string Shown(const std::optional<DWORD>& code) {
  return code ? std::to_string(*code) : std::string("none: still running");
}

// Where the setup puts the program, and what it writes there and beside.
struct Installation {
  std::wstring folder;
  std::wstring shortcut;

  std::wstring File(std::wstring_view name) const { return folder + L"\\" + std::wstring(name); }
};

void ExpectInstalled(const Installation& installed) {
  for (const wchar_t* name : kInstalledFiles) {
    EXPECT_TRUE(Exists(installed.File(name))) << Utf8(installed.File(name)) + " is installed";
  }
  const win32::UniqueServiceHandle service = OpenOurService();
  EXPECT_TRUE(service && ServiceState(service.get()) == SERVICE_RUNNING)
      << "the service \"Pelmora Pro Service\" is installed and runs";
  EXPECT_FALSE(ReadMachineValue(kRunKey, kProductName))
      << "no Run \"Pelmora Pro\": the service starts the engine in each session";
  const std::wstring target = ShortcutTarget(installed.shortcut);
  EXPECT_TRUE(SameText(target, installed.File(L"pmpro.exe")))
      << Utf8(installed.shortcut) + " starts \"" + Utf8(target) + "\"";

  const std::wstring uninstaller = L"\"" + installed.File(kUninstaller) + L"\"";
  const struct {
    const char* name;
    std::wstring expected;
  } kEntryTexts[] = {
      {"DisplayName", L"Pelmora Pro"},
      {"DisplayVersion", win32::Wide(kVersionText)},
      {"Publisher", kPublisher},
      {"DisplayIcon", installed.File(L"pmpro.exe") + L",0"},
      {"InstallLocation", installed.folder},
      {"UninstallString", uninstaller},
      {"QuietUninstallString", uninstaller + L" /S"},
  };
  for (const auto& entry : kEntryTexts) {
    const std::wstring stored = MachineText(kUninstallKey, entry.name);
    EXPECT_TRUE(SameText(stored, entry.expected))
        << std::string("Add/Remove Programs ") + entry.name + " = " + Utf8(stored);
  }
  for (const char* flag : {"NoModify", "NoRepair"}) {
    EXPECT_TRUE(MachineDword(kUninstallKey, flag) == 1u)
        << std::string("Add/Remove Programs ") + flag + " = 1";
  }
  EXPECT_TRUE(
      SameText(MachineText(kEventLogKey, "EventMessageFile"), installed.File(L"pmpsvc.exe")))
      << "the event source \"Pelmora Pro\" takes its texts from pmpsvc.exe";
  EXPECT_TRUE(MachineDword(kEventLogKey, "TypesSupported") == 7u)
      << "information, warning and error events";
  const DWORD size = MachineDword(kUninstallKey, "EstimatedSize").value_or(0);
  EXPECT_TRUE(size > 0) << "Add/Remove Programs EstimatedSize = " + std::to_string(size) + " KB";
}

// The add-item wizard finds the add-ons where the setup registered them.
// Checked right after a setup: the scenarios' own settings replace the key.
void ExpectAddonsRegistered(const Installation& installed) {
  for (const char* key : kAddonKeys) {
    const std::wstring folder = MachineText(key, "InstallPath");
    EXPECT_TRUE(SameText(folder, installed.folder + L"\\"))
        << std::string(key) + " \"InstallPath\" = " + Utf8(folder);
  }
}

void ExpectRemoved(const Installation& installed) {
  for (const wchar_t* name : kInstalledFiles) {
    EXPECT_FALSE(Exists(installed.File(name))) << Utf8(installed.File(name)) + " is removed";
  }
  EXPECT_FALSE(Exists(installed.folder)) << "the folder " + Utf8(installed.folder) + " is removed";
  EXPECT_FALSE(Exists(installed.shortcut)) << "the Start-menu shortcut is removed";
  EXPECT_FALSE(OpenOurService()) << "the service is removed";
  EXPECT_FALSE(ReadMachineValue(kEventLogKey, "EventMessageFile")) << "the event source is removed";
  EXPECT_FALSE(ReadMachineValue(kRunKey, kProductName)) << "Run \"Pelmora Pro\" is removed";
  EXPECT_FALSE(ReadMachineValue(store::kRunOnceKey, store::kRunOnceValue))
      << "RunOnce \"pmpro lock startup\" is removed";
  EXPECT_FALSE(ReadMachineValue(kUninstallKey, "DisplayName"))
      << "the Add/Remove Programs entry is removed";
  for (const char* key : kAddonKeys) {
    EXPECT_FALSE(ReadMachineValue(key, "InstallPath")) << std::string(key) + " is removed";
  }
  EXPECT_TRUE(MachineDword(store::kWinlogonKey, "LogonType") == kLogonTypeBefore)
      << "Winlogon \"LogonType\" is back at " + std::to_string(kLogonTypeBefore);
  const std::wstring background = MachineText(store::kWinlogonKey, "Background");
  EXPECT_TRUE(background == kBackgroundBefore)
      << "Winlogon \"Background\" is back: " + Utf8(background);
}

// The service, started as at a start of Windows, arms the start-up lock:
// Winlogon's values set, no RunOnce entry (the service starts pmpstart).
void ExpectStartupLockArmed() {
  EXPECT_FALSE(ReadMachineValue(store::kRunOnceKey, store::kRunOnceValue))
      << "no RunOnce \"pmpro lock startup\": the service starts pmpstart itself";
  EXPECT_TRUE(MachineDword(store::kWinlogonKey, "LogonType") == 0u &&
              !ReadMachineValue(store::kWinlogonKey, "Background"))
      << "the service set Winlogon \"LogonType\" to 0 and deleted \"Background\"";
}

// "End Pelmora Pro" in the configuration tool, behind the password.
testing::AssertionResult EndThroughTool(Engines& engines, DWORD engineId) {
  const HWND tool = OpenTool(engines, engineId, L"secret");
  if (tool == nullptr) return testing::AssertionFailure() << "no configuration tool to end it from";
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnushutdown, 0), 0);
  AnswerMessageBox(engineId, "End Pelmora Pro", kReactLimit);
  if (engines.ExitCode(engineId, kReactLimit).has_value()) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "OK does not end the engine";
}

// The uninstaller as a user runs it: "Uninstall" on its first page, "No"
// to keeping the settings, and "Close" at the end.
void UninstallWithoutSettings(Engines& engines, const Installation& installed) {
  // An export of the settings, which goes with them.
  const std::wstring exportFile = installed.File(L"PMExport.txt");
  {
    const win32::UniqueKernelHandle file(CreateFileW(exportFile.c_str(), GENERIC_WRITE, 0, nullptr,
                                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                     nullptr));
    EXPECT_TRUE(file.get() != INVALID_HANDLE_VALUE) << "an export file lies in the program folder";
  }
  StartSetupProgram(engines, L"\"" + installed.File(kUninstaller) + L"\"");
  // Its window has Cancel; the question has Yes and No only.
  const HWND window = WaitForDialogWith(IDCANCEL, kSetupLimit);
  ASSERT_TRUE(window != nullptr) << "the uninstaller's window is shown";
  Press(window, IDOK);
  const HWND question = WaitForDialogWith(IDNO, kSetupLimit);
  ASSERT_TRUE(question != nullptr) << "it asks a question";
  const std::wstring text = DialogText(question);
  EXPECT_TRUE(Contains(text, L"Keep") && Contains(text, L"settings"))
      << "it asks whether to keep the settings: " + Utf8(text);
  Press(question, IDNO);
  const HWND close = GetDlgItem(window, IDOK);
  EXPECT_TRUE(WaitFor([&] { return Contains(TextOf(close), L"Close") && IsWindowEnabled(close); },
                      kRemovalLimit))
      << "the uninstaller finishes";
  Press(window, IDOK);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }, kReactLimit)) << "Close ends it";
  EXPECT_FALSE(Exists(exportFile)) << "the export file is removed with the settings";
  ExpectRemoved(installed);
}

class ComApartment {
 public:
  ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (ok_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool ok_;
};

}  // namespace

TEST_F(Scenario, InstallUninstall) {
  ComApartment com;
  const std::wstring setup = L"\"" + options().program + L"\" /S";
  const Installation installed{KnownFolder(FOLDERID_ProgramFiles) + L"\\Pelmora Pro",
                               KnownFolder(FOLDERID_CommonPrograms) + L"\\Pelmora Pro.lnk"};
  Engines engines(installed.File(L"pmpro.exe"));

  EXPECT_TRUE(WriteMachineDword(store::kWinlogonKey, "LogonType", kLogonTypeBefore) &&
              WriteMachineText(store::kWinlogonKey, "Background", kBackgroundBefore))
      << "Winlogon \"LogonType\" and \"Background\" set as a machine might have them";
  // What a version without the service left for the next log-on.
  EXPECT_TRUE(WriteMachineText(store::kRunOnceKey, store::kRunOnceValue,
                               L"C:\\Program Files\\Pelmora Pro\\pmpstart.exe"))
      << "an older version's RunOnce entry is there";

  Say("silent setup");
  const auto installCode = RunToEnd(engines, setup, kSetupLimit);
  ASSERT_TRUE(installCode == 0u) << "the setup ends with 0: " + Shown(installCode);
  ExpectInstalled(installed);
  ExpectAddonsRegistered(installed);

  Say("the installed engine");
  ProductKey key;
  ASSERT_TRUE(StoreSettings(key, {}));
  ASSERT_TRUE(key.WriteSetting(store::Info(store::Switch::LockStartup).valueName, "1"))
      << "\"LockStartup\" = \"1\" stored";
  {
    const win32::UniqueServiceHandle service = OpenOurService();
    EXPECT_TRUE(service && StopService(service.get()) && StartService(service.get()))
        << "the service starts again, as at the next start of Windows";
    DWORD locker = 0;
    const Prompt prompt = WaitForServiceStartupLocker(engines, locker);
    ASSERT_TRUE(prompt);
    ASSERT_TRUE(PassStartupLocker(engines, prompt, locker));
    ExpectStartupLockArmed();
    // The next start of the service, below, is no log-on.
    key.WriteSetting(store::Info(store::Switch::LockStartup).valueName, "0");
  }
  const DWORD engineId = BringUpEngine(engines);
  ASSERT_NE(engineId, 0u);
  int icons = 0;
  EXPECT_TRUE(WaitFor([&] { return (icons = TrayIconsShown()) >= 1; }, kReactLimit))
      << "the tray shows the engine's icon";
  const int iconsRunning = icons;

  Say("setup and uninstall while the engine runs");
  const auto refusedSetup = RunToEnd(engines, setup, kSetupLimit);
  EXPECT_TRUE(refusedSetup == kExitEngineRunning)
      << "the setup refuses with exit code 2: " + Shown(refusedSetup);
  // Run in place (_?=), so its exit code is the uninstaller's own and not
  // that of the copy it otherwise starts from the temporary folder.
  const auto refusedUninstall = RunToEnd(
      engines, L"\"" + installed.File(kUninstaller) + L"\" /S _?=" + installed.folder, kSetupLimit);
  EXPECT_TRUE(refusedUninstall == kExitEngineRunning)
      << "the uninstaller refuses with exit code 2: " + Shown(refusedUninstall);
  {
    const DWORD asking = StartSetupProgram(
        engines, L"\"" + installed.File(kUninstaller) + L"\" _?=" + installed.folder);
    const std::wstring message =
        AnswerMessageBox(asking, "the uninstaller, not silent", kSetupLimit);
    EXPECT_TRUE(Contains(message, L"\"End Pelmora Pro\"") &&
                Contains(message, L"configuration tool") && Contains(message, L"password"))
        << "it says to end Pelmora Pro with \"End Pelmora Pro\" in the configuration tool, "
           "behind the password";
    const auto code = WaitForExit(engines, asking, kReactLimit);
    EXPECT_TRUE(code == kExitEngineRunning) << "and ends with exit code 2: " + Shown(code);
  }
  ExpectInstalled(installed);
  EXPECT_TRUE(WaitForSingleObject(engines.Process(engineId), 0) == WAIT_TIMEOUT)
      << "the engine still runs";

  Say("End Pelmora Pro");
  ASSERT_TRUE(EndThroughTool(engines, engineId));
  const bool iconGone =
      WaitFor([&] { return (icons = TrayIconsShown()) == iconsRunning - 1; }, kReactLimit);
  EXPECT_TRUE(iconGone) << "its tray icon is gone: " + std::to_string(icons) + " shown";
  PumpFor(2000ms);
  EXPECT_TRUE(FindTopLevel(MainWindowQuery()) == nullptr)
      << "the service leaves the ended engine ended";

  Say("silent uninstall, as Add/Remove Programs runs it");
  // Another program's window with the engine's title does not hold it up.
  const TargetWindow lookalike(L"Pelmora Pro 2003", L"PmHarnessLookalike", false);
  const std::wstring quiet = MachineText(kUninstallKey, "QuietUninstallString");
  const auto uninstallCode = RunToEnd(engines, quiet, kSetupLimit);
  EXPECT_TRUE(uninstallCode == 0u) << "the uninstaller ends with 0: " + Shown(uninstallCode);
  // It finishes from a copy of itself in the temporary folder.
  WaitFor([&] { return !Exists(installed.folder); }, kRemovalLimit);
  ExpectRemoved(installed);
  EXPECT_TRUE(store::PasswordMatches("secret", key.ReadPassword(store::setting::kUserPassword)))
      << "the settings are kept, as a silent uninstall does (the password where the service "
         "moved it)";

  Say("setup again, and an uninstall that does not keep the settings");
  const auto reinstallCode = RunToEnd(engines, setup, kSetupLimit);
  ASSERT_TRUE(reinstallCode == 0u) << "the setup ends with 0: " + Shown(reinstallCode);
  // The new service starts the engine again, as a start of Windows would.
  const DWORD againId = BringUpEngine(engines);
  ASSERT_NE(againId, 0u);
  ASSERT_TRUE(EndThroughTool(engines, againId));
  UninstallWithoutSettings(engines, installed);
  EXPECT_TRUE(key.ReadPassword(store::setting::kUserPassword).empty())
      << "the settings are removed";
}

}  // namespace pm::e2e
