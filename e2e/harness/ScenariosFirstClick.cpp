// The configuration tool answers from the moment it shows: a real click of
// the mouse on "Set Passwords..." right after the password opened the tool,
// with the service started just before, opens the dialog.
#include "Fixtures.h"
#include "config/frmSetupLayout.h"
#include "platform/win32/Wide.h"
#include "prompt/frmChangePasswordLayout.h"

namespace pm::e2e {

using namespace std::chrono_literals;

namespace {

// As the mouse does it: the pointer to the middle of the window, then a
// press and a release of its left button.
void ClickWithTheMouse(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  INPUT clicks[2]{};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
}

}  // namespace

TEST_F(ToolScenario, ToolFirstClick) {
  const HWND button =
      FindControl(tool, platform::kControlIdBase +
                            platform::ControlIndex(config::kfrmSetupControls, "Command1"));
  ASSERT_NE(button, nullptr) << "the tool has its \"Set Passwords...\" button";
  ClickWithTheMouse(button);
  const auto clicked = std::chrono::steady_clock::now();
  const WindowQuery dialog{.title = win32::Wide(prompt::kfrmChangePasswordSpec.caption),
                           .visibility = WindowQuery::Visibility::Visible,
                           .processId = engineId};
  EXPECT_TRUE(WaitFor([&] { return FindTopLevel(dialog) != nullptr; }, kReactLimit))
      << "the first click opens \"Change Password\"";
  Say("the dialog was up %lld ms after the click",
      static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - clicked)
                                 .count()));
}

}  // namespace pm::e2e
