// The add-item wizard's two hand-overs after a setup, as a standard user:
// "Lock a File or Folder" starts the installed pmpaddon.exe, which stores a
// program, a document and a folder through the service; "Lock a Web Page"
// starts qwenet.exe, which stores a web site. Then each is locked, and the
// open configuration tool lists them.
#include <algorithm>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "ListViewReader.h"
#include "SystemValues.h"
#include "addons/frmAddFileLayout.h"
#include "addons/frmAddWebLayout.h"
#include "config/frmAddWizardLayout.h"
#include "config/frmSetupLayout.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Paths.h"

namespace pm::e2e {

using namespace std::chrono_literals;
using win32::Wide;

namespace {

// The password is checked by the service, which hashes it slowly.
constexpr std::chrono::milliseconds kSaveLimit{30000};

template <std::size_t N>
HWND ControlOf(HWND window, const platform::ControlSpec (&table)[N], std::string_view name) {
  return FindControl(window, platform::kControlIdBase + platform::ControlIndex(table, name));
}

std::wstring ProgramFileOf(DWORD processId) {
  return win32::ProcessImagePath(processId);
}

// The wizard, opened from the tool's menu, hands over to the add-on of the
// option; answers the add-on's window, of the program file `program`.
HWND HandOver(HWND tool, DWORD engineId, std::string_view option, const std::wstring& title,
              const std::wstring& program) {
  // The last hand-over left the tool minimised, and its dialogs with it.
  ShowWindow(tool, SW_RESTORE);
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnuAdd, 0), 0);
  HWND wizard = nullptr;
  const WindowQuery wizardQuery{.title = L"Lock an Item",
                                .visibility = WindowQuery::Visibility::Visible,
                                .processId = engineId};
  EXPECT_TRUE(WaitFor([&] { return (wizard = FindTopLevel(wizardQuery)) != nullptr; }, kReactLimit))
      << "\"Lock an Item...\" opens the wizard";
  if (wizard == nullptr) return nullptr;
  SendMessageW(ControlOf(wizard, config::kfrmAddWizardControls, option), BM_CLICK, 0, 0);
  PostMessageW(ControlOf(wizard, config::kfrmAddWizardControls, "cmdNext"), BM_CLICK, 0, 0);
  const WindowQuery addonQuery{
      .title = title, .className = {}, .visibility = WindowQuery::Visibility::Visible};
  HWND addon = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (addon = FindTopLevel(addonQuery)) != nullptr; }, kStartLimit))
      << "Next starts the add-on: \"" << Utf8(title) << "\" comes up";
  if (addon == nullptr) return nullptr;
  const std::wstring started = ProgramFileOf(ProcessOf(addon));
  EXPECT_EQ(_wcsicmp(started.c_str(), program.c_str()), 0)
      << "it is the installed " << Utf8(program) << ": " << Utf8(started);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(wizard); }, kReactLimit)) << "the wizard closes";
  return addon;
}

// Types into the add-on as the owner would and presses Lock; answers what
// the add-on then says.
template <std::size_t N>
std::wstring LockThrough(HWND addon, const platform::ControlSpec (&table)[N],
                         std::string_view field, const std::wstring& text) {
  const HWND result = ControlOf(addon, table, "lblResult");
  SetWindowTextW(result, L"");
  SetWindowTextW(ControlOf(addon, table, field), text.c_str());
  SetWindowTextW(ControlOf(addon, table, "txtPassword"), L"secret");
  PostMessageW(ControlOf(addon, table, "cmdLock"), BM_CLICK, 0, 0);
  WaitFor([&] { return !TextOf(result).empty(); }, kSaveLimit);
  const std::wstring said = TextOf(result);
  Say("  %s: %s", Utf8(text).c_str(), Utf8(said).c_str());
  return said;
}

bool StartsWith(const std::wstring& text, std::wstring_view start) {
  return text.rfind(start, 0) == 0;
}

void CloseAddon(HWND addon) {
  const DWORD processId = ProcessOf(addon);
  const win32::UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
  PostMessageW(addon, WM_CLOSE, 0, 0);
  EXPECT_TRUE(process && WaitForSingleObject(process.get(), 5000) == WAIT_OBJECT_0)
      << "closing the add-on's window ends it";
}

bool ListShows(HWND tool, const std::wstring& row) {
  ListViewReader reader(FindControl(
      tool, platform::kControlIdBase + platform::ControlIndex(config::kfrmSetupControls, "List1")));
  for (int i = 0; i < reader.Count(); ++i) {
    if (reader.Text(i) == row) return reader.Checked(i);
  }
  return false;
}

void Dismiss(const Prompt& prompt) {
  prompt.Click("Command1");
  WaitFor([&] { return !prompt.StillShown(); }, kReactLimit);
}

// A window of `program` (a copy of the harness) comes up and is hidden.
testing::AssertionResult OtherProgramLocked(Engines& engines, const std::wstring& program,
                                            const std::wstring& title) {
  const DWORD id = StartOtherProgramWindow(engines, program, title, L"PmHarnessAddonTarget");
  const HWND window = WaitForWindowOf(id, title);
  const bool hidden =
      window != nullptr && WaitFor([&] { return !IsWindowVisible(window); }, kReactLimit);
  if (const Prompt prompt = WaitForPrompt()) Dismiss(prompt);
  engines.End(id);
  if (hidden) return testing::AssertionSuccess();
  return testing::AssertionFailure() << Utf8(title) << " of " << Utf8(program) << " is shown";
}

}  // namespace

TEST_F(ToolScenario, Addons) {
  const std::wstring folder = FolderOf(options().program) + L"\\";
  // The story began with the product's key emptied: what the setup wrote
  // there for the wizard is put back.
  for (const std::string_view key : {config::kFileAddonKey, config::kWebAddonKey}) {
    ASSERT_TRUE(WriteMachineText(std::string(key), config::kAddonInstallPath, folder))
        << key << " \"InstallPath\" as the setup writes it";
  }
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring document = std::wstring(temp) + L"Quarterly report.txt";
  const std::wstring photos = std::wstring(temp) + L"Holiday photos";
  const std::wstring game = std::wstring(temp) + L"pmharness-game.exe";
  CreateDirectoryW(photos.c_str(), nullptr);
  {
    const win32::UniqueKernelHandle file(CreateFileW(document.c_str(), GENERIC_WRITE, 0, nullptr,
                                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                     nullptr));
    ASSERT_TRUE(file.get() != INVALID_HANDLE_VALUE) << "a document to lock";
  }
  ASSERT_TRUE(CopyFileW(win32::ModulePath().c_str(), game.c_str(), FALSE)) << "a program to lock";

  Say("Lock a File or Folder");
  const HWND files =
      HandOver(tool, engineId, "Option2", Wide(addons::kAddFileTitle), folder + L"pmpaddon.exe");
  ASSERT_NE(files, nullptr);
  for (const std::wstring& path : {game, document, photos}) {
    EXPECT_TRUE(
        StartsWith(LockThrough(files, addons::kfrmAddFileControls, "txtPath", path), L"Locked:"))
        << Utf8(path) << " is stored through the service";
  }
  CloseAddon(files);

  Say("Lock a Web Page");
  const HWND web =
      HandOver(tool, engineId, "Option3", Wide(addons::kAddWebTitle), folder + L"qwenet.exe");
  ASSERT_NE(web, nullptr);
  EXPECT_TRUE(StartsWith(
      LockThrough(web, addons::kfrmAddWebControls, "txtSite", L"https://www.example.com/"),
      L"Locked:"));
  CloseAddon(web);

  Say("what the service stored");
  const std::vector<store::ListItem> items = key.ReadItems();
  for (const char* title : {"Quarterly report.txt", "Holiday photos", "[web page] example"}) {
    EXPECT_NE(std::find(items.begin(), items.end(), store::ListItem{title, true}), items.end())
        << "the title item \"" << title << "\" is stored, locked";
  }
  const std::vector<store::ListItem> programs = key.ReadPrograms();
  ASSERT_EQ(programs.size(), 1u) << "one program item";
  EXPECT_EQ(_wcsicmp(Wide(programs[0].text).c_str(), game.c_str()), 0) << programs[0].text;

  Say("the open configuration tool lists them");
  EXPECT_TRUE(WaitFor([&] { return ListShows(tool, L"Holiday photos"); }, kReactLimit));
  EXPECT_TRUE(ListShows(tool, L"pmharness-game.exe (" + game + L")"));

  Say("and each is locked");
  EXPECT_TRUE(OtherProgramLocked(engines, L"pmharness-game.exe", L"Anything at all"));
  for (const wchar_t* title : {L"Quarterly report.txt - Notepad", L"Holiday photos"}) {
    TargetWindow window(title, L"PmHarnessAddonTitle", true);
    EXPECT_TRUE(LockedOnArrival(window, Utf8(title)));
    if (const Prompt prompt = WaitForPrompt()) Dismiss(prompt);
  }
  EXPECT_TRUE(OtherProgramLocked(engines, L"chrome.exe", L"Example Domain - Google Chrome"))
      << "the web site in a browser's window";
  {
    TargetWindow notes(L"Example notes", L"PmHarnessAddonNotes", true);
    SetForegroundWindow(notes.handle());
    PumpFor(1500ms);
    EXPECT_TRUE(notes.visible()) << "the site's name in another program's window is shown";
  }
  DeleteFileW(document.c_str());
  RemoveDirectoryW(photos.c_str());
}

}  // namespace pm::e2e
