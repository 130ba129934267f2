// Value operations of the registry access layer. Each opens the key it needs,
// does one thing and closes the key again; none shows anything to the user.
#pragma once

#include <string_view>

#include "platform/Registry.h"
#include "store/RegValue.h"

namespace pm::store::RegistryModule {

// The value converted by its type; an absent key or value, or a type the layer
// does not read, gives `defaultValue`.
RegValue ReadValue(platform::Registry& registry, platform::RootKey root, std::string_view path,
                   std::string_view name, const RegValue& defaultValue = {});

// Stores integers as REG_DWORD, strings as REG_SZ and byte arrays as
// REG_BINARY, creating the key and its parents when needed. An empty value
// throws RegistryError 1001 "Unsupported value type" and changes nothing.
RegResult WriteValue(platform::Registry& registry, platform::RootKey root, std::string_view path,
                     std::string_view name, const RegValue& value);

// REG_SZ data: UTF-16LE with its terminating zero.
ByteArray EncodeString(std::string_view text);
// Stored data as ReadValue converts it; a type it does not read is empty.
RegValue ValueFromData(std::uint32_t type, const ByteArray& data);

// Creates the key when it is missing; true only when it existed already.
bool EnsureKey(platform::Registry& registry, platform::RootKey root, std::string_view path);

// Deletes a key that holds values only.
RegResult DeleteKey(platform::Registry& registry, platform::RootKey root, std::string_view path);

}  // namespace pm::store::RegistryModule
