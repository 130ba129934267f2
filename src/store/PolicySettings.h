// The settings an administrator gives many PCs by Group Policy or Intune,
// under HKLM\SOFTWARE\Policies\Pelmora Pro in the same form as the PC's own
// (a Settings key, the Windows, Windows3 and Programs lists). Where a policy
// value exists it wins over the PC's own: its switches, times and password
// replace the local ones, and its locked items and ignore entries are added
// to the local lists. Nothing of ours ever writes there; only an
// administrator or the Group Policy client (as SYSTEM) can.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace pm::store {

inline constexpr std::string_view kPolicyKey = "SOFTWARE\\Policies\\Pelmora Pro";
inline constexpr std::string_view kPolicySettingsKey = "SOFTWARE\\Policies\\Pelmora Pro\\Settings";
// The administrator's locked programs, in the form of the PC's own list.
inline constexpr std::string_view kPolicyProgramListKey =
    "SOFTWARE\\Policies\\Pelmora Pro\\Programs";

// What the configuration tool says of everything the administrator set.
inline constexpr std::string_view kSetByAdministrator = "Set by your administrator";

// Whether a key path (below HKLM) lies in the administrator's key.
bool IsPolicyPath(std::string_view path);

// A Settings value as the administrator set it: a string value under the
// policy key, whatever its text (a value of another type counts as absent,
// as the PC's own values do). Nothing when the policy leaves it to the PC.
std::optional<std::string> ReadPolicySetting(platform::Registry& registry, std::string_view name);
bool IsSetByPolicy(platform::Registry& registry, std::string_view name);

// The Settings value in force: the administrator's where set, else the PC's.
std::string ReadSettingInForce(platform::Registry& registry, std::string_view name);

// The password in force instead of both of the PC's, when the administrator
// gives one: its hash as the policy holds it, or, for a value that is not
// in the hashed form (a plain password would be readable by every user of
// the domain), a stored form that no typed text matches. Nothing when the
// policy gives no password (absent or empty).
std::optional<std::string> PolicyPassword(platform::Registry& registry);

// The stored form no typed password matches: a hash that cannot be read.
inline constexpr std::string_view kUnusablePassword = "pbkdf2-sha256$unusable";

}  // namespace pm::store
