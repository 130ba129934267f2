#include "TrayIcons.h"

// shellapi.h needs the types of windows.h.
#include <shellapi.h>

namespace pm::e2e {
namespace {

// The id each of our programs gives its one tray icon.
constexpr UINT kTrayIconId = 1;

BOOL CALLBACK CountIcon(HWND window, LPARAM context) {
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (lstrcmpiW(className, L"__winex11_tray_icon") == 0) ++*reinterpret_cast<int*>(context);
  return TRUE;
}

}  // namespace

int WineTrayIcons() {
  const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
  if (tray == nullptr) return 0;
  int icons = 0;
  EnumChildWindows(tray, CountIcon, reinterpret_cast<LPARAM>(&icons));
  return icons;
}

bool TrayIconShown(HWND owner, int wineIconsBefore) {
  if (owner == nullptr) return false;
  NOTIFYICONIDENTIFIER icon{};
  icon.cbSize = sizeof(icon);
  icon.hWnd = owner;
  icon.uID = kTrayIconId;
  RECT place{};
  const HRESULT answer = Shell_NotifyIconGetRect(&icon, &place);
  if (answer != E_NOTIMPL) return SUCCEEDED(answer);
  return WineTrayIcons() > wineIconsBefore;
}

}  // namespace pm::e2e
