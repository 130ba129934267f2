// Earlier versions stored the passwords as plain text, which anyone who can
// read the settings or an export could read too. Such a value is replaced
// by its hash wherever the settings are written out: at the configuration
// tool's next save, and in every export file.
#pragma once

#include <cstdint>

#include "platform/Registry.h"
#include "store/RegValue.h"
#include "store/RegistrySnapshot.h"

namespace pm::store {

// Writes to `target` the hash of each password it reads as plain text there
// (a ChangeRecorder reads the stored state). Throws std::runtime_error when
// the system cannot hash.
RegResult HashPlainPasswords(platform::Registry& target, std::uint32_t iterations);

// The same in a copy of the product key, taken to be written to a file.
void HashPlainPasswords(KeySnapshot& product, std::uint32_t iterations);

}  // namespace pm::store
