#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "config/frmAddWizardLayout.h"
#include "contract/ToolkitContract.h"

namespace pm::tests {

using platform::ControlKind;
using platform::Event;
using platform::ShowMode;
namespace prop = platform::prop;

int Recorder::CountOf(int control, Event event) const {
  int n = 0;
  for (const auto& e : events) n += e.first == control && e.second == event ? 1 : 0;
  return n;
}

void Recorder::OnTimer(int control) {
  timers.push_back(control);
  if (onTimer) onTimer(control);
}

void ToolkitContract::TearDown() {
  window_.reset();
  Settle();
  rig_.reset();
}

platform::Window& ToolkitContract::Open(const platform::FormSpec& layout) {
  window_ = rig_->toolkit().CreateFormWindow(layout, events_, nullptr);
  return *window_;
}

std::string ToolkitBackendName(const ::testing::TestParamInfo<ToolkitBackend>& info) {
  return info.param.name;
}

namespace {

constexpr int kmnuSwitch = 401;
constexpr int kmnuOther = 402;

// clang-format off
constexpr platform::ControlSpec kControls[] = {
  // kind                    name           caption   left   top  width height props
  {ControlKind::Label,        "lblTitle",    "Title",   120,   60, 2400,  255},
  {ControlKind::Button,       "cmdOff",      "Off",     120,  360, 1200,  360, prop::kDisabled},
  {ControlKind::TextBox,      "txtHidden",   "",        120,  780, 2400,  285, prop::kHidden},
  {ControlKind::CheckBox,     "chkSkipped",  "Skip",    120, 1140, 2400,  255, prop::kNoTabStop},
  {ControlKind::TextBox,      "txtName",     "",        120, 1440, 2400,  285, prop::kNone, {}, platform::kDefaultColor, 8},
  {ControlKind::CheckBox,     "chkRemember", "Keep",    120, 1800, 2400,  255},
  {ControlKind::Frame,        "fraLeft",     "",        120, 2100, 2000,  800},
  {ControlKind::Frame,        "fraRight",    "",       2280, 2100, 2000,  800},
  // The two panels' option buttons alternate in the tab order.
  {ControlKind::OptionButton, "optLeft1",    "L1",      60,   60, 1800,  255, prop::kNone, "fraLeft"},
  {ControlKind::OptionButton, "optRight1",   "R1",      60,   60, 1800,  255, prop::kNone, "fraRight"},
  {ControlKind::OptionButton, "optLeft2",    "L2",      60,  420, 1800,  255, prop::kNone, "fraLeft"},
  {ControlKind::OptionButton, "optRight2",   "R2",      60,  420, 1800,  255, prop::kNone, "fraRight"},
  {ControlKind::ListBox,      "lstPlain",    "",        120, 3000, 1300, 1000},
  {ControlKind::ListBox,      "lstSorted",   "",       1500, 3000, 1300, 1000, prop::kSorted},
  {ControlKind::ListBox,      "lstChecked",  "",       2880, 3000, 1440, 1000, prop::kCheckBoxes | prop::kSorted},
  {ControlKind::Button,       "cmdOK",       "OK",      120, 4100, 1200,  360, prop::kDefault},
  {ControlKind::Button,       "cmdCancel",   "Cancel", 1440, 4100, 1200,  360, prop::kCancel},
  {ControlKind::Timer,        "timFirst",    "",          0,    0,    0,    0},
  {ControlKind::Timer,        "timSecond",   "",          0,    0,    0,    0},
};

constexpr platform::MenuSpec kMenus[] = {
  {"mnuFile",   "&File",   0,          {}},
  {"mnuSwitch", "Switch",  kmnuSwitch, "mnuFile"},
  {"mnuOther",  "Other",   kmnuOther,  "mnuFile"},
};
// clang-format on

constexpr platform::FormSpec kForm = {
    .caption = "Toolkit contract",
    .clientWidth = 4500,
    .clientHeight = 4600,
    .border = platform::Border::FixedSingle,
    .controls = kControls,
    .menuBar = kMenus,
};

constexpr int Index(std::string_view name) {
  return platform::ControlIndex(kControls, name);
}

// --- Owned windows -----------------------------------------------------------

constexpr platform::FormSpec kSmallForm = {
    .caption = "Toolkit contract dialog", .clientWidth = 2400, .clientHeight = 1200};

struct OwnedCase {
  const char* name;
  const platform::FormSpec& owner;
  const platform::FormSpec& dialog;
  bool ownerAtCorner;  // at the work area's bottom right corner, else well inside it
};

// A dialog opens centred on the window that owns it, wherever the owner is,
// but never partly off the screen.
TEST_P(ToolkitContract, AnOwnedWindowOpensCentredOnItsOwnerAndOnTheScreen) {
  const std::vector<OwnedCase> cases = {{"inside", kForm, kSmallForm, false},
                                        {"at_the_corner", kSmallForm, kForm, true}};
  for (const OwnedCase& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.owner).Show(ShowMode::NoActivate);
    Settle();
    const platform::Rect work = rig_->WorkArea();
    platform::Rect owner = rig_->Bounds(window());
    if (c.ownerAtCorner) {
      rig_->MoveTo(window(), work.left + work.width - owner.width,
                   work.top + work.height - owner.height);
    } else {
      rig_->MoveTo(window(), work.left + 170, work.top + 130);
    }
    owner = rig_->Bounds(window());

    Recorder dialogEvents;
    const std::unique_ptr<platform::Window> dialog =
        rig_->toolkit().CreateFormWindow(c.dialog, dialogEvents, &window());
    EXPECT_EQ(rig_->OwnerOf(*dialog), window().handle());
    EXPECT_EQ(rig_->OwnerOf(window()), 0u);
    const platform::Rect place = rig_->Bounds(*dialog);
    if (c.ownerAtCorner) {
      EXPECT_EQ(place.left + place.width, work.left + work.width);
      EXPECT_EQ(place.top + place.height, work.top + work.height);
    } else {
      EXPECT_NEAR(place.left + place.width / 2, owner.left + owner.width / 2, 1);
      EXPECT_NEAR(place.top + place.height / 2, owner.top + owner.height / 2, 1);
    }
  }
}

// --- Focus and tab order --------------------------------------------------

TEST_P(ToolkitContract, AnActivatedFormGivesTheKeyboardToItsFirstTabStop) {
  // Labels, disabled, hidden and tab-less controls are passed over.
  Open(kForm).Show(ShowMode::Normal);
  ASSERT_TRUE(rig_->PumpUntil([&] { return rig_->Focus(window()) >= 0; }));
  EXPECT_EQ(rig_->Focus(window()), Index("txtName"));
}

TEST_P(ToolkitContract, TabMovesThroughTheTabStopsInTableOrderAndWraps) {
  Open(kForm).Show(ShowMode::Normal);
  Settle();
  window().SetFocus(Index("lstChecked"));
  const std::vector<int> expected = {Index("cmdOK"), Index("cmdCancel"), Index("txtName"),
                                     Index("chkRemember")};
  for (int control : expected) {
    rig_->Press(window(), Key::Tab);
    EXPECT_EQ(rig_->Focus(window()), control);
  }
}

// The add-item wizard's first tab stops are its option buttons: it must
// open with none chosen.
TEST_P(ToolkitContract, AFormOpensWithNoOptionChosenByTheFocus) {
  Open(config::kfrmAddWizardSpec).Show(ShowMode::Normal);
  Settle();
  for (std::string_view option : {"Option1", "Option2", "Option3"}) {
    const int index = platform::ControlIndex(config::kfrmAddWizardControls, option);
    EXPECT_FALSE(window().Checked(index)) << option;
    EXPECT_EQ(events_.CountOf(index, Event::Click), 0) << option;
  }
  EXPECT_EQ(rig_->Focus(window()),
            platform::ControlIndex(config::kfrmAddWizardControls, "cmdNext"));
}

TEST_P(ToolkitContract, AnOptionButtonGivenTheFocusChecksItselfOnWindows) {
  Open(kForm).Show(ShowMode::Normal);
  Settle();
  window().SetFocus(Index("optLeft2"));
  Settle();
  const bool checks = GetParam().focusChecksOptions;
  EXPECT_EQ(window().Checked(Index("optLeft2")), checks);
  EXPECT_EQ(events_.CountOf(Index("optLeft2"), Event::Click), checks ? 1 : 0);
}

// --- Default and cancel buttons -------------------------------------------

struct KeyCase {
  const char* name;
  Key key;
  const char* disabled;  // a button disabled first, or null
  const char* pressed;   // the button expected to be clicked, or null
};

TEST_P(ToolkitContract, EnterAndEscPressTheDefaultAndCancelButtonsWhileEnabled) {
  const std::vector<KeyCase> cases = {
      {"Enter", Key::Enter, nullptr, "cmdOK"},
      {"Esc", Key::Esc, nullptr, "cmdCancel"},
      {"EnterWithDefaultDisabled", Key::Enter, "cmdOK", nullptr},
      {"EscWithCancelDisabled", Key::Esc, "cmdCancel", nullptr},
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    events_.events.clear();
    Open(kForm).Show(ShowMode::Normal);
    Settle();
    // The keyboard is on another button: Enter still presses the default.
    window().SetFocus(Index("chkRemember"));
    if (c.disabled) window().SetControlEnabled(Index(c.disabled), false);
    rig_->Press(window(), c.key);
    Settle();
    for (std::string_view button : {"cmdOK", "cmdCancel"}) {
      const bool expected = c.pressed != nullptr && button == c.pressed;
      EXPECT_EQ(events_.CountOf(Index(button), Event::Click), expected ? 1 : 0) << button;
    }
  }
}

TEST_P(ToolkitContract, EnterPressesTheButtonMadeDefaultInsteadOfTheTablesOne) {
  Open(kForm).Show(ShowMode::Normal);
  Settle();
  window().SetDefaultButton(Index("cmdOK"), false);
  window().SetDefaultButton(Index("cmdCancel"), true);
  rig_->Press(window(), Key::Enter);
  Settle();
  EXPECT_EQ(events_.CountOf(Index("cmdOK"), Event::Click), 0);
  EXPECT_EQ(events_.CountOf(Index("cmdCancel"), Event::Click), 1);
}

// --- Option buttons --------------------------------------------------------

TEST_P(ToolkitContract, OptionButtonsAreGroupedByTheirPanelNotByTheTabOrder) {
  Open(kForm).Show(ShowMode::Normal);
  Settle();
  rig_->Click(window(), Index("optLeft1"));
  rig_->Click(window(), Index("optRight1"));
  EXPECT_TRUE(window().Checked(Index("optLeft1")));
  EXPECT_TRUE(window().Checked(Index("optRight1")));
  rig_->Click(window(), Index("optLeft2"));
  EXPECT_FALSE(window().Checked(Index("optLeft1")));
  EXPECT_TRUE(window().Checked(Index("optLeft2")));
  EXPECT_TRUE(window().Checked(Index("optRight1")));
  for (std::string_view option : {"optLeft1", "optRight1", "optLeft2"}) {
    EXPECT_EQ(events_.CountOf(Index(option), Event::Click), 1) << option;
  }
  // Chosen by the program, an option clears its panel's others, silently.
  window().SetChecked(Index("optRight2"), true);
  EXPECT_FALSE(window().Checked(Index("optRight1")));
  EXPECT_TRUE(window().Checked(Index("optLeft2")));
  EXPECT_EQ(events_.CountOf(Index("optRight2"), Event::Click), 0);
}

// --- Text changes ------------------------------------------------------------

TEST_P(ToolkitContract, EveryTextSetOnATextBoxIsReportedAsAChange) {
  Open(kForm);
  const int text = Index("txtName");
  window().SetText(text, "abc");
  EXPECT_EQ(events_.CountOf(text, Event::Change), 1);
  // The same text again is a change too, as an edit control reports it.
  window().SetText(text, "abc");
  EXPECT_EQ(events_.CountOf(text, Event::Change), 2);
  // Cut to the box's length, once.
  window().SetText(text, "0123456789");
  EXPECT_EQ(window().Text(text), "01234567");
  EXPECT_EQ(events_.CountOf(text, Event::Change), 3);
  // A label's or a button's caption is no change of anything.
  window().SetText(Index("lblTitle"), "Other");
  window().SetText(Index("cmdOK"), "Yes");
  EXPECT_EQ(events_.events.size(), 3u);
}

// --- List boxes --------------------------------------------------------------

TEST_P(ToolkitContract, SortedListsOrderWithoutCaseAndAnswerTheNewIndex) {
  for (std::string_view list : {"lstSorted", "lstChecked"}) {
    SCOPED_TRACE(list);
    Open(kForm);
    const int control = Index(list);
    EXPECT_EQ(window().ListAdd(control, "delta"), 0);
    EXPECT_EQ(window().ListAdd(control, "Alpha"), 0);
    EXPECT_EQ(window().ListAdd(control, "charlie"), 1);
    EXPECT_EQ(window().ListAdd(control, "Bravo"), 1);
    const std::vector<std::string> order = {"Alpha", "Bravo", "charlie", "delta"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(window().ListText(control, i), order[i]);
  }
}

TEST_P(ToolkitContract, TheCurrentEntryStaysWithItsTextWhenOthersComeAndGo) {
  for (std::string_view list : {"lstSorted", "lstChecked"}) {
    SCOPED_TRACE(list);
    Open(kForm);
    const int control = Index(list);
    window().ListAdd(control, "b");
    window().ListAdd(control, "c");
    window().SetListIndex(control, 1);
    window().ListAdd(control, "a");  // sorts before the current entry
    EXPECT_EQ(window().ListIndex(control), 2);
    window().ListRemove(control, 0);
    EXPECT_EQ(window().ListIndex(control), 1);
    EXPECT_EQ(window().ListText(control, window().ListIndex(control)), "c");
    window().ListRemove(control, 1);  // the current entry itself
    EXPECT_EQ(window().ListIndex(control), -1);
  }
}

TEST_P(ToolkitContract, OnlyTheUserChoosingOrCheckingAnEntryIsReported) {
  Open(kForm).Show(ShowMode::Normal);
  Settle();
  const int plain = Index("lstPlain");
  const int checked = Index("lstChecked");
  for (const char* text : {"one", "two", "three"}) {
    window().ListAdd(plain, text);
    window().ListAdd(checked, text);
  }
  window().SetListIndex(plain, 0);
  window().SetListChecked(checked, 0, true);
  EXPECT_TRUE(events_.events.empty());

  rig_->ClickListEntry(window(), plain, 2);
  Settle();
  EXPECT_EQ(window().ListIndex(plain), 2);
  EXPECT_EQ(events_.CountOf(plain, Event::Click), 1);
  rig_->ClickListCheck(window(), checked, 1);
  Settle();
  EXPECT_TRUE(window().ListChecked(checked, 1));
  EXPECT_TRUE(window().ListChecked(checked, 0));
  EXPECT_EQ(events_.CountOf(checked, Event::ItemCheck), 1);
}

// --- Menus -------------------------------------------------------------------

TEST_P(ToolkitContract, MenuCheckMarksBelongToTheirEntriesOnly) {
  Open(kForm);
  EXPECT_FALSE(window().MenuChecked(kmnuSwitch));
  window().SetMenuChecked(kmnuSwitch, true);
  EXPECT_TRUE(window().MenuChecked(kmnuSwitch));
  EXPECT_FALSE(window().MenuChecked(kmnuOther));
  window().SetMenuChecked(kmnuSwitch, false);
  EXPECT_FALSE(window().MenuChecked(kmnuSwitch));
  // An id no entry has carries no check mark.
  window().SetMenuChecked(499, true);
  EXPECT_FALSE(window().MenuChecked(499));
}

// --- Timers ------------------------------------------------------------------

TEST_P(ToolkitContract, TimersDueTogetherFireInTheOrderTheyWereStarted) {
  Open(kForm);
  const int first = Index("timFirst");
  const int second = Index("timSecond");
  window().SetTimer(second, 30, true);
  window().SetTimer(first, 30, true);
  ASSERT_TRUE(rig_->PumpUntil([&] { return events_.timers.size() >= 4; }));
  window().SetTimer(first, 30, false);
  window().SetTimer(second, 30, false);
  const std::vector<int> expected = {second, first, second, first};
  EXPECT_EQ(std::vector<int>(events_.timers.begin(), events_.timers.begin() + 4), expected);
}

TEST_P(ToolkitContract, ATimerStoppedByAnotherTimersHandlerDoesNotFireAgain) {
  Open(kForm);
  const int first = Index("timFirst");
  const int second = Index("timSecond");
  events_.onTimer = [&](int control) {
    if (control == first) window().SetTimer(second, 20, false);
  };
  window().SetTimer(first, 20, true);
  window().SetTimer(second, 20, true);
  ASSERT_TRUE(rig_->PumpUntil([&] { return events_.timers.size() >= 5; }));
  window().SetTimer(first, 20, false);
  EXPECT_EQ(std::count(events_.timers.begin(), events_.timers.end(), second), 0);
}

// --- The foreground ------------------------------------------------------------
// The other window belongs to the test's own program, which therefore has
// the foreground to give: Windows refuses the front to a program in the
// background, and only Windows itself can show that (Wine has no foreground
// lock).

TEST_P(ToolkitContract, ShowingWithoutActivationLeavesTheFrontWhereItWas) {
  const platform::Hwnd other = rig_->OpenOtherWindow();
  ASSERT_TRUE(rig_->PumpUntil([&] { return rig_->Foreground() == other; }));
  Open(kForm).Show(ShowMode::NoActivate);
  Settle();
  EXPECT_TRUE(window().IsVisible());
  EXPECT_EQ(rig_->Foreground(), other);
  EXPECT_EQ(rig_->Focus(window()), -1);
}

TEST_P(ToolkitContract, AShownFormTakesTheFrontAndHidingItGivesItBack) {
  const platform::Hwnd other = rig_->OpenOtherWindow();
  ASSERT_TRUE(rig_->PumpUntil([&] { return rig_->Foreground() == other; }));
  Open(kForm).Show(ShowMode::Normal);
  EXPECT_TRUE(rig_->PumpUntil([&] { return rig_->Foreground() == window().handle(); }));
  window().Hide();
  EXPECT_TRUE(rig_->PumpUntil([&] { return rig_->Foreground() == other; }));
}

TEST_P(ToolkitContract, BringingAMinimisedFormToTheFrontRestoresIt) {
  const platform::Hwnd other = rig_->OpenOtherWindow();
  Open(kForm);
  window().SetWindowState(platform::WindowState::Minimized);
  window().Show(ShowMode::NoActivate);
  Settle();
  ASSERT_EQ(window().GetWindowState(), platform::WindowState::Minimized);
  window().BringToFront();
  EXPECT_TRUE(rig_->PumpUntil([&] { return rig_->Foreground() == window().handle(); }));
  EXPECT_EQ(window().GetWindowState(), platform::WindowState::Normal);
  EXPECT_NE(rig_->Foreground(), other);
}

}  // namespace
}  // namespace pm::tests
