#include "store/ChangeRecorder.h"

#include "platform/Text.h"

namespace pm::store {

using platform::RegStatus;
using platform::RootKey;
namespace reg_error = platform::reg_error;

ChangeRecorder::~ChangeRecorder() {
  for (const auto& [handle, key] : opened_) {
    if (key.stored != 0) stored_.CloseKey(key.stored);
  }
}

const ChangeRecorder::OpenedKey* ChangeRecorder::Find(Handle key) const {
  const auto found = opened_.find(key);
  return found == opened_.end() ? nullptr : &found->second;
}

platform::Registry::Handle ChangeRecorder::Remember(std::string path, Handle stored) {
  const Handle handle = next_++;
  opened_.emplace(handle, OpenedKey{std::move(path), stored});
  return handle;
}

void ChangeRecorder::Record(ChangeOp::Kind kind, std::string_view path, std::string_view name,
                            std::uint32_t type, std::span<const std::uint8_t> data) {
  change_.ops.push_back(
      {kind, std::string(path), std::string(name), type, ByteArray(data.begin(), data.end())});
}

RegStatus ChangeRecorder::OpenKey(RootKey root, std::string_view path, std::uint32_t, Handle& key) {
  // Only what is stored in HKEY_LOCAL_MACHINE travels; a key opened to
  // write is read like any other, since the writes go to the change.
  if (root != RootKey::LocalMachine) return reg_error::kAccessDenied;
  Handle stored = 0;
  const RegStatus status = stored_.OpenKey(root, path, platform::reg_access::kRead, stored);
  if (status == reg_error::kFileNotFound && created_.count(platform::LowerCase(path)) != 0) {
    stored = 0;
  } else if (status != reg_error::kSuccess) {
    return status;
  }
  key = Remember(std::string(path), stored);
  return reg_error::kSuccess;
}

RegStatus ChangeRecorder::CreateKey(RootKey root, std::string_view path, std::uint32_t, Handle& key,
                                    bool& existed) {
  if (root != RootKey::LocalMachine) return reg_error::kAccessDenied;
  Handle stored = 0;
  existed = stored_.OpenKey(root, path, platform::reg_access::kRead, stored) == reg_error::kSuccess;
  Record(ChangeOp::Kind::CreateKey, path);
  const std::string lower = platform::LowerCase(path);
  for (std::size_t end = lower.find('\\'); end != std::string::npos;
       end = lower.find('\\', end + 1)) {
    created_.insert(lower.substr(0, end));
  }
  created_.insert(lower);
  key = Remember(std::string(path), existed ? stored : 0);
  return reg_error::kSuccess;
}

void ChangeRecorder::CloseKey(Handle key) noexcept {
  const auto found = opened_.find(key);
  if (found == opened_.end()) return;
  if (found->second.stored != 0) stored_.CloseKey(found->second.stored);
  opened_.erase(found);
}

RegStatus ChangeRecorder::QueryValue(Handle key, std::string_view name, std::uint32_t& type,
                                     std::span<std::uint8_t> buffer, std::uint32_t& size) {
  const OpenedKey* opened = Find(key);
  if (opened == nullptr) return reg_error::kInvalidHandle;
  if (opened->stored == 0) return reg_error::kFileNotFound;
  return stored_.QueryValue(opened->stored, name, type, buffer, size);
}

RegStatus ChangeRecorder::SetValue(Handle key, std::string_view name, std::uint32_t type,
                                   std::span<const std::uint8_t> data) {
  const OpenedKey* opened = Find(key);
  if (opened == nullptr) return reg_error::kInvalidHandle;
  Record(ChangeOp::Kind::SetValue, opened->path, name, type, data);
  return reg_error::kSuccess;
}

RegStatus ChangeRecorder::DeleteValue(Handle key, std::string_view name) {
  const OpenedKey* opened = Find(key);
  if (opened == nullptr) return reg_error::kInvalidHandle;
  Record(ChangeOp::Kind::DeleteValue, opened->path, name);
  return reg_error::kSuccess;
}

RegStatus ChangeRecorder::DeleteKey(RootKey root, std::string_view path) {
  if (root != RootKey::LocalMachine) return reg_error::kAccessDenied;
  Record(ChangeOp::Kind::DeleteKey, path);
  return reg_error::kSuccess;
}

RegStatus ChangeRecorder::DeleteTree(RootKey root, std::string_view path) {
  if (root != RootKey::LocalMachine) return reg_error::kAccessDenied;
  Record(ChangeOp::Kind::DeleteTree, path);
  return reg_error::kSuccess;
}

RegStatus ChangeRecorder::EnumKey(Handle key, std::uint32_t index, std::string& name) {
  const OpenedKey* opened = Find(key);
  if (opened == nullptr) return reg_error::kInvalidHandle;
  if (opened->stored == 0) return reg_error::kNoMoreItems;
  return stored_.EnumKey(opened->stored, index, name);
}

RegStatus ChangeRecorder::EnumValue(Handle key, std::uint32_t index, std::string& name,
                                    std::uint32_t& type, std::vector<std::uint8_t>& data) {
  const OpenedKey* opened = Find(key);
  if (opened == nullptr) return reg_error::kInvalidHandle;
  if (opened->stored == 0) return reg_error::kNoMoreItems;
  return stored_.EnumValue(opened->stored, index, name, type, data);
}

RegStatus ChangeRecorder::SaveKey(Handle, const std::string&) {
  return reg_error::kAccessDenied;
}

RegStatus ChangeRecorder::RestoreKey(Handle, const std::string&, std::uint32_t) {
  return reg_error::kAccessDenied;
}

bool ChangeRecorder::EnablePrivilege(std::string_view) {
  return false;
}

// The service gives the keys their rules itself.
RegStatus ChangeRecorder::ProtectKey(RootKey, std::string_view, platform::KeyRules) {
  return reg_error::kAccessDenied;
}

}  // namespace pm::store
