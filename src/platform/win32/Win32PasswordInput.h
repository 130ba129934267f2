// A password typed at the console without being shown, for "pmpsvc.exe
// /hash"; read as a line from standard input when that is no console (a
// pipe or a file, as a deployment script gives it).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pm::win32 {

// Shows `prompt` on standard error, reads one line; nothing at the end of
// the input.
std::optional<std::string> ReadHiddenLine(std::wstring_view prompt);

// "pmpsvc.exe /hash": asks twice, and prints the stored form of the
// password on standard output. The process's exit code.
int RunHashCommand();

}  // namespace pm::win32
