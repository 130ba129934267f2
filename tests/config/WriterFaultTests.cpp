// Every command that writes the registry, with one of its writes failing, in
// turn the first, the second, ... until the command gets through: the owner
// is told, and everything stored before is still stored, system values
// included. Once no injected fault is reached, the command succeeds.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>

#include "config/SettingsTransfer.h"
#include "config/SetupDialogFixture.h"
#include "store/PasswordCheck.h"
#include "store/RegFileTestSupport.h"
#include "store/SettingsFile.h"

namespace pm::tests {
namespace {

namespace fs = std::filesystem;
namespace cfg = config;

// More writes than any command makes with the stored state below; the last
// runs of each table reach no fault and must succeed.
constexpr std::uint32_t kMaxWrites = 40;

constexpr std::string_view kBmp = {"BM\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x20\0\0\0\x10\0\0\0", 26};

class WriterFaultTest;

struct Writer {
  std::string name;
  // What is stored before the tool opens, besides the passwords and lists.
  std::function<void(WriterFaultTest&)> arrange;
  // The owner's command, in the open tool; its writes are counted.
  std::function<void(WriterFaultTest&, sim::SimWindow& setup)> act;
  // Whether the command's change is stored (checked when no fault was hit).
  std::function<bool(WriterFaultTest&)> stored;
};

// Named in the test output by its name alone.
void PrintTo(const Writer& value, std::ostream* out) {
  *out << value.name;
}

class WriterFaultTest : public SetupDialogTest,
                        public ::testing::WithParamInterface<std::tuple<Writer, std::uint32_t>> {
 public:
  void SetUp() override {
    static int run = 0;
    folder_ = fs::temp_directory_path() /
              ("pm-writers-" + std::to_string(::getpid()) + "-" + std::to_string(++run));
    fs::create_directories(folder_);
    std::ofstream(folder_ / "new.bmp", std::ios::binary)
        .write(kBmp.data(), static_cast<std::streamsize>(kBmp.size()));
    const std::u8string text = folder_.u8string();
    programFolder_.assign(text.begin(), text.end());
  }
  void TearDown() override {
    std::error_code error;
    fs::remove_all(folder_, error);
  }

  // Everything the commands may touch: our subtree and the system values.
  std::string Snapshot() {
    return Describe(store::CaptureKey(registry_, store::kRootKey, "SOFTWARE"));
  }
  std::string Setting(std::string_view name) {
    return StoredText(registry_, store::kSettingsKey, name);
  }
  void StoreSetting(std::string_view name, std::string_view text) { Store(name, text); }
  config::frmSetup& Tool() { return SetupForm(); }
  prompt::frmpasswordpicture& Chooser() { return SetupForm().frmpasswordpicture; }
  sim::SimWindow* DialogWindow(const platform::Form& dialog) { return Window(dialog); }
  std::string Folder() const { return programFolder_; }
  sim::SimRegistry& Registry() { return registry_; }

 private:
  fs::path folder_;
};

void ToggleAndApply(sim::SimWindow& setup, int menu) {
  setup.ChooseMenu(menu);
  setup.Click("cmdApply");
}

std::vector<Writer> Writers() {
  return {
      {"SettingsSwitchesAndTimers", [](WriterFaultTest&) {},
       [](WriterFaultTest&, sim::SimWindow& setup) { ToggleAndApply(setup, cfg::kmnulockzip); },
       [](WriterFaultTest& t) { return t.Setting("LockZip") == "1"; }},
      {"ItemAndIgnoreLists", [](WriterFaultTest&) {},
       [](WriterFaultTest&, sim::SimWindow& setup) {
         setup.Type("txtignore", "Setup Log");
         setup.Click("cmdadd2");
         setup.Click("cmdRemove");  // unchecks the first item
         setup.Click("cmdApply");
       },
       [](WriterFaultTest& t) {
         return StoredText(t.Registry(), store::kIgnoreListKey, "Window1") == "Setup Log" &&
                StoredText(t.Registry(), store::kItemListKey, "Window0") == "Notepad,0";
       }},
      {"StartupLockOn", [](WriterFaultTest&) {},
       [](WriterFaultTest&, sim::SimWindow& setup) { ToggleAndApply(setup, cfg::kmlockstartup); },
       [](WriterFaultTest& t) {
         return ValueExists(t.Registry(), store::kRunOnceKey, store::kRunOnceValue) &&
                !ValueExists(t.Registry(), store::kWinlogonKey, "Background");
       }},
      {"StartupLockOff",
       [](WriterFaultTest& t) {
         t.StoreSetting("LockStartup", "1");
         StoreText(t.Registry(), store::kWinlogonKey, "Background", "0 0 0");
       },
       [](WriterFaultTest&, sim::SimWindow& setup) { ToggleAndApply(setup, cfg::kmlockstartup); },
       [](WriterFaultTest& t) {
         return !ValueExists(t.Registry(), store::kRunOnceKey, store::kRunOnceValue);
       }},
      {"ChangePassword", [](WriterFaultTest&) {},
       [](WriterFaultTest& t, sim::SimWindow& setup) {
         setup.Click("Command1");
         sim::SimWindow* dialog = t.DialogWindow(t.Tool().frmChangePassword);
         ASSERT_NE(dialog, nullptr);
         for (int round = 0; round < 2; ++round) {
           dialog->Type("txtPassword", "newfirst");
           dialog->Type("txtPassword2", "newsecond");
           dialog->Click("cmdOK");
         }
       },
       [](WriterFaultTest& t) { return store::IsHashedPassword(t.Setting("UserPassword")); }},
      {"PromptPicture", [](WriterFaultTest&) {},
       [](WriterFaultTest& t, sim::SimWindow& setup) {
         setup.ChooseMenu(cfg::kpassboxpic);
         sim::SimWindow* chooser = t.DialogWindow(t.Chooser());
         ASSERT_NE(chooser, nullptr);
         chooser->ClickListEntry("File1", 0);
         chooser->Click("cmdOK");
       },
       [](WriterFaultTest& t) {
         return t.Setting("PasswordPicture") == t.Folder() + "\\new.bmp" ||
                t.Setting("PasswordPicture") == t.Folder() + "/new.bmp";
       }},
      {"Import",
       [](WriterFaultTest& t) {
         sim::SimRegistry source;
         StoreText(source, store::kSettingsKey, "UserPassword", "imported");
         StoreText(source, store::kSettingsKey, "LockZip", "1");
         StoreText(source, store::kItemListKey, "Window0", "Paint,1");
         StoreText(source, store::kIgnoreListKey, "Window0", "Notes");
         ASSERT_EQ(store::ExportSettingsFile(source, t.Folder(), kTestHashIterations).kind,
                   store::TransferOutcome::Kind::Done);
       },
       [](WriterFaultTest&, sim::SimWindow& setup) { setup.ChooseMenu(cfg::kmnuimport); },
       [](WriterFaultTest& t) {
         return store::PasswordMatches("imported", t.Setting("UserPassword"));
       }},
  };
}

TEST_P(WriterFaultTest, AFailedWriteIsReportedAndWhatWasStoredStays) {
  const auto& [writer, n] = GetParam();
  // The system keys every Windows PC has.
  store::RegistryModule::EnsureKey(registry_, store::kRootKey, store::kRunOnceKey);
  StoreText(registry_, store::kWinlogonKey, "Shell", "explorer.exe");
  StorePasswords();
  LockItems({{"Notepad", true}, {"Paint", false}}, {"Exit"});
  Store("BlankScreen", "1");
  Store("TimeDelay", "30");
  writer.arrange(*this);
  sim::SimWindow& setup = OpenSetup("secret");
  world_.shownMessages.clear();
  const std::string before = Snapshot();

  const std::uint32_t start = registry_.WriteCount();
  registry_.FailNthWrite(n);
  writer.act(*this, setup);
  world_.RunPending();
  const bool faultHit = registry_.WriteCount() > start + n;

  if (faultHit) {
    EXPECT_EQ(world_.shownMessages.size(), 1u) << "the owner is told";
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(writer.stored(*this));
    EXPECT_LT(n + 1, kMaxWrites) << "raise kMaxWrites: the table must reach a run without fault";
  } else {
    EXPECT_TRUE(world_.shownMessages.empty() ||
                world_.shownMessages[0].text.rfind("Operation Complete", 0) == 0)
        << world_.shownMessages[0].text;
    EXPECT_TRUE(writer.stored(*this));
  }
}

INSTANTIATE_TEST_SUITE_P(EveryWriteOfEveryWriter, WriterFaultTest,
                         ::testing::Combine(::testing::ValuesIn(Writers()),
                                            ::testing::Range(std::uint32_t{0}, kMaxWrites)),
                         [](const auto& info) {
                           return std::get<0>(info.param).name + "_write" +
                                  std::to_string(std::get<1>(info.param) + 1);
                         });

}  // namespace
}  // namespace pm::tests
