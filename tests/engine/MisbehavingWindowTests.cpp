// Locked windows that do not behave: one whose program ends while the
// prompt is up, one that ignores WM_CLOSE, one with the longest title, one
// whose title changes while it is blocked, fifty at once. Each ends hidden
// or closed, and the engine goes on blocking afterwards.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/EngineFixture.h"
#include "platform/Text.h"

namespace pm::tests {
namespace {

class MisbehavingWindowTest;

struct Misbehaviour {
  std::string name;
  // Opens the locked windows and misbehaves; answers every window it made.
  std::function<std::vector<platform::Hwnd>(MisbehavingWindowTest&)> play;
};

// Named in the test output by its name alone.
void PrintTo(const Misbehaviour& value, std::ostream* out) {
  *out << value.name;
}

class MisbehavingWindowTest : public EngineTest,
                              public ::testing::WithParamInterface<Misbehaviour> {
 public:
  platform::Hwnd Open(std::string title, bool ignoresClose = false) {
    const platform::Hwnd window =
        OpenWindow(std::move(title), "Class" + std::to_string(++classes_));
    world_.Find(window)->ignoresClose = ignoresClose;
    return window;
  }
  void Wait(std::int64_t milliseconds) { Pass(milliseconds); }
  void Type(std::string_view password) { Answer(password); }
  void Vanish(platform::Hwnd window) { world_.DestroyWindow(window); }
  void Retitle(platform::Hwnd window, std::string title) {
    world_.SetTitle(window, std::move(title));
  }
  bool PromptUp() { return Prompt() != nullptr; }
  std::string PromptText() { return Prompt() ? Prompt()->TextOf("Label1") : "<no prompt>"; }
  bool BlankShown() {
    const sim::WindowRecord* blank = world_.Find(Engine().frmBlank.hwnd());
    return Engine().frmBlank.IsLoaded() && blank != nullptr && blank->visible;
  }
  void SetTimeLimit(std::string_view seconds) {
    Store(store::setting::kTimeDelay, seconds);
    State().ReloadRequested = true;
    Pass(500);
  }
  // The prompt guards one window at a time; the others wait behind it, and
  // each comes to the front in turn as the user closes the prompt of the one
  // before. No locked window is ever in front unblocked.
  void DismissEveryPrompt() {
    for (int round = 0; round < 100 && PromptUp(); ++round) {
      const platform::Hwnd front = world_.Foreground();
      EXPECT_EQ(front, Prompt()->handle()) << "the prompt is in front";
      Prompt()->Click("Command1");
      Pass(500);
    }
    EXPECT_FALSE(PromptUp()) << "a prompt for each window, then none";
  }
  void NotificationsOff() { world_.SetForegroundNotifications(false); }
  bool Gone(platform::Hwnd window) { return !Exists(window); }

 protected:
  void SetUp() override {
    StorePasswords();
    LockItems({{"Locked", true}});
    Store("BlankScreen", "1");
  }

 private:
  int classes_ = 0;
};

std::string LongTitle() {
  std::string title = "Locked ";
  for (int i = 0; title.size() < 255; ++i) title += static_cast<char>('a' + i % 26);
  return title.substr(0, 255);
}

std::vector<Misbehaviour> Misbehaviours() {
  using T = MisbehavingWindowTest;
  return {
      {"ProgramEndsWhileThePromptIsUp",
       [](T& t) {
         const auto window = t.Open("Locked - document");
         t.Wait(500);
         EXPECT_TRUE(t.PromptUp());
         t.Vanish(window);
         t.Wait(500);
         EXPECT_FALSE(t.PromptUp()) << "no prompt for a window that is gone";
         EXPECT_FALSE(t.BlankShown());
         return std::vector{window};
       }},
      {"IgnoresCloseAfterAWrongPassword",
       [](T& t) {
         const auto window = t.Open("Locked - stubborn", true);
         t.Wait(500);
         t.Type("wrong");
         t.Wait(1000);
         EXPECT_FALSE(t.PromptUp());
         return std::vector{window};
       }},
      {"IgnoresCloseWhenTheTimeLimitEndsThePrompt",
       [](T& t) {
         t.SetTimeLimit("5");
         const auto window = t.Open("Locked - stubborn", true);
         t.Wait(6000);
         EXPECT_FALSE(t.PromptUp());
         return std::vector{window};
       }},
      {"IgnoresCloseWhenItsTurnEnds",
       [](T& t) {
         const auto stubborn = t.Open("Locked - stubborn", true);
         t.Wait(500);
         const auto next = t.Open("Locked - next");
         t.Wait(500);
         EXPECT_EQ(t.PromptText(), "'Locked - stubborn' requires a password.");
         t.DismissEveryPrompt();
         return std::vector{stubborn, next};
       }},
      {"TitleOf255Characters",
       [](T& t) {
         const auto window = t.Open(LongTitle());
         t.Wait(500);
         EXPECT_EQ(t.PromptText(), "'" + std::string(platform::FirstCodePoints(LongTitle(), 40)) +
                                       "' requires a password.");
         return std::vector{window};
       }},
      {"TitleChangesWhileBlocked",
       [](T& t) {
         const auto window = t.Open("Locked - before");
         t.Wait(500);
         t.Retitle(window, "Something harmless");
         t.Wait(1000);
         EXPECT_TRUE(t.PromptUp()) << "the prompt still guards it";
         t.Retitle(window, "Locked - after");
         t.Wait(1000);
         t.Type("wrong");
         EXPECT_TRUE(t.Gone(window));
         return std::vector{window};
       }},
      {"FiftyAtOnce",
       [](T& t) {
         std::vector<platform::Hwnd> windows;
         for (int i = 0; i < 50; ++i) {
           windows.push_back(t.Open("Locked " + std::to_string(i), i % 7 == 0));
         }
         t.Wait(500);
         t.DismissEveryPrompt();
         return windows;
       }},
      {"FiftyAtOnceSeenByTheTimerAlone",
       [](T& t) {
         t.NotificationsOff();
         std::vector<platform::Hwnd> windows;
         for (int i = 0; i < 50; ++i) windows.push_back(t.Open("Locked " + std::to_string(i)));
         t.Wait(500);
         t.DismissEveryPrompt();
         return windows;
       }},
  };
}

TEST_P(MisbehavingWindowTest, EveryWindowEndsHiddenOrClosedAndTheEngineGoesOn) {
  StartEngine();
  const std::vector<platform::Hwnd> windows = GetParam().play(*this);
  Pass(1000);
  DismissEveryPrompt();
  for (platform::Hwnd window : windows) {
    EXPECT_FALSE(Visible(window)) << "window " << window;
  }

  // The engine still blocks, and still gives a window back.
  const platform::Hwnd later = OpenWindow("Locked - later", "LaterClass");
  Pass(500);
  EXPECT_FALSE(Visible(later));
  ASSERT_EQ(PromptText(), "'Locked - later' requires a password.");
  Answer("secret");
  EXPECT_TRUE(Visible(later));
  EXPECT_FALSE(BlankShown());
  for (platform::Hwnd window : windows) EXPECT_FALSE(Visible(window));
}

INSTANTIATE_TEST_SUITE_P(Windows, MisbehavingWindowTest, ::testing::ValuesIn(Misbehaviours()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace pm::tests
