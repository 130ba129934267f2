#include "store/RegistryModule.h"

#include <array>

#include "platform/Text.h"

namespace pm::store::RegistryModule {

using platform::RegKey;
using platform::RegStatus;
namespace reg_error = platform::reg_error;
namespace reg_type = platform::reg_type;

namespace {

constexpr std::size_t kFirstReadSize = 1024;
// A value that keeps growing between queries is given up on after this many.
constexpr int kMaxQueries = 16;

// UTF-16LE code units of the data; an odd trailing byte is no character.
std::u16string Utf16Units(const ByteArray& data, std::size_t size) {
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  return units;
}

// The stored text without its terminating zeros. Data written by another
// program may lack them, so only zeros that are there are dropped.
std::string StoredText(const ByteArray& data, std::size_t size, std::size_t terminators) {
  std::u16string units = Utf16Units(data, size);
  for (std::size_t i = 0; i < terminators && !units.empty() && units.back() == u'\0'; ++i) {
    units.pop_back();
  }
  return platform::Utf16ToUtf8(units);
}

RegValue Convert(std::uint32_t type, const ByteArray& data, std::size_t size,
                 const RegValue& defaultValue) {
  switch (type) {
    case reg_type::kSz:
    case reg_type::kExpandSz:
      return StoredText(data, size, 1);
    case reg_type::kMultiSz:
      return StoredText(data, size, 2);
    case reg_type::kBinary:
      return ByteArray(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(size));
    case reg_type::kDword:
      if (size < 4) return defaultValue;
      return static_cast<std::int32_t>(
          static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
          static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24);
    default:
      return defaultValue;
  }
}

}  // namespace

ByteArray EncodeString(std::string_view text) {
  const std::u16string units = platform::Utf8ToUtf16(text);
  ByteArray bytes;
  bytes.reserve(units.size() * 2 + 2);
  for (char16_t unit : units) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  // The count includes the terminating zero, as Windows requires for REG_SZ.
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

RegValue ValueFromData(std::uint32_t type, const ByteArray& data) {
  return Convert(type, data, data.size(), {});
}

namespace {

ByteArray EncodeDword(std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

// Creates the key when missing, with the access EnsureKey has always asked for.
RegStatus CreateKeyIfMissing(platform::Registry& registry, platform::RootKey root,
                             std::string_view path, bool& existed) {
  RegStatus status = 0;
  const RegKey key = RegKey::Create(registry, root, path, 0, status, existed);
  return status;
}

}  // namespace

RegValue ReadValue(platform::Registry& registry, platform::RootKey root, std::string_view path,
                   std::string_view name, const RegValue& defaultValue) {
  RegStatus status = 0;
  const RegKey key = RegKey::Open(registry, root, path, platform::reg_access::kRead, status);
  if (!key) return defaultValue;

  ByteArray buffer(kFirstReadSize);
  for (int query = 0; query < kMaxQueries; ++query) {
    std::uint32_t type = reg_type::kNone;
    std::uint32_t size = 0;
    status = registry.QueryValue(key.get(), name, type, buffer, size);
    if (status == reg_error::kMoreData) {
      buffer.assign(size, 0);
      continue;
    }
    if (status != reg_error::kSuccess || size > buffer.size()) return defaultValue;
    return Convert(type, buffer, size, defaultValue);
  }
  return defaultValue;
}

RegResult WriteValue(platform::Registry& registry, platform::RootKey root, std::string_view path,
                     std::string_view name, const RegValue& value) {
  if (value.IsEmpty()) throw RegistryError(kUnsupportedValueType, "Unsupported value type");

  RegStatus status = 0;
  RegKey key = RegKey::Open(registry, root, path, platform::reg_access::kWrite, status);
  if (!key) {
    bool existed = false;
    const RegStatus created = CreateKeyIfMissing(registry, root, path, existed);
    key = RegKey::Open(registry, root, path, platform::reg_access::kWrite, status);
    // Say why the key could not be made rather than that it is missing.
    if (!key) return platform::ResultOf(created != reg_error::kSuccess ? created : status);
  }

  std::uint32_t type = reg_type::kBinary;
  ByteArray data;
  if (value.IsInt16()) {
    type = reg_type::kDword, data = EncodeDword(value.Int16());
  } else if (value.IsInt32()) {
    type = reg_type::kDword, data = EncodeDword(value.Int32());
  } else if (value.IsString()) {
    type = reg_type::kSz, data = EncodeString(value.String());
  } else {
    data = value.Bytes();
  }
  return platform::ResultOf(registry.SetValue(key.get(), name, type, data));
}

bool EnsureKey(platform::Registry& registry, platform::RootKey root, std::string_view path) {
  bool existed = false;
  return CreateKeyIfMissing(registry, root, path, existed) == reg_error::kSuccess && existed;
}

RegResult DeleteKey(platform::Registry& registry, platform::RootKey root, std::string_view path) {
  return platform::ResultOf(registry.DeleteKey(root, path));
}

}  // namespace pm::store::RegistryModule
