// Security descriptors written as SDDL, owned, and the rules the product
// gives its keys, its pipe and (for the service's callers) its processes.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/Handles.h"

namespace pm::win32 {

using UniqueSecurityDescriptor = UniqueHandle<PSECURITY_DESCRIPTOR, LocalFree>;

// Administrators and the system have full control, users read, and nothing
// is inherited from the parent: Windows' own rule for HKLM\SOFTWARE keys.
inline constexpr wchar_t kProtectedKeySddl[] =
    L"D:P(A;CI;0xf003f;;;SY)(A;CI;0xf003f;;;BA)(A;CI;0x20019;;;BU)";

// The service's pipe: the system and administrators own it; interactive users
// may read and write a message but not create another instance of the pipe
// (no FILE_CREATE_PIPE_INSTANCE), so nobody can serve its name beside it.
inline constexpr wchar_t kServicePipeSddl[] = L"D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x12018b;;;IU)";

// The program folder and each file in it: administrators and the system
// have full control, users read and run. Nobody else can replace a program
// that runs at every log-on, or plant a file that the programs would read.
inline constexpr wchar_t kProgramFolderSddl[] =
    L"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

// The programs the service starts in a user's session: the system and
// administrators have full control; the user (any signed-in user) may only
// wait for them and read their name, and as their owner gets no more
// (OWNER RIGHTS), so cannot rewrite this DACL to end them.
inline constexpr wchar_t kSessionProgramSddl[] =
    L"D:P(A;;0x1fffff;;;SY)(A;;0x1fffff;;;BA)(A;;0x101000;;;AU)(A;;0x101000;;;OW)";

// Null when Windows cannot read the text (GetLastError says why).
UniqueSecurityDescriptor SecurityDescriptorFromSddl(const wchar_t* sddl);

// A primary token like `token`, with BUILTIN\Administrators made deny-only
// and every privilege but the one to pass through folders dropped: what
// Windows checks as a standard user. Null when it cannot be made.
UniqueKernelHandle WithoutAdministratorRights(HANDLE token);

// Gives the folder, and every file and folder directly in it, the program
// folder's rules. Windows would pass them on to what the folder holds; Wine
// passes nothing on. Answers the first Win32 error.
DWORD ProtectProgramFolder(const std::wstring& folder);

}  // namespace pm::win32
