// The program-wide values of the lock engine, shared by the engine, the
// password prompt and the configuration tool. One instance lives as long as
// the program; its owner is the program's entry point.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ServiceChannel.h"
#include "platform/Ui.h"

namespace pm::store {

inline constexpr std::string_view kLocked = "- Locked";
inline constexpr std::string_view kUnlocked = "- Unlocked";

struct ProgramState {
  platform::Hwnd CurrentHwnd = 0;
  // The window last taken as blocked; 0 before the first block, and 1 when
  // the window in front is one already unlocked.
  platform::Hwnd LockedHwnd = 0;
  std::string WindowTitle;  // at most 40 characters
  std::string WindowKey;
  std::string ConfigWindowKey;

  std::string UserPassword;
  std::string UserPassword2;
  std::int16_t TimeDelay = 0;
  std::int16_t SetupTimeDelay = 0;  // the configuration tool's edited copy
  std::int16_t RelockMinutes = 0;
  std::int16_t RelockCounter = 0;
  std::string PasswordPicture;
  std::string BadPasswordPic;

  bool AllUnlocked = false;
  bool ReloadRequested = false;
  bool SetupRequested = false;
  bool TrayIconDisabled = false;
  bool PickBadPicture = false;

  std::string LockState = std::string(kLocked);
  std::string AppFolder;

  // Keys of the windows unlocked by password (the engine's List2).
  std::vector<std::string> UnlockedKeys;

  // The service that writes the settings for a caller who knows the
  // password; none where the program writes the registry itself (the
  // simulated PC, a build run without the service).
  platform::ServiceChannel* SettingsService = nullptr;
  // The password that unlocked the configuration tool, for the tool's saves
  // through the service; wiped when the tool unloads.
  std::string ToolPassword;
};

}  // namespace pm::store
