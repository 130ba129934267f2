// The registry editor's own export format ("Windows Registry Editor Version
// 5.00": UTF-16LE with a byte-order mark, CRLF lines, [key] sections and
// "name"=data lines), for a copy of a key's subtree that a person can read and
// that Windows' and Wine's own regedit import.
//
// The parser takes nothing in a file on trust: every line is checked, every
// key must lie in the expected subtree, sizes come only from what was read,
// and anything it cannot read exactly (deletion lines included) refuses the
// whole file with a message that says where and why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"
#include "store/RegValue.h"

namespace pm::store {

inline constexpr std::string_view kRegFileHeader = "Windows Registry Editor Version 5.00";
// The last line of every file we write. The registry editor reads it as a
// comment; an import requires it, so a file cut short at the end of a line
// is not taken for a whole one.
inline constexpr std::string_view kRegFileEndLine = "; End of the Pelmora Pro settings";
// A settings subtree is small; a bigger file is no export of ours.
inline constexpr std::size_t kMaxRegFileBytes = 16 * 1024 * 1024;
// Levels of keys below the file's root key.
inline constexpr std::size_t kMaxRegFileDepth = 64;

struct RegFileValue {
  std::string name;  // empty for the key's default value (@)
  std::uint32_t type = 0;
  ByteArray data;
};

struct RegFileKey {
  // Below the file's root key, names joined by '\'; empty for the root key.
  std::string path;
  std::vector<RegFileValue> values;
};

// A file's keys in file order; the root key comes first.
struct RegFileContent {
  std::vector<RegFileKey> keys;
};

// The whole file, as the registry editor exports it, for keys below
// `rootName`, the full name of the root key with its hive
// ("HKEY_LOCAL_MACHINE\..."). A name the format cannot hold (one with a
// line break, an empty key name) fails the write, saying which.
platform::Result<ByteArray> WriteRegFile(std::string_view rootName, const RegFileContent& content);

struct RegFileRead {
  RegFileContent content;
  bool endsWithEndLine = false;  // the last line but empty ones is kRegFileEndLine
};

// Reads a whole file whose keys must be `rootName` or below it; a file it
// refuses gets what is wrong, and on which line.
platform::Result<RegFileRead> ParseRegFile(std::span<const std::uint8_t> bytes,
                                           std::string_view rootName);

struct RegData {
  std::uint32_t type = 0;
  ByteArray data;
};

// One value's data as it follows "name=": "text", dword:xxxxxxxx, hex:..., or
// hex(type):..., with any continuation lines already joined.
platform::Result<RegData> DecodeRegData(std::string_view text);

}  // namespace pm::store
