// What the file browsers of the forms need of the computer beyond
// std::filesystem: its drives. Each backend provides it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pm::platform {

// The root folder of every drive, each ending in its separator ("C:\",
// "D:\"; "/" in the simulation), in drive order.
std::vector<std::string> DriveRoots();

// Writes the bytes to a file beside `path`, makes sure they are on the disk,
// then puts that file in `path`'s place: after a crash or a power cut the
// file is the old one or the new one, whole. Answers a Win32 error code.
std::int32_t ReplaceFileDurably(const std::string& path, std::span<const std::uint8_t> bytes);

// Reads the file into `bytes`: the whole file, or `limit` bytes and one
// more, so that the caller can tell a file too large. Answers a Win32 error
// code (2 for a file that is not there).
std::int32_t ReadFileBytes(const std::string& path, std::size_t limit,
                           std::vector<std::uint8_t>& bytes);

// Deletes a file; one that is not there is no failure. Answers a Win32
// error code.
std::int32_t DeleteFileIfPresent(const std::string& path);

}  // namespace pm::platform
