// Paths of program files, spelled one way, so that two paths of the same
// file compare equal (without case, as Windows compares them).
#pragma once

#include <string>

namespace pm::win32 {

// The running program's own file.
std::wstring ModulePath();
// The path with every short (8.3) component in its long form; the path
// itself when the file cannot be reached.
std::wstring LongPath(const std::wstring& path);
// The long path of the program file of a running process; empty when it
// cannot be known. The limited query right it asks is granted for processes
// of other users too, where the full one is not.
std::wstring ProcessImagePath(unsigned long processId);
// The same, but empty for a process that has ended, whose windows the
// system may keep for a moment (where the process lets itself be waited
// for: those of another account may not).
std::wstring RunningProcessImagePath(unsigned long processId);

}  // namespace pm::win32
