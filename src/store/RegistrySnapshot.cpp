#include "store/RegistrySnapshot.h"

namespace pm::store {

using platform::RegKey;
using platform::RegStatus;
namespace reg_error = platform::reg_error;

namespace {

RegResult WriteRaw(platform::Registry& registry, platform::RootKey root, std::string_view path,
                   std::string_view name, std::uint32_t type, const ByteArray& data) {
  RegStatus status = 0;
  bool existed = false;
  const RegKey key =
      RegKey::Create(registry, root, path, platform::reg_access::kSetValue, status, existed);
  if (!key) return platform::ResultOf(status);
  return platform::ResultOf(registry.SetValue(key.get(), name, type, data));
}

// Notes why a read stopped, unless it stopped at the end or found nothing.
void NoteReadEnd(RegStatus status, RegResult* failure) {
  if (failure == nullptr || status == reg_error::kNoMoreItems ||
      status == reg_error::kFileNotFound || !*failure) {
    return;
  }
  *failure = platform::ResultOf(status);
}

}  // namespace

KeySnapshot CaptureKey(platform::Registry& registry, platform::RootKey root, std::string_view path,
                       RegResult* failure) {
  KeySnapshot snapshot;
  RegStatus status = 0;
  const RegKey key = RegKey::Open(registry, root, path, platform::reg_access::kRead, status);
  if (!key) {
    NoteReadEnd(status, failure);
    return snapshot;
  }
  snapshot.exists = true;
  KeySnapshot::Value value;
  std::uint32_t index = 0;
  while ((status = registry.EnumValue(key.get(), index, value.name, value.type, value.data)) ==
         reg_error::kSuccess) {
    snapshot.values.push_back(value);
    ++index;
  }
  NoteReadEnd(status, failure);
  std::string subkey;
  std::vector<std::string> names;
  index = 0;
  while ((status = registry.EnumKey(key.get(), index, subkey)) == reg_error::kSuccess) {
    names.push_back(subkey);
    ++index;
  }
  NoteReadEnd(status, failure);
  for (const std::string& name : names) {
    snapshot.subkeys.emplace_back(
        name, CaptureKey(registry, root, std::string(path) + "\\" + name, failure));
  }
  return snapshot;
}

RegResult RestoreKey(platform::Registry& registry, platform::RootKey root, std::string_view path,
                     const KeySnapshot& snapshot) {
  FirstFailure outcome;
  outcome.NoteDeletion(platform::ResultOf(registry.DeleteTree(root, path)));
  if (!snapshot.exists) return outcome.result();
  RegStatus status = 0;
  bool existed = false;
  outcome.Note(platform::ResultOf(
      RegKey::Create(registry, root, path, platform::reg_access::kRead, status, existed)
          ? reg_error::kSuccess
          : status));
  for (const KeySnapshot::Value& value : snapshot.values) {
    outcome.Note(WriteRaw(registry, root, path, value.name, value.type, value.data));
  }
  for (const auto& [name, subkey] : snapshot.subkeys) {
    outcome.Note(RestoreKey(registry, root, std::string(path) + "\\" + name, subkey));
  }
  return outcome.result();
}

ValueSnapshot CaptureValue(platform::Registry& registry, platform::RootKey root,
                           std::string_view path, std::string_view name, RegResult* failure) {
  ValueSnapshot snapshot;
  snapshot.path = std::string(path);
  snapshot.name = std::string(name);
  RegStatus status = 0;
  const RegKey key = RegKey::Open(registry, root, path, platform::reg_access::kRead, status);
  if (!key) {
    NoteReadEnd(status, failure);
    return snapshot;
  }
  std::uint32_t size = 0;
  ByteArray buffer(1024);
  status = registry.QueryValue(key.get(), name, snapshot.type, buffer, size);
  if (status == reg_error::kMoreData) {
    buffer.assign(size, 0);
    status = registry.QueryValue(key.get(), name, snapshot.type, buffer, size);
  }
  if (status != reg_error::kSuccess || size > buffer.size()) {
    NoteReadEnd(status == reg_error::kSuccess ? reg_error::kMoreData : status, failure);
    return snapshot;
  }
  snapshot.exists = true;
  snapshot.data.assign(buffer.begin(), buffer.begin() + size);
  return snapshot;
}

RegResult RestoreValue(platform::Registry& registry, platform::RootKey root,
                       const ValueSnapshot& snapshot) {
  if (snapshot.exists) {
    return WriteRaw(registry, root, snapshot.path, snapshot.name, snapshot.type, snapshot.data);
  }
  RegStatus status = 0;
  const RegKey key =
      RegKey::Open(registry, root, snapshot.path, platform::reg_access::kSetValue, status);
  if (!key) return {};
  const RegStatus deleted = registry.DeleteValue(key.get(), snapshot.name);
  return platform::ResultOf(deleted == reg_error::kFileNotFound ? reg_error::kSuccess : deleted);
}

}  // namespace pm::store
