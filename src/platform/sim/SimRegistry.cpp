#include "platform/sim/SimRegistry.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/Text.h"

namespace pm::sim {

using platform::RegStatus;
using platform::RootKey;
namespace reg_error = platform::reg_error;

namespace {

// Begins as a Windows hive file does, so code that tells a hive by its
// signature takes the simulated one for a hive too.
constexpr std::string_view kHiveSignature = "regfPMSIMHIVE1";
constexpr RegStatus kBadDb = 1009;
constexpr int kMaxHiveDepth = 512;

std::vector<std::string> SplitFolded(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    if (end > start) parts.push_back(platform::LowerCase(path.substr(start, end - start)));
    start = end + 1;
  }
  return parts;
}

bool HasWriteAccess(std::uint32_t access) {
  return (access & 0x00000006u) != 0 || (access & 0x00010000u) != 0;  // set/create, DELETE
}

bool StartsWith(const std::vector<std::string>& path, const std::vector<std::string>& prefix) {
  return path.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), path.begin());
}

void PutU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void PutBytes(std::string& out, std::string_view bytes) {
  PutU32(out, static_cast<std::uint32_t>(bytes.size()));
  out += bytes;
}

bool GetU32(std::string_view& in, std::uint32_t& v) {
  if (in.size() < 4) return false;
  v = 0;
  for (int i = 0; i < 4; ++i)
    v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
  in.remove_prefix(4);
  return true;
}

bool GetBytes(std::string_view& in, std::string& out) {
  std::uint32_t size = 0;
  if (!GetU32(in, size) || size > in.size()) return false;
  out.assign(in.substr(0, size));
  in.remove_prefix(size);
  return true;
}

}  // namespace

SimRegistry::SimRegistry() {
  for (RootKey root :
       {RootKey::ClassesRoot, RootKey::CurrentUser, RootKey::LocalMachine, RootKey::Users}) {
    roots_[root];
  }
}

SimRegistry::~SimRegistry() = default;

SimRegistry::Node* SimRegistry::Find(RootKey root, const std::vector<std::string>& folded) {
  auto rootIt = roots_.find(root);
  if (rootIt == roots_.end()) return nullptr;
  Node* node = &rootIt->second;
  for (const std::string& part : folded) {
    auto it = node->subkeys.find(part);
    if (it == node->subkeys.end()) return nullptr;
    node = it->second.get();
  }
  return node;
}

SimRegistry::Node* SimRegistry::Resolve(Handle key, bool forWrite, RegStatus& status) {
  auto it = handles_.find(key);
  if (it == handles_.end()) {
    status = reg_error::kInvalidHandle;
    return nullptr;
  }
  if (forWrite && !HasWriteAccess(it->second.access)) {
    status = reg_error::kAccessDenied;
    return nullptr;
  }
  Node* node = Find(it->second.root, it->second.path);
  if (node == nullptr) {
    status = reg_error::kKeyDeleted;
    return nullptr;
  }
  if (forWrite) {
    status = BeginWrite(it->second.root, it->second.path);
    if (status != reg_error::kSuccess) return nullptr;
  }
  status = reg_error::kSuccess;
  return node;
}

bool SimRegistry::IsDenied(RootKey root, const std::vector<std::string>& folded) const {
  return std::any_of(denied_.begin(), denied_.end(), [&](const auto& entry) {
    return entry.first == root && StartsWith(folded, entry.second);
  });
}

RegStatus SimRegistry::BeginWrite(RootKey root, const std::vector<std::string>& folded) {
  const std::uint32_t index = writeCount_++;
  if (IsDenied(root, folded)) return reg_error::kAccessDenied;
  if (failAtWrite_ >= 0 && static_cast<std::int64_t>(index) == failAtWrite_) {
    failAtWrite_ = -1;
    return failStatus_;
  }
  writtenKeys_.emplace_back(root, folded);
  return reg_error::kSuccess;
}

class SimRegistry::SimKeyWatch final : public platform::KeyWatch {
 public:
  SimKeyWatch(const SimRegistry& registry, RootKey root, std::vector<std::string> path)
      : registry_(registry),
        root_(root),
        path_(std::move(path)),
        seen_(registry.writtenKeys_.size()) {}

  bool Changed() override {
    const auto& written = registry_.writtenKeys_;
    bool changed = false;
    for (; seen_ < written.size(); ++seen_) {
      const auto& [root, path] = written[seen_];
      if (root == root_ && (StartsWith(path, path_) || StartsWith(path_, path))) changed = true;
    }
    return changed;
  }

 private:
  const SimRegistry& registry_;
  RootKey root_;
  std::vector<std::string> path_;
  std::size_t seen_;
};

std::unique_ptr<platform::KeyWatch> SimRegistry::Watch(RootKey root, std::string_view path) {
  return std::make_unique<SimKeyWatch>(*this, root, SplitFolded(path));
}

SimRegistry::Value* SimRegistry::FindValue(Node& node, std::string_view name) {
  const std::string folded = platform::LowerCase(name);
  for (Value& value : node.values) {
    if (value.folded == folded) return &value;
  }
  return nullptr;
}

SimRegistry::Handle SimRegistry::NewHandle(RootKey root, std::vector<std::string> folded,
                                           std::uint32_t access) {
  const Handle handle = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(handle, OpenKeyInfo{root, std::move(folded), access});
  return handle;
}

RegStatus SimRegistry::OpenKey(RootKey root, std::string_view path, std::uint32_t access,
                               Handle& key) {
  std::vector<std::string> folded = SplitFolded(path);
  if (Find(root, folded) == nullptr) return reg_error::kFileNotFound;
  if (HasWriteAccess(access) && IsDenied(root, folded)) return reg_error::kAccessDenied;
  if (standardUser_ && IsPrivate(root, folded)) return reg_error::kAccessDenied;
  key = NewHandle(root, std::move(folded), access);
  return reg_error::kSuccess;
}

RegStatus SimRegistry::CreateKey(RootKey root, std::string_view path, std::uint32_t access,
                                 Handle& key, bool& existed) {
  std::vector<std::string> folded = SplitFolded(path);
  existed = Find(root, folded) != nullptr;
  if (existed && HasWriteAccess(access) && IsDenied(root, folded)) return reg_error::kAccessDenied;
  if (standardUser_ && IsPrivate(root, folded)) return reg_error::kAccessDenied;
  if (!existed) {
    const RegStatus status = BeginWrite(root, folded);
    if (status != reg_error::kSuccess) return status;
    Node* node = &roots_[root];
    std::size_t start = 0;
    for (const std::string& part : folded) {
      // Keep the spelling the caller used for the components it creates.
      std::size_t end = path.find('\\', start);
      while (end == start) end = path.find('\\', ++start);
      const std::string_view original =
          path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
      start = end == std::string_view::npos ? path.size() : end + 1;
      auto& child = node->subkeys[part];
      if (!child) {
        child = std::make_unique<Node>();
        child->name = std::string(original);
      }
      node = child.get();
    }
  }
  key = NewHandle(root, std::move(folded), access);
  return reg_error::kSuccess;
}

void SimRegistry::CloseKey(Handle key) noexcept {
  handles_.erase(key);
}

RegStatus SimRegistry::QueryValue(Handle key, std::string_view name, std::uint32_t& type,
                                  std::span<std::uint8_t> buffer, std::uint32_t& size) {
  RegStatus status = 0;
  Node* node = Resolve(key, false, status);
  if (node == nullptr) return status;
  const Value* value = FindValue(*node, name);
  if (value == nullptr) return reg_error::kFileNotFound;
  size = static_cast<std::uint32_t>(value->data.size());
  if (value->data.size() > buffer.size())
    status = reg_error::kMoreData;
  else {
    std::copy(value->data.begin(), value->data.end(), buffer.begin());
    type = value->type;
  }
  if (afterQuery_) afterQuery_();
  return status;
}

RegStatus SimRegistry::SetValue(Handle key, std::string_view name, std::uint32_t type,
                                std::span<const std::uint8_t> data) {
  RegStatus status = 0;
  Node* node = Resolve(key, true, status);
  if (node == nullptr) return status;
  if (!failingValue_.empty() && platform::LowerCase(name) == failingValue_) {
    if (--failingValueTimes_ == 0) failingValue_.clear();
    return failingValueStatus_;
  }
  Value* value = FindValue(*node, name);
  if (value == nullptr) {
    node->values.push_back(Value{std::string(name), platform::LowerCase(name), 0, {}});
    value = &node->values.back();
  }
  value->type = type;
  value->data.assign(data.begin(), data.end());
  return reg_error::kSuccess;
}

RegStatus SimRegistry::DeleteValue(Handle key, std::string_view name) {
  RegStatus status = 0;
  Node* node = Resolve(key, true, status);
  if (node == nullptr) return status;
  const Value* value = FindValue(*node, name);
  if (value == nullptr) return reg_error::kFileNotFound;
  node->values.erase(node->values.begin() + (value - node->values.data()));
  return reg_error::kSuccess;
}

RegStatus SimRegistry::RemoveKey(RootKey root, std::string_view path, bool withSubkeys) {
  std::vector<std::string> folded = SplitFolded(path);
  Node* node = Find(root, folded);
  if (node == nullptr) return reg_error::kFileNotFound;
  // Windows refuses to delete a root, and a key with subkeys one at a time.
  if (folded.empty() || (!withSubkeys && !node->subkeys.empty())) return reg_error::kAccessDenied;
  if (const RegStatus status = BeginWrite(root, folded); status != reg_error::kSuccess) {
    return status;
  }
  const std::string last = folded.back();
  folded.pop_back();
  Find(root, folded)->subkeys.erase(last);
  return reg_error::kSuccess;
}

RegStatus SimRegistry::DeleteKey(RootKey root, std::string_view path) {
  return RemoveKey(root, path, false);
}

RegStatus SimRegistry::DeleteTree(RootKey root, std::string_view path) {
  return RemoveKey(root, path, true);
}

RegStatus SimRegistry::EnumKey(Handle key, std::uint32_t index, std::string& name) {
  RegStatus status = 0;
  Node* node = Resolve(key, false, status);
  if (node == nullptr) return status;
  if (index >= node->subkeys.size()) return reg_error::kNoMoreItems;
  name = std::next(node->subkeys.begin(), index)->second->name;
  return reg_error::kSuccess;
}

RegStatus SimRegistry::EnumValue(Handle key, std::uint32_t index, std::string& name,
                                 std::uint32_t& type, std::vector<std::uint8_t>& data) {
  RegStatus status = 0;
  Node* node = Resolve(key, false, status);
  if (node == nullptr) return status;
  if (index >= node->values.size()) return reg_error::kNoMoreItems;
  const Value& value = node->values[index];
  name = value.name;
  type = value.type;
  data = value.data;
  return reg_error::kSuccess;
}

void SimRegistry::WriteNode(std::string& out, const Node& node) {
  PutU32(out, static_cast<std::uint32_t>(node.values.size()));
  for (const Value& value : node.values) {
    PutBytes(out, value.name);
    PutU32(out, value.type);
    PutBytes(out,
             std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size()));
  }
  PutU32(out, static_cast<std::uint32_t>(node.subkeys.size()));
  for (const auto& [folded, child] : node.subkeys) {
    PutBytes(out, child->name);
    WriteNode(out, *child);
  }
}

bool SimRegistry::ReadNode(std::string_view& in, Node& node, int depth) {
  if (depth > kMaxHiveDepth) return false;
  std::uint32_t count = 0;
  if (!GetU32(in, count)) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    Value value;
    std::string data;
    if (!GetBytes(in, value.name) || !GetU32(in, value.type) || !GetBytes(in, data)) return false;
    value.folded = platform::LowerCase(value.name);
    value.data.assign(data.begin(), data.end());
    node.values.push_back(std::move(value));
  }
  if (!GetU32(in, count)) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    auto child = std::make_unique<Node>();
    if (!GetBytes(in, child->name) || !ReadNode(in, *child, depth + 1)) return false;
    node.subkeys[platform::LowerCase(child->name)] = std::move(child);
  }
  return true;
}

RegStatus SimRegistry::SaveKey(Handle key, const std::string& filePath) {
  RegStatus status = 0;
  Node* node = Resolve(key, false, status);
  if (node == nullptr) return status;
  if (std::ifstream(filePath).good()) return reg_error::kAlreadyExists;
  std::string bytes(kHiveSignature);
  WriteNode(bytes, *node);
  std::ofstream file(filePath, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file.good() ? reg_error::kSuccess : reg_error::kWriteFault;
}

RegStatus SimRegistry::RestoreKey(Handle key, const std::string& filePath, std::uint32_t) {
  RegStatus status = 0;
  if (Resolve(key, false, status) == nullptr) return status;
  std::ifstream file(filePath, std::ios::binary);
  if (!file) return reg_error::kFileNotFound;
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::string_view in(bytes);
  if (in.substr(0, kHiveSignature.size()) != kHiveSignature) return kBadDb;
  in.remove_prefix(kHiveSignature.size());
  Node restored;
  if (!ReadNode(in, restored, 0) || !in.empty()) return kBadDb;
  Node* node = Resolve(key, true, status);
  if (node == nullptr) return status;
  node->values = std::move(restored.values);
  node->subkeys = std::move(restored.subkeys);
  return reg_error::kSuccess;
}

bool SimRegistry::EnablePrivilege(std::string_view privilegeName) {
  return refusedPrivileges_.count(std::string(privilegeName)) == 0;
}

RegStatus SimRegistry::ProtectKey(RootKey root, std::string_view path, platform::KeyRules rules) {
  std::vector<std::string> folded = SplitFolded(path);
  if (Find(root, folded) == nullptr) return reg_error::kFileNotFound;
  if (rules == platform::KeyRules::AdministratorsOnly) {
    private_.emplace(root, folded);
  } else {
    private_.erase({root, folded});
  }
  protected_.emplace(root, std::move(folded));
  return reg_error::kSuccess;
}

bool SimRegistry::IsPrivate(RootKey root, const std::vector<std::string>& folded) const {
  // As Windows passes a key's rules on to the keys below it.
  for (std::size_t length = 1; length <= folded.size(); ++length) {
    if (private_.count({root, std::vector<std::string>(folded.begin(), folded.begin() + length)})) {
      return true;
    }
  }
  return false;
}

bool SimRegistry::IsProtected(RootKey root, std::string_view path) {
  std::vector<std::string> folded = SplitFolded(path);
  return Find(root, folded) != nullptr && protected_.count({root, folded}) != 0;
}

void SimRegistry::DenyWrites(RootKey root, std::string_view path) {
  denied_.emplace_back(root, SplitFolded(path));
}

void SimRegistry::AllowWrites() {
  denied_.clear();
}

void SimRegistry::FailNthWrite(std::uint32_t n, RegStatus status) {
  failAtWrite_ = static_cast<std::int64_t>(writeCount_) + n;
  failStatus_ = status;
}

void SimRegistry::FailValueWrite(std::string_view valueName, RegStatus status, int times) {
  failingValue_ = times > 0 ? platform::LowerCase(valueName) : std::string();
  failingValueStatus_ = status;
  failingValueTimes_ = times;
}

void SimRegistry::SetPrivilegeGrantable(std::string_view privilegeName, bool grantable) {
  if (grantable)
    refusedPrivileges_.erase(std::string(privilegeName));
  else
    refusedPrivileges_.insert(std::string(privilegeName));
}

}  // namespace pm::sim
