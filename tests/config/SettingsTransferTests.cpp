// The owner exports the settings to PMExport.txt in the program folder and
// imports them again, here or on another PC: everything comes back as it was
// exported, and a bad file or a failed write changes nothing.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "config/SettingsTransfer.h"
#include "config/SetupDialogFixture.h"
#include "config/frmSetupLayout.h"
#include "engine/EngineFixture.h"
#include "platform/Text.h"
#include "store/PasswordCheck.h"
#include "store/PasswordPlace.h"
#include "store/ProgramList.h"
#include "store/RegFile.h"
#include "store/RegFileTestSupport.h"
#include "store/RegFileTree.h"
#include "store/RegistryModule.h"
#include "store/RegistrySnapshot.h"
#include "store/SettingsFile.h"

namespace pm::tests {
namespace {

namespace fs = std::filesystem;
namespace cfg = config;
namespace reg_type = platform::reg_type;
using store::ByteArray;
using Kind = store::TransferOutcome::Kind;

constexpr std::string_view kImported =
    "Operation Complete. You need to re-enter here to see new changes.";
constexpr std::string_view kNotAnExport = " is not a settings export, so nothing was changed.";
constexpr std::string_view kNotImported =
    "The settings could not be imported, and the settings stored before are kept.";
constexpr std::string_view kWriteFault = "The system cannot write to the specified device.";

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// A folder of its own for each test, standing in for the program folder.
fs::path NewFolder() {
  std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  const fs::path folder = fs::path(::testing::TempDir()) / ("pm-transfer-" + name);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

ByteArray ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return ByteArray(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const ByteArray& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Values of every type in the keys a configuration has, add-on keys included.
void StoreEveryKind(platform::Registry& registry) {
  const std::string product(store::kProductKey);
  SetRaw(registry, store::kRootKey, product, "", reg_type::kSz, StringData("default"));
  SetRaw(registry, store::kRootKey, store::kSettingsKey, "PasswordPicture", reg_type::kSz,
         StringData("C:\\Pictures\\\"Family\" \\ Größe 😀.bmp"));
  SetRaw(registry, store::kRootKey, store::kSettingsKey, "Folder", reg_type::kExpandSz,
         StringData("%ProgramFiles%\\Pelmora Pro"));
  SetRaw(registry, store::kRootKey, store::kSettingsKey, "Recent", reg_type::kMultiSz,
         MultiStringData({"one", "two"}));
  SetRaw(registry, store::kRootKey, store::kSettingsKey, "Count", reg_type::kDword,
         DwordData(0xDEADBEEF));
  SetRaw(registry, store::kRootKey, product + "\\Windows3", "Layout", reg_type::kBinary,
         ByteArray{0, 1, 2, 0xFF});
  SetRaw(registry, store::kRootKey, product + "\\Addon\\Settings", "Odd", 0x4711,
         ByteArray{9, 8, 7});
  SetRaw(registry, store::kRootKey, product + "\\Addon2\\Settings", "Enabled", reg_type::kDword,
         DwordData(1));
}

// The text of a Settings value in a copy of the product key; empty when absent.
std::string SettingIn(const store::KeySnapshot& product, std::string_view name) {
  for (const auto& [key, settings] : product.subkeys) {
    if (key != "Settings") continue;
    for (const auto& value : settings.values) {
      if (value.name == name)
        return store::RegistryModule::ValueFromData(value.type, value.data).Text();
    }
  }
  return {};
}

bool ContainsText(const ByteArray& bytes, std::string_view text) {
  const std::u16string units = platform::Utf8ToUtf16(text);
  ByteArray pattern;
  for (char16_t unit : units) {
    pattern.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    pattern.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end()) != bytes.end();
}

store::KeySnapshot Stored(platform::Registry& registry) {
  return store::CaptureKey(registry, store::kRootKey, store::kProductKey);
}

class SettingsTransferTest : public EngineTest {
 protected:
  void SetUp() override { folder_ = NewFolder(); }
  void TearDown() override { fs::remove_all(folder_); }

  // The engine runs from the test's folder; the tool is opened from the tray
  // with `password`, or with the plain one stored.
  sim::SimWindow& OpenSetup(std::string_view password = {}) {
    if (!process_) {
      StartEngine();
      State().AppFolder = appFolder_.empty() ? Utf8(folder_) : appFolder_;
      Engine().frmSetup.frmChangePassword.SetHashIterations(kTestHashIterations);
    }
    Engine().frmMain.mnuPMISetup_Click();
    world_.RunPending();
    if (Prompt() != nullptr) Answer(password.empty() ? State().UserPassword : password);
    return *world_.Find(Engine().frmSetup.hwnd())->ours;
  }
  sim::SimWindow& SetupWindow() { return *world_.Find(Engine().frmSetup.hwnd())->ours; }
  bool SetupOpen() { return Engine().frmSetup.IsLoaded(); }
  std::string Described() { return Describe(Stored(registry_)); }
  fs::path ExportFile() const { return folder_ / "PMExport.txt"; }
  std::string LastMessage() {
    return world_.shownMessages.empty() ? std::string() : world_.shownMessages.back().text;
  }
  void Import() {
    world_.shownMessages.clear();
    SetupWindow().ChooseMenu(cfg::kmnuimport);
  }
  // Passwords stored as this version stores them: an export carries them as
  // they are.
  void StoreHashedPasswords(std::string_view password, std::string_view second) {
    StorePasswords(store::HashPassword(password, kTestHashIterations),
                   store::HashPassword(second, kTestHashIterations));
  }
  store::KeySnapshot Exported() {
    const platform::Result<store::RegFileRead> parsed =
        store::ParseRegFile(ReadFile(ExportFile()), kProductRootName);
    EXPECT_TRUE(parsed) << parsed.error().message;
    return parsed ? store::ToKeySnapshot(parsed->content) : store::KeySnapshot{};
  }

  fs::path folder_;
  std::string appFolder_;  // when not the test's folder itself
};

TEST_F(SettingsTransferTest, ExportThenImportGivesBackEveryValueAndKey) {
  StoreHashedPasswords("secret", "second");
  LockItems({{"Notepad", true}}, {"Setup Log"});
  EXPECT_TRUE(store::WriteProgramList(registry_, {{{"C:\\Windows\\regedit.exe", true}}}));
  StoreEveryKind(registry_);
  OpenSetup("secret").ChooseMenu(cfg::kmnuexport);
  const std::string exported = Described();
  ASSERT_EQ(world_.shownMessages.size(), 1u);
  EXPECT_EQ(world_.shownMessages[0].text,
            "Your settings were exported to " + Utf8(folder_) +
                "\\PMExport.txt\r\nNow copy that file to the folder of Pelmora Pro on the other "
                "PC's and then click Import.");
  EXPECT_EQ(world_.shownMessages[0].caption, "Pelmora Pro");
  EXPECT_TRUE(SetupOpen()) << "the window stays open after an export";

  // Later changes, all to be undone by the import.
  StorePasswords("changed", "changed2");
  LockItems({{"Paint", true}});
  EXPECT_TRUE(store::WriteProgramList(registry_, {}));
  EXPECT_EQ(registry_.DeleteTree(store::kRootKey, std::string(store::kProductKey) + "\\Addon"),
            platform::reg_error::kSuccess);
  SetRaw(registry_, store::kRootKey, std::string(store::kProductKey) + "\\Extra", "New",
         reg_type::kSz, StringData("x"));
  State().ReloadRequested = false;
  Import();
  ASSERT_EQ(world_.shownMessages.size(), 1u);
  EXPECT_EQ(world_.shownMessages[0].text, kImported);
  EXPECT_FALSE(SetupOpen()) << "the import closes the window";
  EXPECT_TRUE(State().ReloadRequested);
  EXPECT_EQ(Described(), exported);

  // The engine takes the exported password and items again.
  Pass(500);
  const platform::Hwnd paint = OpenWindow("Untitled - Paint", "MSPaintApp");
  Pass(500);
  EXPECT_TRUE(Visible(paint));
  const platform::Hwnd notepad = OpenWindow("Untitled - Notepad");
  Pass(500);
  EXPECT_FALSE(Visible(notepad));
  Answer("secret");
  EXPECT_TRUE(Visible(notepad));
  // And the program item.
  world_.SetProgramPath(5000, "C:\\Windows\\regedit.exe");
  const platform::Hwnd editor = world_.CreateOtherWindow("Untitled", "RegEdit_RegEdit", 5000);
  Pass(500);
  EXPECT_FALSE(Visible(editor));
}

// Passwords an earlier version stored as plain text: the export file carries
// only their hashes, and the tool's next save stores the hashes instead.
TEST_F(SettingsTransferTest, PlainPasswordsAreExportedAndThenSavedOnlyAsHashes) {
  StorePasswords("secret", "second");
  LockItems({{"Notepad", true}});
  sim::SimWindow& setup = OpenSetup();
  setup.ChooseMenu(cfg::kmnuexport);
  ASSERT_EQ(world_.shownMessages.size(), 1u);
  const store::KeySnapshot exported = Exported();
  EXPECT_FALSE(ContainsText(ReadFile(ExportFile()), "secret"));
  EXPECT_FALSE(ContainsText(ReadFile(ExportFile()), "second"));
  EXPECT_TRUE(store::PasswordMatches("SECRET", SettingIn(exported, "UserPassword")));
  EXPECT_TRUE(store::PasswordMatches("second", SettingIn(exported, "UserPassword2")));
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "UserPassword"), "secret")
      << "an export changes nothing stored";

  setup.Click("cmdOK");
  for (const auto& [name, password] :
       {std::pair{"UserPassword", "secret"}, std::pair{"UserPassword2", "second"}}) {
    const std::string stored = StoredText(registry_, store::kSettingsKey, name);
    EXPECT_TRUE(store::IsHashedPassword(stored)) << stored;
    EXPECT_TRUE(store::PasswordMatches(password, stored)) << name;
  }
  // The engine takes the hash at its next reload.
  Pass(500);
  const platform::Hwnd notepad = OpenWindow("Untitled - Notepad");
  Pass(500);
  Answer("secret");
  EXPECT_TRUE(Visible(notepad));
}

TEST_F(SettingsTransferTest, ASecondExportReplacesTheFirstAndLeavesNoTemporaryFile) {
  StoreHashedPasswords("first", "second");
  sim::SimWindow& setup = OpenSetup("first");
  setup.ChooseMenu(cfg::kmnuexport);
  StoreHashedPasswords("other", "second");
  setup.ChooseMenu(cfg::kmnuexport);
  ASSERT_EQ(world_.shownMessages.size(), 2u);
  EXPECT_EQ(world_.shownMessages[1].text, world_.shownMessages[0].text);
  EXPECT_EQ(Describe(Exported()), Described());
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1)
      << "only PMExport.txt is in the folder";
}

TEST_F(SettingsTransferTest, AnExportThatCannotBeWrittenSaysWhyAndKeepsTheEarlierFile) {
  StorePasswords("first");
  sim::SimWindow& setup = OpenSetup();
  setup.ChooseMenu(cfg::kmnuexport);
  const ByteArray earlier = ReadFile(ExportFile());
  StorePasswords("second");
  fs::create_directory(folder_ / "PMExport.txt.tmp");  // the temporary file cannot be made
  setup.ChooseMenu(cfg::kmnuexport);
  ASSERT_EQ(world_.shownMessages.size(), 2u);
  const std::string text = world_.shownMessages[1].text;
  EXPECT_EQ(
      text.rfind(
          "Your settings could not be exported to " + Utf8(folder_) + "\\PMExport.txt.\r\n\r\n", 0),
      0u)
      << text;
  EXPECT_GT(text.size(), text.find("\r\n\r\n") + 5) << "the reason follows";
  EXPECT_EQ(ReadFile(ExportFile()), earlier);
  EXPECT_TRUE(SetupOpen());
}

TEST_F(SettingsTransferTest, AnExportToAMissingFolderSaysWhy) {
  appFolder_ = Utf8(folder_ / "not there");
  StorePasswords();
  OpenSetup().ChooseMenu(cfg::kmnuexport);
  ASSERT_EQ(world_.shownMessages.size(), 1u);
  EXPECT_NE(LastMessage().find("could not be exported"), std::string::npos);
  EXPECT_NE(LastMessage().find(platform::SystemErrorText(platform::reg_error::kFileNotFound)),
            std::string::npos)
      << LastMessage();
}

TEST_F(SettingsTransferTest, AnExportWithoutAnySettingsFailsAndWritesNoFile) {
  sim::SimRegistry empty;
  const store::TransferOutcome outcome = store::ExportSettingsFile(empty, Utf8(folder_));
  EXPECT_EQ(outcome.kind, Kind::Failed);
  EXPECT_EQ(outcome.reason, "No settings are stored on this PC yet.");
  EXPECT_FALSE(fs::exists(ExportFile()));
}

// A part left out of the file would be deleted by an import of it.
TEST_F(SettingsTransferTest, AnExportThatCannotReadEveryKeyFailsAndWritesNoFile) {
  StoreHashedPasswords("secret", "second");
  StoreText(registry_, store::kPasswordsKey, "UserPassword", "kept apart");
  ASSERT_EQ(registry_.ProtectKey(store::kRootKey, store::kPasswordsKey,
                                 platform::KeyRules::AdministratorsOnly),
            platform::reg_error::kSuccess);
  registry_.ActAsStandardUser(true);
  const store::TransferOutcome outcome = store::ExportSettingsFile(registry_, Utf8(folder_));
  EXPECT_EQ(outcome.kind, Kind::Failed);
  EXPECT_EQ(outcome.reason, "Access is denied.");
  EXPECT_FALSE(fs::exists(ExportFile()));
}

TEST_F(SettingsTransferTest, AnImportWithoutTheFileNamesTheProgramFolderAndChangesNothing) {
  StorePasswords();
  OpenSetup();
  const std::string before = Described();
  const std::uint32_t writes = registry_.WriteCount();
  State().ReloadRequested = false;
  Import();
  ASSERT_EQ(world_.shownMessages.size(), 1u);
  EXPECT_EQ(LastMessage(),
            "Cannot find 'PMExport.txt'. You must copy this file to the Program Folder '" +
                Utf8(folder_) + "' after clicking Export.");
  EXPECT_TRUE(SetupOpen());
  EXPECT_FALSE(State().ReloadRequested);
  EXPECT_EQ(registry_.WriteCount(), writes);
  EXPECT_EQ(Described(), before);
}

// A drive root ends with its separator, and the file's name still has just
// one. Natively a folder ending in '/' stands in for the drive root; the Wine
// tests use C:\ itself.
TEST_F(SettingsTransferTest, AProgramFolderAtADriveRootWorks) {
  EXPECT_EQ(store::ExportFilePath("C:\\"), "C:\\PMExport.txt");
  EXPECT_EQ(store::ExportFilePath("C:\\Program Files\\Pelmora Pro\\"),
            "C:\\Program Files\\Pelmora Pro\\PMExport.txt");
  appFolder_ = Utf8(folder_) + "/";
  StorePasswords("rooted");
  OpenSetup().ChooseMenu(cfg::kmnuexport);
  EXPECT_NE(LastMessage().find("exported to " + Utf8(folder_) + "\\PMExport.txt\r\n"),
            std::string::npos)
      << LastMessage();
  ASSERT_TRUE(fs::exists(ExportFile()));
  StorePasswords("changed");
  Import();
  EXPECT_EQ(LastMessage(), kImported);
  EXPECT_TRUE(store::PasswordMatches(
      "rooted", StoredText(registry_, store::kSettingsKey, store::setting::kUserPassword)));
}

class SettingsTransferBadFileTest : public SettingsTransferTest,
                                    public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(SettingsTransferBadFileTest, IsRefusedAndTheRegistryStaysExactlyAsItWas) {
  StorePasswords();
  StoreEveryKind(registry_);
  OpenSetup();
  WriteFile(ExportFile(), GetParam().bytes);
  const std::string before = Described();
  const std::uint32_t writes = registry_.WriteCount();
  State().ReloadRequested = false;
  Import();
  ASSERT_EQ(world_.shownMessages.size(), 1u);
  EXPECT_EQ(LastMessage().rfind(Utf8(folder_) + "\\PMExport.txt" + std::string(kNotAnExport), 0),
            0u)
      << LastMessage();
  EXPECT_NE(LastMessage().find(GetParam().errorPart), std::string::npos) << LastMessage();
  EXPECT_TRUE(SetupOpen());
  EXPECT_FALSE(State().ReloadRequested);
  EXPECT_EQ(registry_.WriteCount(), writes) << "nothing was written";
  EXPECT_EQ(Described(), before);
}

INSTANTIATE_TEST_SUITE_P(EachFault, SettingsTransferBadFileTest,
                         ::testing::ValuesIn(BadExportFiles()),
                         [](const auto& info) { return info.param.name; });

TEST_F(SettingsTransferTest, AFolderNamedLikeTheFileIsRefused) {
  OpenSetup();
  fs::create_directory(ExportFile());
  const std::string before = Described();
  Import();
  EXPECT_NE(LastMessage().find(kNotAnExport), std::string::npos) << LastMessage();
  EXPECT_TRUE(SetupOpen());
  EXPECT_EQ(Described(), before);
}

TEST_F(SettingsTransferTest, AWriteThatFailsDuringTheImportIsReportedAndUndone) {
  StorePasswords("exported");
  StoreEveryKind(registry_);
  sim::SimWindow& setup = OpenSetup();
  setup.ChooseMenu(cfg::kmnuexport);
  StorePasswords("current");
  LockItems({{"Paint", true}});
  const std::string before = Described();
  registry_.FailValueWrite("Recent");
  State().ReloadRequested = false;
  Import();
  EXPECT_EQ(LastMessage(), std::string(kNotImported) + "\r\n\r\n" + std::string(kWriteFault));
  EXPECT_TRUE(SetupOpen());
  EXPECT_FALSE(State().ReloadRequested);
  EXPECT_EQ(Described(), before);
}

TEST_F(SettingsTransferTest, AnImportIntoAnUnwritableSubtreeIsReportedAndChangesNothing) {
  StorePasswords("exported");
  sim::SimWindow& setup = OpenSetup();
  setup.ChooseMenu(cfg::kmnuexport);
  StorePasswords("current");
  const std::string before = Described();
  registry_.DenyWrites(store::kRootKey, store::kProductKey);
  Import();
  EXPECT_EQ(LastMessage(), std::string(kNotImported) + "\r\n\r\nAccess is denied.");
  registry_.AllowWrites();
  EXPECT_EQ(Described(), before);
}

// A write of the import fails, and so does putting back what was stored:
// the owner is told the old settings may be lost, not that they were kept.
TEST_F(SettingsTransferTest, AnImportWhosePuttingBackFailsTooSaysTheOldSettingsMayBeLost) {
  LockItems({{"Notepad", true}});
  OpenSetup().ChooseMenu(cfg::kmnuexport);
  registry_.FailValueWrite("Window0", platform::reg_error::kAccessDenied, 2);
  Import();
  EXPECT_EQ(LastMessage(),
            "The settings could not be saved, and some of those stored before may be lost: check "
            "them and save again.\r\n\r\nAccess is denied.\r\nPutting back what was stored "
            "before failed too: Access is denied.");
}

// Whichever single write of the import fails, what was stored before is back.
TEST_F(SettingsTransferTest, EveryWriteOfTheImportCanFailAndThePreviousSubtreeComesBack) {
  const auto exportedState = [](sim::SimRegistry& registry) {
    StoreEveryKind(registry);
    StoreText(registry, store::kSettingsKey, "UserPassword", "exported");
  };
  const auto currentState = [](sim::SimRegistry& registry) {
    StoreText(registry, store::kSettingsKey, "UserPassword", "current");
    StoreText(registry, store::kItemListKey, "Window0", "Paint,1");
    SetRaw(registry, store::kRootKey, std::string(store::kProductKey) + "\\Addon\\Settings",
           "Other", reg_type::kBinary, ByteArray{1});
  };
  {
    sim::SimRegistry source;
    exportedState(source);
    ASSERT_EQ(store::ExportSettingsFile(source, Utf8(folder_), kTestHashIterations).kind,
              Kind::Done);
  }
  std::uint32_t importWrites = 0;
  {
    sim::SimRegistry registry;
    currentState(registry);
    const std::uint32_t start = registry.WriteCount();
    ASSERT_EQ(store::ImportSettingsFile(registry, Utf8(folder_)).kind, Kind::Done);
    importWrites = registry.WriteCount() - start;
  }
  ASSERT_GT(importWrites, 10u);
  for (std::uint32_t n = 0; n < importWrites; ++n) {
    SCOPED_TRACE("write " + std::to_string(n) + " fails");
    sim::SimRegistry registry;
    currentState(registry);
    const std::string before = Describe(Stored(registry));
    registry.FailNthWrite(n);
    const store::TransferOutcome outcome = store::ImportSettingsFile(registry, Utf8(folder_));
    EXPECT_EQ(outcome.kind, Kind::Failed);
    EXPECT_EQ(outcome.reason, kWriteFault);
    EXPECT_EQ(Describe(Stored(registry)), before);
  }
}

// An export of an earlier installation is a hive file; the platform restores
// it, and the import checks that it did.
TEST_F(SettingsTransferTest, AHiveFileFromAnEarlierInstallationIsRestored) {
  StorePasswords("from the hive");
  StoreEveryKind(registry_);
  OpenSetup();
  const std::string saved = Described();
  ASSERT_TRUE(store::modRegistry::SaveKeyToFile(registry_, store::kRootKey, store::kProductKey,
                                                Utf8(ExportFile())));
  StorePasswords("current");
  EXPECT_EQ(registry_.DeleteTree(store::kRootKey, std::string(store::kProductKey) + "\\Addon"),
            platform::reg_error::kSuccess);
  Import();
  EXPECT_EQ(LastMessage(), kImported);
  EXPECT_FALSE(SetupOpen());
  EXPECT_TRUE(State().ReloadRequested);
  EXPECT_EQ(Described(), saved);
}

struct HiveFailure {
  std::string name;
  bool damaged;  // the file, else the restore privilege
  std::string reason;
};

class SettingsTransferHiveFailureTest : public SettingsTransferTest,
                                        public ::testing::WithParamInterface<HiveFailure> {};

TEST_P(SettingsTransferHiveFailureTest, IsReportedAndChangesNothing) {
  StorePasswords("saved");
  OpenSetup();
  ASSERT_TRUE(store::modRegistry::SaveKeyToFile(registry_, store::kRootKey, store::kProductKey,
                                                Utf8(ExportFile())));
  if (GetParam().damaged) {
    ByteArray hive = ReadFile(ExportFile());
    hive.resize(hive.size() / 2);
    WriteFile(ExportFile(), hive);
  } else {
    registry_.SetPrivilegeGrantable("SeRestorePrivilege", false);
  }
  StorePasswords("current");
  const std::string before = Described();
  State().ReloadRequested = false;
  Import();
  EXPECT_EQ(LastMessage().rfind(std::string(kNotImported) + "\r\n\r\n" + GetParam().reason, 0), 0u)
      << LastMessage();
  EXPECT_TRUE(SetupOpen());
  EXPECT_FALSE(State().ReloadRequested);
  EXPECT_EQ(Described(), before) << "no check value is left behind either";
}

INSTANTIATE_TEST_SUITE_P(Causes, SettingsTransferHiveFailureTest,
                         ::testing::Values(HiveFailure{"DamagedFile", true, "Error 1009."},
                                           HiveFailure{
                                               "NoRestorePrivilege", false,
                                               "A required privilege is not held by the client."}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace pm::tests
