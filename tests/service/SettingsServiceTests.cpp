// The service on its own: every request is read strictly, its password
// checked with a wait after wrong ones, its change applied whole or not at
// all (also when the process dies half-way), and nothing but the settings
// and the start-up lock's values is ever written.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/sim/SimCrypto.h"
#include "service/RestartPolicy.h"
#include "service/ServiceTestSupport.h"
#include "store/ChangeRecorder.h"
#include "store/ItemLists.h"
#include "store/PasswordCheck.h"
#include "store/PasswordQuestion.h"
#include "store/RegFileTestSupport.h"
#include "store/ServiceProtocol.h"
#include "store/SettingsCatalogue.h"
#include "store/StoreTestSupport.h"
#include "store/modRegistry.h"

namespace pm::tests {
namespace {

namespace fs = std::filesystem;
using store::ReplyKind;
using namespace std::chrono_literals;

constexpr std::string_view kFolder = "C:\\Program Files\\Pelmora Pro";
constexpr std::uint32_t kFewRounds = 1000;

void WriteItems(platform::Registry& registry, const std::vector<store::ListItem>& items) {
  EXPECT_TRUE(store::WriteLists(registry, items, std::vector<std::string>{}));
}

class ServiceTest : public ::testing::Test {
 protected:
  ServiceTest() {
    EXPECT_TRUE(store::WriteSetting(registry_, store::setting::kUserPassword,
                                    store::HashPassword("secret", kFewRounds)));
    StoreItems({{"Registry Editor", true}});
  }

  void StoreItems(const std::vector<store::ListItem>& items) { WriteItems(registry_, items); }
  service::SettingsService& Service(platform::Registry& registry) {
    service_.emplace(registry, journal_, std::string(kFolder), [this] { return now_; });
    return *service_;
  }
  store::ServiceReply Send(const store::ByteArray& bytes) {
    if (!service_) Service(registry_);
    const std::optional<store::ServiceReply> reply = store::DecodeReply(service_->Serve(bytes));
    EXPECT_TRUE(reply.has_value()) << "the service's reply cannot be read";
    return reply.value_or(store::ServiceReply{});
  }
  // A change as the configuration tool records it, with `password`.
  store::ServiceReply Change(std::string_view password,
                             const std::function<void(platform::Registry&)>& writes) {
    store::ChangeRecorder recorder(registry_);
    writes(recorder);
    return Send(store::EncodeRequest(
        {store::RequestKind::Change, std::string(password), recorder.TakeChange()}));
  }
  store::ServiceReply SetTimeDelay(std::string_view password, std::string_view seconds) {
    return Change(password, [&](platform::Registry& r) {
      EXPECT_TRUE(store::WriteSetting(r, store::setting::kTimeDelay, seconds));
    });
  }
  std::string Everything() {
    return Describe(store::CaptureKey(registry_, store::kRootKey, "SOFTWARE"));
  }
  std::string Setting(std::string_view name) { return store::ReadSetting(registry_, name); }

  sim::SimRegistry registry_;
  MemoryJournal journal_;
  std::chrono::steady_clock::time_point now_{};
  std::optional<service::SettingsService> service_;
};

TEST_F(ServiceTest, TheRightPasswordSavesAndTheKeysCarryWindowsRules) {
  const store::ServiceReply reply = SetTimeDelay("SECRET", "30");
  EXPECT_EQ(reply.kind, ReplyKind::Done);
  EXPECT_FALSE(reply.unprotected);
  EXPECT_EQ(Setting(store::setting::kTimeDelay), "30");
  for (std::string_view key : {store::kProductKey, store::kSettingsKey, store::kItemListKey}) {
    EXPECT_TRUE(registry_.IsProtected(store::kRootKey, key)) << key;
  }
  EXPECT_FALSE(journal_.holdsChange());
}

TEST_F(ServiceTest, WrongPasswordsChangeNothingAndTheFifthInARowStartsAWait) {
  const std::string before = Everything();
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(SetTimeDelay("guess" + std::to_string(i), "30").kind, ReplyKind::WrongPassword);
  }
  const store::ServiceReply waiting = SetTimeDelay("secret", "30");
  EXPECT_EQ(waiting.kind, ReplyKind::Waiting) << "even the right password waits";
  EXPECT_EQ(waiting.waitSeconds, 5u);
  EXPECT_EQ(Everything(), before);
  now_ += 5s;
  EXPECT_EQ(SetTimeDelay("guess6", "30").kind, ReplyKind::WrongPassword);
  now_ += 9s;
  EXPECT_EQ(SetTimeDelay("secret", "30").kind, ReplyKind::Waiting) << "the sixth costs 10 s";
  now_ += 1s;
  EXPECT_EQ(SetTimeDelay("secret", "30").kind, ReplyKind::Done);
  now_ += 1s;
  EXPECT_EQ(SetTimeDelay("guess7", "31").kind, ReplyKind::WrongPassword)
      << "the right password ended the run of wrong ones";
}

// The prompt asks through the pipe while the system cannot hash: each
// answer says so, none counts as a wrong try (the sixth wrong one in a row
// would have to wait), and the right password opens once hashing works.
TEST_F(ServiceTest, APasswordTheSystemCannotHashIsNoTry) {
  InProcessService pipe(registry_, Service(registry_));
  const store::PasswordQuestion question{store::PasswordFor::Window, "secret", "Registry Editor"};
  {
    const sim::CryptoOutage outage;
    for (int attempt = 0; attempt < 6; ++attempt) {
      const store::PasswordAnswer answer = store::AskPassword(&pipe, question, {});
      EXPECT_EQ(answer.kind, store::PasswordAnswer::Kind::NotChecked);
      EXPECT_EQ(answer.reason, store::kPasswordNotChecked);
    }
  }
  EXPECT_EQ(store::AskPassword(&pipe, question, {}).kind, store::PasswordAnswer::Kind::Match);
}

TEST_F(ServiceTest, APasswordIsCheckedAgainstTheOneStoredNowEveryTime) {
  ASSERT_EQ(SetTimeDelay("secret", "30").kind, ReplyKind::Done);
  EXPECT_TRUE(store::WriteSetting(registry_, store::setting::kUserPassword,
                                  store::HashPassword("other", kFewRounds)));
  EXPECT_EQ(SetTimeDelay("secret", "31").kind, ReplyKind::WrongPassword);
  EXPECT_EQ(SetTimeDelay("other", "31").kind, ReplyKind::Done);
  now_ += 11min;
  EXPECT_EQ(SetTimeDelay("other", "32").kind, ReplyKind::Done) << "checked again in full";
}

TEST_F(ServiceTest, WithoutAStoredPasswordAnyoneSavesAndIsToldSo) {
  EXPECT_TRUE(store::modRegistry::DeleteValue(registry_, store::kRootKey, store::kSettingsKey,
                                              store::setting::kUserPassword));
  const store::ServiceReply reply = SetTimeDelay("", "30");
  EXPECT_EQ(reply.kind, ReplyKind::Done);
  EXPECT_TRUE(reply.unprotected);
}

struct BadRequest {
  std::string name;
  std::function<store::ByteArray(store::ByteArray)> spoil;
};

class MalformedRequestTest : public ServiceTest,
                             public ::testing::WithParamInterface<BadRequest> {};

TEST_P(MalformedRequestTest, IsRefusedAndChangesNothing) {
  store::ChangeRecorder recorder(registry_);
  EXPECT_TRUE(store::WriteSetting(recorder, store::setting::kTimeDelay, "30"));
  const store::ByteArray good =
      store::EncodeRequest({store::RequestKind::Change, "secret", recorder.TakeChange()});
  const std::string before = Everything();
  const std::uint32_t writes = registry_.WriteCount();
  EXPECT_EQ(Send(GetParam().spoil(good)).kind, ReplyKind::Refused);
  EXPECT_EQ(Everything(), before);
  EXPECT_EQ(registry_.WriteCount(), writes);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, MalformedRequestTest,
    ::testing::Values(BadRequest{"Empty", [](store::ByteArray) { return store::ByteArray{}; }},
                      BadRequest{"CutShort",
                                 [](store::ByteArray b) {
                                   b.pop_back();
                                   return b;
                                 }},
                      BadRequest{"TrailingByte",
                                 [](store::ByteArray b) {
                                   b.push_back(0);
                                   return b;
                                 }},
                      BadRequest{"OtherMagic",
                                 [](store::ByteArray b) {
                                   b[0] ^= 0xFF;
                                   return b;
                                 }},
                      BadRequest{"UnknownKind",
                                 [](store::ByteArray b) {
                                   b[8] = 9;
                                   return b;
                                 }},
                      BadRequest{"PasswordLongerThanTheMessage",
                                 [](store::ByteArray b) {
                                   b[12] = 0xFF;
                                   return b;
                                 }},
                      BadRequest{"OversizedMessage",
                                 [](store::ByteArray b) {
                                   b.resize(platform::service::kMaxRequestBytes + 1);
                                   return b;
                                 }}),
    [](const auto& info) { return info.param.name; });

struct ForeignWrite {
  std::string name;
  store::ChangeOp op;
  bool allowed;
};

class ForeignWriteTest : public ServiceTest, public ::testing::WithParamInterface<ForeignWrite> {};

TEST_P(ForeignWriteTest, OnlyTheSettingsAndTheStartupLockMayBeWritten) {
  const std::string before = Everything();
  store::ServiceRequest request{store::RequestKind::Change, "secret", {{GetParam().op}}};
  const store::ServiceReply reply = Send(store::EncodeRequest(request));
  EXPECT_EQ(reply.kind, GetParam().allowed ? ReplyKind::Done : ReplyKind::Refused) << reply.detail;
  if (!GetParam().allowed) {
    EXPECT_EQ(Everything(), before);
  }
}

store::ChangeOp Set(std::string path, std::string name, std::uint32_t type, store::ByteArray data) {
  return {store::ChangeOp::Kind::SetValue, std::move(path), std::move(name), type, std::move(data)};
}

INSTANTIATE_TEST_SUITE_P(
    Writes, ForeignWriteTest,
    ::testing::Values(
        ForeignWrite{"OurSettings", Set("SOFTWARE\\PELMORA PRO\\Settings", "X", 1, StringData("1")),
                     true},
        ForeignWrite{"AProgramItem",
                     Set("SOFTWARE\\Pelmora Pro\\Programs", "Program0", 1,
                         StringData("C:\\Windows\\regedit.exe,1")),
                     true},
        ForeignWrite{"EvenTheStartupLockerInRunOnce",
                     Set(std::string(store::kRunOnceKey), "pmpro lock startup", 1,
                         StringData(std::string(kFolder) + "\\PMPSTART.exe")),
                     false},
        ForeignWrite{"TheRunOnceEntryOfOlderVersionsGoes",
                     {store::ChangeOp::Kind::DeleteValue,
                      std::string(store::kRunOnceKey),
                      "pmpro lock startup",
                      0,
                      {}},
                     true},
        ForeignWrite{"LogonTypeZero",
                     Set(std::string(store::kWinlogonKey), "LogonType", 4, DwordData(0)), true},
        ForeignWrite{"AnotherRunOnceCommand",
                     Set(std::string(store::kRunOnceKey), "pmpro lock startup", 1,
                         StringData("C:\\Users\\Public\\evil.exe")),
                     false},
        ForeignWrite{"AnotherRunOnceValue",
                     Set(std::string(store::kRunOnceKey), "other", 1,
                         StringData(std::string(kFolder) + "\\pmpstart.exe")),
                     false},
        ForeignWrite{"LogonTypeOne",
                     Set(std::string(store::kWinlogonKey), "LogonType", 4, DwordData(1)), false},
        ForeignWrite{"WinlogonShell",
                     Set(std::string(store::kWinlogonKey), "Shell", 1, StringData("evil.exe")),
                     false},
        ForeignWrite{"ANameThatOnlyBeginsLikeOurs",
                     Set("SOFTWARE\\Pelmora Professional", "X", 1, StringData("1")), false},
        ForeignWrite{"TheRunKey",
                     Set("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "X", 1,
                         StringData("evil.exe")),
                     false},
        // Only Group Policy writes the administrator's settings.
        ForeignWrite{
            "TheAdministratorsSwitch",
            Set("SOFTWARE\\Policies\\Pelmora Pro\\Settings", "BlankScreen", 1, StringData("0")),
            false},
        ForeignWrite{
            "TheAdministratorsItemsGone",
            {store::ChangeOp::Kind::DeleteTree, "SOFTWARE\\Policies\\Pelmora Pro", "", 0, {}},
            false}),
    [](const auto& info) { return info.param.name; });

TEST_F(ServiceTest, AWriteThatFailsIsNamedAndEverythingIsPutBack) {
  const std::string before = Everything();
  registry_.FailValueWrite("Window1", platform::reg_error::kAccessDenied);
  const store::ServiceReply reply = Change("secret", [](platform::Registry& r) {
    EXPECT_TRUE(store::WriteSetting(r, store::setting::kTimeDelay, "30"));
    WriteItems(r, {{"A", true}, {"B", false}});
  });
  EXPECT_EQ(reply.kind, ReplyKind::Failed);
  EXPECT_EQ(reply.status, platform::reg_error::kAccessDenied);
  EXPECT_NE(reply.detail.find("\"Window1\""), std::string::npos) << reply.detail;
  EXPECT_EQ(Everything(), before);
  EXPECT_FALSE(journal_.holdsChange());
}

TEST_F(ServiceTest, AChangeThatCannotBeCopiedWholeFirstIsNotStarted) {
  DyingRegistry registry(registry_);
  registry.failEnumeration = true;
  Service(registry);
  const std::uint32_t writes = registry_.WriteCount();
  EXPECT_EQ(SetTimeDelay("secret", "30").kind, ReplyKind::Failed);
  EXPECT_EQ(registry_.WriteCount(), writes);
}

TEST_F(ServiceTest, AJournalThatCannotBeWrittenStopsTheChangeBeforeAnyWrite) {
  journal_.refuseWrites = true;
  const std::uint32_t writes = registry_.WriteCount();
  EXPECT_EQ(SetTimeDelay("secret", "30").kind, ReplyKind::Failed);
  EXPECT_EQ(registry_.WriteCount(), writes);
}

// Left behind, the journal would undo the change at the next start: the
// change is undone at once instead, and said to have failed.
TEST_F(ServiceTest, AChangeWhoseJournalCannotBeClearedIsUndoneAndReported) {
  EXPECT_TRUE(
      store::WriteSetting(registry_, store::Info(store::Switch::LockStartup).valueName, "0"));
  ASSERT_TRUE(Service(registry_).Start());
  const std::string before = Everything();
  journal_.refuseClearing = true;
  const store::ServiceReply reply = SetTimeDelay("secret", "30");
  EXPECT_EQ(reply.kind, ReplyKind::Failed);
  EXPECT_EQ(reply.status, platform::reg_error::kAccessDenied);
  EXPECT_EQ(Everything(), before);
  journal_.refuseClearing = false;
  EXPECT_TRUE(Service(registry_).Start());
  EXPECT_EQ(Everything(), before);
  EXPECT_FALSE(journal_.holdsChange());
}

// Killed after each number of writes in turn: the next start of the service
// finds the old settings whole.
class KilledChangeTest : public ServiceTest, public ::testing::WithParamInterface<int> {};

TEST_P(KilledChangeTest, IsUndoneAtTheNextStart) {
  EXPECT_TRUE(
      store::WriteSetting(registry_, store::Info(store::Switch::LockStartup).valueName, "0"));
  // The passwords where any start of the service puts them.
  ASSERT_TRUE(Service(registry_).Start());
  const std::string before = Everything();
  DyingRegistry dying(registry_);
  dying.writesLeft = GetParam();
  Service(dying);
  EXPECT_THROW(Change("secret",
                      [](platform::Registry& r) {
                        WriteItems(r, {{"A", true}, {"B", true}, {"C", false}});
                        EXPECT_TRUE(store::WriteSetting(r, store::setting::kTimeDelay, "30"));
                      }),
               ProcessKilled);
  EXPECT_TRUE(journal_.holdsChange());
  EXPECT_NE(Everything(), before) << "the change was cut short, not yet begun";

  EXPECT_TRUE(Service(registry_).Start());
  EXPECT_FALSE(journal_.holdsChange());
  EXPECT_EQ(Everything(), before);
}

INSTANTIATE_TEST_SUITE_P(AfterWrites, KilledChangeTest, ::testing::Values(1, 3, 6));

TEST_F(ServiceTest, EachStartArmsTheStartupLockAndProtectsKeysMadeBySomeoneElse) {
  EXPECT_TRUE(
      store::WriteSetting(registry_, store::Info(store::Switch::LockStartup).valueName, "1"));
  StoreText(registry_, store::kRunOnceKey, store::kRunOnceValue, "C:\\Old\\pmpstart.exe");
  ASSERT_TRUE(Service(registry_).Start());
  EXPECT_FALSE(ValueExists(registry_, store::kRunOnceKey, store::kRunOnceValue))
      << "the service starts the start-up locker; RunOnce would start a second";
  EXPECT_EQ(store::RegistryModule::ReadValue(registry_, store::kRootKey, store::kWinlogonKey,
                                             "LogonType"),
            store::RegValue(std::int32_t{0}));
  EXPECT_TRUE(registry_.IsProtected(store::kRootKey, store::kItemListKey));
}

// Export and import run in the service, which may write the program folder.
class ServiceTransferTest : public ServiceTest {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("pm-service-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
    service_.emplace(registry_, journal_, Utf8(folder_), [this] { return now_; });
    // The passwords in their place, as after any start of the service.
    ASSERT_TRUE(service_->Start());
  }
  void TearDown() override { fs::remove_all(folder_); }
  store::ServiceReply Ask(store::RequestKind kind) {
    return Send(store::EncodeRequest({kind, "secret", {}}));
  }
  fs::path ExportFile() const { return folder_ / "PMExport.txt"; }
  static std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
  }
  fs::path folder_;
};

TEST_F(ServiceTransferTest, ExportThenImportPutsTheSettingsBack) {
  ASSERT_EQ(Ask(store::RequestKind::Export).kind, ReplyKind::Done);
  const std::string exported = Everything();
  StoreItems({{"Notepad", false}});
  EXPECT_EQ(Ask(store::RequestKind::Import).kind, ReplyKind::Done);
  EXPECT_EQ(Everything(), exported);
}

TEST_F(ServiceTransferTest, AFileCutShortAtALineEndIsRefused) {
  ASSERT_EQ(Ask(store::RequestKind::Export).kind, ReplyKind::Done);
  std::string bytes;
  {
    std::ifstream in(ExportFile(), std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Cut after the line that holds the item: everything after it is lost.
  const std::string lineEnd("\r\0\n\0", 4);
  const std::size_t item =
      bytes.find(std::string("W\0i\0n\0d\0o\0w\0"
                             "0\0",
                             14));
  ASSERT_NE(item, std::string::npos);
  std::ofstream(ExportFile(), std::ios::binary | std::ios::trunc)
      << bytes.substr(0, bytes.find(lineEnd, item) + lineEnd.size());
  const std::string before = Everything();
  const store::ServiceReply reply = Ask(store::RequestKind::Import);
  EXPECT_EQ(reply.kind, ReplyKind::NotAnExport);
  EXPECT_NE(reply.detail.find("cut short"), std::string::npos) << reply.detail;
  EXPECT_EQ(Everything(), before);
}

}  // namespace
}  // namespace pm::tests

namespace pm::tests {
namespace {

service::Caller InSession(std::uint32_t session) {
  service::Caller caller;
  caller.session = session;
  return caller;
}

TEST_F(ServiceTest, EndPelmoraProLeavesTheCallersSessionOnlyWithThePassword) {
  std::vector<std::uint32_t> leftAlone;
  Service(registry_).OnLeaveSession([&](std::uint32_t session) { leftAlone.push_back(session); });
  const auto leave = [&](std::string_view password) {
    return store::DecodeReply(service_->Serve(
        store::EncodeRequest({store::RequestKind::LeaveSession, std::string(password), {}}),
        InSession(3)));
  };
  EXPECT_EQ(leave("guess")->kind, ReplyKind::WrongPassword);
  EXPECT_TRUE(leftAlone.empty());
  EXPECT_EQ(leave("secret")->kind, ReplyKind::Done);
  EXPECT_EQ(leftAlone, std::vector<std::uint32_t>{3});
}

// Ends at these milliseconds; the delay before the start after the last.
struct Ends {
  std::string name;
  std::vector<int> milliseconds;
  int waitMilliseconds;
};

class RestartPolicyTest : public ::testing::TestWithParam<Ends> {};

TEST_P(RestartPolicyTest, StartsAtOnceButAtMostOnceASecond) {
  service::RestartPolicy policy;
  service::RestartPolicy::Clock::duration delay{};
  for (int ms : GetParam().milliseconds) {
    delay = policy.DelayAfterEnd(service::RestartPolicy::Clock::time_point{} +
                                 std::chrono::milliseconds(ms));
  }
  EXPECT_EQ(delay, std::chrono::milliseconds(GetParam().waitMilliseconds));
}

INSTANTIATE_TEST_SUITE_P(
    Ends, RestartPolicyTest,
    ::testing::Values(Ends{"One", {10000}, 0}, Ends{"SecondsApart", {0, 1000, 2500, 60000}, 0},
                      Ends{"EndsRightAfterItsRestart", {0, 300}, 700},
                      Ends{"NeverStaysUp", {0, 0, 1000, 2000}, 1000},
                      Ends{"ManyInAMinuteStillAtOnce", {0, 5000, 10000, 15000, 20000, 25000}, 0}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace pm::tests
