// An in-memory registry with Windows' semantics, for native tests: a typed key
// tree whose key and value names compare without case. Tests can make a key
// unwritable, make one chosen write fail, or refuse a privilege, to prove that
// the callers report failures and lose nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/KeyWatch.h"
#include "platform/Registry.h"

namespace pm::sim {

class SimRegistry final : public platform::Registry {
 public:
  SimRegistry();
  ~SimRegistry() override;

  [[nodiscard]] platform::RegStatus OpenKey(platform::RootKey root, std::string_view path,
                                            std::uint32_t access, Handle& key) override;
  [[nodiscard]] platform::RegStatus CreateKey(platform::RootKey root, std::string_view path,
                                              std::uint32_t access, Handle& key,
                                              bool& existed) override;
  void CloseKey(Handle key) noexcept override;
  [[nodiscard]] platform::RegStatus QueryValue(Handle key, std::string_view name,
                                               std::uint32_t& type, std::span<std::uint8_t> buffer,
                                               std::uint32_t& size) override;
  [[nodiscard]] platform::RegStatus SetValue(Handle key, std::string_view name, std::uint32_t type,
                                             std::span<const std::uint8_t> data) override;
  [[nodiscard]] platform::RegStatus DeleteValue(Handle key, std::string_view name) override;
  [[nodiscard]] platform::RegStatus DeleteKey(platform::RootKey root,
                                              std::string_view path) override;
  [[nodiscard]] platform::RegStatus DeleteTree(platform::RootKey root,
                                               std::string_view path) override;
  [[nodiscard]] platform::RegStatus EnumKey(Handle key, std::uint32_t index,
                                            std::string& name) override;
  [[nodiscard]] platform::RegStatus EnumValue(Handle key, std::uint32_t index, std::string& name,
                                              std::uint32_t& type,
                                              std::vector<std::uint8_t>& data) override;
  [[nodiscard]] platform::RegStatus SaveKey(Handle key, const std::string& filePath) override;
  [[nodiscard]] platform::RegStatus RestoreKey(Handle key, const std::string& filePath,
                                               std::uint32_t flags) override;
  [[nodiscard]] bool EnablePrivilege(std::string_view privilegeName) override;
  [[nodiscard]] platform::RegStatus ProtectKey(platform::RootKey root, std::string_view path,
                                               platform::KeyRules rules) override;

  // Failure injection.
  // Every change at or below the key fails with ERROR_ACCESS_DENIED, as for a
  // user without write rights there; so does opening it for writing.
  void DenyWrites(platform::RootKey root, std::string_view path);
  void AllowWrites();
  // The write that comes `n` writes from now (0 = the next one) fails once
  // with `status`; the writes before and after it succeed.
  void FailNthWrite(std::uint32_t n, platform::RegStatus status = platform::reg_error::kWriteFault);
  // The next `times` SetValues of a value of this name fail with `status`.
  void FailValueWrite(std::string_view valueName,
                      platform::RegStatus status = platform::reg_error::kWriteFault, int times = 1);
  // Writes performed (or attempted and failed) so far.
  std::uint32_t WriteCount() const { return writeCount_; }
  void SetPrivilegeGrantable(std::string_view privilegeName, bool grantable);
  // From now on the registry is read as a standard user reads it: keys with
  // the rules KeyRules::AdministratorsOnly, and those below them, refuse to
  // open.
  void ActAsStandardUser(bool standardUser) { standardUser_ = standardUser; }
  // Whether ProtectKey gave the key its own rules (and it still exists).
  bool IsProtected(platform::RootKey root, std::string_view path);
  // How many keys are open; lets tests prove that every open is closed.
  std::size_t OpenHandleCount() const { return handles_.size(); }

  // A watch of the key at `path` and everything below it: it tells of every
  // write there, and of a write to a key above it (which may make or delete
  // it). The registry must outlive it.
  std::unique_ptr<platform::KeyWatch> Watch(platform::RootKey root, std::string_view path);

  // Values a concurrent writer adds between two queries: called after each
  // QueryValue, so a test can make a value grow between the two reads.
  void SetAfterQueryHook(std::function<void()> hook) { afterQuery_ = std::move(hook); }

 private:
  struct Value {
    std::string name;
    std::string folded;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
  };
  struct Node {
    std::string name;
    std::map<std::string, std::unique_ptr<Node>> subkeys;  // by folded name
    std::vector<Value> values;                             // in creation order
  };
  struct OpenKeyInfo {
    platform::RootKey root;
    std::vector<std::string> path;  // folded components
    std::uint32_t access;
  };

  Node* Find(platform::RootKey root, const std::vector<std::string>& folded);
  Node* Resolve(Handle key, bool forWrite, platform::RegStatus& status);
  bool IsDenied(platform::RootKey root, const std::vector<std::string>& folded) const;
  bool IsPrivate(platform::RootKey root, const std::vector<std::string>& folded) const;
  [[nodiscard]] platform::RegStatus RemoveKey(platform::RootKey root, std::string_view path,
                                              bool withSubkeys);
  [[nodiscard]] platform::RegStatus BeginWrite(platform::RootKey root,
                                               const std::vector<std::string>& folded);
  static Value* FindValue(Node& node, std::string_view name);
  static void WriteNode(std::string& out, const Node& node);
  static bool ReadNode(std::string_view& in, Node& node, int depth);
  Handle NewHandle(platform::RootKey root, std::vector<std::string> folded, std::uint32_t access);

  std::map<platform::RootKey, Node> roots_;
  std::unordered_map<Handle, OpenKeyInfo> handles_;
  Handle nextHandle_ = 0x1000;
  std::vector<std::pair<platform::RootKey, std::vector<std::string>>> denied_;
  std::uint32_t writeCount_ = 0;
  std::int64_t failAtWrite_ = -1;
  platform::RegStatus failStatus_ = 0;
  std::string failingValue_;  // folded name; empty for none
  platform::RegStatus failingValueStatus_ = 0;
  int failingValueTimes_ = 0;
  std::set<std::string> refusedPrivileges_;
  std::set<std::pair<platform::RootKey, std::vector<std::string>>> protected_;
  std::set<std::pair<platform::RootKey, std::vector<std::string>>> private_;
  bool standardUser_ = false;
  std::function<void()> afterQuery_;
  // Every key written so far, in order, for the watches.
  std::vector<std::pair<platform::RootKey, std::vector<std::string>>> writtenKeys_;

  class SimKeyWatch;
};

}  // namespace pm::sim
