#include "platform/win32/Win32Shell.h"

#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <algorithm>
#include <string>

#include "platform/win32/Wide.h"
#include "platform/win32/Win32Icons.h"
#include "platform/win32/Win32Messages.h"
#include "platform/win32/Win32Security.h"

namespace pm::win32 {

using platform::Hwnd;

namespace {

// Each owner has one tray entry.
constexpr UINT kTrayIconId = 1;

NOTIFYICONDATAW TrayData(Hwnd owner) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = reinterpret_cast<HWND>(owner);
  data.uID = kTrayIconId;
  return data;
}

bool EnableShutdownPrivilege() {
  UniqueKernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) {
    return false;
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
    return false;
  }
  if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof(privileges), nullptr,
                             nullptr)) {
    return false;
  }
  return GetLastError() != ERROR_NOT_ALL_ASSIGNED;
}

}  // namespace

Win32Shell::~Win32Shell() {
  for (auto& [owner, icon] : trayIcons_) {
    NOTIFYICONDATAW data = TrayData(owner);
    Shell_NotifyIconW(NIM_DELETE, &data);
  }
}

bool Win32Shell::AddTrayIcon(Hwnd owner, platform::BuiltIn icon, std::string_view toolTip) {
  if (owner == 0 || trayIcons_.contains(owner)) return false;
  UniqueHicon loaded(LoadBuiltInIcon(icon, GetSystemMetrics(SM_CXSMICON)));
  NOTIFYICONDATAW data = TrayData(owner);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = loaded.get();
  const std::wstring tip = Wide(toolTip);
  // szTip holds 127 characters and its terminator.
  const std::size_t length = std::min(tip.size(), std::size(data.szTip) - 1);
  std::copy_n(tip.begin(), length, data.szTip);
  // The notification area, at the user's ordinary level, may still send the
  // icon's messages and say that it started again; nothing else of a lower
  // level reaches the window.
  for (const UINT message : {kTrayCallbackMessage, TaskbarCreatedMessage()}) {
    if (message != 0) ChangeWindowMessageFilterEx(data.hWnd, message, MSGFLT_ALLOW, nullptr);
  }
  if (!Shell_NotifyIconW(NIM_ADD, &data)) return false;
  trayIcons_.emplace(owner, std::move(loaded));
  return true;
}

bool Win32Shell::RemoveTrayIcon(Hwnd owner) {
  const auto it = trayIcons_.find(owner);
  if (it == trayIcons_.end()) return false;
  NOTIFYICONDATAW data = TrayData(owner);
  const bool removed = Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
  // The entry is gone either way once its owner has asked: a failed delete
  // means the tray lost it already (its window was destroyed).
  trayIcons_.erase(it);
  return removed;
}

// Above the user's ordinary level (the service starts the engine at high
// integrity), what the engine opens for the user must not inherit that
// level: it would be out of the user's reach, and a program it opened could
// then reach the engine. The service opens it in the user's session instead.
bool Win32Shell::OpensThroughTheService() const {
  return userLevelOpener_ && OwnIntegrityLevel() > kMediumIntegrity;
}

bool Win32Shell::Open(std::string_view fileOrAddress) {
  if (OpensThroughTheService()) return userLevelOpener_(fileOrAddress);
  const HINSTANCE result =
      ShellExecuteW(nullptr, L"open", Wide(fileOrAddress).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  // ShellExecuteW reports success as a value above 32.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Shell::StartProgram(std::string_view path, int showStyle) {
  const std::wstring application = Wide(path);
  // CreateProcessW may write into the command line; it names the program
  // quoted, so a path with blanks stays one argument.
  if (OpensThroughTheService()) return userLevelOpener_(path);
  std::wstring commandLine = L"\"" + application + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showStyle);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &started)) {
    return false;
  }
  UniqueKernelHandle process(started.hProcess);
  UniqueKernelHandle thread(started.hThread);
  return true;
}

bool Win32Shell::ShutDown() {
  // Without the privilege ExitWindowsEx fails; try anyway, as a user who may
  // shut down holds it already.
  EnableShutdownPrivilege();
  return ExitWindowsEx(EWX_SHUTDOWN, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED) != FALSE;
}

}  // namespace pm::win32
