// The Windows toolkit under Wine: forms built from their tables, controls,
// the events they report, keyboard, menus, timers and closing. Wine runs at
// 96 DPI here and has no window manager (Managed = N); where that makes a
// difference the test says so.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "win32/Win32ToolkitRig.h"

#include "platform/win32/Win32Messages.h"

namespace pm::tests {
namespace {

struct ControlClass {
  std::string_view name;
  const wchar_t* windowClass;
  bool tabStop;
};

class ControlWindows : public ToolkitTest, public ::testing::WithParamInterface<ControlClass> {};

TEST_P(ControlWindows, EachControlIsANativeWindowWithItsTableId) {
  Create();
  const HWND control = Control(GetParam().name);
  ASSERT_NE(control, nullptr) << "no window with id kControlIdBase + index";
  EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), GetParam().windowClass), 0)
      << ClassOf(control).c_str();
  EXPECT_EQ((GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) != 0, GetParam().tabStop);
}

INSTANTIATE_TEST_SUITE_P(Table, ControlWindows,
                         ::testing::Values(ControlClass{"cmdOK", L"Button", true},
                                           ControlClass{"lblTitle", L"Static", false},
                                           ControlClass{"txtName", L"Edit", true},
                                           ControlClass{"chkRemember", L"Button", true},
                                           ControlClass{"optTwo", L"Button", true},
                                           ControlClass{"lstPlain", L"ListBox", true},
                                           ControlClass{"lstChecked", WC_LISTVIEWW, true},
                                           ControlClass{"lblInPanel", L"Static", false},
                                           ControlClass{"imgPrompt", L"Static", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolkitTest, AFormIsCreatedHiddenAndInactiveInTheProgramsOneClass) {
  const HWND foreground = GetForegroundWindow();
  Create();
  EventRecorder otherEvents;
  auto other = TheToolkit().CreateFormWindow(FormSpec{.caption = "Other"}, otherEvents, nullptr);
  const HWND otherWindow = reinterpret_cast<HWND>(other->handle());
  EXPECT_FALSE(IsWindowVisible(hwnd_));
  EXPECT_FALSE(window_->IsVisible());
  EXPECT_EQ(GetForegroundWindow(), foreground);
  EXPECT_EQ(ClassOf(hwnd_), L"PelmoraProWindow");
  EXPECT_EQ(ClassOf(otherWindow), L"PelmoraProWindow");
  EXPECT_EQ(FindWindowW(L"PelmoraProWindow", L"Other"), otherWindow);
}

// Texts cross as UTF-8 and reach Windows as the same characters.
class TextRoundTrip : public ToolkitTest, public ::testing::WithParamInterface<std::string_view> {};

TEST_P(TextRoundTrip, UnicodeTextReachesTheControlIntact) {
  Create();
  const std::string text = "Пароль ✓ Ω";
  const std::wstring wide = L"\u041F\u0430\u0440\u043E\u043B\u044C \u2713 \u03A9";
  if (GetParam() == "form") {
    window_->SetCaption(text);
    EXPECT_EQ(window_->Caption(), text);
    EXPECT_EQ(WindowTextW(hwnd_), wide);
  } else {
    window_->SetText(Index(GetParam()), text);
    EXPECT_EQ(window_->Text(Index(GetParam())), text);
    EXPECT_EQ(WindowTextW(Control(GetParam())), wide);
  }
}

INSTANTIATE_TEST_SUITE_P(Controls, TextRoundTrip,
                         ::testing::Values("form", "cmdOK", "lblTitle", "txtName", "chkRemember",
                                           "lblInPanel"),
                         [](const auto& info) { return std::string(info.param); });

TEST_F(ToolkitTest, TextTypedElsewhereIsReadBackAndReportedAsAChange) {
  Create();
  // As the end-to-end harness types: WM_SETTEXT from outside the toolkit.
  SendMessageW(Control("txtName"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\u0416\u0443\u043A"));
  EXPECT_EQ(window_->Text(Index("txtName")), "Жук");
  EXPECT_GE(events_.CountOf(Index("txtName"), Event::Change), 1);
}

TEST_F(ToolkitTest, TextBoxesLimitTypingAndHidePasswords) {
  Create();
  EXPECT_EQ(SendMessageW(Control("txtName"), EM_GETLIMITTEXT, 0, 0), 16);
  EXPECT_EQ(SendMessageW(Control("txtPassword"), EM_GETPASSWORDCHAR, 0, 0), L'*');
  EXPECT_NE(GetWindowLongW(Control("txtPassword"), GWL_STYLE) & ES_PASSWORD, 0);
  EXPECT_EQ(GetWindowLongW(Control("txtName"), GWL_STYLE) & ES_PASSWORD, 0);
}

TEST_F(ToolkitTest, ChecksAndOptionsKeepTheirState) {
  Create();
  window_->SetChecked(Index("chkRemember"), true);
  EXPECT_TRUE(window_->Checked(Index("chkRemember")));
  EXPECT_EQ(SendMessageW(Control("chkRemember"), BM_GETCHECK, 0, 0), BST_CHECKED);
  window_->SetChecked(Index("chkRemember"), false);
  EXPECT_FALSE(window_->Checked(Index("chkRemember")));
  // A click by the user toggles the box and is reported.
  SendMessageW(Control("chkRemember"), BM_CLICK, 0, 0);
  EXPECT_TRUE(window_->Checked(Index("chkRemember")));
  EXPECT_EQ(events_.CountOf(Index("chkRemember"), Event::Click), 1);
}

// Both kinds of list: a plain list box and a list with check boxes.
class Lists : public ToolkitTest, public ::testing::WithParamInterface<std::string_view> {
 protected:
  int list() const { return Index(GetParam() == "plain" ? "lstSorted" : "lstChecked"); }
};

TEST_P(Lists, ASortedListInsertsWithoutCaseAndAnswersTheIndex) {
  Create();
  // Each entry, and where a comparison without case puts it; a comparison
  // with case would put "Banana" before "apple" and "Банан" before "арбуз".
  const std::pair<std::string_view, int> adds[] = {{"cherry", 0}, {"Banana", 0}, {"apple", 0},
                                                   {"Date", 3},   {"Банан", 4},  {"арбуз", 4}};
  for (const auto& [text, expected] : adds)
    EXPECT_EQ(window_->ListAdd(list(), text), expected) << text;
  const std::string_view order[] = {"apple", "Banana", "cherry", "Date", "арбуз", "Банан"};
  ASSERT_EQ(window_->ListCount(list()), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(window_->ListText(list(), i), order[i]) << i;
}

TEST_P(Lists, ListIndexMinusOneMeansNoneCurrent) {
  Create();
  for (std::string_view text : {"one", "two", "three"}) window_->ListAdd(list(), text);
  EXPECT_EQ(window_->ListIndex(list()), -1);
  window_->SetListIndex(list(), 1);
  EXPECT_EQ(window_->ListIndex(list()), 1);
  window_->SetListIndex(list(), -1);
  EXPECT_EQ(window_->ListIndex(list()), -1);
  window_->SetListIndex(list(), 2);
  window_->ListClear(list());
  EXPECT_EQ(window_->ListCount(list()), 0);
  EXPECT_EQ(window_->ListIndex(list()), -1);
}

TEST_P(Lists, RemovingAnEntryClosesTheGap) {
  Create();
  for (std::string_view text : {"a", "b", "c"}) window_->ListAdd(list(), text);
  window_->ListRemove(list(), 1);
  window_->ListRemove(list(), 7);  // out of range: nothing
  ASSERT_EQ(window_->ListCount(list()), 2);
  EXPECT_EQ(window_->ListText(list(), 0), "a");
  EXPECT_EQ(window_->ListText(list(), 1), "c");
  EXPECT_EQ(window_->ListText(list(), 5), "");
}

INSTANTIATE_TEST_SUITE_P(Kinds, Lists, ::testing::Values("plain", "checkboxes"),
                         [](const auto& info) { return std::string(info.param); });

TEST_F(ToolkitTest, AnUnsortedListKeepsTheOrderOfAdding) {
  Create();
  EXPECT_EQ(window_->ListAdd(Index("lstPlain"), "b"), 0);
  EXPECT_EQ(window_->ListAdd(Index("lstPlain"), "A"), 1);
  EXPECT_EQ(window_->ListText(Index("lstPlain"), 1), "A");
}

TEST_F(ToolkitTest, ACheckMarkStaysWithItsEntryWhenOthersAreInserted) {
  Create();
  const int list = Index("lstChecked");
  window_->ListAdd(list, "Notepad");
  window_->ListAdd(list, "Registry Editor");
  window_->SetListChecked(list, 1, true);
  // "Control Panel" sorts first and pushes the checked entry to index 2.
  window_->ListAdd(list, "Control Panel");
  EXPECT_FALSE(window_->ListChecked(list, 0));
  EXPECT_FALSE(window_->ListChecked(list, 1));
  EXPECT_TRUE(window_->ListChecked(list, 2));
  // The check box the user sees says the same (state image 2 = checked).
  EXPECT_EQ(SendMessageW(Control("lstChecked"), LVM_GETITEMSTATE, 2, LVIS_STATEIMAGEMASK),
            INDEXTOSTATEIMAGEMASK(2));
  // Set by the program it is no event, as in the simulated toolkit.
  EXPECT_EQ(events_.CountOf(list, Event::ItemCheck), 0);
}

TEST_F(ToolkitTest, ACheckToggledInTheListIsReportedAsItemCheck) {
  Create();
  const int list = Index("lstChecked");
  window_->ListAdd(list, "Notepad");
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(2);
  SendMessageW(Control("lstChecked"), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_TRUE(window_->ListChecked(list, 0));
  EXPECT_EQ(events_.CountOf(list, Event::ItemCheck), 1);
}

TEST_F(ToolkitTest, ALabelClickIsReported) {
  Create();
  const HWND label = Control("lblInPanel");
  SendMessageW(GetParent(label), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(label), STN_CLICKED),
               reinterpret_cast<LPARAM>(label));
  SendMessageW(GetParent(label), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(label), STN_DBLCLK),
               reinterpret_cast<LPARAM>(label));
  EXPECT_EQ(events_.CountOf(Index("lblInPanel"), Event::Click), 1);
  EXPECT_EQ(events_.CountOf(Index("lblInPanel"), Event::DblClick), 1);
}

TEST_F(ToolkitTest, ALabelIsPaintedInItsColourOnItsPanel) {
  Create();
  const HWND label = Control("lblInPanel");
  HDC dc = CreateCompatibleDC(nullptr);
  const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(label), WM_CTLCOLORSTATIC,
                                                           reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(label)));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0xFF));
  LOGBRUSH logBrush{};
  ASSERT_NE(brush, nullptr);
  ASSERT_NE(GetObjectW(brush, sizeof(logBrush), &logBrush), 0);
  EXPECT_EQ(logBrush.lbColor, RGB(0xFF, 0xFF, 0xFF)) << "the white panel's background";
  DeleteDC(dc);
}

TEST_F(ToolkitTest, ABoldLabelUsesABoldMessageFont) {
  Create();
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  LOGFONTW bold{};
  LOGFONTW plain{};
  ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Control("lblTitle"), WM_GETFONT, 0, 0)),
                       sizeof(bold), &bold),
            0);
  ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Control("cmdOK"), WM_GETFONT, 0, 0)),
                       sizeof(plain), &plain),
            0);
  EXPECT_GE(bold.lfWeight, FW_BOLD);
  EXPECT_LT(plain.lfWeight, FW_BOLD);
  EXPECT_STREQ(plain.lfFaceName, metrics.lfMessageFont.lfFaceName);
  EXPECT_NE(GetWindowLongW(Control("lblTitle"), GWL_STYLE) & SS_CENTER, 0);
}

TEST_F(ToolkitTest, ToolTipsCarryTheirTexts) {
  Create();
  // The form, and the tool tip window it owns once found.
  std::pair<HWND, HWND> search{hwnd_, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* found = reinterpret_cast<std::pair<HWND, HWND>*>(data);
        if (_wcsicmp(ClassOf(window).c_str(), TOOLTIPS_CLASSW) == 0 &&
            GetWindow(window, GW_OWNER) == found->first) {
          found->second = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  const HWND toolTip = search.second;
  ASSERT_NE(toolTip, nullptr);
  ASSERT_EQ(SendMessageW(toolTip, TTM_GETTOOLCOUNT, 0, 0), 2);
  std::vector<std::wstring> texts;
  for (int i = 0; i < 2; ++i) {
    wchar_t text[80] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageW(toolTip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)));
    texts.emplace_back(text);
  }
  EXPECT_NE(std::find(texts.begin(), texts.end(), L"Closes without saving"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), L"Inside the panel"), texts.end());
}

}  // namespace
}  // namespace pm::tests
