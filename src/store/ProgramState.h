// The program-wide values of the lock engine, shared by the engine, the
// password prompt and the configuration tool. One instance lives as long as
// the program; its owner is the program's entry point.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/KeyWatch.h"
#include "platform/ServiceChannel.h"
#include "platform/Ui.h"

namespace pm::store {

// Whether the watch runs, or "Unlock Everything" has stopped it.
enum class LockStatus { Locked, Unlocked };

// How the tray icon's tip names the lock status, after the program's title.
constexpr std::string_view TrayTipText(LockStatus status) {
  return status == LockStatus::Unlocked ? "- Unlocked" : "- Locked";
}

// What one unlock by password opens: a window class (for a standard dialog,
// its first 40 title characters) of one program file. A class name alone
// would open every program that shares the class, and on Windows many do.
struct UnlockKey {
  std::string name;         // class name, or the dialog's first 40 title characters
  std::string programPath;  // full path of the program that owns the window
  bool operator==(const UnlockKey&) const = default;
  bool empty() const { return name.empty() && programPath.empty(); }
  void clear() { *this = {}; }
};

// A locked window hidden and waiting for its answer at the prompt, as the
// engine found it.
struct BlockedWindow {
  platform::Hwnd hwnd = 0;
  std::string title;  // its first 40 title characters
  UnlockKey key;
  std::string program;  // the locked program's name, when a program item locked it
};

struct ProgramState {
  // Set only for the configuration tool's own window, once unlocked.
  UnlockKey ConfigWindowKey;
  // The configuration tool's window while it is loaded; 0 otherwise.
  platform::Hwnd ConfigToolHwnd = 0;
  // Wrong passwords in a row at the engine's prompt, across prompts.
  int WrongPasswordsInARow = 0;

  std::string UserPassword;
  std::string UserPassword2;
  // Whether each is stored: read where the program cannot read the
  // passwords themselves (the service keeps them), from the service.
  bool FirstPasswordStored = false;
  bool SecondPasswordStored = false;
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

  LockStatus LockState = LockStatus::Locked;
  std::string AppFolder;

  // Keys of the windows unlocked by password (the engine's List2).
  std::vector<UnlockKey> UnlockedKeys;

  // The service that writes the settings for a caller who knows the
  // password; none where the program writes the registry itself (the
  // simulated PC, a build run without the service).
  platform::ServiceChannel* SettingsService = nullptr;
  // Reports changes another program (an add-on) saved; none in a program
  // that only its own saves change.
  platform::KeyWatch* StoredSettingsWatch = nullptr;
  // Tells the engine when the administrator's settings (Group Policy or
  // Intune) change, so its rules follow them at once; none where nothing
  // watches them.
  platform::KeyWatch* PolicyWatch = nullptr;
  // What the service gave for the password that unlocked the configuration
  // tool: the tool's saves, exports and imports carry it instead of the
  // password, which no program holds. Ended and wiped when the tool unloads
  // and by "Relock Everything".
  std::string ToolTicket;
};

// The configuration tool is known by its window, which only this process
// can own, never by a title that any program may take.
inline bool IsConfigurationTool(platform::Desktop& desktop, const ProgramState& state,
                                platform::Hwnd window) {
  return window != 0 && window == state.ConfigToolHwnd && desktop.IsOwnProcess(window);
}

}  // namespace pm::store
