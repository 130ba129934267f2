// Steps in the configuration tool and its message boxes that several
// scenarios share: opening the tool behind the password, and reading and
// answering the message box a command opened.
#include <gtest/gtest.h>

#include "Scenarios.h"
#include "config/frmSetupLayout.h"
#include "platform/win32/Wide.h"

namespace pm::e2e {

using win32::Wide;

WindowQuery ToolQuery(DWORD engineId) {
  return {.title = Wide(config::kSetupTitle),
          .visibility = WindowQuery::Visibility::Visible,
          .processId = engineId};
}

namespace {

BOOL CALLBACK CollectStaticText(HWND child, LPARAM context) {
  wchar_t className[32] = {};
  GetClassNameW(child, className, 32);
  if (_wcsicmp(className, L"Static") == 0) {
    const std::wstring text = TextOf(child);
    if (!text.empty()) *reinterpret_cast<std::wstring*>(context) += text;
  }
  return TRUE;
}

}  // namespace

MessageBoxSeen WaitForMessageBox(DWORD processId, std::chrono::milliseconds limit) {
  MessageBoxSeen seen;
  const WindowQuery query{.title = {},
                          .className = L"#32770",
                          .visibility = WindowQuery::Visibility::Visible,
                          .processId = processId};
  WaitFor([&] { return (seen.box = FindTopLevel(query)) != nullptr; }, limit);
  if (seen.box != nullptr) seen.text = DialogText(seen.box);
  return seen;
}

std::wstring DialogText(HWND dialog) {
  std::wstring text;
  EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

void PressOk(HWND box) {
  const HWND ok = GetDlgItem(box, IDOK);
  if (ok != nullptr) {
    PostMessageW(ok, BM_CLICK, 0, 0);
  } else {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
}

HWND OpenTool(Engines& engines, DWORD engineId, const wchar_t* password) {
  if (engines.Start() == 0) {
    ADD_FAILURE() << "a second pmpro did not start";
    return nullptr;
  }
  const Prompt prompt = WaitForPrompt();
  if (!prompt) return nullptr;
  prompt.Answer(password);
  HWND tool = nullptr;
  EXPECT_TRUE(
      WaitFor([&] { return (tool = FindTopLevel(ToolQuery(engineId))) != nullptr; }, kReactLimit))
      << "the password \"" << Utf8(password) << "\" opens the Configuration Tool";
  return tool;
}

testing::AssertionResult ToolGone(DWORD engineId, const std::string& why) {
  if (WaitFor([&] { return FindTopLevel(ToolQuery(engineId)) == nullptr; }, kReactLimit)) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure() << "the Configuration Tool does not close " << why;
}

std::wstring AnswerMessageBox(DWORD processId, const std::string& what,
                              std::chrono::milliseconds limit) {
  const MessageBoxSeen seen = WaitForMessageBox(processId, limit);
  if (seen.box == nullptr) {
    ADD_FAILURE() << what << ": no message box comes";
    return {};
  }
  Say("message box: %s", Utf8(seen.text).c_str());
  PressOk(seen.box);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(seen.box); }, kReactLimit))
      << what << ": OK closes the message box";
  return seen.text;
}

}  // namespace pm::e2e
