#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "contract/DesktopContract.h"
#include "platform/Text.h"

namespace pm::tests {

using platform::Hwnd;

void DesktopContract::SetUp() {
  rig_ = GetParam().make();
}

void DesktopContract::TearDown() {
  desktop().SetWindowChangeHandler(nullptr);
  rig_.reset();
}

std::string DesktopContract::Unique(std::string_view text) const {
  // A case-neutral prefix (digits only), so case variants of `text` keep it
  // and a shortened `text` stays a prefix of the original.
  static int counter = 0;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::size_t tag =
      std::hash<std::string>{}(std::string(info->test_suite_name()) + "." + info->name()) % 100000;
  return std::to_string(tag) + "-" + std::to_string(++counter) + " " + std::string(text);
}

bool DesktopContract::PumpUntil(const std::function<bool()>& done, int rounds) {
  for (int i = 0; i < rounds && !done(); ++i) rig_->Pump();
  return done();
}

std::string DesktopBackendName(const ::testing::TestParamInfo<DesktopBackend>& info) {
  return info.param.name;
}

namespace {

std::string Repeat(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

}  // namespace

// --- Foreground, title and class ------------------------------------------

TEST_P(DesktopContract, ForegroundWindowIsTheOneLastBroughtToTheFront) {
  const Hwnd first = rig_->CreateOtherWindow(Unique("First"), Unique("FirstClass"), true);
  const Hwnd second = rig_->CreateOtherWindow(Unique("Second"), Unique("SecondClass"), true);

  rig_->BringToFront(first);
  EXPECT_TRUE(PumpUntil([&] { return desktop().ForegroundWindow() == first; }));
  rig_->BringToFront(second);
  EXPECT_TRUE(PumpUntil([&] { return desktop().ForegroundWindow() == second; }));
}

TEST_P(DesktopContract, NoWindowHasNoTitleNoClassAndIsNotVisible) {
  EXPECT_FALSE(desktop().IsVisible(0));
  EXPECT_EQ(desktop().WindowText(0), "");
  EXPECT_EQ(desktop().ClassName(0), "");
}

struct TitleCase {
  std::string label;
  std::string title;
  std::string className;
  std::string expectedTitle;  // what WindowText reads back
};

TEST_P(DesktopContract, TitleAndClassReadBackAsTheWindowReportsThem) {
  const std::vector<TitleCase> cases = {
      {"Ascii", "Registry Editor - test", "RegEdit_RegEdit", "Registry Editor - test"},
      {"Cyrillic", "Редактор реестра — Ж", "КлассОкнаЖ", "Редактор реестра — Ж"},
      {"LongAsciiCutTo255", Repeat("abcdefghij", 30), "LongTitleClass",
       Repeat("abcdefghij", 25) + "abcde"},
      {"LongCyrillicCutTo255Letters", Repeat("ж", 300), "LongCyrillicClass", Repeat("ж", 255)},
  };
  for (const TitleCase& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string className = Unique(c.className);
    const Hwnd window = rig_->CreateOtherWindow(c.title, className, true);
    ASSERT_NE(window, 0u);
    const std::string text = desktop().WindowText(window);
    EXPECT_EQ(text, c.expectedTitle);
    EXPECT_EQ(platform::CodePointCount(text), platform::CodePointCount(c.expectedTitle));
    EXPECT_EQ(desktop().ClassName(window), className);
  }
}

// --- Finding windows ------------------------------------------------------

struct FindCase {
  std::string label;
  std::string stored;
  std::string asked;
  bool found;
};

const FindCase kFindCases[] = {
    {"Exact", "Registry Editor", "Registry Editor", true},
    {"UpperCase", "Registry Editor", "REGISTRY EDITOR", true},
    {"LowerCase", "Registry Editor", "registry editor", true},
    {"CyrillicOtherCase", "Редактор Реестра", "РЕДАКТОР реестра", true},
    {"PrefixOnly", "Registry Editor", "Registry", false},
    {"Longer", "Registry Editor", "Registry Editor - more", false},
    {"TrailingBlank", "Registry Editor", "Registry Editor ", false},
};

TEST_P(DesktopContract, FindByTitleComparesTheWholeTitleWithoutCase) {
  for (const FindCase& c : kFindCases) {
    SCOPED_TRACE(c.label);
    const std::string prefix = Unique("");
    const Hwnd window = rig_->CreateOtherWindow(prefix + c.stored, Unique("FindTitleClass"), true);
    const Hwnd found = desktop().FindByTitle(prefix + c.asked);
    if (c.found) {
      EXPECT_EQ(found, window);
    } else {
      EXPECT_EQ(found, 0u);
    }
  }
}

TEST_P(DesktopContract, FindByClassComparesTheWholeClassNameWithoutCase) {
  for (const FindCase& c : kFindCases) {
    SCOPED_TRACE(c.label);
    const std::string prefix = Unique("");
    const Hwnd window = rig_->CreateOtherWindow(Unique("Find by class"), prefix + c.stored, true);
    const Hwnd found = desktop().FindByClass(prefix + c.asked);
    if (c.found) {
      EXPECT_EQ(found, window);
    } else {
      EXPECT_EQ(found, 0u);
    }
  }
}

TEST_P(DesktopContract, HiddenWindowsAreFoundToo) {
  const std::string title = Unique("Hidden main window");
  const std::string className = Unique("HiddenClass");
  const Hwnd window = rig_->CreateOtherWindow(title, className, false);

  EXPECT_FALSE(desktop().IsVisible(window));
  EXPECT_EQ(desktop().FindByTitle(title), window);
  EXPECT_EQ(desktop().FindByClass(className), window);
}

TEST_P(DesktopContract, AWindowExistsHiddenOrShownUntilItIsDestroyed) {
  const Hwnd shown = rig_->CreateOtherWindow(Unique("Existing"), Unique("ExistClass"), true);
  const Hwnd hidden =
      rig_->CreateOtherWindow(Unique("Existing hidden"), Unique("ExistClass"), false);
  EXPECT_TRUE(desktop().Exists(shown));
  EXPECT_TRUE(desktop().Exists(hidden));
  EXPECT_FALSE(desktop().Exists(0));
  rig_->DestroyOtherWindow(shown);
  EXPECT_FALSE(desktop().Exists(shown));
  EXPECT_TRUE(desktop().Exists(hidden));
}

// --- The owner of a window -------------------------------------------------

TEST_P(DesktopContract, TheOwnerOfAWindowIsTheFullPathOfItsProgramFile) {
  const std::string expected = rig_->OtherProgramPath();
  ASSERT_FALSE(expected.empty());
  for (const bool visible : {true, false}) {
    SCOPED_TRACE(visible ? "visible" : "hidden");
    const Hwnd window = rig_->CreateOtherWindow(Unique("Owned"), Unique("OwnedClass"), visible);
    const std::string owner = desktop().OwnerProgramPath(window);
    EXPECT_TRUE(platform::EqualsNoCase(owner, expected)) << owner << " vs " << expected;
    // A full Windows path: a drive, backslashes, the file at the end.
    EXPECT_EQ(owner.substr(1, 2), ":\\");
    EXPECT_EQ(owner.find('/'), std::string::npos);
    EXPECT_TRUE(platform::EqualsNoCase(owner.substr(owner.size() - 4), ".exe"));
  }
}

TEST_P(DesktopContract, NoWindowHasNoOwner) {
  EXPECT_EQ(desktop().OwnerProgramPath(0), "");
}

// --- Hiding, showing, closing, disabling ----------------------------------

TEST_P(DesktopContract, HideMakesTheWindowInvisible) {
  const Hwnd window = rig_->CreateOtherWindow(Unique("To hide"), Unique("HideClass"), true);
  ASSERT_TRUE(desktop().IsVisible(window));

  desktop().Hide(window);
  EXPECT_FALSE(desktop().IsVisible(window));
}

TEST_P(DesktopContract, RestoreAndShowNormalBringAHiddenWindowBack) {
  const std::vector<std::pair<std::string, std::function<void(Hwnd)>>> ways = {
      {"RestoreAsync", [&](Hwnd w) { desktop().RestoreAsync(w); }},
      {"ShowNormal", [&](Hwnd w) { desktop().ShowNormal(w); }},
      {"RestoreAsyncThenShowNormal",
       [&](Hwnd w) {
         desktop().RestoreAsync(w);
         desktop().ShowNormal(w);
       }},
  };
  for (const auto& [label, show] : ways) {
    SCOPED_TRACE(label);
    const Hwnd window = rig_->CreateOtherWindow(Unique("To show"), Unique("ShowClass"), true);
    desktop().Hide(window);
    ASSERT_FALSE(desktop().IsVisible(window));

    show(window);
    // RestoreAsync does not wait for the window's thread.
    EXPECT_TRUE(PumpUntil([&] { return desktop().IsVisible(window); }));
  }
}

TEST_P(DesktopContract, PostCloseReachesTheWindowOnce) {
  const Hwnd window = rig_->CreateOtherWindow(Unique("To close"), Unique("CloseClass"), true);
  const Hwnd bystander = rig_->CreateOtherWindow(Unique("Bystander"), Unique("ByClass"), true);

  desktop().PostClose(window);
  ASSERT_TRUE(PumpUntil([&] { return rig_->CloseRequests(window) > 0; }));
  for (int i = 0; i < 20; ++i) rig_->Pump();
  EXPECT_EQ(rig_->CloseRequests(window), 1);
  EXPECT_EQ(rig_->CloseRequests(bystander), 0);
}

TEST_P(DesktopContract, EnableTurnsInputOffAndOn) {
  const Hwnd window = rig_->CreateOtherWindow(Unique("To disable"), Unique("EnableClass"), true);
  ASSERT_TRUE(rig_->IsEnabled(window));

  desktop().Enable(window, false);
  EXPECT_FALSE(rig_->IsEnabled(window));
  EXPECT_TRUE(desktop().IsVisible(window));
  desktop().Enable(window, true);
  EXPECT_TRUE(rig_->IsEnabled(window));
}

// --- The window-change notification ---------------------------------------

TEST_P(DesktopContract, HandlerRunsAfterAWindowComesToTheFront) {
  const Hwnd window = rig_->CreateOtherWindow(Unique("Comes to front"), Unique("FrontClass"), true);
  // Created last, this one is in front at the start.
  rig_->CreateOtherWindow(Unique("In front before"), Unique("BeforeClass"), true);
  Hwnd seen = 0;
  desktop().SetWindowChangeHandler([&](Hwnd) { seen = desktop().ForegroundWindow(); });

  rig_->BringToFront(window);
  // The handler sees the new foreground window when it runs.
  EXPECT_TRUE(PumpUntil([&] { return seen == window; }));
}

TEST_P(DesktopContract, ClearedHandlerIsNoLongerCalled) {
  const Hwnd first = rig_->CreateOtherWindow(Unique("First"), Unique("FirstClass"), true);
  const Hwnd second = rig_->CreateOtherWindow(Unique("Second"), Unique("SecondClass"), true);
  int calls = 0;
  desktop().SetWindowChangeHandler([&](Hwnd) { ++calls; });
  rig_->BringToFront(first);
  ASSERT_TRUE(PumpUntil([&] { return calls > 0; }));

  desktop().SetWindowChangeHandler(nullptr);
  const int callsBefore = calls;
  rig_->BringToFront(second);
  PumpUntil([&] { return desktop().ForegroundWindow() == second; });
  for (int i = 0; i < 20; ++i) rig_->Pump();
  EXPECT_EQ(calls, callsBefore);
}

TEST_P(DesktopContract, HandlerThatPumpsIsRunAgainAfterwardsNotNested) {
  const Hwnd first = rig_->CreateOtherWindow(Unique("First"), Unique("FirstClass"), true);
  const Hwnd second = rig_->CreateOtherWindow(Unique("Second"), Unique("SecondClass"), true);
  int calls = 0;
  int depth = 0;
  int deepest = 0;
  Hwnd seen = 0;
  bool switched = false;
  desktop().SetWindowChangeHandler([&](Hwnd) {
    ++calls;
    deepest = std::max(deepest, ++depth);
    seen = desktop().ForegroundWindow();
    if (seen == first && !switched) {
      // As a prompt that runs its own message loop: another window comes to
      // the front while the handler is still running.
      switched = true;
      rig_->BringToFront(second);
      for (int i = 0; i < 20; ++i) rig_->Pump();
    }
    --depth;
  });

  rig_->BringToFront(first);
  ASSERT_TRUE(PumpUntil([&] { return switched; }));
  // The change that happened inside the handler is not lost.
  EXPECT_TRUE(PumpUntil([&] { return seen == second; }));
  EXPECT_EQ(deepest, 1);
  EXPECT_GE(calls, 2);
}

TEST_P(DesktopContract, ExceptionFromTheHandlerDoesNotStopTheNotifications) {
  const Hwnd first = rig_->CreateOtherWindow(Unique("First"), Unique("FirstClass"), true);
  const Hwnd second = rig_->CreateOtherWindow(Unique("Second"), Unique("SecondClass"), true);
  Hwnd seen = 0;
  desktop().SetWindowChangeHandler([&](Hwnd) {
    seen = desktop().ForegroundWindow();
    throw std::runtime_error("handler failed");
  });

  rig_->BringToFront(first);
  ASSERT_TRUE(PumpUntil([&] { return seen == first; }));
  rig_->BringToFront(second);
  EXPECT_TRUE(PumpUntil([&] { return seen == second; }));
}

// A window that is not brought to the front is still reported, by its
// handle: one shown without activation, or one whose title changes.
TEST_P(DesktopContract, AWindowShownBehindOrRenamedIsReportedWithItsHandle) {
  if (!rig_->ReportsShowAndRename()) {
    GTEST_SKIP() << "this system reports neither; the engine's tick finds such windows";
  }
  const Hwnd front = rig_->CreateOtherWindow(Unique("Front"), Unique("FrontClass"), true);
  const Hwnd behind = rig_->CreateOtherWindow(Unique("Behind"), Unique("BehindClass"), false);
  rig_->BringToFront(front);
  PumpUntil([&] { return desktop().ForegroundWindow() == front; });
  std::vector<Hwnd> reported;
  desktop().SetWindowChangeHandler([&](Hwnd window) { reported.push_back(window); });
  const auto wasReported = [&](Hwnd window) {
    return std::find(reported.begin(), reported.end(), window) != reported.end();
  };

  rig_->ShowWithoutActivation(behind);
  EXPECT_TRUE(PumpUntil([&] { return wasReported(behind); }));
  EXPECT_EQ(desktop().ForegroundWindow(), front);

  reported.clear();
  rig_->Rename(front, Unique("Renamed"));
  EXPECT_TRUE(PumpUntil([&] { return wasReported(front); }));
}

TEST_P(DesktopContract, VisibleWindowsAreListedFrontFirstAndClassesFoundWithoutCase) {
  const std::string className = Unique("ListedClass");
  const Hwnd back = rig_->CreateOtherWindow(Unique("Back"), className, true);
  const Hwnd hidden = rig_->CreateOtherWindow(Unique("Hidden"), className, false);
  const Hwnd front = rig_->CreateOtherWindow(Unique("Front"), Unique("OtherClass"), true);
  rig_->BringToFront(front);
  PumpUntil([&] { return desktop().ForegroundWindow() == front; });

  const std::vector<Hwnd> visible = desktop().VisibleTopLevelWindows();
  const auto at = [&](Hwnd window) { return std::find(visible.begin(), visible.end(), window); };
  ASSERT_NE(at(front), visible.end());
  ASSERT_NE(at(back), visible.end());
  EXPECT_LT(at(front), at(back));
  EXPECT_EQ(at(hidden), visible.end());

  std::vector<Hwnd> ofClass = desktop().FindAllWithClass(platform::LowerCase(className));
  std::sort(ofClass.begin(), ofClass.end());
  std::vector<Hwnd> expected{back, hidden};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ofClass, expected);
}

}  // namespace pm::tests
