// The passwords stay with the service: it moves them, hashed, out of the
// key every user reads into one only it reads; the configuration tool gets
// a ticket for the right password, not to keep the password, and the ticket
// is good for the one process, for half an hour at the most, and until the
// tool closes, everything is locked again, a new password is stored or the
// service starts again.
#include <gtest/gtest.h>

#include "service/ServiceTestSupport.h"
#include "store/ChangeRecorder.h"
#include "store/PasswordCheck.h"
#include "store/PasswordPlace.h"
#include "store/ServiceProtocol.h"
#include "store/SettingsCatalogue.h"
#include "store/StoreTestSupport.h"

namespace pm::tests {
namespace {

using namespace std::chrono_literals;
using store::ReplyKind;

constexpr std::uint32_t kFewRounds = 1000;

service::Caller Process(std::uint32_t processId, std::uint32_t session = 1) {
  service::Caller caller;
  caller.processId = processId;
  caller.session = session;
  caller.user = "S-1-5-21-1-1001";
  return caller;
}

class PasswordsStayWithTheServiceTest : public ::testing::Test {
 protected:
  PasswordsStayWithTheServiceTest() { Restart(); }

  // A new run of the service, as after its restart.
  void Restart() {
    service_.emplace(registry_, journal_, "C:\\Program Files\\Pelmora Pro",
                     [this] { return now_; });
    service_->SetHashIterations(kFewRounds);
  }
  store::ServiceReply Send(const store::ServiceRequest& request, const service::Caller& caller) {
    return store::DecodeReply(service_->Serve(store::EncodeRequest(request), caller))
        .value_or(store::ServiceReply{});
  }
  // The prompt in front of the tool: the right password's ticket.
  std::string OpenTool(const service::Caller& caller) {
    store::ServiceRequest check(store::RequestKind::CheckPassword, "secret");
    check.purpose = store::PasswordFor::Tool;
    const store::ServiceReply reply = Send(check, caller);
    EXPECT_EQ(reply.kind, ReplyKind::Match);
    return reply.ticket;
  }
  // A save of one switch with `ticket`.
  store::ServiceReply Save(const std::string& ticket, const service::Caller& caller,
                           std::string_view value = "1") {
    store::ChangeRecorder recorder(registry_);
    EXPECT_TRUE(
        store::WriteSetting(recorder, store::Info(store::Switch::LockZip).valueName, value));
    store::ServiceRequest save(store::RequestKind::Change, {}, recorder.TakeChange());
    save.ticket = ticket;
    return Send(save, caller);
  }
  std::string LockZip() {
    return store::ReadSetting(registry_, store::Info(store::Switch::LockZip).valueName);
  }

  std::chrono::steady_clock::time_point now_{};
  sim::SimRegistry registry_;
  MemoryJournal journal_;
  std::optional<service::SettingsService> service_;
};

TEST_F(PasswordsStayWithTheServiceTest, AnOlderVersionsPlainPasswordsMoveWhereOnlyTheServiceReads) {
  EXPECT_TRUE(store::WriteSetting(registry_, store::setting::kUserPassword, "secret"));
  EXPECT_TRUE(store::WriteSetting(registry_, store::setting::kUserPassword2, "second"));
  ASSERT_TRUE(service_->Start());

  EXPECT_EQ(store::ReadSetting(registry_, store::setting::kUserPassword), "");
  EXPECT_EQ(store::ReadSetting(registry_, store::setting::kUserPassword2), "");
  EXPECT_TRUE(
      store::IsHashedPassword(store::ReadPassword(registry_, store::setting::kUserPassword)))
      << "kept hashed in the passwords' key";
  registry_.ActAsStandardUser(true);
  EXPECT_EQ(store::ReadPassword(registry_, store::setting::kUserPassword), "")
      << "a standard user reads neither the password nor its hash";
  registry_.ActAsStandardUser(false);

  EXPECT_FALSE(OpenTool(Process(7)).empty()) << "the old password still opens everything";
  const store::ServiceReply status = Send({store::RequestKind::Status, {}}, Process(7));
  EXPECT_TRUE(status.firstPasswordSet && status.secondPasswordSet)
      << "the programs learn from the service that both are stored";
}

TEST_F(PasswordsStayWithTheServiceTest, AChangeOrImportStoresAPasswordOnlyInItsOwnKey) {
  store::ChangeRecorder recorder(registry_);
  EXPECT_TRUE(
      store::WriteSetting(recorder, store::setting::kUserPassword, store::HashPassword("new", 10)));
  store::ChangeSet change = recorder.TakeChange();
  store::KeepPasswordsProtected(change);
  ASSERT_TRUE(store::ApplyChange(registry_, change));
  EXPECT_EQ(store::ReadSetting(registry_, store::setting::kUserPassword), "");
  EXPECT_TRUE(
      store::PasswordMatches("new", store::ReadPassword(registry_, store::setting::kUserPassword)));
  EXPECT_EQ(store::RulesOfKey(store::kPasswordsKey), platform::KeyRules::AdministratorsOnly);
  EXPECT_EQ(store::RulesOfKey(store::kSettingsKey), platform::KeyRules::UsersRead);
}

TEST_F(PasswordsStayWithTheServiceTest, ATicketIsGoodForItsProcessUntilItsEnd) {
  EXPECT_TRUE(store::WriteSetting(registry_, store::setting::kUserPassword,
                                  store::HashPassword("secret", kFewRounds)));
  ASSERT_TRUE(service_->Start());
  const service::Caller tool = Process(7);

  // Made up, or another process's: refused, nothing stored.
  EXPECT_EQ(Save("0123456789abcdef", tool).kind, ReplyKind::Refused);
  const std::string ticket = OpenTool(tool);
  ASSERT_FALSE(ticket.empty());
  EXPECT_EQ(Save(ticket, Process(8)).kind, ReplyKind::Refused) << "another process's";
  EXPECT_EQ(Save(ticket, Process(7, 2)).kind, ReplyKind::Refused) << "another session's";
  EXPECT_EQ(LockZip(), "");
  EXPECT_EQ(Save(ticket, tool).kind, ReplyKind::Done);
  EXPECT_EQ(LockZip(), "1");

  // Half an hour at the most.
  now_ += service::Tickets::kLongest - 1s;
  EXPECT_EQ(Save(ticket, tool, "0").kind, ReplyKind::Done);
  now_ += 2s;
  EXPECT_EQ(Save(ticket, tool, "1").kind, ReplyKind::Refused) << "expired";
  EXPECT_EQ(LockZip(), "0");

  // The tool closes, or everything is locked again.
  const std::string second = OpenTool(tool);
  store::ServiceRequest end(store::RequestKind::EndTicket, {});
  end.ticket = second;
  EXPECT_EQ(Send(end, Process(8)).kind, ReplyKind::Done);
  EXPECT_EQ(Save(second, tool).kind, ReplyKind::Done) << "another process cannot end it";
  EXPECT_EQ(Send(end, tool).kind, ReplyKind::Done);
  EXPECT_EQ(Save(second, tool).kind, ReplyKind::Refused) << "ended by its tool";

  // A new password ends every ticket; the one that stored it gets a new one.
  const std::string third = OpenTool(tool);
  const std::string other = OpenTool(Process(9));
  store::ChangeRecorder recorder(registry_);
  EXPECT_TRUE(store::WriteSetting(recorder, store::setting::kUserPassword,
                                  store::HashPassword("changed", kFewRounds)));
  store::ServiceRequest pair(store::RequestKind::Change, {}, recorder.TakeChange());
  pair.ticket = third;
  const store::ServiceReply stored = Send(pair, tool);
  ASSERT_EQ(stored.kind, ReplyKind::Done);
  EXPECT_EQ(Save(third, tool).kind, ReplyKind::Refused);
  EXPECT_EQ(Save(other, Process(9)).kind, ReplyKind::Refused);
  ASSERT_FALSE(stored.ticket.empty());
  EXPECT_EQ(Save(stored.ticket, tool, "0").kind, ReplyKind::Done);

  // The service's restart forgets them all.
  Restart();
  EXPECT_EQ(Save(stored.ticket, tool, "1").kind, ReplyKind::Refused);
  EXPECT_EQ(LockZip(), "0");
}

}  // namespace
}  // namespace pm::tests
