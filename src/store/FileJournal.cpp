#include "store/FileJournal.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/Files.h"

namespace pm::store {

namespace {

std::filesystem::path FilePath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

bool FileJournal::Write(std::span<const std::uint8_t> bytes) {
  return platform::ReplaceFileDurably(path_, bytes) == 0;
}

std::optional<ByteArray> FileJournal::Read() {
  std::ifstream in(FilePath(path_), std::ios::binary);
  if (!in) return std::nullopt;
  return ByteArray(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileJournal::Clear() {
  std::error_code error;
  std::filesystem::remove(FilePath(path_), error);
  return !error;
}

}  // namespace pm::store
