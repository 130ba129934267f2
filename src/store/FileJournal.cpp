#include "store/FileJournal.h"

#include "platform/Files.h"

namespace pm::store {

RegResult FileJournal::Write(std::span<const std::uint8_t> bytes) {
  // The undo of a change holds the passwords' hashes as they were.
  return platform::ResultOf(
      platform::ReplaceFileDurably(path_, bytes, platform::FileReaders::AdministratorsOnly));
}

std::optional<ByteArray> FileJournal::Read() {
  // A journal is at most a change's undo; the limit only bounds the read.
  constexpr std::size_t kLimit = std::size_t{1} << 30;
  ByteArray bytes;
  if (platform::ReadFileBytes(path_, kLimit, bytes) != 0) return std::nullopt;
  return bytes;
}

RegResult FileJournal::Clear() {
  return platform::ResultOf(platform::DeleteFileIfPresent(path_));
}

}  // namespace pm::store
