// What the programs need of the computer's files: its drives, the entries
// of a folder, and reading, replacing and deleting a file. Each backend
// provides it (the programs do without the C++ file libraries, which would
// double their size).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pm::platform {

// The root folder of every drive, each ending in its separator ("C:\",
// "D:\"; "/" in the simulation), in drive order.
std::vector<std::string> DriveRoots();

struct FolderEntry {
  std::string name;
  bool isFolder = false;
};

// The entries of a folder, without "." and "..", in no particular order;
// none for a folder the user may not read; nothing when it is not there or
// cannot be read at all.
std::optional<std::vector<FolderEntry>> ListFolder(const std::string& folder);

enum class PathKind { Missing, File, Folder };
PathKind KindOfPath(const std::string& path);

// Who may read a file the programs write: whoever the folder lets, or only
// administrators and the system (a file that holds the passwords' hashes).
enum class FileReaders { AsTheFolderSays, AdministratorsOnly };

// Writes the bytes to a file beside `path`, makes sure they are on the disk,
// then puts that file in `path`'s place: after a crash or a power cut the
// file is the old one or the new one, whole. The file has its readers from
// the moment it is made. Answers a Win32 error code.
[[nodiscard]] std::int32_t ReplaceFileDurably(const std::string& path,
                                              std::span<const std::uint8_t> bytes,
                                              FileReaders readers = FileReaders::AsTheFolderSays);

// Reads the file into `bytes`: the whole file, or `limit` bytes and one
// more, so that the caller can tell a file too large. Answers a Win32 error
// code (2 for a file that is not there).
[[nodiscard]] std::int32_t ReadFileBytes(const std::string& path, std::size_t limit,
                                         std::vector<std::uint8_t>& bytes);

// Deletes a file; one that is not there is no failure. Answers a Win32
// error code.
[[nodiscard]] std::int32_t DeleteFileIfPresent(const std::string& path);

// The system's Windows folder ("C:\Windows") and the 64-bit programs'
// folder ("C:\Program Files"), without a closing separator.
std::string WindowsFolder();
std::string ProgramFilesFolder();

// The path with every short (8.3) name in its long form, as the file system
// knows it; the path itself when the file cannot be reached.
std::string LongPathName(const std::string& path);

// The program file a shortcut (.lnk) starts; empty when the file is no
// shortcut or starts no file.
std::string ShortcutTarget(const std::string& path);

}  // namespace pm::platform
