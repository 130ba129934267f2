// Helpers for the tests of registry export files: typed raw values, a
// readable and order-free description of a key tree, files in the registry
// editor's encoding, and the damaged or foreign files an import must refuse.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"
#include "platform/Text.h"
#include "store/RegValue.h"
#include "store/RegistrySnapshot.h"

namespace pm::tests {

inline constexpr std::string_view kProductRootName = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Pelmora Pro";

inline store::ByteArray Utf16Data(std::u16string_view text) {
  store::ByteArray bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

// REG_SZ / REG_EXPAND_SZ data as Windows stores it: UTF-16LE with its zero.
inline store::ByteArray StringData(std::string_view utf8) {
  store::ByteArray bytes = Utf16Data(platform::Utf8ToUtf16(utf8));
  bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

// REG_MULTI_SZ data: each string with its zero, then one more zero.
inline store::ByteArray MultiStringData(const std::vector<std::string>& strings) {
  store::ByteArray bytes;
  for (const std::string& s : strings) {
    const store::ByteArray one = StringData(s);
    bytes.insert(bytes.end(), one.begin(), one.end());
  }
  bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

inline store::ByteArray DwordData(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// A whole file in the registry editor's encoding: byte-order mark, UTF-16LE.
inline store::ByteArray RegFileBytes(std::string_view utf8) {
  store::ByteArray bytes{0xFF, 0xFE};
  const store::ByteArray text = Utf16Data(platform::Utf8ToUtf16(utf8));
  bytes.insert(bytes.end(), text.begin(), text.end());
  return bytes;
}

inline void SetRaw(platform::Registry& registry, platform::RootKey root, std::string_view path,
                   std::string_view name, std::uint32_t type, const store::ByteArray& data) {
  platform::RegStatus status = 0;
  bool existed = false;
  const platform::RegKey key = platform::RegKey::Create(
      registry, root, path, platform::reg_access::kAllAccess, status, existed);
  ASSERT_TRUE(key) << "cannot create " << path << ": " << status;
  ASSERT_EQ(registry.SetValue(key.get(), name, type, data), 0) << path << " " << name;
}

// The tree as lines "path|name|type|hex", sorted without case, so two trees
// compare equal exactly when they hold the same keys and typed values.
inline std::string Describe(const store::KeySnapshot& tree) {
  std::vector<std::string> lines;
  const auto walk = [&lines](const auto& self, const store::KeySnapshot& key,
                             const std::string& path) -> void {
    if (!key.exists) return;
    lines.push_back(platform::LowerCase(path) + "\\");
    for (const store::KeySnapshot::Value& value : key.values) {
      std::string hex;
      char buffer[4];
      for (std::uint8_t b : value.data) {
        std::snprintf(buffer, sizeof buffer, "%02x", b);
        hex += buffer;
      }
      lines.push_back(platform::LowerCase(path) + "|" + platform::LowerCase(value.name) + "|" +
                      std::to_string(value.type) + "|" + hex);
    }
    for (const auto& [name, subkey] : key.subkeys) self(self, subkey, path + "\\" + name);
  };
  walk(walk, tree, "");
  if (lines.empty()) return "(no key)";
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

struct BadFileCase {
  std::string name;
  store::ByteArray bytes;
  std::string errorPart;  // a part of the parser's message that names the fault
};

// Files that are no valid export of the settings subtree, one per kind of
// fault; each must be refused as a whole.
inline std::vector<BadFileCase> BadExportFiles() {
  const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";
  const std::string root = "[" + std::string(kProductRootName) + "]\r\n";
  const std::string good = header + root + "\"UserPassword\"=\"secret\"\r\n\r\n";
  std::vector<BadFileCase> cases = {
      {"Empty", {}, "byte-order mark"},
      {"Utf8WithoutByteOrderMark", store::ByteArray(good.begin(), good.end()), "byte-order mark"},
      {"OlderRegedit4Header", RegFileBytes("REGEDIT4\r\n\r\n" + root), "first line"},
      {"HeaderOnly", RegFileBytes(header), "no key"},
      {"TruncatedInsideALine", RegFileBytes(header + root + "\"UserPassword\"=\"sec"), "truncated"},
      {"TruncatedInsideHexContinuation", RegFileBytes(header + root + "\"Pic\"=hex:01,02,\\\r\n"),
       "truncated"},
      {"LoneLineFeeds", RegFileBytes("Windows Registry Editor Version 5.00\n\n" + root), "CR LF"},
      {"KeyOutsideTheSubtree",
       RegFileBytes(header + root + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows]\r\n"),
       "outside"},
      {"KeyWhoseNameOnlyBeginsLikeOurs",
       RegFileBytes(header + root + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Pelmora Professional]\r\n"),
       "outside"},
      {"OtherHive", RegFileBytes(header + "[HKEY_CURRENT_USER\\SOFTWARE\\Pelmora Pro]\r\n"),
       "outside"},
      {"SubkeyBeforeTheRoot",
       RegFileBytes(header + "[" + std::string(kProductRootName) + "\\Settings]\r\n"),
       "does not begin"},
      {"EmptyKeyName",
       RegFileBytes(header + root + "[" + std::string(kProductRootName) + "\\\\Settings]\r\n"),
       "empty"},
      {"KeyDeletion",
       RegFileBytes(header + root + "[-" + std::string(kProductRootName) + "\\Windows]\r\n"),
       "deletes a key"},
      {"ValueDeletion", RegFileBytes(header + root + "\"UserPassword\"=-\r\n"), "deletes a value"},
      {"ValueBeforeAnyKey", RegFileBytes(header + "\"UserPassword\"=\"x\"\r\n"), "before any key"},
      {"UnterminatedName", RegFileBytes(header + root + "\"UserPassword=\"x\r\n"), "'='"},
      {"UnknownEscape", RegFileBytes(header + root + "\"A\"=\"C:\\Windows\"\r\n"), "escape"},
      {"TextAfterClosingQuote", RegFileBytes(header + root + "\"A\"=\"x\" y\r\n"), "follows"},
      {"Garbage", RegFileBytes(header + root + "UserPassword=secret\r\n"), "neither"},
      {"BadHexDigit", RegFileBytes(header + root + "\"A\"=hex:0g\r\n"), "hex"},
      {"OneDigitHexByte", RegFileBytes(header + root + "\"A\"=hex:1,02\r\n"), "hex"},
      {"TrailingComma", RegFileBytes(header + root + "\"A\"=hex:01,\r\n"), "hex"},
      {"SpaceInHex", RegFileBytes(header + root + "\"A\"=hex:01, 02\r\n"), "hex"},
      {"BadHexType", RegFileBytes(header + root + "\"A\"=hex(z):01\r\n"), "hex("},
      {"DwordTooLong", RegFileBytes(header + root + "\"A\"=dword:123456789\r\n"), "dword"},
      {"DwordNotHex", RegFileBytes(header + root + "\"A\"=dword:xyz\r\n"), "dword"},
      {"UnknownDataForm", RegFileBytes(header + root + "\"A\"=qword:1\r\n"), "none of"},
      {"KeyLineWithoutClosingBracket",
       RegFileBytes(header + "[" + std::string(kProductRootName) + "\r\n"), "']'"},
  };
  {
    store::ByteArray odd = RegFileBytes(good);
    odd.pop_back();
    cases.push_back({"OddByteCount", odd, "truncated"});
  }
  {
    store::ByteArray lone = RegFileBytes(header + root + "\"A\"=\"");
    lone.insert(lone.end(), {0x00, 0xD8});  // a high surrogate followed by a quote
    const store::ByteArray rest = Utf16Data(u"\"\r\n");
    lone.insert(lone.end(), rest.begin(), rest.end());
    cases.push_back({"UnpairedSurrogate", lone, "surrogate"});
  }
  {
    store::ByteArray zero = RegFileBytes(header + root + "\"A\"=\"x");
    zero.insert(zero.end(), {0x00, 0x00});
    const store::ByteArray rest = Utf16Data(u"\"\r\n");
    zero.insert(zero.end(), rest.begin(), rest.end());
    cases.push_back({"ZeroCharacter", zero, "zero"});
  }
  return cases;
}

}  // namespace pm::tests
