// The tray icon, opening documents and web pages, starting programs, and
// shutting the computer down.
#pragma once

#include <string_view>

#include "platform/Toolkit.h"
#include "platform/Ui.h"

namespace pm::platform {

// How a started program's window first appears (ShowWindow's values).
inline constexpr int kShowNormalNoActivate = 4;
inline constexpr int kShowMinimizedNoActivate = 7;
inline constexpr int kShowNormal = 1;

class Shell {
 public:
  virtual ~Shell() = default;

  // The tray icon of `owner`; its mouse messages arrive as the owner's
  // OnTrayMessage. Adding an icon that is shown already fails.
  virtual bool AddTrayIcon(Hwnd owner, BuiltIn icon, std::string_view toolTip) = 0;
  virtual bool RemoveTrayIcon(Hwnd owner) = 0;

  // Opens a file or an address with the program the user has for it.
  virtual bool Open(std::string_view fileOrAddress) = 0;
  virtual bool StartProgram(std::string_view path, int showStyle) = 0;
  virtual bool ShutDown() = 0;
};

}  // namespace pm::platform
