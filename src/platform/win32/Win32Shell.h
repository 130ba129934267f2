// The tray, ShellExecute, CreateProcess and ExitWindowsEx.
#pragma once

#include <functional>
#include <map>

#include "platform/Shell.h"
#include "platform/win32/Handles.h"

namespace pm::win32 {

class Win32Shell final : public platform::Shell {
 public:
  Win32Shell() = default;
  // Takes away the tray icons it still shows.
  ~Win32Shell() override;
  Win32Shell(const Win32Shell&) = delete;
  Win32Shell& operator=(const Win32Shell&) = delete;

  // The icon's mouse messages reach `owner` as kTrayCallbackMessage
  // (Win32Messages.h) with the mouse message in lParam.
  bool AddTrayIcon(platform::Hwnd owner, platform::BuiltIn icon, std::string_view toolTip) override;
  bool RemoveTrayIcon(platform::Hwnd owner) override;
  // Where set, and the program runs above the user's ordinary level, files,
  // addresses and programs are opened through `opener` at the user's level.
  using UserLevelOpener = std::function<bool(std::string_view fileOrAddress)>;
  void OpenAtUserLevelThrough(UserLevelOpener opener) { userLevelOpener_ = std::move(opener); }

  bool Open(std::string_view fileOrAddress) override;
  bool StartProgram(std::string_view path, int showStyle) override;
  bool ShutDown() override;

 private:
  bool OpensThroughTheService() const;

  // The icon of each owner's tray entry, kept until the entry is removed.
  std::map<platform::Hwnd, UniqueHicon> trayIcons_;
  UserLevelOpener userLevelOpener_;
};

}  // namespace pm::win32
