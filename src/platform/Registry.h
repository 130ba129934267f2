// The raw registry operations the settings store is written against, with
// Windows' own semantics: key and value names compare without regard to case,
// creating a key creates its missing parents, values are typed byte blobs, and
// every call answers with a Win32 error code (0 is success), which the caller
// must look at.
//
// String data crosses this interface as Windows stores it: UTF-16LE code units
// with their terminating zero. Key paths and value names are UTF-8.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pm::platform {

enum class RootKey : std::uint32_t {
  ClassesRoot = 0x80000000u,
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
  Users = 0x80000003u,
};

// A Win32 error code as the registry functions return it.
using RegStatus = std::int32_t;

namespace reg_error {
inline constexpr RegStatus kSuccess = 0;
inline constexpr RegStatus kFileNotFound = 2;
inline constexpr RegStatus kAccessDenied = 5;
inline constexpr RegStatus kInvalidHandle = 6;
inline constexpr RegStatus kWriteFault = 29;
inline constexpr RegStatus kInvalidParameter = 87;
inline constexpr RegStatus kAlreadyExists = 183;
inline constexpr RegStatus kMoreData = 234;
inline constexpr RegStatus kNoMoreItems = 259;
inline constexpr RegStatus kKeyDeleted = 1018;
inline constexpr RegStatus kPrivilegeNotHeld = 1314;
}  // namespace reg_error

namespace reg_type {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kSz = 1;
inline constexpr std::uint32_t kExpandSz = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kDwordBigEndian = 5;
inline constexpr std::uint32_t kLink = 6;
inline constexpr std::uint32_t kMultiSz = 7;
}  // namespace reg_type

namespace reg_access {
inline constexpr std::uint32_t kRead = 0x20019;
inline constexpr std::uint32_t kWrite = 0x20006;
inline constexpr std::uint32_t kAllAccess = 0xF003F;
// What each change needs, and no more: setting or deleting a value, and
// emptying a key of its values and subkeys (RegDeleteTree).
inline constexpr std::uint32_t kSetValue = 0x0002;
inline constexpr std::uint32_t kDeleteTree = 0x10000 | 0x0001 | 0x0002 | 0x0008;
}  // namespace reg_access

inline constexpr std::uint32_t kRegForceRestore = 8;

// Who may read a key besides administrators and the system.
enum class KeyRules { UsersRead, AdministratorsOnly };

class Registry {
 public:
  using Handle = std::uintptr_t;

  virtual ~Registry() = default;

  [[nodiscard]] virtual RegStatus OpenKey(RootKey root, std::string_view path, std::uint32_t access,
                                          Handle& key) = 0;
  // Opens the key, creating it and every missing parent; `existed` tells
  // whether it was there before.
  [[nodiscard]] virtual RegStatus CreateKey(RootKey root, std::string_view path,
                                            std::uint32_t access, Handle& key, bool& existed) = 0;
  virtual void CloseKey(Handle key) noexcept = 0;

  // Copies at most buffer.size() bytes. `size` comes back as the value's full
  // size, also when the answer is kMoreData; `type` is set only on success.
  [[nodiscard]] virtual RegStatus QueryValue(Handle key, std::string_view name, std::uint32_t& type,
                                             std::span<std::uint8_t> buffer,
                                             std::uint32_t& size) = 0;
  [[nodiscard]] virtual RegStatus SetValue(Handle key, std::string_view name, std::uint32_t type,
                                           std::span<const std::uint8_t> data) = 0;
  [[nodiscard]] virtual RegStatus DeleteValue(Handle key, std::string_view name) = 0;

  // Deletes a key that has no subkeys (Windows refuses one that has).
  [[nodiscard]] virtual RegStatus DeleteKey(RootKey root, std::string_view path) = 0;
  // Deletes a key with all its subkeys and values.
  [[nodiscard]] virtual RegStatus DeleteTree(RootKey root, std::string_view path) = 0;

  [[nodiscard]] virtual RegStatus EnumKey(Handle key, std::uint32_t index, std::string& name) = 0;
  [[nodiscard]] virtual RegStatus EnumValue(Handle key, std::uint32_t index, std::string& name,
                                            std::uint32_t& type,
                                            std::vector<std::uint8_t>& data) = 0;

  // The platform's hive file save and restore of a key's whole subtree.
  [[nodiscard]] virtual RegStatus SaveKey(Handle key, const std::string& filePath) = 0;
  [[nodiscard]] virtual RegStatus RestoreKey(Handle key, const std::string& filePath,
                                             std::uint32_t flags) = 0;

  // Enables a privilege such as "SeBackupPrivilege" on the process token.
  [[nodiscard]] virtual bool EnablePrivilege(std::string_view privilegeName) = 0;

  // Gives the key a security descriptor of its own: administrators and the
  // system have full control, and users read it (UsersRead) or nothing of it
  // (AdministratorsOnly); nothing is inherited. Windows would inherit the
  // first from SOFTWARE; Wine inherits nothing, and a key made by someone
  // else may carry anything.
  [[nodiscard]] virtual RegStatus ProtectKey(RootKey root, std::string_view path,
                                             KeyRules rules) = 0;
};

// Owns one open key of a Registry and closes it when it goes.
class RegKey {
 public:
  RegKey() = default;
  RegKey(Registry& registry, Registry::Handle handle) : registry_(&registry), handle_(handle) {}
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  RegKey(RegKey&& other) noexcept { *this = std::move(other); }
  RegKey& operator=(RegKey&& other) noexcept {
    if (this != &other) {
      Reset();
      registry_ = other.registry_;
      handle_ = other.handle_;
      other.registry_ = nullptr;
    }
    return *this;
  }
  ~RegKey() { Reset(); }

  [[nodiscard]] static RegKey Open(Registry& registry, RootKey root, std::string_view path,
                                   std::uint32_t access, RegStatus& status) {
    Registry::Handle handle = 0;
    status = registry.OpenKey(root, path, access, handle);
    return status == reg_error::kSuccess ? RegKey(registry, handle) : RegKey();
  }

  [[nodiscard]] static RegKey Create(Registry& registry, RootKey root, std::string_view path,
                                     std::uint32_t access, RegStatus& status, bool& existed) {
    Registry::Handle handle = 0;
    status = registry.CreateKey(root, path, access, handle, existed);
    return status == reg_error::kSuccess ? RegKey(registry, handle) : RegKey();
  }

  explicit operator bool() const { return registry_ != nullptr; }
  Registry::Handle get() const { return handle_; }
  Registry& registry() const { return *registry_; }

  void Reset() noexcept {
    if (registry_ != nullptr) registry_->CloseKey(handle_);
    registry_ = nullptr;
  }

 private:
  Registry* registry_ = nullptr;
  Registry::Handle handle_ = 0;
};

}  // namespace pm::platform
