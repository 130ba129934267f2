#include "store/RegFileTree.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "platform/Text.h"

namespace pm::store {

namespace {

void AppendKeys(RegFileContent& content, const std::string& path, const KeySnapshot& key) {
  RegFileKey& added = content.keys.emplace_back();
  added.path = path;
  for (const KeySnapshot::Value& value : key.values) {
    added.values.push_back({value.name, value.type, value.data});
  }
  for (const auto& [name, subkey] : key.subkeys) {
    AppendKeys(content, path.empty() ? name : path + "\\" + name, subkey);
  }
}

// A key of the tree being built. Names compare without case, so keys and
// values are found by their folded names, in constant time even for a file
// that repeats one key many times.
struct BuildNode {
  KeySnapshot snapshot;
  std::unordered_map<std::string, std::size_t> valueIndex;
  std::vector<std::pair<std::string, std::unique_ptr<BuildNode>>> children;
  std::unordered_map<std::string, BuildNode*> childIndex;
};

KeySnapshot Finish(BuildNode& node) {
  KeySnapshot snapshot = std::move(node.snapshot);
  snapshot.exists = true;
  for (auto& [name, child] : node.children) snapshot.subkeys.emplace_back(name, Finish(*child));
  return snapshot;
}

}  // namespace

RegFileContent FromKeySnapshot(const KeySnapshot& tree) {
  RegFileContent content;
  if (tree.exists) AppendKeys(content, "", tree);
  return content;
}

KeySnapshot ToKeySnapshot(const RegFileContent& content) {
  BuildNode root;
  for (const RegFileKey& key : content.keys) {
    BuildNode* node = &root;
    for (std::string_view path = key.path; !path.empty();) {
      const std::size_t end = std::min(path.find('\\'), path.size());
      const std::string_view name = path.substr(0, end);
      const std::string folded = platform::LowerCase(name);
      const auto found = node->childIndex.find(folded);
      if (found != node->childIndex.end()) {
        node = found->second;
      } else {
        auto child = std::make_unique<BuildNode>();
        BuildNode* raw = child.get();
        node->children.emplace_back(std::string(name), std::move(child));
        node->childIndex.emplace(folded, raw);
        node = raw;
      }
      path.remove_prefix(end == path.size() ? end : end + 1);
    }
    for (const RegFileValue& value : key.values) {
      const std::string folded = platform::LowerCase(value.name);
      const auto found = node->valueIndex.find(folded);
      if (found != node->valueIndex.end()) {
        KeySnapshot::Value& stored = node->snapshot.values[found->second];
        stored.type = value.type;
        stored.data = value.data;
      } else {
        node->valueIndex.emplace(folded, node->snapshot.values.size());
        node->snapshot.values.push_back({value.name, value.type, value.data});
      }
    }
  }
  return Finish(root);
}

}  // namespace pm::store
