// Where the two passwords' hashes are kept. Where the service is installed,
// in a key of their own that only administrators and the system can read, so
// a standard user has no copy of a hash to guess against at leisure; the
// service alone writes and reads them there. Without the service (a
// developer's build) they stay in the Settings key with the other settings.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Registry.h"
#include "store/ChangeSet.h"

namespace pm::store {

inline constexpr std::string_view kPasswordsKey = "SOFTWARE\\Pelmora Pro\\Passwords";

// The rules a key of ours gets: the passwords' key is the administrators'
// and the system's alone; every other key users may read.
platform::KeyRules RulesOfKey(std::string_view path);

// Whether the value is one of the two passwords of the Settings key.
bool IsSettingsPassword(std::string_view path, std::string_view name);

// Turns every write of a password value in the Settings key into the same
// write in the passwords' key, and deletes the Settings copy with it: how
// the service stores what a change, an import or an older version wrote.
void KeepPasswordsProtected(ChangeSet& change);

// The change that moves passwords still in the Settings key (an older
// version's, perhaps as plain text, which is hashed with `iterations`) to
// the passwords' key; no writes when there are none. Throws
// std::runtime_error when the system cannot hash.
ChangeSet MovePasswordsToProtectedPlace(platform::Registry& registry, std::uint32_t iterations);

// Whether the change stores a new password.
bool ChangesPasswords(const ChangeSet& change);

}  // namespace pm::store
