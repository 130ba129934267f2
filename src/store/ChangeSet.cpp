#include "store/ChangeSet.h"

namespace pm::store {

void AppendRestoreKey(ChangeSet& change, std::string_view path, const KeySnapshot& snapshot) {
  change.ops.push_back({ChangeOp::Kind::DeleteTree, std::string(path), {}, 0, {}});
  if (!snapshot.exists) return;
  // Recursion below the first call only creates.
  struct Builder {
    ChangeSet& change;
    void Add(const std::string& keyPath, const KeySnapshot& key) {
      change.ops.push_back({ChangeOp::Kind::CreateKey, keyPath, {}, 0, {}});
      for (const KeySnapshot::Value& value : key.values) {
        change.ops.push_back(
            {ChangeOp::Kind::SetValue, keyPath, value.name, value.type, value.data});
      }
      for (const auto& [name, subkey] : key.subkeys) Add(keyPath + "\\" + name, subkey);
    }
  };
  Builder{change}.Add(std::string(path), snapshot);
}

void AppendRestoreValue(ChangeSet& change, const ValueSnapshot& snapshot) {
  if (snapshot.exists) {
    change.ops.push_back(
        {ChangeOp::Kind::SetValue, snapshot.path, snapshot.name, snapshot.type, snapshot.data});
  } else {
    change.ops.push_back({ChangeOp::Kind::DeleteValue, snapshot.path, snapshot.name, 0, {}});
  }
}

std::string DescribeOp(const ChangeOp& op) {
  const std::string key = "HKEY_LOCAL_MACHINE\\" + op.path;
  const std::string value = "the value \"" + op.name + "\" of " + key;
  switch (op.kind) {
    case ChangeOp::Kind::CreateKey:
      return "creating " + key;
    case ChangeOp::Kind::SetValue:
      return "setting " + value;
    case ChangeOp::Kind::DeleteValue:
      return "deleting " + value;
    case ChangeOp::Kind::DeleteKey:
    case ChangeOp::Kind::DeleteTree:
      return "deleting " + key;
  }
  return key;
}

}  // namespace pm::store
