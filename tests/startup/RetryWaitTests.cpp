// Guessing at machine speed: after five wrong passwords in a row the start-up
// locker's OK waits, twice as long after each further wrong one, at most five
// minutes, and says how long; the right password still ends it after the wait.
#include <climits>

#include "prompt/RetryWait.h"
#include "startup/StartupFixture.h"

namespace pm::tests {
namespace {

using prompt::RetryWaitMessage;
using prompt::RetryWaitSeconds;

class RetryWaitTest : public StartupLockerTest {
 protected:
  bool OkEnabled() { return Prompt()->EnabledOf("cmdOK"); }
  std::string Label() { return Prompt()->TextOf("Label1"); }
  void WrongPasswords(int count) {
    for (int i = 0; i < count; ++i) Answer("wrong");
  }
};

TEST_F(RetryWaitTest, FourWrongPasswordsCostNothingTheFifthMakesOkWaitFiveSeconds) {
  LogOn("secret");
  WrongPasswords(4);
  EXPECT_TRUE(OkEnabled());
  EXPECT_EQ(Label(), "Password");

  Answer("wrong");
  EXPECT_FALSE(OkEnabled());
  EXPECT_EQ(Label(), "Too many wrong passwords. Try again in 5 seconds.");
  EXPECT_EQ(Prompt()->focus(), Prompt()->Index("txtPassword")) << "the keyboard stays usable";
  EXPECT_TRUE(Prompt()->WholeTextSelected("txtPassword")) << "the next try replaces the wrong one";
  for (const char* left : {"4 seconds", "3 seconds", "2 seconds", "1 second"}) {
    world_.Advance(1000);
    EXPECT_EQ(Label(), std::string("Too many wrong passwords. Try again in ") + left + ".");
    EXPECT_FALSE(OkEnabled());
  }
  world_.Advance(1000);
  EXPECT_TRUE(OkEnabled());
  EXPECT_EQ(Label(), "Password") << "the prompt's own text is back";
}

TEST_F(RetryWaitTest, EachFurtherWrongPasswordDoublesTheWaitUpToFiveMinutes) {
  LogOn("secret");
  WrongPasswords(4);
  for (const int expected : {5, 10, 20, 40, 80, 160, 300, 300}) {
    SCOPED_TRACE(expected);
    Answer("wrong");
    ASSERT_FALSE(OkEnabled());
    EXPECT_EQ(form1_.prompt().RetryWaitSecondsLeft(), expected);
    world_.Advance(expected * 1000 - 1);
    EXPECT_FALSE(OkEnabled()) << "not a moment early";
    world_.Advance(1);
    EXPECT_TRUE(OkEnabled());
  }
  EXPECT_FALSE(Ended());
}

TEST_F(RetryWaitTest, NeitherEnterNorAClickGetsPastTheWaitButTheRightPasswordEndsItAfterwards) {
  LogOn("secret");
  WrongPasswords(5);
  Prompt()->Type("txtPassword", "secret");
  Prompt()->PressEnter();
  Prompt()->Click("cmdOK");
  world_.RunPending();
  EXPECT_FALSE(Ended()) << "the right password is refused while OK waits";
  EXPECT_EQ(Prompt()->TextOf("txtPassword"), "secret") << "what was typed stays";

  world_.Advance(5000);
  ASSERT_TRUE(OkEnabled());
  Prompt()->PressEnter();
  world_.RunPending();
  EXPECT_TRUE(Ended()) << "Enter with the right password ends it at once";
  EXPECT_EQ(toolkit_.exitCode(), 0);
}

TEST_F(RetryWaitTest, WithNoPasswordStoredTheHintComesBackAfterTheWait) {
  LogOn();
  WrongPasswords(5);
  EXPECT_FALSE(OkEnabled());
  world_.Advance(5000);
  EXPECT_EQ(Label(), "Password: if none click OK, to set go into Config.");
  Answer("");
  EXPECT_TRUE(Ended());
}

TEST_F(RetryWaitTest, TheTaskManagerIsStillClosedDuringTheWait) {
  LogOn("secret");
  WrongPasswords(5);
  const platform::Hwnd manager = world_.CreateOtherWindow("Task Manager", "TaskManagerWindow");
  world_.Advance(1000);
  EXPECT_EQ(Closes(manager), 1);
}

struct WaitCase {
  int wrongInARow;
  int seconds;
};

class RetryWaitSecondsTest : public ::testing::TestWithParam<WaitCase> {};

TEST_P(RetryWaitSecondsTest, GrowsFromTheFifthAndStopsAtFiveMinutes) {
  EXPECT_EQ(RetryWaitSeconds(GetParam().wrongInARow), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(Counts, RetryWaitSecondsTest,
                         ::testing::Values(WaitCase{0, 0}, WaitCase{4, 0}, WaitCase{5, 5},
                                           WaitCase{6, 10}, WaitCase{10, 160}, WaitCase{11, 300},
                                           WaitCase{40, 300}, WaitCase{INT_MAX, 300}));

struct MessageCase {
  int seconds;
  const char* left;
};

class RetryWaitMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(RetryWaitMessageTest, SaysTheTimeLeftInWholeSecondsAndMinutes) {
  EXPECT_EQ(RetryWaitMessage(GetParam().seconds),
            std::string("Too many wrong passwords. Try again in ") + GetParam().left + ".");
}

INSTANTIATE_TEST_SUITE_P(Times, RetryWaitMessageTest,
                         ::testing::Values(MessageCase{1, "1 second"}, MessageCase{5, "5 seconds"},
                                           MessageCase{59, "59 seconds"},
                                           MessageCase{60, "1 minute"},
                                           MessageCase{61, "1 minute 1 second"},
                                           MessageCase{160, "2 minutes 40 seconds"},
                                           MessageCase{300, "5 minutes"}));

}  // namespace
}  // namespace pm::tests
