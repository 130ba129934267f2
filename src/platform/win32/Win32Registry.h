// The real registry, through the W functions of advapi32.
#pragma once

#include "platform/Registry.h"

namespace pm::win32 {

class Win32Registry final : public platform::Registry {
 public:
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
};

}  // namespace pm::win32
