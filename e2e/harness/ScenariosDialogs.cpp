// The owner's dialogs from end to end: a new password pair set through the
// change-password dialog, the settings exported and imported through the
// setup window's menu, and a prompt picture chosen from a file the harness
// writes. Menus are driven by command id: another process cannot read a
// menu under Wine.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "config/frmSetupLayout.h"
#include "platform/win32/Wide.h"
#include "prompt/frmChangePasswordLayout.h"
#include "prompt/frmpasswordpictureLayout.h"
#include "store/PasswordCheck.h"
#include "store/SettingsCatalogue.h"

namespace pm::e2e {

using namespace std::chrono_literals;
using win32::Wide;

namespace {

// Hashing both passwords takes about a second under Wine (two runs of
// 600,000 rounds), more on a loaded machine.
constexpr std::chrono::milliseconds kStoreLimit{20000};

std::string LowerUtf8(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// pmpro's folder with a trailing backslash, where it keeps PMExport.txt.
std::wstring ProgramFolder(const std::wstring& program) {
  const std::size_t slash = program.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : program.substr(0, slash + 1);
}

HWND ControlOf(HWND form, std::span<const platform::ControlSpec> table, std::string_view name) {
  return FindControl(form, platform::kControlIdBase + platform::ControlIndex(table, name));
}

// Sent, so the text is in the box before the next step; the edit control
// reports the change to its parent with EN_CHANGE as typing would.
void SetText(HWND control, const wchar_t* text) {
  SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      2000, nullptr);
}

// The target comes to the front, is hidden, and the prompt takes `password`.
void UnlocksWith(const wchar_t* password) {
  TargetWindow editor(L"Registry Editor - test", L"PmHarnessRegedit", true);
  ASSERT_TRUE(LockedOnArrival(editor, "Registry Editor - test"));
  const Prompt prompt = WaitForPrompt();
  ASSERT_TRUE(prompt);
  const std::string label = Utf8(prompt.Text("Label1"));
  prompt.Answer(password);
  EXPECT_TRUE(WaitFor([&] { return editor.visible(); }, kReactLimit))
      << "the prompt (\"" << label << "\") accepts \"" << Utf8(password)
      << "\" and the window is shown again";
}

std::wstring ReadUtf16File(const std::wstring& path, bool& hasBom) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  hasBom = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xFE;
  std::wstring text;
  for (std::size_t i = hasBom ? 2 : 0; i + 1 < bytes.size(); i += 2) {
    text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return text;
}

// Removes a file the scenario made, whatever happened.
class FileCleanup {
 public:
  explicit FileCleanup(std::wstring path) : path_(std::move(path)) { DeleteFileW(path_.c_str()); }
  ~FileCleanup() { DeleteFileW(path_.c_str()); }
  FileCleanup(const FileCleanup&) = delete;
  FileCleanup& operator=(const FileCleanup&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

bool HashedWithoutPlainText(const std::string& stored, const std::vector<std::string>& plain) {
  if (stored.rfind("pbkdf2-sha256$", 0) != 0) return false;
  const std::string lower = LowerUtf8(stored);
  return std::none_of(plain.begin(), plain.end(), [&](const std::string& word) {
    return lower.find(word) != std::string::npos;
  });
}

// A 2 x 2 picture, 24 bits a pixel, rows padded to four bytes.
bool WriteSmallBitmap(const std::wstring& path) {
  constexpr std::uint32_t kPixelBytes = 2 * 8;
  constexpr std::uint32_t kFileBytes = 14 + 40 + kPixelBytes;
  std::vector<std::uint8_t> bytes;
  const auto put = [&](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  bytes.push_back('B');
  bytes.push_back('M');
  put(kFileBytes, 4);
  put(0, 4);
  put(14 + 40, 4);
  put(40, 4);  // BITMAPINFOHEADER
  put(2, 4);
  put(2, 4);
  put(1, 2);
  put(24, 2);
  put(0, 4);  // BI_RGB
  put(kPixelBytes, 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 4);
  put(0, 4);
  for (int row = 0; row < 2; ++row) {
    put(0x0000FF, 3);
    put(0x00FF00, 3);
    put(0, 2);
  }
  std::ofstream file(std::filesystem::path(path), std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

// The configuration tool open, with "secret" as both passwords, so an
// export carries the same pair back.
class DialogScenario : public ToolScenario {
 protected:
  StoredSettings Stored() const override { return {.password2 = "secret"}; }

  // After the settings changed behind its back, the engine reloads on a
  // later tick of its timer; a window already in front before then is not
  // looked at again, so the locked window arrives after a pause.
  void ExpectReloadedWith(const wchar_t* password) {
    PumpFor(3000ms);
    UnlocksWith(password);
    EXPECT_TRUE(EngineStillRuns(engines, engineId));
  }
};

// The export file of the program's folder, removed before and after.
class ExportImportScenario : public DialogScenario {
 protected:
  FileCleanup exportFile{ProgramFolder(options().program) + L"PMExport.txt"};
};

constexpr wchar_t kPictureName[] = L"pmharness-picture.bmp";

// A picture in the program's folder, where the chooser's list starts.
class PromptPictureScenario : public DialogScenario {
 protected:
  void SetUp() override {
    EXPECT_TRUE(WriteSmallBitmap(picture.path())) << "a BMP written to " << Utf8(picture.path());
    DialogScenario::SetUp();
  }

  FileCleanup picture{ProgramFolder(options().program) + kPictureName};
};

}  // namespace

TEST_F(DialogScenario, ChangePassword) {
  Say("Set Passwords...");
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnuChangePassword, 0), 0);
  const WindowQuery dialogQuery{.title = Wide(prompt::kfrmChangePasswordSpec.caption),
                                .visibility = WindowQuery::Visibility::Visible,
                                .processId = engineId};
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (dialog = FindTopLevel(dialogQuery)) != nullptr; }, kReactLimit))
      << "the menu entry opens \"Change Password\"";
  const auto control = [&](std::string_view name) {
    return ControlOf(dialog, prompt::kfrmChangePasswordControls, name);
  };
  const HWND first = control("txtPassword");
  const HWND second = control("txtPassword2");
  const HWND ok = control("cmdOK");
  const HWND label = control("Label1");
  EXPECT_TRUE(first && second && ok && label) << "the dialog has its boxes, OK and Label1";
  EXPECT_FALSE(IsWindowEnabled(ok)) << "OK starts disabled";

  // Mixed case: the dialog lowers the passwords before it hashes them.
  const auto typeBoth = [&] {
    SetText(first, L"NewPass");
    SetText(second, L"Setup2");
  };
  typeBoth();
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(ok) != FALSE; }, kReactLimit))
      << "with both boxes filled OK is enabled (the change notifications arrived)";
  PostMessageW(ok, BM_CLICK, 0, 0);
  std::string caption;
  EXPECT_TRUE(WaitFor([&] { return (caption = Utf8(TextOf(label))) == prompt::kConfirmPasswords; },
                      kReactLimit))
      << "the entry phase asks for confirmation: \"" << caption << "\"";
  EXPECT_TRUE(TextOf(first).empty() && TextOf(second).empty()) << "both boxes are emptied";
  EXPECT_TRUE(store::PasswordMatches("secret", key.ReadPassword(store::setting::kUserPassword)))
      << "nothing is stored before the confirmation";

  typeBoth();
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(ok) != FALSE; }, kReactLimit))
      << "OK is enabled again for the confirmation";
  PostMessageW(ok, BM_CLICK, 0, 0);
  // Two hashes of the full count take over a second under Wine.
  EXPECT_TRUE(WaitFor(
      [&] { return !IsWindowEnabled(ok) && Utf8(TextOf(label)) == prompt::kSavingPasswords; },
      kReactLimit))
      << "while the hashes are made, the dialog says so and OK is disabled";
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, kStoreLimit))
      << "the confirmation stores and closes the dialog";

  const std::string stored = key.ReadPassword(store::setting::kUserPassword);
  const std::string stored2 = key.ReadPassword(store::setting::kUserPassword2);
  Say("UserPassword = %s", stored.c_str());
  Say("UserPassword2 = %s", stored2.c_str());
  const std::vector<std::string> plain = {"newpass", "setup2"};
  EXPECT_TRUE(HashedWithoutPlainText(stored, plain))
      << "\"UserPassword\" holds a pbkdf2-sha256 hash and no plain text";
  EXPECT_TRUE(HashedWithoutPlainText(stored2, plain))
      << "\"UserPassword2\" holds a pbkdf2-sha256 hash and no plain text";
  EXPECT_NE(stored, stored2) << "the two passwords are stored differently";

  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnuClose, 0), 0);
  EXPECT_TRUE(ToolGone(engineId, "on Close"));
  // Typed in capitals: passwords are compared without regard to case.
  ExpectReloadedWith(L"NEWPASS");
}

TEST_F(ExportImportScenario, ExportImport) {
  Say("Export Settings");
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnuexport, 0), 0);
  const std::wstring exported = AnswerMessageBox(engineId, "export", kStoreLimit);
  EXPECT_NE(exported.find(L"exported"), std::wstring::npos) << "the message announces the export";
  bool hasBom = false;
  const std::wstring text = ReadUtf16File(exportFile.path(), hasBom);
  EXPECT_TRUE(hasBom) << Utf8(exportFile.path()) << " begins with the UTF-16LE byte-order mark";
  EXPECT_TRUE(text.starts_with(L"Windows Registry Editor Version 5.00"))
      << "the file begins with the registry editor's header";
  EXPECT_NE(text.find(L"Registry Editor"), text.rfind(L"Registry Editor"))
      << "the file carries the locked item as well as the header";
  // Stored plain, as an earlier version stored them; the file has their hashes.
  EXPECT_TRUE(text.find(L"secret") == std::wstring::npos &&
              text.find(L"\"UserPassword\"=\"pbkdf2-sha256$") != std::wstring::npos)
      << "the file carries the passwords' hashes, not the passwords";
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnuClose, 0), 0);
  EXPECT_TRUE(ToolGone(engineId, "on Close"));

  Say("the settings changed behind the tool's back");
  EXPECT_TRUE(StoreSettings(
      key, {.password = "other", .password2 = "other", .locked = {{"Notepad", true}}}))
      << "password \"other\" and the item \"Notepad\" stored instead";
  tool = OpenTool(engines, engineId, L"other");
  ASSERT_NE(tool, nullptr);

  Say("Import Settings");
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kmnuimport, 0), 0);
  const std::wstring imported = AnswerMessageBox(engineId, "import", kStoreLimit);
  EXPECT_NE(imported.find(L"Operation Complete"), std::wstring::npos)
      << "the message announces the import";
  EXPECT_TRUE(ToolGone(engineId, "after the import"));
  EXPECT_TRUE(store::PasswordMatches("secret", key.ReadPassword(store::setting::kUserPassword)) &&
              store::PasswordMatches("secret", key.ReadPassword(store::setting::kUserPassword2)))
      << "the exported passwords are stored again";
  {
    win32::Win32Registry registry;
    const std::vector<store::ListItem> items = store::ReadItemList(registry);
    std::string shown;
    for (const store::ListItem& item : items) {
      shown += item.text + (item.checked ? " (checked) " : " (unchecked) ");
    }
    EXPECT_TRUE(items.size() == 1 && items[0].text == "Registry Editor" && items[0].checked)
        << "the exported items are stored again: " << shown;
  }
  ExpectReloadedWith(L"secret");
}

TEST_F(PromptPictureScenario, PromptPicture) {
  Say("Picture for Password Box...");
  PostMessageW(tool, WM_COMMAND, MAKEWPARAM(config::kpassboxpic, 0), 0);
  const WindowQuery chooserQuery{.title = Wide(prompt::kPictureForPasswordBox),
                                 .visibility = WindowQuery::Visibility::Visible,
                                 .processId = engineId};
  HWND chooser = nullptr;
  ASSERT_TRUE(
      WaitFor([&] { return (chooser = FindTopLevel(chooserQuery)) != nullptr; }, kReactLimit))
      << "the menu entry opens the chooser titled \"Picture for Password Box\"";
  const HWND files = ControlOf(chooser, prompt::kfrmpasswordpictureControls, "File1");
  const HWND ok = ControlOf(chooser, prompt::kfrmpasswordpictureControls, "cmdOK");
  ASSERT_TRUE(files && ok) << "the chooser has File1 and OK";
  // The list starts in the program folder; the standard list box's string
  // messages are carried across processes.
  DWORD_PTR row = static_cast<DWORD_PTR>(LB_ERR);
  SendMessageTimeoutW(files, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                      reinterpret_cast<LPARAM>(kPictureName), SMTO_ABORTIFHUNG, 2000, &row);
  ASSERT_NE(static_cast<LRESULT>(row), LB_ERR) << "File1 lists the BMP from the program folder";
  SendMessageTimeoutW(files, LB_SETCURSEL, row, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
  // LB_SETCURSEL does not notify, as a click would: the notification is sent
  // on the list's behalf so the chooser previews the file.
  SendMessageTimeoutW(chooser, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(files), LBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(files), SMTO_ABORTIFHUNG, 2000, nullptr);
  PostMessageW(ok, BM_CLICK, 0, 0);
  const std::string expected = LowerUtf8(Utf8(picture.path()));
  std::string stored;
  EXPECT_TRUE(WaitFor(
      [&] {
        return LowerUtf8(stored = key.ReadSetting(store::setting::kPasswordPicture)) == expected;
      },
      kReactLimit))
      << "OK stores \"PasswordPicture\" = \"" << stored << "\", the BMP's full path";
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(chooser) || !IsWindowVisible(chooser); }, kReactLimit))
      << "OK closes the chooser";
  EXPECT_TRUE(EngineStillRuns(engines, engineId));
}

}  // namespace pm::e2e
