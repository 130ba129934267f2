// The owner sets the timers: the prompt's time limit is kept for the next
// save, the relock minutes act on the running engine at once, and what is
// no 16-bit number, or a limit of 1 to 4 seconds, is refused with a beep.
#include "config/SetupDialogFixture.h"
#include "config/frmTimeDelayLayout.h"

namespace pm::tests {
namespace {

class TimeDelayFixture : public SetupDialogTest {
 protected:
  sim::SimWindow& OpenTimers() {
    OpenSetup().ChooseMenu(config::kmnuTimeDelay);
    sim::SimWindow* dialog = Window(SetupForm().frmTimeDelay);
    EXPECT_NE(dialog, nullptr);
    return *dialog;
  }
  void Enter(sim::SimWindow& dialog, std::string_view delay, std::string_view relock) {
    dialog.Type("txtTimeDelay", delay);
    dialog.Type("txtrelock", relock);
    dialog.Click("cmdOK");
  }
};

struct TimerCase {
  const char* name;
  std::string_view delay;
  std::string_view relock;
  bool accepted;
  std::int16_t delayAfter;   // SetupTimeDelay afterwards
  std::int16_t relockAfter;  // RelockMinutes afterwards
};

class TimeDelayTest : public TimeDelayFixture, public ::testing::WithParamInterface<TimerCase> {
 protected:
  void SetUp() override {
    Store("TimeDelay", "30");
    Store("relock", "10");
  }
};

TEST_P(TimeDelayTest, AcceptsOrRefusesWithABeep) {
  const TimerCase& c = GetParam();
  sim::SimWindow& dialog = OpenTimers();
  Enter(dialog, c.delay, c.relock);
  EXPECT_EQ(State().SetupTimeDelay, c.delayAfter);
  EXPECT_EQ(State().RelockMinutes, c.relockAfter);
  if (c.accepted) {
    EXPECT_FALSE(SetupForm().frmTimeDelay.IsLoaded());
    EXPECT_TRUE(SetupForm().Enabled());
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_EQ(world_.beeps, 0);
    return;
  }
  ASSERT_TRUE(SetupForm().frmTimeDelay.IsLoaded());
  EXPECT_EQ(world_.beeps, 1);
  EXPECT_EQ(dialog.TextOf("Label1"), config::kTimeDelayRefused);
  EXPECT_EQ(dialog.focus(), dialog.Index("txtTimeDelay"));
  EXPECT_TRUE(dialog.WholeTextSelected("txtTimeDelay"));
  EXPECT_FALSE(ApplyEnabled());
  EXPECT_TRUE(world_.shownMessages.empty());
  // Cancel keeps what a refused OK took already.
  dialog.Click("Command1");
  EXPECT_TRUE(SetupForm().Enabled());
  EXPECT_EQ(State().SetupTimeDelay, c.delayAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, TimeDelayTest,
    ::testing::Values(TimerCase{"off", "0", "0", true, 0, 0},
                      TimerCase{"one", "1", "10", false, 30, 10},
                      TimerCase{"four", "4", "10", false, 30, 10},
                      TimerCase{"five", "5", "10", true, 5, 10},
                      TimerCase{"ninety_nine", "99", "15", true, 99, 15},
                      TimerCase{"negative", "-5", "10", true, -5, 10},
                      TimerCase{"empty", "", "10", false, 30, 10},
                      TimerCase{"letters", "ab", "10", false, 30, 10},
                      TimerCase{"relock_letters", "60", "abc", false, 60, 10},
                      TimerCase{"relock_too_large", "60", "40000", false, 60, 10},
                      TimerCase{"relock_empty", "60", "", false, 60, 10},
                      TimerCase{"relock_largest", "60", "32767", true, 60, 32767}),
    [](const auto& info) { return std::string(info.param.name); });

using TimersTest = TimeDelayFixture;

TEST_F(TimersTest, OpensWithTheValuesInMemoryAndTheLimitSelected) {
  Store("TimeDelay", "45");
  Store("relock", "20");
  sim::SimWindow& dialog = OpenTimers();
  EXPECT_EQ(dialog.TextOf("txtTimeDelay"), "45");
  EXPECT_EQ(dialog.TextOf("txtrelock"), "20");
  EXPECT_TRUE(dialog.WholeTextSelected("txtTimeDelay"));
  EXPECT_EQ(dialog.TextOf("Label1"), "Password entry timer.");
  dialog.CloseFromTitleBar();
  EXPECT_TRUE(SetupForm().Enabled());
}

TEST_F(TimersTest, ANegativeLimitIsSavedAsOff) {
  sim::SimWindow& dialog = OpenTimers();
  Enter(dialog, "-5", "-3");
  Ours(SetupForm().hwnd())->Click("cmdOK");
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "TimeDelay"), "0");
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "relock"), "0");
}

TEST_F(TimersTest, ANewRelockTimeActsOnTheEngineAtOnceButIsStoredOnlyBySaving) {
  StorePasswords();
  Store("relock", "10");
  OpenSetup().ChooseMenu(config::kmnuunlock);
  ASSERT_TRUE(State().AllUnlocked);
  sim::SimWindow& dialog = OpenTimers();
  Enter(dialog, "0", "1");
  Ours(SetupForm().hwnd())->Click("cmdCancel");
  Pass(60 * 1000 + 500);
  EXPECT_FALSE(State().AllUnlocked) << "relocked after the new one minute, not the old ten";
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "relock"), "10");
}

}  // namespace
}  // namespace pm::tests
