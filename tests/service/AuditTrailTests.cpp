// The audit trail of one PC: what the owner, a guesser and the engine do is
// written by the service alone, each event with its id, the session and
// what it concerns, never a password or a hash.
#include <unistd.h>

#include <filesystem>

#include "config/SetupDialogFixture.h"
#include "platform/Text.h"
#include "service/RecordingEventSink.h"
#include "service/ServiceTestSupport.h"
#include "service/SettingsAudit.h"
#include "store/PasswordCheck.h"
#include "store/PolicySettings.h"
#include "store/RegFileTestSupport.h"
#include "store/SettingsFile.h"

namespace pm::tests {
namespace {

using service::AuditEvent;
using service::EventId;

constexpr std::uint32_t kSession = 3;

class AuditTrailTest : public SetupDialogTest {
 protected:
  void SetUp() override {
    EXPECT_TRUE(store::WriteSetting(registry_, store::setting::kUserPassword,
                                    store::HashPassword("secret", kTestHashIterations)));
    LockItems({{"Registry Editor", true}});
    service_.ReportEventsTo(events_);
    StartEngine();
    SetupForm().frmChangePassword.SetHashIterations(kTestHashIterations);
    State().SettingsService = &pipe_;
    pipe_.Open();
  }
  store::ServiceReply Send(const store::ServiceRequest& request) {
    std::vector<std::uint8_t> reply;
    pipe_.Transact(store::EncodeRequest(request), reply);
    return store::DecodeReply(reply).value_or(store::ServiceReply{});
  }
  // Nothing of a password or its stored form in any event.
  void ExpectNoSecrets(std::initializer_list<std::string_view> passwords) {
    for (const AuditEvent& event : events_.events) {
      for (const std::string& insert : event.inserts) {
        EXPECT_EQ(insert.find("pbkdf2"), std::string::npos) << insert;
        for (std::string_view password : passwords) {
          EXPECT_EQ(platform::LowerCase(insert).find(password), std::string::npos) << insert;
        }
      }
    }
  }

  void TearDown() override { std::filesystem::remove_all(folder_); }
  // The service's folder, where the export file goes.
  static std::string TemporaryFolder() {
    const auto folder =
        std::filesystem::temp_directory_path() / ("pm-audit-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder.string();
  }

  RecordingEventSink events_;
  MemoryJournal journal_;
  std::string folder_ = TemporaryFolder();
  service::SettingsService service_{registry_, journal_, folder_,
                                    [] { return std::chrono::steady_clock::now(); }};
  InProcessService pipe_{registry_, service_, kSession};
};

TEST_F(AuditTrailTest, TheOwnersDayIsWrittenAsEventsOfTheService) {
  // A guess at the tool's password, then the owner's save.
  store::ServiceRequest guess{store::RequestKind::Change, "guess", {}};
  Send(guess);
  Send(guess);
  sim::SimWindow& setup = OpenSetup("secret");
  setup.ChooseMenu(config::kmnublockinstall);
  setup.Click("cmdApply");
  world_.RunPending();

  const auto wrong = events_.Of(EventId::WrongPassword);
  ASSERT_GE(wrong.size(), 2u);
  EXPECT_EQ(wrong[1],
            (AuditEvent{EventId::WrongPassword, kSession, {"2", "with a change of the settings"}}));
  const auto saved = events_.Of(EventId::SettingsSaved);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].session, kSession);
  ASSERT_EQ(saved[0].inserts.size(), 2u);
  EXPECT_NE(saved[0].inserts[1].find("Settings\\BlockInstall"), std::string::npos)
      << saved[0].inserts[1];
  EXPECT_EQ(saved[0].inserts[1].find("Windows\\Window0"), std::string::npos)
      << "an item written again as it was is no change";

  // A write outside our keys, and a request that is no request.
  store::ServiceRequest outside{store::RequestKind::Change, "secret", {}};
  outside.change.ops.push_back({store::ChangeOp::Kind::SetValue,
                                "SOFTWARE\\Policies\\Pelmora Pro\\Settings", "BlankScreen",
                                platform::reg_type::kSz, StringData("0")});
  Send(outside);
  std::vector<std::uint8_t> reply;
  pipe_.Transact(std::vector<std::uint8_t>{'P', 'M', 'P'}, reply);
  const auto refused = events_.Of(EventId::RequestRefused);
  ASSERT_EQ(refused.size(), 2u);
  EXPECT_NE(refused[0].inserts[0].find("SOFTWARE\\Policies\\Pelmora Pro\\Settings"),
            std::string::npos);

  // The engine's prompt asks the service: a wrong password and the right
  // one for a locked window. Relock Everything the engine reports.
  OpenWindow("Registry Editor", "RegEdit_RegEdit");
  Pass(500);
  Answer("wrong");
  world_.RunPending();
  const auto again = OpenWindow("Registry Editor", "RegEdit_RegEdit");
  Pass(500);
  Answer("secret");
  world_.RunPending();
  ASSERT_TRUE(Visible(again));
  setup.ChooseMenu(config::kmnurelock);
  const auto atThePrompt = events_.Of(EventId::WrongPassword);
  ASSERT_EQ(atThePrompt.size(), 3u);
  EXPECT_EQ(atThePrompt[2].inserts,
            (std::vector<std::string>{"1", "for the locked window \"Registry Editor\""}));
  const auto given = events_.Of(EventId::WindowPasswordGiven);
  ASSERT_EQ(given.size(), 1u);
  EXPECT_EQ(given[0], (AuditEvent{EventId::WindowPasswordGiven, kSession, {"Registry Editor"}}));
  EXPECT_EQ(events_.Of(EventId::ReportedRelockEverything).size(), 1u);

  ExpectNoSecrets({"secret", "guess"});
}

TEST_F(AuditTrailTest, ExportImportAndEndPelmoraProAreWritten) {
  store::ServiceRequest request{store::RequestKind::Export, "secret", {}};
  EXPECT_EQ(Send(request).kind, store::ReplyKind::Done);
  // Changed since the export, as another PC's settings would differ.
  registry_.AllowWrites();
  StoreText(registry_, store::kItemListKey, "Window0", "Paint,1");
  pipe_.Open();
  request.kind = store::RequestKind::Import;
  EXPECT_EQ(Send(request).kind, store::ReplyKind::Done);
  request.kind = store::RequestKind::LeaveSession;
  Send(request);
  const auto exported = events_.Of(EventId::SettingsExported);
  ASSERT_EQ(exported.size(), 1u);
  EXPECT_NE(exported[0].inserts[0].find(store::kExportFileName), std::string::npos);
  const auto imported = events_.Of(EventId::SettingsImported);
  ASSERT_EQ(imported.size(), 1u);
  // The item put back, by name (an older plain password moves to the
  // passwords' own key with it).
  EXPECT_NE(imported[0].inserts[2].find("Windows\\Window0"), std::string::npos)
      << imported[0].inserts[2];
  EXPECT_EQ(imported[0].inserts[1],
            std::to_string(
                std::count(imported[0].inserts[2].begin(), imported[0].inserts[2].end(), ',') + 1));
  EXPECT_EQ(events_.Of(EventId::EngineEnded).size(), 1u);
}

TEST_F(AuditTrailTest, AReportNeedsNoPasswordAndCountsNoWrongOne) {
  store::ServiceRequest report{store::RequestKind::Report, "", {}};
  report.report.kind = store::EngineReport::Kind::UnlockEverything;
  EXPECT_EQ(Send(report).kind, store::ReplyKind::Done);
  report.report.kind = store::EngineReport::Kind::AutomaticRelock;
  report.report.minutes = 15;
  Send(report);
  EXPECT_TRUE(events_.Of(EventId::WrongPassword).empty());
  EXPECT_EQ(events_.Of(EventId::ReportedUnlockEverything).size(), 1u);
  const auto relocked = events_.Of(EventId::ReportedAutomaticRelock);
  ASSERT_EQ(relocked.size(), 1u);
  EXPECT_EQ(relocked[0].inserts, std::vector<std::string>{"15"});
  // A report cannot write: its change, if any, is not applied.
  report.change.ops.push_back({store::ChangeOp::Kind::SetValue, std::string(store::kSettingsKey),
                               "UserPassword", platform::reg_type::kSz, StringData("")});
  Send(report);
  EXPECT_FALSE(store::ReadSetting(registry_, store::setting::kUserPassword).empty());
}

struct PolicyEventCase {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;  // Settings of the policy
  std::vector<std::string> inserts;
  bool unusablePassword;
};

class PolicyEventTest : public ::testing::TestWithParam<PolicyEventCase> {};

TEST_P(PolicyEventTest, SaysWhatThePolicySets) {
  sim::SimRegistry registry;
  StoreText(registry, "SOFTWARE\\Policies\\Pelmora Pro\\Windows", "Window1", "Calculator,1");
  StoreText(registry, "SOFTWARE\\Policies\\Pelmora Pro\\Windows", "Window2", "Paint,0");
  for (const auto& [name, text] : GetParam().values) {
    StoreText(registry, store::kPolicySettingsKey, name, text);
  }
  const std::vector<AuditEvent> events = service::EventsForPolicy(registry);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events[0],
            (AuditEvent{EventId::PolicyApplied, service::kNoSession, GetParam().inserts}));
  EXPECT_EQ(events.size() == 2 && events[1].id == EventId::PolicyPasswordUnusable,
            GetParam().unusablePassword);
}

INSTANTIATE_TEST_SUITE_P(
    Policies, PolicyEventTest,
    ::testing::Values(PolicyEventCase{"ItemsOnly", {}, {"1", "0", "none", "none"}, false},
                      PolicyEventCase{"SwitchesAndTimes",
                                      {{"BlankScreen", "1"}, {"relock", "5"}},
                                      {"1", "0", "BlankScreen = 1, relock = 5", "none"},
                                      false},
                      PolicyEventCase{"AHashNeverShown",
                                      {{"UserPassword", "pbkdf2-sha256$1000$c2FsdA==$aGFzaA=="}},
                                      {"1", "0", "none", "given as a hash"},
                                      false},
                      PolicyEventCase{"APlainPasswordIsFlaggedNotShown",
                                      {{"UserPassword", "hunter2"}},
                                      {"1", "0", "none", "not a hash"},
                                      true}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace pm::tests
