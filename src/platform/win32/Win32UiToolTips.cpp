#include "platform/win32/Win32UiToolTips.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/Wide.h"

namespace pm::win32 {

namespace {

TOOLINFOW ToolOf(HWND window, HWND control) {
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  return tool;
}

}  // namespace

void Win32UiToolTips::Build(HWND window, HINSTANCE instance, const Win32UiControls& controls) {
  window_ = window;
  toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                             nullptr, instance, nullptr);
  for (int i = 0; i < controls.Count(); ++i) {
    HWND control = controls.HandleOf(i);
    if (control != nullptr && !controls.SpecOf(i).toolTip.empty()) {
      Add(control, controls.SpecOf(i).toolTip);
    }
  }
}

void Win32UiToolTips::Set(HWND control, std::string_view text) {
  if (control == nullptr || toolTip_ == nullptr) return;
  TOOLINFOW tool = ToolOf(window_, control);
  SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (!text.empty()) Add(control, text);
}

void Win32UiToolTips::Add(HWND control, std::string_view text) {
  if (toolTip_ == nullptr) return;
  std::wstring tip = Wide(text);
  TOOLINFOW tool = ToolOf(window_, control);
  tool.lpszText = tip.data();
  SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace pm::win32
