// A registry export file's keys as the tree of a subtree snapshot, and back:
// what an export writes and an import puts in place.
#pragma once

#include "store/RegFile.h"
#include "store/RegistrySnapshot.h"

namespace pm::store {

// The tree's keys in the order the registry editor exports them: each key,
// then its subkeys, the root first.
RegFileContent FromKeySnapshot(const KeySnapshot& tree);

// The tree a file describes: keys named twice (in any case) are one key, a
// value named twice keeps its last data, and a key's missing parents exist,
// as the registry editor's import makes them.
KeySnapshot ToKeySnapshot(const RegFileContent& content);

}  // namespace pm::store
