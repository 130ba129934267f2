// Every value of the Settings key, how it is stored and how it is read, and
// the system values that arm the start-up lock. Nothing else in the program
// spells these names.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/Registry.h"
#include "store/RegValue.h"

namespace pm::store {

inline constexpr platform::RootKey kRootKey = platform::RootKey::LocalMachine;
inline constexpr std::string_view kProductKey = "SOFTWARE\\Pelmora Pro";
inline constexpr std::string_view kSettingsKey = "SOFTWARE\\Pelmora Pro\\Settings";
// A benchmark's switches, which only an administrator can set: "1" keeps the
// engine's foreground hooks out, to measure what the timer alone achieves,
// or its foreground poll, to measure the engine as it runs where the system
// reports every foreground change (Windows stops the poll at the first).
inline constexpr std::string_view kBenchmarkKey = "SOFTWARE\\Pelmora Pro\\Benchmark";
inline constexpr std::string_view kNoForegroundHook = "NoForegroundHook";
inline constexpr std::string_view kNoForegroundPoll = "NoForegroundPoll";
inline constexpr std::string_view kRunOnceKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr std::string_view kWinlogonKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr std::string_view kRunOnceValue = "pmpro lock startup";
// The two program files, side by side in the program folder.
inline constexpr std::string_view kEngineProgram = "pmpro.exe";
inline constexpr std::string_view kStartupProgram = "pmpstart.exe";

namespace setting {
inline constexpr std::string_view kUserPassword = "UserPassword";
inline constexpr std::string_view kUserPassword2 = "UserPassword2";
inline constexpr std::string_view kPasswordPicture = "PasswordPicture";
inline constexpr std::string_view kBadPasswordPic = "BadPasswordPic";
inline constexpr std::string_view kTimeDelay = "TimeDelay";
inline constexpr std::string_view kRelock = "relock";
inline constexpr std::string_view kFirstTime = "FirstTime";
}  // namespace setting

// Passwords are used by their first 16 characters.
inline constexpr std::size_t kPasswordLength = 16;

// A stored password in the hashed form starts with this; anything else is
// the plain lower-case text earlier versions stored.
inline constexpr std::string_view kPasswordHashScheme = "pbkdf2-sha256$";
bool IsHashedPassword(std::string_view stored);

// The ten on/off switches, in the order the configuration tool saves them.
enum class Switch {
  PasswordPrompt,
  LockZip,
  LockInternet,
  DisableMenu,
  BlockInstall,
  LockInternetDownloads,
  LockDesktop,
  BlankScreen,
  HideMenu,
  LockStartup,
};

struct SwitchInfo {
  Switch id;
  std::string_view valueName;
  std::string_view menuCaption;
  // Lower-case keywords the switch adds to the locked keywords while on.
  std::span<const std::string_view> keywords;
};

const std::array<SwitchInfo, 10>& Switches();
const SwitchInfo& Info(Switch id);

// The text of a Settings value of the PC itself; a value that is absent or
// not a string reads as the empty text. What is in force, where an
// administrator's policy may set it, is read by the readers below.
std::string ReadSetting(platform::Registry& registry, std::string_view name);
RegResult WriteSetting(platform::Registry& registry, std::string_view name, std::string_view text);

// Only exactly "1" is on.
bool IsOn(std::string_view stored);
// The switch in force: the administrator's where a policy sets it.
bool ReadSwitch(platform::Registry& registry, Switch id);
bool ForegroundHookSwitchedOff(platform::Registry& registry);
bool ForegroundPollSwitchedOff(platform::Registry& registry);

// The password in force as the check needs it: a plain one cut to the
// characters that count, a hashed one whole; from the passwords' own key
// where the service keeps them (store/PasswordPlace.h). Everything that
// checks a password reads it here: an administrator's policy password
// stands for both of the PC's own (store/PolicySettings.h).
std::string ReadPassword(platform::Registry& registry, std::string_view name);

// Text to a 16-bit integer the way the stored numbers have always been read:
// surrounding blanks allowed, an optional sign, decimals rounded half to
// even. Anything else, or a number outside -32768..32767, gives nothing.
std::optional<std::int16_t> ToInteger16(std::string_view text);

// The prompt's time limit (5 to 99 seconds, 0 = off) and the relock minutes.
// A text that is no 16-bit number in either value turns the limit off and
// keeps the relock minutes the engine had before.
struct TimerSettings {
  std::int16_t timeDelay = 0;
  std::int16_t relockMinutes = 0;
};
TimerSettings ParseTimerSettings(std::string_view timeDelay, std::string_view relock,
                                 std::int16_t previousRelockMinutes);
// Each of the two in force: the administrator's where a policy sets it.
TimerSettings ReadTimerSettings(platform::Registry& registry, std::int16_t previousRelockMinutes);

// Who starts the start-up locker at log-on. Where the service is installed
// it starts it in every session; a RunOnce entry as well would run only at
// an administrator's log-on (that is all Windows runs HKLM RunOnce for) and
// then start a second one. Without the service, RunOnce is all there is.
enum class StartupLockStarter { RunOnce, Service };

// Arms or disarms the start-up locker: with `on`, Winlogon's "Background" is
// deleted and "LogonType" set to 0, and for the RunOnce starter the RunOnce
// entry names pmpstart.exe in `appFolder` (which ends in a backslash);
// otherwise, and without `on`, the RunOnce entry is deleted. The first
// failure is returned.
RegResult ApplyStartupLock(platform::Registry& registry, bool on, std::string_view appFolder,
                           StartupLockStarter starter);

// A folder with exactly one backslash at its end, also for a drive root.
std::string FolderWithBackslash(std::string_view folder);

}  // namespace pm::store
