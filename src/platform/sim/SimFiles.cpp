// The simulated computer's files are the host's: one drive, its root.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/Files.h"
#include "platform/Registry.h"

namespace pm::platform {

std::vector<std::string> DriveRoots() {
  return {"/"};
}

namespace {

std::int32_t FromErrno(int error, std::int32_t otherwise) {
  if (error == ENOENT) return reg_error::kFileNotFound;
  if (error == EACCES) return reg_error::kAccessDenied;
  return otherwise;
}

}  // namespace

// The host's own write and rename; how durable it is does not matter to a test.
// The simulated PC has one user, so who may read the file makes no odds.
std::int32_t ReplaceFileDurably(const std::string& path, std::span<const std::uint8_t> bytes,
                                FileReaders) {
  const std::string temporary = path + ".tmp";
  {
    errno = 0;
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return FromErrno(errno, reg_error::kWriteFault);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) return reg_error::kWriteFault;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    std::remove(temporary.c_str());
    return FromErrno(error, reg_error::kWriteFault);
  }
  return reg_error::kSuccess;
}

std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::directory_iterator it(fs::path(std::u8string(folder.begin(), folder.end())),
                            fs::directory_options::skip_permission_denied, error);
  if (error) return std::nullopt;
  std::vector<FolderEntry> entries;
  for (const fs::directory_iterator end; it != end; it.increment(error)) {
    if (error) break;
    const std::u8string name = it->path().filename().u8string();
    std::error_code kind;
    entries.push_back({std::string(name.begin(), name.end()), it->is_directory(kind)});
  }
  return entries;
}

PathKind KindOfPath(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status =
      fs::status(fs::path(std::u8string(path.begin(), path.end())), error);
  if (error || !fs::exists(status)) return PathKind::Missing;
  return fs::is_directory(status) ? PathKind::Folder : PathKind::File;
}

std::int32_t ReadFileBytes(const std::string& path, std::size_t limit,
                           std::vector<std::uint8_t>& bytes) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return FromErrno(errno, reg_error::kWriteFault);
  std::uint8_t chunk[64 * 1024];
  while (bytes.size() <= limit) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
    if (got == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return failed ? reg_error::kWriteFault : reg_error::kSuccess;
}

std::int32_t DeleteFileIfPresent(const std::string& path) {
  errno = 0;
  if (std::remove(path.c_str()) == 0 || errno == ENOENT) return reg_error::kSuccess;
  return FromErrno(errno, reg_error::kWriteFault);
}

}  // namespace pm::platform
