// Settings export and import on the real registry: the system's own regedit
// imports what we export and we read what it exports, and the file lives at
// real paths, a drive root and a non-ASCII folder among them.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "config/SettingsTransfer.h"
#include "platform/Text.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Registry.h"
#include "store/PasswordCheck.h"
#include "store/RegFile.h"
#include "store/RegFileTestSupport.h"
#include "store/RegFileTree.h"
#include "store/RegistryModule.h"
#include "store/RegistrySnapshot.h"
#include "store/SettingsCatalogue.h"
#include "store/SettingsFile.h"
#include "store/modRegistry.h"

namespace pm::tests {
namespace {

namespace fs = std::filesystem;
namespace reg_type = platform::reg_type;
using Kind = store::TransferOutcome::Kind;
using store::ByteArray;

constexpr platform::RootKey kHklm = platform::RootKey::LocalMachine;
constexpr std::string_view kTestParent = "SOFTWARE\\Pelmora Pro Tests";
constexpr std::string_view kTestKey = "SOFTWARE\\Pelmora Pro Tests\\Transfer";

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string TestRootName() {
  return "HKEY_LOCAL_MACHINE\\" + std::string(kTestKey);
}

std::wstring Wide(std::string_view utf8) {
  const std::u16string text = platform::Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// The system's regedit.exe with these arguments, waited for. Its exit code
// says nothing (Wine's is 0 even on failure): the tests look at the result.
void RunRegedit(const std::wstring& arguments) {
  wchar_t windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
  const std::wstring program = std::wstring(windows) + L"\\regedit.exe";
  std::wstring command = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &started))
      << GetLastError();
  const win32::UniqueKernelHandle process(started.hProcess);
  const win32::UniqueKernelHandle thread(started.hThread);
  ASSERT_EQ(WaitForSingleObject(process.get(), 60000), WAIT_OBJECT_0) << "regedit did not end";
}

ByteArray ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return ByteArray(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const ByteArray& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good());
}

// Every kind of value, nested keys with the add-on keys, and an empty key.
void StoreEveryKind(platform::Registry& registry, std::string_view root) {
  const std::string key(root);
  SetRaw(registry, kHklm, key, "", reg_type::kSz, StringData("default"));
  SetRaw(registry, kHklm, key + "\\Settings", "PasswordPicture", reg_type::kSz,
         StringData("C:\\Pictures\\\"Family\" \\ Größe 密码 😀.bmp"));
  SetRaw(registry, kHklm, key + "\\Settings", "Folder", reg_type::kExpandSz,
         StringData("%ProgramFiles%\\Pelmora Pro"));
  SetRaw(registry, kHklm, key + "\\Settings", "Recent", reg_type::kMultiSz,
         MultiStringData({"one", "two words"}));
  SetRaw(registry, kHklm, key + "\\Settings", "Count", reg_type::kDword, DwordData(0xDEADBEEF));
  ByteArray picture(200);
  for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint8_t>(i * 13);
  SetRaw(registry, kHklm, key + "\\Windows3", "Layout", reg_type::kBinary, picture);
  SetRaw(registry, kHklm, key + "\\Windows3", "Nothing", reg_type::kBinary, {});
  SetRaw(registry, kHklm, key + "\\Addon\\Settings", "Odd", 0x4711, ByteArray{9, 8, 7});
  SetRaw(registry, kHklm, key + "\\Addon2\\Settings", "Big", 11, ByteArray{1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_FALSE(store::RegistryModule::EnsureKey(registry, kHklm, key + "\\Empty"));
}

// A key that is not there is removed already.
void RemoveTree(platform::Registry& registry, std::string_view key) {
  const platform::RegStatus status = registry.DeleteTree(kHklm, key);
  EXPECT_TRUE(status == platform::reg_error::kSuccess ||
              status == platform::reg_error::kFileNotFound)
      << key << ": " << status;
}

class Win32SettingsTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveTree(registry_, kTestParent);
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    folder_ = fs::path(temp) / fs::path(u8"pm transfer Größe");
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    product_ = store::CaptureKey(registry_, kHklm, store::kProductKey);
  }
  void TearDown() override {
    RemoveTree(registry_, kTestParent);
    EXPECT_TRUE(store::RestoreKey(registry_, kHklm, store::kProductKey, product_));
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  std::string Described(std::string_view key) {
    return Describe(store::CaptureKey(registry_, kHklm, key));
  }

  win32::Win32Registry registry_;
  fs::path folder_;
  store::KeySnapshot product_;  // put back after each test
};

TEST_F(Win32SettingsTransferTest, TheSystemsRegeditImportsOurExportAsTheSameSubtree) {
  StoreEveryKind(registry_, kTestKey);
  const std::string exported = Described(kTestKey);
  const platform::Result<store::ByteArray> written = store::WriteRegFile(
      TestRootName(), store::FromKeySnapshot(store::CaptureKey(registry_, kHklm, kTestKey)));
  ASSERT_TRUE(written) << written.error().message;
  const fs::path file = folder_ / "ours.reg";
  WriteFile(file, *written);
  ASSERT_EQ(registry_.DeleteTree(kHklm, kTestKey), 0);
  RunRegedit(L"/S \"" + file.wstring() + L"\"");
  EXPECT_EQ(Described(kTestKey), exported);
}

TEST_F(Win32SettingsTransferTest, WeReadWhatTheSystemsRegeditExports) {
  StoreEveryKind(registry_, kTestKey);
  const fs::path file = folder_ / "theirs.reg";
  RunRegedit(L"/E \"" + file.wstring() + L"\" \"" + Wide(TestRootName()) + L"\"");
  const platform::Result<store::RegFileRead> parsed =
      store::ParseRegFile(ReadFile(file), TestRootName());
  ASSERT_TRUE(parsed) << parsed.error().message;
  EXPECT_EQ(Describe(store::ToKeySnapshot(parsed->content)), Described(kTestKey));
}

// Stored hashed, as this version stores passwords: the export carries the
// value as it is, so the file can be compared with the registry.
void StorePassword(platform::Registry& registry, std::string_view password) {
  EXPECT_TRUE(store::RegistryModule::WriteValue(
      registry, kHklm, store::kSettingsKey, "UserPassword", store::HashPassword(password, 1000)));
}

// A drive root makes the file's name "C:\\PMExport.txt", which Windows takes.
TEST_F(Win32SettingsTransferTest, ExportingTwiceAtADriveRootReplacesTheFileAndImports) {
  const fs::path file = L"C:\\PMExport.txt";
  std::error_code ignored;
  fs::remove(file, ignored);
  StoreEveryKind(registry_, store::kProductKey);
  StorePassword(registry_, "one");
  ASSERT_EQ(store::ExportSettingsFile(registry_, "C:\\").kind, Kind::Done);
  StorePassword(registry_, "two");
  const std::string exported = Described(store::kProductKey);
  const store::TransferOutcome second = store::ExportSettingsFile(registry_, "C:\\");
  ASSERT_EQ(second.kind, Kind::Done) << second.reason;
  EXPECT_FALSE(fs::exists(L"C:\\PMExport.txt.tmp"));
  const platform::Result<store::RegFileRead> parsed =
      store::ParseRegFile(ReadFile(file), kProductRootName);
  ASSERT_TRUE(parsed) << parsed.error().message;
  EXPECT_EQ(Describe(store::ToKeySnapshot(parsed->content)), exported);

  StorePassword(registry_, "3");
  RemoveTree(registry_, std::string(store::kProductKey) + "\\Addon");
  const store::TransferOutcome imported = store::ImportSettingsFile(registry_, "C:\\");
  EXPECT_EQ(imported.kind, Kind::Done) << imported.reason;
  EXPECT_EQ(Described(store::kProductKey), exported);
  fs::remove(file, ignored);
}

TEST_F(Win32SettingsTransferTest, AFolderWithNonAsciiCharactersHoldsTheExport) {
  StoreEveryKind(registry_, store::kProductKey);
  const std::string exported = Described(store::kProductKey);
  ASSERT_EQ(store::ExportSettingsFile(registry_, Utf8(folder_)).kind, Kind::Done);
  EXPECT_TRUE(fs::exists(folder_ / "PMExport.txt"));
  RemoveTree(registry_, std::string(store::kProductKey) + "\\Settings");
  EXPECT_EQ(store::ImportSettingsFile(registry_, Utf8(folder_)).kind, Kind::Done);
  EXPECT_EQ(Described(store::kProductKey), exported);
}

// Windows refuses a damaged hive. Wine's RegRestoreKey answers success and
// restores nothing; the import finds its check value still there and reports
// the import as failed, with the settings as they were.
TEST_F(Win32SettingsTransferTest, AHiveThatIsNotRestoredIsReportedAndChangesNothing) {
  StoreEveryKind(registry_, store::kProductKey);
  const std::string before = Described(store::kProductKey);
  ByteArray hive = {'r', 'e', 'g', 'f'};
  hive.resize(4096, 0);
  WriteFile(folder_ / "PMExport.txt", hive);
  const store::TransferOutcome outcome = store::ImportSettingsFile(registry_, Utf8(folder_));
  EXPECT_EQ(outcome.kind, Kind::Failed);
  EXPECT_FALSE(outcome.reason.empty());
  if (RunningUnderWine()) {
    EXPECT_EQ(outcome.reason,
              "The system reported the registry file restored, but the settings did not change.");
  }
  EXPECT_EQ(Described(store::kProductKey), before);
}

TEST_F(Win32SettingsTransferTest, AHiveSavedByThePlatformIsRestored) {
  StoreEveryKind(registry_, store::kProductKey);
  const std::string saved = Described(store::kProductKey);
  const fs::path file = folder_ / "PMExport.txt";
  ASSERT_TRUE(store::modRegistry::SaveKeyToFile(registry_, kHklm, store::kProductKey, Utf8(file)));
  const ByteArray bytes = ReadFile(file);
  if (RunningUnderWine()) {
    // Wine's RegSaveKey writes its own text format, not a hive, and its
    // RegRestoreKey restores nothing: there is no hive import to test.
    EXPECT_FALSE(bytes.size() >= 4 && std::equal(bytes.begin(), bytes.begin() + 4, "regf"));
    GTEST_SKIP() << "Wine has no hive save and restore";
  }
  RemoveTree(registry_, std::string(store::kProductKey) + "\\Addon");
  const store::TransferOutcome outcome = store::ImportSettingsFile(registry_, Utf8(folder_));
  EXPECT_EQ(outcome.kind, Kind::Done) << outcome.reason;
  EXPECT_EQ(Described(store::kProductKey), saved);
}

}  // namespace
}  // namespace pm::tests
