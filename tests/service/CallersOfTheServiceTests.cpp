// What the service decides for the callers of its pipe, which any program of
// a user's can be: a session's start-up lock ends only with the service's own
// record of its right password, never with the locker's end or its exit
// code; and each caller's wrong passwords are counted on their own, so one
// user's guesses never make another wait.
#include <gtest/gtest.h>

#include "service/ServiceTestSupport.h"
#include "service/SessionPrograms.h"
#include "store/PasswordCheck.h"
#include "store/ServiceProtocol.h"
#include "store/SettingsCatalogue.h"

namespace pm::tests {
namespace {

using namespace std::chrono_literals;
using service::SessionProgram;
using store::ReplyKind;
using Due = service::SessionPrograms::Due;

constexpr std::uint32_t kFewRounds = 1000;

service::Caller CallerOf(std::string user, std::uint32_t session, bool administrator = false) {
  service::Caller caller;
  caller.user = std::move(user);
  caller.session = session;
  caller.administrator = administrator;
  return caller;
}

class CallersTest : public ::testing::Test {
 protected:
  CallersTest() {
    EXPECT_TRUE(store::WriteSetting(registry_, store::setting::kUserPassword,
                                    store::HashPassword("secret", kFewRounds)));
    service_.OnStartupLockPassed(
        [this](std::uint32_t session) { programs_.StartupLockPassed(session); });
  }

  store::ServiceReply Ask(const service::Caller& caller, store::PasswordFor purpose,
                          std::string_view typed) {
    store::ServiceRequest request(store::RequestKind::CheckPassword, std::string(typed));
    request.purpose = purpose;
    const auto reply = store::DecodeReply(service_.Serve(store::EncodeRequest(request), caller));
    EXPECT_TRUE(reply.has_value());
    return reply.value_or(store::ServiceReply{});
  }

  std::chrono::steady_clock::time_point now_{};
  sim::SimRegistry registry_;
  MemoryJournal journal_;
  service::SettingsService service_{registry_, journal_, "C:\\Program Files\\Pelmora Pro",
                                    [this] { return now_; }};
  service::SessionPrograms programs_;
};

TEST_F(CallersTest, AStartupLockEndsOnlyWithTheServicesRecordOfItsPassword) {
  const service::Caller locker = CallerOf("S-1-5-21-1-1001", 2);
  programs_.LoggedOn(2, /*startupLock=*/true, now_);
  EXPECT_EQ(programs_.DueAt(now_), (std::vector<Due>{{2, SessionProgram::StartupLock}}))
      << "at the log-on only the start-up locker starts; the engine waits";
  programs_.Running(2, SessionProgram::StartupLock);

  // However the locker ends (a forged session end, WM_QUIT with 0, a thread
  // ended from outside), it comes back at once and the engine still waits.
  programs_.Ended(2, SessionProgram::StartupLock, now_);
  EXPECT_EQ(programs_.DueAt(now_), (std::vector<Due>{{2, SessionProgram::StartupLock}}));
  programs_.Running(2, SessionProgram::StartupLock);
  programs_.Ended(2, SessionProgram::StartupLock, now_ + 100ms);
  EXPECT_TRUE(programs_.DueAt(now_ + 100ms).empty()) << "not twice within a second";
  EXPECT_EQ(programs_.DueAt(now_ + 1s), (std::vector<Due>{{2, SessionProgram::StartupLock}}))
      << "a second after its last start it starts again";
  programs_.Running(2, SessionProgram::StartupLock);

  // A wrong password, and a right one for a locked window, record nothing.
  EXPECT_EQ(Ask(locker, store::PasswordFor::StartupLock, "guess").kind, ReplyKind::WrongPassword);
  EXPECT_EQ(Ask(locker, store::PasswordFor::Window, "secret").kind, ReplyKind::Match);
  EXPECT_TRUE(programs_.Wanted(2, SessionProgram::StartupLock));
  EXPECT_TRUE(programs_.DueAt(now_ + 2s).empty()) << "the engine still waits";

  EXPECT_EQ(Ask(locker, store::PasswordFor::StartupLock, "SECRET").kind, ReplyKind::Match);
  EXPECT_FALSE(programs_.Wanted(2, SessionProgram::StartupLock))
      << "the right password at the start-up lock is the service's record";
  EXPECT_EQ(programs_.DueAt(now_ + 2s), (std::vector<Due>{{2, SessionProgram::Engine}}))
      << "and the engine starts";
  programs_.Ended(2, SessionProgram::StartupLock, now_ + 2s);
  programs_.Running(2, SessionProgram::Engine);
  EXPECT_TRUE(programs_.DueAt(now_ + 5s).empty()) << "the locker is not started again";

  // The engine, ended, comes back; after "End Pelmora Pro" it does not.
  programs_.Ended(2, SessionProgram::Engine, now_ + 5s);
  EXPECT_EQ(programs_.DueAt(now_ + 5s), (std::vector<Due>{{2, SessionProgram::Engine}}));
  programs_.Running(2, SessionProgram::Engine);
  programs_.LeaveAlone(2);
  programs_.Ended(2, SessionProgram::Engine, now_ + 10s);
  EXPECT_TRUE(programs_.DueAt(now_ + 20s).empty());
}

TEST_F(CallersTest, ARecordEndsTheStartupLockOfTheCallersSessionAlone) {
  programs_.LoggedOn(1, true, now_);
  programs_.LoggedOn(2, true, now_);
  EXPECT_EQ(Ask(CallerOf("S-1-5-21-1-1001", 2), store::PasswordFor::StartupLock, "secret").kind,
            ReplyKind::Match);
  EXPECT_TRUE(programs_.Wanted(1, SessionProgram::StartupLock));
  EXPECT_FALSE(programs_.Wanted(2, SessionProgram::StartupLock));
}

TEST_F(CallersTest, OneCallersWrongPasswordsMakeNoOtherCallerWait) {
  const service::Caller guesser = CallerOf("S-1-5-21-1-1002", 1);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Ask(guesser, store::PasswordFor::Window, "guess").kind, ReplyKind::WrongPassword);
  }
  const store::ServiceReply fifth = Ask(guesser, store::PasswordFor::Window, "guess");
  EXPECT_EQ(fifth.kind, ReplyKind::WrongPassword);
  EXPECT_EQ(fifth.waitSeconds, 5u) << "the fifth wrong one says how long the next try waits";
  EXPECT_EQ(Ask(guesser, store::PasswordFor::Window, "secret").kind, ReplyKind::Waiting)
      << "the guesser waits, even with the right password";
  // A new process of the same user in the same session is the same caller.
  service::Caller again = guesser;
  again.processId = 4242;
  EXPECT_EQ(Ask(again, store::PasswordFor::Window, "secret").kind, ReplyKind::Waiting);

  for (const service::Caller& other :
       {CallerOf("S-1-5-21-1-1001", 1), CallerOf("S-1-5-21-1-1002", 2),
        CallerOf("S-1-5-21-1-1002", 1, /*administrator=*/true)}) {
    EXPECT_EQ(Ask(other, store::PasswordFor::Tool, "secret").kind, ReplyKind::Match)
        << other.user << " in session " << other.session << " is not made to wait";
  }
  now_ += 6s;
  EXPECT_EQ(Ask(guesser, store::PasswordFor::Window, "secret").kind, ReplyKind::Match)
      << "after the wait the guesser's right password counts";
}

}  // namespace
}  // namespace pm::tests
