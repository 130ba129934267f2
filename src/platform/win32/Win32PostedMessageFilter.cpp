#include "platform/win32/Win32PostedMessageFilter.h"

namespace pm::win32 {

Win32PostedMessageFilter::Win32PostedMessageFilter()
    : hook_(SetWindowsHookExW(WH_GETMESSAGE, &Win32PostedMessageFilter::Hook, nullptr,
                              GetCurrentThreadId())) {}

bool Win32PostedMessageFilter::OnlyEverSent(UINT message) {
  switch (message) {
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_DPICHANGED:
    case WM_GETMINMAXINFO:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_NCCALCSIZE:
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_COPYDATA:
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK Win32PostedMessageFilter::Hook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    // What the hook leaves in the message is what the loop dispatches.
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (OnlyEverSent(message->message)) message->message = WM_NULL;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace pm::win32
