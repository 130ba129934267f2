// The Windows toolkit under Wine: layout in twips at the window's DPI,
// keyboard, menus, timers, the tray callback, closing, and a window that its
// own handler destroys.
#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/win32/Win32Messages.h"
#include "win32/Win32ToolkitRig.h"

namespace pm::tests {
namespace {

// A control's rectangle in the form's client coordinates.
RECT ClientRectOf(HWND control, HWND form) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

struct FrameCase {
  const char* name;
  platform::Border border;
  bool menuBar;
  bool controlBox;
  // A sizable frame is never narrower than the system's minimum tracking
  // width (about 1.4 inches), on Windows as under Wine.
  int width = 1440;
};

class ClientSize : public ToolkitTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(ClientSize, TheClientAreaIsTheTableSizeInPixelsOfTheWindowsDpi) {
  const FormSpec layout{.caption = "Sized",
                        .clientWidth = GetParam().width,
                        .clientHeight = 2160,
                        .border = GetParam().border,
                        .controlBox = GetParam().controlBox,
                        .menuBar = GetParam().menuBar ? std::span<const MenuSpec>(kTestMenus)
                                                      : std::span<const MenuSpec>()};
  Create(layout);
  RECT client;
  GetClientRect(hwnd_, &client);
  const TwipsAt twips(hwnd_);
  EXPECT_EQ(client.right, twips.Across(GetParam().width));
  EXPECT_EQ(client.bottom, twips.Down(2160));
  // This Wine runs at 96 DPI, where 1440 twips, one inch, are 96 pixels in
  // the classic dialog font; its stand-in font is a sixth broader (7 base
  // units across), and the form with it.
  if (GetDpiForWindow(hwnd_) == 96 && GetParam().width == 1440) {
    EXPECT_EQ(client.right, 96 * twips.baseUnits().cx / 6);
  }
  const LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
  EXPECT_EQ((style & WS_SYSMENU) != 0,
            GetParam().controlBox && GetParam().border != platform::Border::None);
  EXPECT_EQ((style & WS_CAPTION) == WS_CAPTION, GetParam().border != platform::Border::None);
  window_->SetClientSize(2880, 720);
  GetClientRect(hwnd_, &client);
  EXPECT_EQ(client.right, twips.Across(2880));
  EXPECT_EQ(client.bottom, twips.Down(720));
}

INSTANTIATE_TEST_SUITE_P(
    Borders, ClientSize,
    ::testing::Values(FrameCase{"FixedSingle", platform::Border::FixedSingle, false, true},
                      FrameCase{"FixedSingleMenu", platform::Border::FixedSingle, true, true},
                      FrameCase{"FixedDialogNoControlBox", platform::Border::FixedDialog, false,
                                false},
                      FrameCase{"Sizable", platform::Border::Sizable, false, true, 4320},
                      FrameCase{"None", platform::Border::None, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolkitTest, ControlsSitAtTheirTwipsAndInsideTheirPanel) {
  Create();
  const TwipsAt twips(hwnd_);
  const RECT ok = ClientRectOf(Control("cmdOK"), hwnd_);
  EXPECT_EQ(ok.left, twips.Across(120));
  EXPECT_EQ(ok.top, twips.Down(120));
  EXPECT_EQ(ok.right - ok.left, twips.Across(120 + 1200) - twips.Across(120));
  // Positions in a panel are relative to the panel.
  const RECT inside = ClientRectOf(Control("lblInPanel"), hwnd_);
  EXPECT_EQ(inside.left, twips.Across(2880 + 120));
  EXPECT_EQ(inside.top, twips.Down(0 + 120));
  window_->SetControlBounds(Index("cmdOK"), {240, 480, 960, 360});
  EXPECT_EQ(window_->ControlBounds(Index("cmdOK")), (platform::Rect{240, 480, 960, 360}));
  const RECT moved = ClientRectOf(Control("cmdOK"), hwnd_);
  EXPECT_EQ(moved.left, twips.Across(240));
  EXPECT_EQ(moved.top, twips.Down(480));
}

TEST_F(ToolkitTest, ANewDpiLaysTheControlsOutAgain) {
  Create();
  // Wine keeps one DPI for every monitor: the message a move to another
  // monitor would bring is sent by hand.
  RECT suggested{0, 0, 600, 500};
  SendMessageW(hwnd_, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  const TwipsAt twips(144);
  const RECT ok = ClientRectOf(Control("cmdOK"), hwnd_);
  EXPECT_EQ(ok.left, twips.Across(120));
  EXPECT_EQ(ok.right - ok.left, twips.Across(120 + 1200) - twips.Across(120));
  // The client area is the form's at the new scale, whatever Windows
  // suggested for the frame. (Its height is not compared: Wine draws the
  // menu bar at its one DPI, lower than Windows would at 144.)
  RECT client;
  GetClientRect(hwnd_, &client);
  EXPECT_EQ(client.right, twips.Across(kTestForm.clientWidth));
}

TEST_F(ToolkitTest, HiddenControlsAndDisabledControlsSaySo) {
  Create();
  window_->SetControlVisible(Index("cmdOK"), false);
  EXPECT_FALSE(window_->ControlVisible(Index("cmdOK")));
  EXPECT_EQ(GetWindowLongW(Control("cmdOK"), GWL_STYLE) & WS_VISIBLE, 0);
  window_->SetControlVisible(Index("cmdOK"), true);
  EXPECT_TRUE(window_->ControlVisible(Index("cmdOK")));
  window_->SetControlEnabled(Index("txtName"), false);
  EXPECT_FALSE(window_->ControlEnabled(Index("txtName")));
  EXPECT_FALSE(IsWindowEnabled(Control("txtName")));
}

struct KeyCase {
  const char* name;
  WPARAM key;
  const char* disabled;  // a button disabled first, or null
  const char* pressed;   // the button whose click is expected, or null
};

class Keys : public ToolkitTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(Keys, EnterAndEscPressTheDefaultAndCancelButtons) {
  Create();
  if (GetParam().disabled) window_->SetControlEnabled(Index(GetParam().disabled), false);
  // Posted as the keyboard would, to the text box, through the toolkit's pump.
  PostMessageW(Control("txtName"), WM_KEYDOWN, GetParam().key, 1);
  TheToolkit().DoEvents();
  for (const char* button : {"cmdOK", "cmdCancel"}) {
    const bool expected = GetParam().pressed && std::string_view(GetParam().pressed) == button;
    EXPECT_EQ(events_.CountOf(Index(button), Event::Click), expected ? 1 : 0) << button;
  }
}

INSTANTIATE_TEST_SUITE_P(
    DialogKeys, Keys,
    ::testing::Values(KeyCase{"Enter", VK_RETURN, nullptr, "cmdOK"},
                      KeyCase{"Esc", VK_ESCAPE, nullptr, "cmdCancel"},
                      KeyCase{"EscWithCancelDisabled", VK_ESCAPE, "cmdCancel", nullptr},
                      KeyCase{"EnterWithDefaultDisabled", VK_RETURN, "cmdOK", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolkitTest, TabMovesToTheNextControlOfTheTable) {
  Create();
  window_->Show(platform::ShowMode::Normal);
  TheToolkit().DoEvents();
  window_->SetFocus(Index("txtName"));
  ASSERT_EQ(GetFocus(), Control("txtName"));
  PostMessageW(Control("txtName"), WM_KEYDOWN, VK_TAB, 1);
  TheToolkit().DoEvents();
  EXPECT_EQ(GetFocus(), Control("txtPassword"));
}

TEST_F(ToolkitTest, TheMenuBarIsBuiltFromTheTable) {
  Create();
  const HMENU bar = GetMenu(hwnd_);
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  const HMENU file = GetSubMenu(bar, 0);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(kmnuOpen));
  EXPECT_NE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
  EXPECT_EQ(GetMenuItemID(file, 2), static_cast<UINT>(kmnuRemember));
  EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 1), 0), static_cast<UINT>(kmnuAbout));
  wchar_t caption[32] = {};
  GetMenuStringW(bar, 1, caption, 32, MF_BYPOSITION);
  EXPECT_STREQ(caption, L"&Help");
}

TEST_F(ToolkitTest, MenuCommandsAndCheckMarksGoByTheirIds) {
  Create();
  PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(kmnuOpen, 0), 0);
  TheToolkit().DoEvents();
  EXPECT_EQ(events_.menus, std::vector<int>{kmnuOpen});
  window_->SetMenuChecked(kmnuRemember, true);
  EXPECT_TRUE(window_->MenuChecked(kmnuRemember));
  EXPECT_NE(GetMenuState(GetMenu(hwnd_), kmnuRemember, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_FALSE(window_->MenuChecked(kmnuOpen));
  window_->SetMenuChecked(kmnuRemember, false);
  EXPECT_FALSE(window_->MenuChecked(kmnuRemember));
}

class TrayMessages : public ToolkitTest, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(TrayMessages, TheTrayCallbackReachesTheFormWithItsMouseMessage) {
  Create();
  SendMessageW(hwnd_, win32::kTrayCallbackMessage, 0, GetParam());
  EXPECT_EQ(events_.trayMessages, std::vector<std::uint32_t>{GetParam()});
}

INSTANTIATE_TEST_SUITE_P(Mouse, TrayMessages,
                         ::testing::Values(platform::kWmLButtonDblClk, platform::kWmRButtonUp));

TEST_F(ToolkitTest, TimersFireThroughThePumpOnlyWhileEnabled) {
  Create();
  const int manual = Index("timManual");
  const int automatic = Index("timAuto");
  // Started by its table row.
  EXPECT_TRUE(window_->TimerEnabled(automatic));
  EXPECT_EQ(window_->TimerInterval(automatic), 40);
  EXPECT_FALSE(window_->TimerEnabled(manual));
  window_->SetTimer(manual, 30, false);
  ASSERT_TRUE(PumpFor([&] { return events_.TimerCount(automatic) >= 3; }));
  EXPECT_EQ(events_.TimerCount(manual), 0);
  window_->SetTimer(manual, 30, true);
  EXPECT_TRUE(PumpFor([&] { return events_.TimerCount(manual) >= 2; }));
  window_->SetTimer(manual, 30, false);
  TheToolkit().DoEvents();
  const int fired = events_.TimerCount(manual);
  ASSERT_TRUE(PumpFor([&] { return events_.TimerCount(automatic) >= 10; }));
  EXPECT_EQ(events_.TimerCount(manual), fired);
}

struct CloseCase {
  const char* name;
  UINT message;
  WPARAM wParam;
  bool cancel;
  int expectedUnloads;
  UnloadMode mode;
  // Windows sends WM_QUERYENDSESSION, from another thread, before it ends
  // the session; a WM_ENDSESSION posted without it is another program's.
  bool askedFirst = false;
};

// As Windows asks: sent from another thread, answered while this one pumps.
void AskWhetherTheSessionMayEnd(HWND window) {
  std::atomic<bool> answered{false};
  std::thread asker([&] {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 5000, &result);
    answered = true;
  });
  PumpFor([&] { return answered.load(); }, 5000);
  asker.join();
}

class Closing : public ToolkitTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(Closing, ACloseRequestAsksTheFormAndOnlyItClosesTheWindow) {
  Create();
  events_.cancelUnload = GetParam().cancel;
  // Accepting, the form unloads: it lets its window go inside the call.
  events_.then = [this] {
    if (!events_.unloads.empty() && !events_.cancelUnload) window_.reset();
  };
  if (GetParam().askedFirst) AskWhetherTheSessionMayEnd(hwnd_);
  PostMessageW(hwnd_, GetParam().message, GetParam().wParam, 0);
  PumpFor([&] { return static_cast<int>(events_.unloads.size()) >= GetParam().expectedUnloads; },
          500);
  TheToolkit().DoEvents();
  ASSERT_EQ(static_cast<int>(events_.unloads.size()), GetParam().expectedUnloads);
  if (GetParam().expectedUnloads > 0) {
    EXPECT_EQ(events_.unloads[0], GetParam().mode);
  }
  // Cancelled, or not asked at all, the window stays.
  EXPECT_EQ(IsWindow(hwnd_) != FALSE, GetParam().cancel || GetParam().expectedUnloads == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, Closing,
    ::testing::Values(CloseCase{"CloseCancelled", WM_CLOSE, 0, true, 1, UnloadMode::ControlMenu},
                      CloseCase{"CloseAccepted", WM_CLOSE, 0, false, 1, UnloadMode::ControlMenu},
                      CloseCase{"EndSession", WM_ENDSESSION, TRUE, false, 1,
                                UnloadMode::WindowsSession, true},
                      CloseCase{"EndSessionCancelled", WM_ENDSESSION, FALSE, false, 0,
                                UnloadMode::WindowsSession, true},
                      CloseCase{"EndSessionNobodyAsked", WM_ENDSESSION, TRUE, false, 0,
                                UnloadMode::WindowsSession}),
    [](const auto& info) { return std::string(info.param.name); });

// Whatever reports the event, the handler may destroy the window.
class DestroyedByItsHandler : public ToolkitTest,
                              public ::testing::WithParamInterface<const char*> {};

TEST_P(DestroyedByItsHandler, TheWindowGoesWithoutACrash) {
  Create();
  events_.then = [this] { window_.reset(); };
  const std::string_view how = GetParam();
  if (how == "button") {
    SendMessageW(Control("cmdOK"), BM_CLICK, 0, 0);
  } else if (how == "menu") {
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(kmnuOpen, 0), 0);
  } else if (how == "timer") {
    PumpFor([&] { return !events_.timers.empty(); });
  } else if (how == "tray") {
    SendMessageW(hwnd_, win32::kTrayCallbackMessage, 0, platform::kWmRButtonUp);
  } else if (how == "enter") {
    PostMessageW(Control("txtName"), WM_KEYDOWN, VK_RETURN, 1);
  }
  TheToolkit().DoEvents();
  EXPECT_EQ(window_, nullptr);
  EXPECT_FALSE(IsWindow(hwnd_));
}

INSTANTIATE_TEST_SUITE_P(Events, DestroyedByItsHandler,
                         ::testing::Values("button", "menu", "timer", "tray", "enter"));

TEST_F(ToolkitTest, AnExceptionInAHandlerStopsAtTheWindowProcedure) {
  Create();
  events_.then = [] { throw std::runtime_error("handler failed"); };
  EXPECT_NO_THROW(SendMessageW(Control("cmdOK"), BM_CLICK, 0, 0));
  events_.then = nullptr;
  SendMessageW(Control("cmdOK"), BM_CLICK, 0, 0);
  EXPECT_EQ(events_.CountOf(Index("cmdOK"), Event::Click), 2);
}

TEST_F(ToolkitTest, ShowingAppliesTheInitialStateAndHidingHides) {
  const FormSpec layout{.caption = "Minimised first",
                        .clientWidth = 1440,
                        .clientHeight = 1440,
                        .minButton = true,
                        .initialState = platform::WindowState::Minimized};
  Create(layout);
  EXPECT_EQ(window_->GetWindowState(), platform::WindowState::Minimized);
  EXPECT_FALSE(IsWindowVisible(hwnd_)) << "the state waits for the first Show";
  window_->Show(platform::ShowMode::NoActivate);
  EXPECT_TRUE(window_->IsVisible());
  EXPECT_TRUE(IsIconic(hwnd_));
  EXPECT_NE(GetWindowLongW(hwnd_, GWL_STYLE) & WS_MINIMIZEBOX, 0);
  window_->Hide();
  EXPECT_FALSE(window_->IsVisible());
}

TEST_F(ToolkitTest, CoverMonitorOfSizesTheWindowOverTheWholeMonitor) {
  Create(FormSpec{.caption = "Cover", .border = platform::Border::None, .controlBox = false});
  window_->CoverMonitorOf(0);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT r;
  GetWindowRect(hwnd_, &r);
  EXPECT_TRUE(EqualRect(&r, &monitor.rcMonitor));

  // Xvfb has one monitor; the virtual screen's metrics are what Windows
  // gives for every monitor at once.
  window_->CoverEveryMonitor();
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const RECT everyMonitor{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                          top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  GetWindowRect(hwnd_, &r);
  EXPECT_TRUE(EqualRect(&r, &everyMonitor));
}

TEST_F(ToolkitTest, CenterOnScreenCentresOnTheWorkArea) {
  Create();
  window_->CenterOnScreen();
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT r;
  GetWindowRect(hwnd_, &r);
  const RECT& work = monitor.rcWork;
  EXPECT_LE(std::abs((r.left - work.left) - (work.right - r.right)), 1);
  EXPECT_LE(std::abs((r.top - work.top) - (work.bottom - r.bottom)), 1);
}

TEST_F(ToolkitTest, DoEventsHandlesWhatIsPendingAndReturns) {
  Create();
  for (int id : {kmnuOpen, kmnuAbout}) PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  TheToolkit().DoEvents();
  EXPECT_EQ(events_.menus, (std::vector<int>{kmnuOpen, kmnuAbout}));
}

TEST(ToolkitRun, QuitEndsRunWithItsExitCode) {
  // A toolkit of its own: once quit, a toolkit stays quit.
  win32::Win32UiToolkit toolkit(GetModuleHandleW(nullptr));
  EventRecorder events;
  std::unique_ptr<platform::Window> window = toolkit.CreateFormWindow(kTestForm, events, nullptr);
  events.then = [&] {
    if (!events.timers.empty()) toolkit.Quit(7);
  };
  EXPECT_EQ(toolkit.Run(), 7);
}

}  // namespace
}  // namespace pm::tests
