// A registry that reads the stored state and records every write instead of
// making it: the writers run on it unchanged, and what they wrote becomes
// one ChangeSet to commit as a whole (through the service, where a standard
// user cannot write HKEY_LOCAL_MACHINE). Reads see the stored state, not the
// values recorded so far (no writer reads back what it wrote in one change);
// a key the change creates can be opened again to write to it.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>

#include "platform/Registry.h"
#include "store/ChangeSet.h"

namespace pm::store {

class ChangeRecorder final : public platform::Registry {
 public:
  explicit ChangeRecorder(platform::Registry& stored) : stored_(stored) {}
  ~ChangeRecorder() override;
  ChangeRecorder(const ChangeRecorder&) = delete;
  ChangeRecorder& operator=(const ChangeRecorder&) = delete;

  ChangeSet TakeChange() { return std::exchange(change_, {}); }

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
  // A hive file cannot travel as a list of writes.
  [[nodiscard]] platform::RegStatus SaveKey(Handle key, const std::string& filePath) override;
  [[nodiscard]] platform::RegStatus RestoreKey(Handle key, const std::string& filePath,
                                               std::uint32_t flags) override;
  [[nodiscard]] bool EnablePrivilege(std::string_view privilegeName) override;
  [[nodiscard]] platform::RegStatus ProtectKey(platform::RootKey root, std::string_view path,
                                               platform::KeyRules rules) override;

 private:
  struct OpenedKey {
    std::string path;
    Handle stored = 0;  // 0 when the key exists only in the recorded change
  };
  const OpenedKey* Find(Handle key) const;
  Handle Remember(std::string path, Handle stored);
  void Record(ChangeOp::Kind kind, std::string_view path, std::string_view name = {},
              std::uint32_t type = 0, std::span<const std::uint8_t> data = {});

  platform::Registry& stored_;
  ChangeSet change_;
  std::map<Handle, OpenedKey> opened_;
  // Keys the change creates (with their parents), lower case: they open
  // like stored ones for the writes that follow.
  std::set<std::string> created_;
  Handle next_ = 1;
};

}  // namespace pm::store
