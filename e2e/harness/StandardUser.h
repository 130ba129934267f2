// The standard-user test bed. Wine runs every process with an
// administrator's token; a token with BUILTIN\Administrators made deny-only
// and the privileges dropped is checked by Wine as Windows checks a
// standard user's (registry keys by their DACL, processes by theirs). Every
// process such a program starts inherits the token.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/Handles.h"

namespace pm::e2e {

// Null when the system cannot make one (GetLastError says why).
win32::UniqueKernelHandle StandardUserToken();

// Starts the command line with a standard user's token; the process and
// its thread as CreateProcess gives them, or false.
bool CreateStandardUserProcess(std::wstring commandLine, const wchar_t* folder,
                               PROCESS_INFORMATION& info);

// Runs the command line as a standard user to its end; its exit code, or
// nothing when it could not start or did not end within `limitMs`.
std::optional<DWORD> RunAsStandardUser(std::wstring commandLine, DWORD limitMs);

// Gives Windows' rules (administrators and the system full control, users
// read) to the system keys the product touches, which Wine leaves open to
// everyone: Run, RunOnce and Winlogon.
bool HardenSystemKeys();
// Makes the key below HKLM, if need be, with Windows' rules for HKLM\SOFTWARE
// (administrators and the system full control, users read). On Windows a
// new key inherits them from its parent; Wine inherits nothing.
bool ProtectAsWindowsDoes(std::string_view key);

}  // namespace pm::e2e
