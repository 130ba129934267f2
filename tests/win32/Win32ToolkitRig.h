// What the Windows toolkit tests share: one toolkit for the process, a
// recorder of the events a window reports, a small form, and helpers that
// find a control's native window and pump messages with a deadline.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Toolkit.h"
#include "platform/win32/GdiGuards.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32UiToolkit.h"

namespace pm::tests {

using platform::BuiltIn;
using platform::ControlKind;
using platform::ControlSpec;
using platform::Event;
using platform::FormSpec;
using platform::kDefaultColor;
using platform::MenuSpec;
using platform::UnloadMode;
namespace prop = platform::prop;

// Registering the window class twice is harmless, but one toolkit is what a
// program has.
inline win32::Win32UiToolkit& TheToolkit() {
  static win32::Win32UiToolkit toolkit(GetModuleHandleW(nullptr));
  return toolkit;
}

class EventRecorder final : public platform::WindowEvents {
 public:
  std::vector<std::pair<int, Event>> controlEvents;
  std::vector<int> timers;
  std::vector<int> menus;
  std::vector<std::uint32_t> trayMessages;
  std::vector<UnloadMode> unloads;
  bool cancelUnload = false;
  // Runs after each recorded event, as a form's handler would.
  std::function<void()> then;

  int CountOf(int control, Event event) const {
    int n = 0;
    for (const auto& e : controlEvents) n += e.first == control && e.second == event ? 1 : 0;
    return n;
  }
  int TimerCount(int control) const {
    int n = 0;
    for (int t : timers) n += t == control ? 1 : 0;
    return n;
  }

  void OnControlEvent(int control, Event event) override {
    controlEvents.emplace_back(control, event);
    Then();
  }
  void OnTimer(int control) override {
    timers.push_back(control);
    Then();
  }
  void OnMenu(int menuId) override {
    menus.push_back(menuId);
    Then();
  }
  void OnTrayMessage(std::uint32_t mouseMessage) override {
    trayMessages.push_back(mouseMessage);
    Then();
  }
  bool OnQueryUnload(UnloadMode mode) override {
    unloads.push_back(mode);
    const bool cancel = cancelUnload;
    Then();
    return cancel;
  }

 private:
  void Then() {
    if (then) {
      // The handler may replace itself; run a copy.
      const std::function<void()> handler = then;
      handler();
    }
  }
};

inline constexpr int kmnuOpen = 301;
inline constexpr int kmnuRemember = 302;
inline constexpr int kmnuAbout = 303;
inline constexpr int kmnuTrayOpen = 311;
inline constexpr int kmnuTrayEnd = 312;

// clang-format off
inline constexpr ControlSpec kTestControls[] = {
  // kind                       name           caption     left   top  width height props
  {ControlKind::Button,       "cmdOK",       "OK",        120,  120, 1200,  360, prop::kDefault},
  {ControlKind::Button,       "cmdCancel",   "Cancel",   1440,  120, 1200,  360, prop::kCancel, {}, kDefaultColor, 0, 0, "Closes without saving"},
  {ControlKind::Label,        "lblTitle",    "Title",     120,  600, 2400,  255, prop::kBold | prop::kCentered},
  {ControlKind::TextBox,      "txtName",     "",          120,  960, 2400,  285, prop::kNone, {}, kDefaultColor, 16},
  {ControlKind::TextBox,      "txtPassword", "",          120, 1320, 2400,  285, prop::kPassword, {}, kDefaultColor, 16},
  {ControlKind::CheckBox,     "chkRemember", "Remember",  120, 1680, 2400,  255},
  {ControlKind::OptionButton, "optOne",      "One",       120, 1980, 1100,  255},
  {ControlKind::OptionButton, "optTwo",      "Two",      1320, 1980, 1100,  255},
  {ControlKind::ListBox,      "lstPlain",    "",          120, 2280, 1300, 1000},
  {ControlKind::ListBox,      "lstSorted",   "",         1500, 2280, 1300, 1000, prop::kSorted},
  {ControlKind::ListBox,      "lstChecked",  "",         2880, 2280, 1440, 1000, prop::kCheckBoxes | prop::kSorted},
  {ControlKind::Frame,        "fraPanel",    "",         2880,    0, 1440, 1440, prop::kNone, {}, 0xFFFFFF},
  {ControlKind::Label,        "lblInPanel",  "Inside",    120,  120, 1200,  255, prop::kNone, "fraPanel", 0x0000FF, 0, 0, "Inside the panel"},
  {ControlKind::Image,        "imgPrompt",   "",          120,  600,  720,  720, prop::kNone, "fraPanel", kDefaultColor, 0, 0, {}, BuiltIn::PromptPicture},
  {ControlKind::Line,         "linRule",     "",            0, 3360, 4320,    0, prop::kNone, {}, 0x808080},
  {ControlKind::Timer,        "timManual",   "",            0,    0,    0,    0},
  {ControlKind::Timer,        "timAuto",     "",            0,    0,    0,    0, prop::kEnabledTimer, {}, kDefaultColor, 0, 40},
  {ControlKind::Button,       "cmdTallPic",  "Lock an Item...", 4440, 120, 1125, 1095, prop::kNone, {}, kDefaultColor, 0, 0, {}, BuiltIn::AddItemIcon},
  {ControlKind::Button,       "cmdLowPic",   "Remove",   4440, 1320, 1125,  375, prop::kNone, {}, kDefaultColor, 0, 0, {}, BuiltIn::RemoveItemIcon},
};

inline constexpr MenuSpec kTestMenus[] = {
  {"mnuFile",     "&File",    0,            {}},
  {"mnuOpen",     "&Open",    kmnuOpen,     "mnuFile"},
  {"mnuSep",      "-",        0,            "mnuFile"},
  {"mnuRemember", "Remember", kmnuRemember, "mnuFile"},
  {"mnuHelpTop",  "&Help",    0,            {}},
  {"mnuAbout",    "About",    kmnuAbout,    "mnuHelpTop"},
};

inline constexpr MenuSpec kTestPopups[] = {
  {"mnuTray",     "Tray",     0,            {}},
  {"mnuTrayOpen", "Open",     kmnuTrayOpen, "mnuTray", true},
  {"mnuTrayEnd",  "End",      kmnuTrayEnd,  "mnuTray"},
};
// clang-format on

inline constexpr FormSpec kTestForm = {
    .caption = "Toolkit test",
    .clientWidth = 4320,
    .clientHeight = 3600,
    .border = platform::Border::FixedSingle,
    .controls = kTestControls,
    .menuBar = kTestMenus,
    .popups = kTestPopups,
};

constexpr int Index(std::string_view name) {
  return platform::ControlIndex(kTestControls, name);
}

// The window with `id` anywhere below `root`: a backend may put controls
// into panels of their own.
inline HWND FindDescendant(HWND root, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      root,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (GetDlgCtrlID(child) != s->id) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// How many pixels a form's twips are at `dpi`. The tables were laid out for
// the classic 8-point dialog font, whose dialog base units are 6 x 13 pixels
// at 96 DPI, where a pixel is 15 twips; a form in another font grows or
// shrinks with that font's base units, as a dialog's units do. The font is
// the system's message font, measured as Windows measures a dialog's font.
class TwipsAt {
 public:
  explicit TwipsAt(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
    const win32::WindowDc screen(nullptr);
    const win32::UniqueHfont font(CreateFontIndirectW(&metrics.lfMessageFont));
    const win32::SelectGuard selected(screen.get(), font.get());
    TEXTMETRICW text{};
    GetTextMetricsW(screen.get(), &text);
    SIZE letters{};
    GetTextExtentPoint32W(screen.get(), L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52,
                          &letters);
    base_ = {(letters.cx / 26 + 1) / 2, text.tmHeight};
  }
  explicit TwipsAt(HWND window)
      : TwipsAt(GetDpiForWindow(window) != 0 ? GetDpiForWindow(window) : 96) {}

  SIZE baseUnits() const { return base_; }
  int Across(int twips) const { return MulDiv(twips, base_.cx, 15 * 6); }
  int Down(int twips) const { return MulDiv(twips, base_.cy, 15 * 13); }

 private:
  SIZE base_{};
};

inline std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

inline std::wstring WindowTextW(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Pumps through the toolkit until `done` or the deadline. A thread timer
// wakes the pump, so a missing event fails the test instead of hanging it.
inline bool PumpFor(const std::function<bool()>& done, DWORD milliseconds = 3000) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  const UINT_PTR waker = SetTimer(nullptr, 0, 20, nullptr);
  TheToolkit().PumpUntil([&] { return done() || GetTickCount64() > deadline; });
  KillTimer(nullptr, waker);
  return done();
}

class ToolkitTest : public ::testing::Test {
 protected:
  void Create(const FormSpec& layout = kTestForm) {
    window_ = TheToolkit().CreateFormWindow(layout, events_, nullptr);
    hwnd_ = reinterpret_cast<HWND>(window_->handle());
  }
  HWND Control(std::string_view name) const {
    return FindDescendant(hwnd_, platform::kControlIdBase + Index(name));
  }
  void TearDown() override {
    window_.reset();
    TheToolkit().DoEvents();
  }

  // Declared first, so the window that reports to it goes first.
  EventRecorder events_;
  std::unique_ptr<platform::Window> window_;
  HWND hwnd_ = nullptr;
};

}  // namespace pm::tests
