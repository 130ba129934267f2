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
// A file that holds the passwords' hashes (the export, the service's
// journal): administrators and the system alone, whatever the folder says.
inline constexpr wchar_t kAdministratorsOnlyFileSddl[] = L"D:P(A;;FA;;;SY)(A;;FA;;;BA)";
// The same without the users: where the password's hashes are kept.
inline constexpr wchar_t kAdministratorsOnlyKeySddl[] =
    L"D:P(A;CI;0xf003f;;;SY)(A;CI;0xf003f;;;BA)";

// The service's pipe: the system owns it, and with administrators has full
// control; interactive users may read and write a message but not create
// another instance of the pipe (no FILE_CREATE_PIPE_INSTANCE), so nobody can
// serve its name beside it. A program of a user's could not make the system
// the owner of a pipe of its own: the programs ask for that owner before
// they send a password.
inline constexpr wchar_t kServicePipeSddl[] = L"O:SYD:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x12018b;;;IU)";

// Whether the object's owner is the system (LocalSystem).
bool OwnedBySystem(HANDLE object);

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

// What those programs make without naming rules of their own (their threads
// first of all): the same rules, so a standard user's script can neither
// suspend nor end a thread of theirs. Set as their token's default DACL.
inline constexpr wchar_t kSessionProgramObjectsSddl[] =
    L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x100800;;;AU)(A;;0x100800;;;OW)";

// The integrity levels Windows knows, as the last part of their SID.
inline constexpr DWORD kMediumIntegrity = SECURITY_MANDATORY_MEDIUM_RID;  // 0x2000
inline constexpr DWORD kHighIntegrity = SECURITY_MANDATORY_HIGH_RID;      // 0x3000

// Null when Windows cannot read the text (GetLastError says why).
UniqueSecurityDescriptor SecurityDescriptorFromSddl(const wchar_t* sddl);

// The token a session's program runs with: `userToken` without
// administrator rights, at high integrity (raising it is the system's to
// do), so that Windows keeps the user's ordinary programs from hooking,
// messaging or injecting into it, with `kSessionProgramObjectsSddl` as its
// default DACL. Null when it cannot be made.
UniqueKernelHandle SessionProgramToken(HANDLE userToken);
// The user's own token as the shell runs programs with it: at the user's
// ordinary level at the most. Null when it cannot be made.
UniqueKernelHandle UserLevelToken(HANDLE userToken);
// A token's integrity level (its RID), 0 when the system reports none.
DWORD IntegrityLevelOf(HANDLE token);
// This process's integrity level, 0 when the system reports none.
DWORD OwnIntegrityLevel();
// Whether the process carries the protection the service gives its
// programs: the process DACL of `kSessionProgramSddl`, and high integrity
// where the system reports an integrity level at all.
bool CarriesSessionProgramProtection(HANDLE process);

// BUILTIN\Administrators; null when the system cannot make it.
UniqueSid AdministratorsSid();

// A primary token like `token`, with BUILTIN\Administrators made deny-only
// and every privilege but the one to pass through folders dropped: what
// Windows checks as a standard user. Null when it cannot be made.
UniqueKernelHandle WithoutAdministratorRights(HANDLE token);

// Gives the folder, and every file and folder directly in it, the program
// folder's rules. Windows would pass them on to what the folder holds; Wine
// passes nothing on. Answers the first Win32 error.
DWORD ProtectProgramFolder(const std::wstring& folder);

}  // namespace pm::win32
