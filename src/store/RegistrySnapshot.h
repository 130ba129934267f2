// A copy of a key's whole subtree, or of single values, taken before a change
// so that a change that fails half-way can be undone: nothing the owner
// stored is lost to a failed save.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "store/RegValue.h"

namespace pm::store {

struct KeySnapshot {
  struct Value {
    std::string name;
    std::uint32_t type = 0;
    ByteArray data;
    bool operator==(const Value&) const = default;
  };
  bool exists = false;
  std::vector<Value> values;
  std::vector<std::pair<std::string, KeySnapshot>> subkeys;
  bool operator==(const KeySnapshot&) const = default;
};

// `failure`, when given, receives the first error that kept the copy from
// being whole (a key or value that could not be read); a missing key is no
// error. A copy that is not whole must not be used to undo a change.
KeySnapshot CaptureKey(platform::Registry& registry, platform::RootKey root, std::string_view path,
                       RegResult* failure = nullptr);
// Makes the key exactly as captured: gone when it did not exist.
RegResult RestoreKey(platform::Registry& registry, platform::RootKey root, std::string_view path,
                     const KeySnapshot& snapshot);

struct ValueSnapshot {
  std::string path;
  std::string name;
  bool exists = false;
  std::uint32_t type = 0;
  ByteArray data;
};

ValueSnapshot CaptureValue(platform::Registry& registry, platform::RootKey root,
                           std::string_view path, std::string_view name,
                           RegResult* failure = nullptr);
RegResult RestoreValue(platform::Registry& registry, platform::RootKey root,
                       const ValueSnapshot& snapshot);

}  // namespace pm::store
