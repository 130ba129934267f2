// One change of the stored settings as a list of registry writes, in the
// order they were made: what a writer records, what travels to the service,
// and what the service journals to undo a change it could not finish.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/RegValue.h"
#include "store/RegistrySnapshot.h"

namespace pm::store {

// Every write is to a key below HKEY_LOCAL_MACHINE.
struct ChangeOp {
  enum class Kind : std::uint8_t {
    CreateKey = 1,
    SetValue = 2,
    DeleteValue = 3,  // finding nothing to delete is no failure
    DeleteKey = 4,    // a key without subkeys; nothing to delete is no failure
    DeleteTree = 5,   // a key with all below it; nothing to delete is no failure
  };
  Kind kind = Kind::SetValue;
  std::string path;
  std::string name;  // values only
  std::uint32_t type = 0;
  ByteArray data;
  bool operator==(const ChangeOp&) const = default;
};

struct ChangeSet {
  std::vector<ChangeOp> ops;
  bool operator==(const ChangeSet&) const = default;
};

// The writes that make `path` exactly as `snapshot` captured it.
void AppendRestoreKey(ChangeSet& change, std::string_view path, const KeySnapshot& snapshot);
// The write that puts one value back as captured, or deletes it.
void AppendRestoreValue(ChangeSet& change, const ValueSnapshot& snapshot);

// "setting the value X of key Y", for a message that says which write failed.
std::string DescribeOp(const ChangeOp& op);

}  // namespace pm::store
