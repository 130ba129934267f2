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

}  // namespace pm::win32
